// new and delete straight on the C heap. The library's new also calls a
// new-handler the program never sets, which brings that handler's state and
// accessors along; without one, both end the same way: bad_alloc.
#include <cstdlib>
#include <new>

void* operator new(std::size_t size) {
  if (void* block = std::malloc(size != 0 ? size : 1)) return block;
  throw std::bad_alloc();
}

void operator delete(void* block) noexcept { std::free(block); }
void operator delete(void* block, std::size_t) noexcept { std::free(block); }
