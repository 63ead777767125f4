// The launcher catches no C++ exception: any that is thrown ends the
// program. The runtime's terminate handler and throw helpers would link in
// a demangler and the whole of the standard exception and string machinery
// (more than the launcher itself) only to print a name nobody sees, as the
// console is hidden. These end the program at once instead, which is what
// an uncaught throw comes to anyway.
#include <cstdlib>

namespace __gnu_cxx {
void __verbose_terminate_handler() { std::abort(); }
}  // namespace __gnu_cxx

namespace std {
void __throw_bad_alloc() { std::abort(); }
void __throw_bad_array_new_length() { std::abort(); }
void __throw_length_error(const char*) { std::abort(); }
void __throw_logic_error(const char*) { std::abort(); }
void __throw_out_of_range_fmt(const char*, ...) { std::abort(); }
}  // namespace std
