// Parts of the MinGW start-up code this program has no use for, about 5 KB of
// the exe together. These definitions take their place at link time.
#include <cstdlib>

extern "C" {

// Set by the linker around the fix-ups for data imported from a DLL without
// dllimport; the start-up code applies them with a page-protection dance.
// This program imports no data that way, so the list is empty, and a program
// that ever did would stop at its first start instead of running unfixed.
extern char __RUNTIME_PSEUDO_RELOC_LIST__[];
extern char __RUNTIME_PSEUDO_RELOC_LIST_END__[];

void _pei386_runtime_relocator() {
  const char* first = __RUNTIME_PSEUDO_RELOC_LIST__;
  const char* end = __RUNTIME_PSEUDO_RELOC_LIST_END__;
  if (first != end) std::abort();
}

// The math library's error hook; the default one prints to a console the
// windowed program does not have. 0: the library's own result stands.
struct _exception;
int _matherr(struct _exception*) { return 0; }

// The top-level exception filter: the default passes a crash on to C signal
// handlers, which this program does not set, and then on to Windows, as this
// one does (0: EXCEPTION_CONTINUE_SEARCH).
// The start-up code keeps the filter it replaced here.
struct _EXCEPTION_POINTERS;
void* __mingw_oldexcpt_handler = nullptr;
long __stdcall _gnu_exception_handler(struct _EXCEPTION_POINTERS*) { return 0; }

// Runs the destructors of thread-local objects as threads end; the program has
// none (one thread, no thread_local, its own exception state). 1: TRUE.
int __mingw_TLScallback(void*, unsigned long, void*) { return 1; }

}  // extern "C"
