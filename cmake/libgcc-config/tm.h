/* The target macros the unwinder reads that the i386 headers leave to GCC's
   defaults. */
#define DWARF_REG_TO_UNWIND_COLUMN(REGNO) (REGNO)
