#pragma once
// Checks on the co-installer's debug lines.
#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace coinstaller_test {

// `expected` appear in `lines` in this order, other lines between them.
::testing::AssertionResult ContainsInOrder(const std::vector<std::string>& lines,
                                           const std::vector<std::string>& expected);

// The lines from the first that equals `first` on (none when it is absent).
std::vector<std::string> LinesFrom(const std::vector<std::string>& lines, const std::string& first);

bool HasLine(const std::vector<std::string>& lines, const std::string& line);
bool HasLineStartingWith(const std::vector<std::string>& lines, const std::string& start);

}  // namespace coinstaller_test
