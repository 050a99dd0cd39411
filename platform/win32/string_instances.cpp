// The exe's own copy of the string members it uses. The library ships them
// all in one object file, and this linker keeps every function of an object
// whose unwind tables it keeps, so one call to any member brought in all of
// them (about 33 KB). Instantiated here, link-time optimisation keeps only
// the members the program calls.
#include <string>

template class std::basic_string<char>;
