#pragma once
// The error the shared utility code raises: where in the utility source it
// happened. Only catch-all handlers stop it.
#include <cstdint>

namespace ravuninst {

inline constexpr char kUtilSourceName[] = "../ravengine/Util";

struct BasicException {
  std::int32_t line;
  const char* file;  // always kUtilSourceName here
  std::uint32_t reserved1;
  std::uint32_t reserved2;
};

[[noreturn]] inline void RaiseUtilError(std::int32_t line) { throw BasicException{line, kUtilSourceName, 0, 0}; }

// Lines of the utility source that raise.
inline constexpr std::int32_t kModulePathError = 204;
inline constexpr std::int32_t kUnpairedLeadSurrogate = 885;
inline constexpr std::int32_t kUnpairedTrailSurrogate = 888;

}  // namespace ravuninst
