// Where a thrown exception and the runtime's record of it live, for a
// program with one thread. The library's own versions keep the record per
// thread (emulated thread-local storage with its own allocator) and keep an
// emergency pool behind a mutex for throws when memory is short: about 6 KB of
// the exe for a second thread and a full heap this program does not have. These
// definitions take their place at link time. Out of memory, a throw ends the
// program, as the library's does once its pool is used up.
#include <cstdlib>
#include <cstring>

// The runtime's own declarations (libsupc++'s internal header, from the GCC
// sources the build unpacks: cmake/i586_runtime.cmake), so the header in
// front of every thrown object has the runtime's layout by construction.
#include "unwind-cxx.h"

namespace {

using ThrownHeader = __cxxabiv1::__cxa_refcounted_exception;
using HandlingState = __cxxabiv1::__cxa_eh_globals;

// The exceptions being handled, and how many are thrown and not yet caught.
HandlingState handlingState;

}  // namespace

namespace __cxxabiv1 {

// The runtime finds the header by stepping back its size from the object.
void* __cxa_allocate_exception(std::size_t size) noexcept {
  void* block = std::malloc(sizeof(ThrownHeader) + size);
  if (block == nullptr) std::terminate();
  std::memset(block, 0, sizeof(ThrownHeader));
  return static_cast<char*>(block) + sizeof(ThrownHeader);
}

void __cxa_free_exception(void* object) noexcept {
  std::free(static_cast<char*>(object) - sizeof(ThrownHeader));
}

HandlingState* __cxa_get_globals() noexcept { return &handlingState; }
HandlingState* __cxa_get_globals_fast() noexcept { return &handlingState; }

}  // namespace __cxxabiv1
