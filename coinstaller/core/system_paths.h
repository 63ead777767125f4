#pragma once
// Paths below the Windows directory: the driver's installed INF
// ("<windows>\Inf\<name>") and the files the co-installer keeps or removes in
// the system directory ("<windows>\System32\<name>"). Each lives in a buffer
// of the platform's path length; a path that would not fit is refused, never
// cut, since a cut path names a different file.
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace coinstaller {

// The platform's path buffer: 260 characters with the terminator.
inline constexpr std::size_t kPathBufferChars = 260;

inline constexpr std::string_view kInfDirectory = "Inf";
inline constexpr std::string_view kSystemDirectory = "System32";

// "<windowsDirectory>\<subdirectory>\<fileName>", when it fits the buffer.
std::optional<std::string> PathBelowWindows(std::string_view windowsDirectory, std::string_view subdirectory,
                                            std::string_view fileName);

// Whether an INF file name fits the co-installer's 260-character name buffer.
bool FitsPathBuffer(std::string_view text);

// Whether a name from the driver key ("InfPath") can only name an INF file
// directly in the directory it is joined to: a name ending in ".inf" (any
// letter case) without path separators, drive or stream colons, or other
// characters no file name may hold. Backup and removal join it below
// "<windows>\Inf" and "<windows>\System32"; any other name could lead out of
// those directories ("..\win.ini", "C:\x.inf") or to a file of the system
// that is no INF backup ("kernel32.dll").
bool IsPlainInfFileName(std::string_view name);

}  // namespace coinstaller
