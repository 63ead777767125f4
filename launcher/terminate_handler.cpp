// The launcher catches no C++ exception: any that is thrown ends the
// program. The runtime's terminate handler and throw helpers would link in
// a demangler and the whole of the standard exception and string machinery
// (more than the launcher itself) only to print a name nobody sees, as the
// console is hidden. These end the program at once instead, which is what
// an uncaught throw comes to anyway: std::abort, exit code 3, also when
// memory runs out.
//
// Defining these names of libstdc++ is not something the library supports:
// it holds for the toolchain this project builds with (Debian's MinGW-w64
// GCC 12, libstdc++ linked statically), where they are plain functions in
// library members the launcher pulls in for nothing else. A toolchain that
// changes that shows at once: a second definition fails the link, or the
// release launcher outgrows its size goal (make bench reports it).
//
// They stay because the launcher's size goal (under 200 KB) needs them.
// Release Setup.exe (MinSizeRel, stripped, i686), measured:
//   with these definitions                     134,144 bytes
//   without them                               294,912 bytes
//   compiled with -fno-exceptions, with them   130,560 bytes
//   compiled with -fno-exceptions, without     291,840 bytes
// Turning exceptions off does not help: the std::string and std::vector
// members the launcher calls name the throw helpers whatever the flags, and
// the library member that defines them brings in its exception classes, their
// strings and the terminate handler with its demangler. Only a launcher with
// no standard string or container (fixed buffers throughout) could drop this
// file and keep the goal.
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
