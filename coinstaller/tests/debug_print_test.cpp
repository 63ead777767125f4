// The co-installer's debug lines as the debugger channel receives them.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "coinstaller/debug_print.h"
#include "testsupport/debug_capture.h"

namespace coinstaller {
namespace {

TEST(DebugPrint, EachCallIsOnePrefixedLineEndingInOneCrLf) {
  testsupport::InProcessDebugCapture capture;
  DebugPrint("DIF_REMOVE");
  DebugPrint("Inf Section: %s%s", "RowCard", ".NTamd64 \t\r\n\n");
  DebugPrint("%s", "Corvane 802.11 (100% channels, %s %n %%)");
  DebugPrint("[err=%ld]", -536870386L);
  const std::vector<testsupport::DebugMessage> messages = capture.Messages();
  ASSERT_EQ(messages.size(), 4u);
  EXPECT_EQ(messages[0].text, "*** RAVCOINST ***: DIF_REMOVE\r\n");
  EXPECT_EQ(messages[1].text, "*** RAVCOINST ***: Inf Section: RowCard.NTamd64\r\n");
  EXPECT_EQ(messages[2].text, "*** RAVCOINST ***: Corvane 802.11 (100% channels, %s %n %%)\r\n");
  EXPECT_EQ(messages[3].text, "*** RAVCOINST ***: [err=-536870386]\r\n");
}

TEST(DebugPrint, TextOver4092CharactersIsCutAndStillEndsInCrLf) {
  testsupport::InProcessDebugCapture capture;
  const std::string text = std::string(4091, 'a') + "bc" + std::string(3000, 'd');
  DebugPrint("%s", text.c_str());
  // A cut that lands in trailing blanks drops them too.
  DebugPrint("%s", (std::string(4090, 'a') + "    z").c_str());
  const std::vector<testsupport::DebugMessage> messages = capture.Messages();
  ASSERT_EQ(messages.size(), 2u);
  EXPECT_EQ(messages[0].text, "*** RAVCOINST ***: " + std::string(4091, 'a') + "b\r\n");
  EXPECT_EQ(messages[1].text, "*** RAVCOINST ***: " + std::string(4090, 'a') + "\r\n");
}

TEST(DebugPrint, LeavesTheLastErrorAsItWas) {
  testsupport::InProcessDebugCapture capture;
  SetLastError(1234);
  DebugPrint("Could not delete backup inf file, error: %ld", LastErrorCode());
  EXPECT_EQ(GetLastError(), 1234u);
  EXPECT_THAT(capture.Lines(), testing::ElementsAre("*** RAVCOINST ***: Could not delete backup inf file, error: 1234"));
}

}  // namespace
}  // namespace coinstaller
