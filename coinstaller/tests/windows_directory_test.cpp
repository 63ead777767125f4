// Paths below the Windows directory as the handlers get them: never formed
// from a directory that could not be read, never cut to fit.
#include <gtest/gtest.h>

#include "coinstaller/system_paths.h"
#include "coinstaller/windows_directory.h"

namespace coinstaller {
namespace {

TEST(WindowsDirectory, UnreadDirectoryFormsNoPathAndReportsWhyItFailed) {
  const WindowsDirectory unread(std::nullopt, ERROR_ACCESS_DENIED);
  for (std::string_view subdirectory : {kSystemDirectory, kInfDirectory}) {
    SetLastError(0xdeadbeef);
    EXPECT_FALSE(unread.PathTo(subdirectory, "oem3.inf").has_value()) << subdirectory;
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED)) << subdirectory;
  }
}

TEST(WindowsDirectory, PathThatDoesNotFitIsRefusedWithFilenameTooLong) {
  const WindowsDirectory read(std::string("C:\\windows"), ERROR_SUCCESS);
  EXPECT_EQ(read.PathTo(kSystemDirectory, "oem3.inf"), "C:\\windows\\System32\\oem3.inf");
  SetLastError(0xdeadbeef);
  EXPECT_FALSE(read.PathTo(kSystemDirectory, std::string(240, 'n')).has_value());
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILENAME_EXCED_RANGE));
}

TEST(WindowsDirectory, ReadsThePlatformsDirectory) {
  char expected[MAX_PATH] = {};
  ASSERT_GT(GetWindowsDirectoryA(expected, MAX_PATH), 0u);
  EXPECT_EQ(WindowsDirectory::Read().PathTo(kInfDirectory, "a.inf"), std::string(expected) + "\\Inf\\a.inf");
}

}  // namespace
}  // namespace coinstaller
