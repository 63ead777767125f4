#include "coinstaller/tests/line_matchers.h"

#include <algorithm>

namespace coinstaller_test {

::testing::AssertionResult ContainsInOrder(const std::vector<std::string>& lines,
                                           const std::vector<std::string>& expected) {
  auto at = lines.begin();
  for (const std::string& line : expected) {
    at = std::find(at, lines.end(), line);
    if (at == lines.end()) {
      ::testing::AssertionResult failure = ::testing::AssertionFailure();
      failure << "missing (in this order): \"" << line << "\"\nlines were:\n";
      for (const std::string& each : lines) failure << "  " << each << "\n";
      return failure;
    }
    ++at;
  }
  return ::testing::AssertionSuccess();
}

std::vector<std::string> LinesFrom(const std::vector<std::string>& lines, const std::string& first) {
  return std::vector<std::string>(std::find(lines.begin(), lines.end(), first), lines.end());
}

bool HasLine(const std::vector<std::string>& lines, const std::string& line) {
  return std::find(lines.begin(), lines.end(), line) != lines.end();
}

bool HasLineStartingWith(const std::vector<std::string>& lines, const std::string& start) {
  return std::any_of(lines.begin(), lines.end(),
                     [&start](const std::string& line) { return line.rfind(start, 0) == 0; });
}

}  // namespace coinstaller_test
