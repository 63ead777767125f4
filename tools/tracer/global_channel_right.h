#pragma once
// Whether this process may make the machine-wide channel's objects: outside
// session 0, making a section in the global namespace takes
// SeCreateGlobalPrivilege, which administrators and services hold and
// standard users (and administrators' filtered tokens) do not.
#include <string>

namespace tracer {

// True in session 0, whose own namespace is the global one (services; on
// XP, the first user too).
bool RunsInSessionZero();

// Empty when it may (or when the token cannot be asked: the attempt itself
// then tells); otherwise what the user must do, for the message.
std::string MissingGlobalChannelRight();

}  // namespace tracer
