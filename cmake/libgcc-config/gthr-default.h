/* The thread layer of the win32 thread model, as the shipped compiler's. */
#include "config/i386/gthr-win32.h"
