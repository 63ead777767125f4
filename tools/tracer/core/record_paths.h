#pragma once
// Where the adapter's software lies, as its uninstall records say: the
// program a removal command starts and the setup engine's folder it names.
// Platform-free.
#include <string>
#include <string_view>
#include <vector>

namespace tracer {

// The program a command line starts: its first argument, quoted or up to
// the first blank.
std::string ProgramOfCommandLine(std::string_view commandLine);

// The value of a "/rootdir=" option (quoted, or up to the next blank);
// empty when the command line has none.
std::string RootDirOf(std::string_view commandLine);

// The folder of a path: up to its last backslash (or slash), without it;
// empty when it has none.
std::string FolderOf(std::string_view path);

// True when a plain file name: no folder, drive or "..", not empty.
bool IsPlainFileName(std::string_view name);

// True when a driver key's "CoInstallers32" entries ("file.dll,Entry" or
// "file.dll") name the adapter's co-installer, ravcoinst.dll (ASCII case
// ignored, with or without a folder).
bool NamesOurCoInstaller(const std::vector<std::string>& coInstallers);

}  // namespace tracer
