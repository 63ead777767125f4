// Paths below the Windows directory as the handlers get them: never formed
// from a directory that could not be read, never cut to fit.
#include <gtest/gtest.h>

#include "coinstaller/core/system_paths.h"
#include "coinstaller/windows_directory.h"

namespace coinstaller {
namespace {

TEST(WindowsDirectory, UnreadDirectoryFormsNoPathAndReportsWhyItFailed) {
  const WindowsDirectory unread(rav::Failure{ERROR_ACCESS_DENIED});
  for (std::string_view subdirectory : {kSystemDirectory, kInfDirectory}) {
    const rav::Result<std::string> path = unread.PathTo(subdirectory, "oem3.inf");
    EXPECT_FALSE(path.ok()) << subdirectory;
    EXPECT_EQ(path.error(), static_cast<DWORD>(ERROR_ACCESS_DENIED)) << subdirectory;
  }
}

TEST(WindowsDirectory, PathThatDoesNotFitIsRefusedWithFilenameTooLong) {
  const WindowsDirectory read(std::string("C:\\windows"));
  EXPECT_EQ(read.PathTo(kSystemDirectory, "oem3.inf").value(), "C:\\windows\\System32\\oem3.inf");
  const rav::Result<std::string> tooLong = read.PathTo(kSystemDirectory, std::string(240, 'n'));
  EXPECT_FALSE(tooLong.ok());
  EXPECT_EQ(tooLong.error(), static_cast<DWORD>(ERROR_FILENAME_EXCED_RANGE));
}

TEST(WindowsDirectory, ReadsThePlatformsDirectory) {
  char expected[MAX_PATH] = {};
  ASSERT_GT(GetWindowsDirectoryA(expected, MAX_PATH), 0u);
  const rav::Result<std::string> path = WindowsDirectory::Read().PathTo(kInfDirectory, "a.inf");
  ASSERT_TRUE(path.ok()) << path.error();
  EXPECT_EQ(path.value(), std::string(expected) + "\\Inf\\a.inf");
}

}  // namespace
}  // namespace coinstaller
