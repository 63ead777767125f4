#pragma once
// Where a test finds the programs it runs: the build tree puts every program
// of an architecture in one directory, beside the test programs.
#include <filesystem>
#include <string_view>

namespace testsupport {

std::filesystem::path ThisProgram();
std::filesystem::path BinDir();
std::filesystem::path BinPath(std::wstring_view fileName);

}  // namespace testsupport
