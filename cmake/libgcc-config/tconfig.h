/* Stand-ins for the configuration headers GCC's own build generates, enough
   to build libgcc's unwinder alone, as the cross compiler's build did. A
   compiler configured with release checking keeps libgcc's run-time
   assertions. */
#define USED_FOR_TARGET
#define ENABLE_RUNTIME_CHECKING 1
