/* The i386 Windows targets add nothing here. */
