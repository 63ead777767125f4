#pragma once
// Whether an opened ravwl.log may be written. The program runs as
// administrator in a directory its user controls: a name there that leads
// anywhere else (a link, a junction, a second name of another file, a
// device) would have it append to a file it was never meant to touch.
#include <cstdint>
#include <string_view>

namespace ravuninst {

// What the platform reports of the opened file (GetFileType,
// GetFileInformationByHandle), without the platform's types.
struct LogFileFacts {
  bool diskFile = false;        // GetFileType answered FILE_TYPE_DISK
  std::uint32_t attributes = 0; // dwFileAttributes
  std::uint32_t links = 0;      // nNumberOfLinks
};

inline constexpr std::uint32_t kAttributeDirectory = 0x10;     // FILE_ATTRIBUTE_DIRECTORY
inline constexpr std::uint32_t kAttributeReparsePoint = 0x400; // FILE_ATTRIBUTE_REPARSE_POINT

enum class LogFileVerdict {
  kUsable,         // a plain file on disk with this one name
  kLink,           // a reparse point: a link or junction, opened as itself
  kNotAPlainFile,  // a directory, a device, a pipe
  kSeveralNames,   // a file with more than one name (hard links)
};

LogFileVerdict JudgeLogFile(const LogFileFacts& facts);

// Why a log file is not written, for the trace; empty for kUsable.
std::u16string_view LogFileRefusal(LogFileVerdict verdict);

}  // namespace ravuninst
