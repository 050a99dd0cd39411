/* The machine-specific unwind support GCC's build picks for i386 Windows. */
#include "config/i386/w32-unwind.h"
