// Where a thrown exception and the runtime's record of it live, for a
// program with one thread. The library's own versions keep the record per
// thread (emulated thread-local storage with its own allocator) and keep an
// emergency pool behind a mutex for throws when memory is short: about 6 KB of
// the exe for a second thread and a full heap this program does not have. These
// definitions take their place at link time. Out of memory, a throw ends the
// program, as the library's does once its pool is used up.
#include <cstdlib>
#include <cstring>
#include <exception>
#include <typeinfo>
#include <unwind.h>

namespace {

// The runtime's header in front of every thrown object, as the C++ ABI lays it
// out (libsupc++'s __cxa_refcounted_exception). Only its size matters here:
// the runtime finds the header by stepping back that far from the object.
struct ThrownHeader {
  int referenceCount;
  struct {
    std::type_info* type;
    void (*destructor)(void*);
    std::terminate_handler unexpectedHandler;
    std::terminate_handler terminateHandler;
    void* nextException;
    int handlerCount;
    int handlerSwitchValue;
    const unsigned char* actionRecord;
    const unsigned char* languageSpecificData;
    _Unwind_Ptr catchTemp;
    void* adjustedPtr;
    _Unwind_Exception unwindHeader;
  } exception;
};

// The exceptions being handled, and how many are thrown and not yet caught
// (libsupc++'s __cxa_eh_globals).
struct HandlingState {
  void* caughtExceptions;
  unsigned int uncaughtExceptions;
};
HandlingState handlingState;

}  // namespace

extern "C" {

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

}  // extern "C"
