#pragma once
// One spelling per directory for comparing paths: full, long names ("." and
// ".." and short names resolved), in the platform's upper case.
#include <string>

namespace launcher {

// The folded form of `path`. Where the long form cannot be read (the
// directory does not exist yet) the full path is folded as it is.
std::u16string FoldedFullPath(const std::wstring& path);

}  // namespace launcher
