/* Built for the Pentium Pro (e2e/CMakeLists.txt): the instruction check must
   name the cmov that LargerOf compiles to. */
#include <stdlib.h>

__attribute__((noinline)) int LargerOf(int a, int b) { return a > b ? a : b; }

int main(int argc, char** argv) {
  (void)argv;
  return LargerOf(argc, rand());
}
