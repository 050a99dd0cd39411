// How the standard library reports its own failures in the shipped exe
// (a string or vector too long, an index out of range, a number that does not
// convert). The library's versions throw its error classes, which carry a
// second, reference-counted string implementation and its support: about a
// quarter of the exe. These take their place at link time and throw
// CommandError with the library's text instead, so the message loop reports
// them like any other failed command. Catch them as std::exception: a catch
// of std::out_of_range or std::invalid_argument would not see them here (the
// size check of the test suite fails when that error class is linked in).
// The few errors that need no string keep their standard types.
#include <new>
#include <string>
#include <typeinfo>

#include "platform/command_error.h"

namespace std {

void __throw_bad_alloc() { throw bad_alloc(); }
void __throw_bad_array_new_length() { throw bad_array_new_length(); }

void __throw_logic_error(const char* what) { throw tw::CommandError(what); }
void __throw_domain_error(const char* what) { throw tw::CommandError(what); }
void __throw_invalid_argument(const char* what) { throw tw::CommandError(what); }
void __throw_length_error(const char* what) { throw tw::CommandError(what); }
void __throw_out_of_range(const char* what) { throw tw::CommandError(what); }
// The details the format would add are of no use to the user.
void __throw_out_of_range_fmt(const char* format, ...) { throw tw::CommandError(format); }
void __throw_runtime_error(const char* what) { throw tw::CommandError(what); }
void __throw_range_error(const char* what) { throw tw::CommandError(what); }
void __throw_overflow_error(const char* what) { throw tw::CommandError(what); }
void __throw_underflow_error(const char* what) { throw tw::CommandError(what); }

}  // namespace std
