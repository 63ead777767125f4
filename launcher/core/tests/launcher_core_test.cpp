// The launcher's platform-free rules, natively and under Wine.
#include <gtest/gtest.h>

#include <string>

#include "common/core/debug_line.h"
#include "launcher/core/arguments.h"
#include "launcher/core/debug_prefix.h"
#include "launcher/core/launch_entry.h"
#include "launcher/core/launcher_paths.h"
#include "launcher/core/staging_rules.h"

namespace launcher {
namespace {

struct SplitCase {
  const char* value;
  const char* command;
  const char* arguments;  // null: none
};

TEST(SplitLaunchEntry, SplitsCommandFromArguments) {
  const SplitCase cases[] = {
      {"setup.exe", "setup.exe", nullptr},
      {"setup.exe /x", "setup.exe", "/x"},
      {"\"My Setup.exe\" /s", "My Setup.exe", "/s"},
      {"sub\\setup.exe", "sub\\setup.exe", nullptr},
      {"a\"b c\"d e f", "ab cd", "e f"},
      {"setup.exe  two  blanks", "setup.exe", " two  blanks"},
      {"setup.exe /f1\"x y\" \"q\"", "setup.exe", "/f1\"x y\" \"q\""},
      {" leading", "", "leading"},
      {"\"unclosed quote and blank", "unclosed quote and blank", nullptr},
      {"\"\"", "", nullptr},
      {"", "", nullptr},
      {"setup.exe ", "setup.exe", ""},
  };
  for (const SplitCase& c : cases) {
    SCOPED_TRACE(c.value);
    const LaunchEntry entry = SplitLaunchEntry(std::string(c.value));
    EXPECT_EQ(entry.command, c.command);
    ASSERT_EQ(entry.arguments.has_value(), c.arguments != nullptr);
    if (c.arguments != nullptr) {
      EXPECT_EQ(*entry.arguments, c.arguments);
    }
  }
}

TEST(SplitLaunchEntry, ArgumentsPointIntoTheSameBuffer) {
  char value[] = "\"a b\".exe /s /f2x";
  const char* arguments = nullptr;
  SplitLaunchEntry(value, &arguments);
  EXPECT_STREQ(value, "a b.exe");
  ASSERT_NE(arguments, nullptr);
  EXPECT_STREQ(arguments, "/s /f2x");
  EXPECT_GE(arguments, value);
  EXPECT_LT(arguments, value + sizeof value);
}

TEST(Arguments, HelpSwitchesMatchWholeArgumentInAnyCase) {
  for (const char* help : {"/?", "/Help", "/HELP", "/help", "-Help", "-hElP"}) {
    EXPECT_TRUE(IsHelpSwitch(help)) << help;
  }
  for (const char* other : {"/helpme", "/hel", "-?", "?", "/ ?", "help", "/Help ", "", "/s"}) {
    EXPECT_FALSE(IsHelpSwitch(other)) << other;
  }
}

TEST(Arguments, QuotesDrivePathsThatHoldBlanks) {
  const std::pair<const char*, const char*> cases[] = {
      {"/f1C:\\My Files\\setup.iss", "/f1\"C:\\My Files\\setup.iss\""},
      {"/sms", "/sms"},
      {"/f2C:\\log.txt", "/f2C:\\log.txt"},
      {"/f2My Log.txt", "/f2My Log.txt"},  // a blank but no colon
      {"C:\\a b", "\"C:\\a b\""},
      {":x y", "\":x y\""},  // colon first: the quote opens the text
      {"/extract_all:C:\\My Dir", "/extract_al\"l:C:\\My Dir\""},
      {"a:b\tc", "a:b\tc"},  // a tab is no blank
      {"x: ", "\"x: \""},
      // Backslashes that end the argument are doubled before the closing
      // quote, which would otherwise read as a literal quote.
      {"/f1C:\\My Files\\", "/f1\"C:\\My Files\\\\\""},
      {"C:\\a b\\\\", "\"C:\\a b\\\\\\\\\""},
      {"C:\\a b\\c", "\"C:\\a b\\c\""},
      {"/f1\"C:\\a b\\", "/f1\"\"C:\\a b\\\\\""},
  };
  for (const auto& [argument, expected] : cases) {
    EXPECT_EQ(QuoteArgument(argument), expected) << argument;
    EXPECT_EQ(NeedsQuotes(argument), std::string(argument) != expected) << argument;
  }
}

TEST(Arguments, ArgumentTextEndsInBlankAndRefusesWhatDoesNotFit) {
  std::string text;
  ASSERT_TRUE(AppendArgument(text, "/s"));
  ASSERT_TRUE(AppendArgument(text, "/f2C:\\log.txt"));
  EXPECT_EQ(text, "/s /f2C:\\log.txt ");

  std::string full;
  ASSERT_TRUE(AppendArgument(full, std::string(kArgumentTextCapacity - 2, 'a')));
  EXPECT_EQ(full.size(), kArgumentTextCapacity - 1);
  EXPECT_FALSE(AppendArgument(full, ""));
  EXPECT_EQ(full.size(), kArgumentTextCapacity - 1);

  std::string tooLong;
  EXPECT_FALSE(AppendArgument(tooLong, std::string(kArgumentTextCapacity - 1, 'a')));
  EXPECT_TRUE(tooLong.empty());
}

TEST(LaunchEntry, CommandLineTextStartsWithBlankAndKeepsTrailingBlank) {
  EXPECT_EQ(*CommandLineText(std::string("/x"), "/s /f2C:\\log.txt "), " /x /s /f2C:\\log.txt ");
  EXPECT_EQ(*CommandLineText(std::nullopt, ""), "  ");
  EXPECT_EQ(*CommandLineText(std::nullopt, "/s "), "  /s ");
  EXPECT_EQ(*CommandLineText(std::string(""), "a "), "  a ");
  EXPECT_EQ(CommandLineText(std::string(500, 'x'), std::string(521, 'y')).value().size(), kCommandBufferSize - 1);
  EXPECT_FALSE(CommandLineText(std::string(500, 'x'), std::string(522, 'y')).has_value());
}

TEST(LaunchEntry, ProgramPathJoinsStagingAndCommandWithinItsBuffer) {
  EXPECT_EQ(*ProgramPath("C:\\T\\RavWLSetup", "sub\\setup.exe"), "C:\\T\\RavWLSetup\\sub\\setup.exe");
  EXPECT_EQ(ProgramPath("C:", std::string(kCommandBufferSize - 4, 'p')).value().size(), kCommandBufferSize - 1);
  EXPECT_FALSE(ProgramPath("C:", std::string(kCommandBufferSize - 3, 'p')).has_value());
}

TEST(LaunchEntry, OnlyALeadingNTurnsErrorCheckingOff) {
  for (const char* off : {"N", "n", "no", "Never", "nonsense"}) EXPECT_TRUE(ErrorCheckingDisabled(off)) << off;
  for (const char* on : {"", "Y", "yes", "0", " N", "false"}) EXPECT_FALSE(ErrorCheckingDisabled(on)) << on;
  EXPECT_EQ(LaunchKey(0), "FILE0");
  EXPECT_EQ(LaunchKey(12), "FILE12");
}

TEST(LauncherPaths, DirectoryIsCutBeforeTheLastBackslash) {
  EXPECT_EQ(*LauncherDirectory("C:\\pkg\\Setup.exe"), "C:\\pkg");
  EXPECT_EQ(*LauncherDirectory("C:\\Setup.exe"), "C:");
  EXPECT_EQ(*LauncherDirectory("\\\\srv\\share\\Setup.exe"), "\\\\srv\\share");
  EXPECT_FALSE(LauncherDirectory("").has_value());
  EXPECT_FALSE(LauncherDirectory("Setup.exe").has_value());
  EXPECT_FALSE(LauncherDirectory("\\Setup.exe").has_value());  // only the first character
}

TEST(LauncherPaths, IniAndStagingPathsMustFitThePathBuffer) {
  EXPECT_EQ(*IniPath("C:\\pkg"), "C:\\pkg\\launcher.ini");
  EXPECT_EQ(IniPath(std::string(kMaxPathChars - 13, 'd')).value().size(), kMaxPathChars);
  EXPECT_FALSE(IniPath(std::string(kMaxPathChars - 12, 'd')).has_value());

  EXPECT_EQ(*StagingDirectory("C:\\Users\\u\\AppData\\Local\\Temp\\"),
            "C:\\Users\\u\\AppData\\Local\\Temp\\RavWLSetup");
  EXPECT_EQ(StagingDirectory(std::string(kMaxPathChars - 10, 't')).value().size(), kMaxPathChars);
  EXPECT_FALSE(StagingDirectory(std::string(kMaxPathChars - 9, 't')).has_value());
}

TEST(StagingRules, APackageIsInsideOnlyAtOrBelowTheWholeDirectoryName) {
  struct Case {
    const char16_t* path;
    const char16_t* directory;
    bool inside;
  };
  const Case cases[] = {
      {u"C:\\T\\RAVWLSETUP", u"C:\\T\\RAVWLSETUP", true},
      {u"C:\\T\\RAVWLSETUP\\", u"C:\\T\\RAVWLSETUP", true},
      {u"C:\\T\\RAVWLSETUP", u"C:\\T\\RAVWLSETUP\\", true},
      {u"C:\\T\\RAVWLSETUP\\PKG\\SUB", u"C:\\T\\RAVWLSETUP", true},
      {u"C:\\T\\RAVWLSETUP2", u"C:\\T\\RAVWLSETUP", false},
      {u"C:\\T\\RAVWLSETUP.1", u"C:\\T\\RAVWLSETUP", false},
      {u"C:\\T", u"C:\\T\\RAVWLSETUP", false},
      {u"C:\\T\\RAVWLSETUP", u"C:\\T\\RAVWLSETUP\\PKG", false},
      {u"D:\\T\\RAVWLSETUP", u"C:\\T\\RAVWLSETUP", false},
      {u"C:\\A", u"C:\\", true},
      {u"C:\\T\\ravwlsetup", u"C:\\T\\RAVWLSETUP", false},  // the caller folds the case
      {u"C:\\T", u"", false},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(IsSameOrBelow(c.path, c.directory), c.inside)
        << std::string(c.path, c.path + std::char_traits<char16_t>::length(c.path));
  }
}

TEST(StagingRules, SiblingsAreNumberedFromOneToTheLimitAndFitThePathBuffer) {
  EXPECT_EQ(*StagingSibling("C:\\T\\RavWLSetup", 1, kMaxPathChars), "C:\\T\\RavWLSetup.1");
  EXPECT_EQ(*StagingSibling("C:\\T\\RavWLSetup", kMaxStagingSiblings, kMaxPathChars), "C:\\T\\RavWLSetup.99");
  EXPECT_FALSE(StagingSibling("C:\\T\\RavWLSetup", 0, kMaxPathChars).has_value());
  EXPECT_FALSE(StagingSibling("C:\\T\\RavWLSetup", kMaxStagingSiblings + 1, kMaxPathChars).has_value());
  EXPECT_EQ(StagingSibling(std::string(kMaxPathChars - 2, 't'), 1, kMaxPathChars).value().size(), kMaxPathChars);
  EXPECT_FALSE(StagingSibling(std::string(kMaxPathChars - 2, 't'), 10, kMaxPathChars).has_value());
}

TEST(StagingRules, OneLockNamePerStagingDirectoryInTheSession) {
  const std::u16string name = StagingLockName(u"C:\\USERS\\A\\TEMP\\RAVWLSETUP");
  EXPECT_EQ(name.rfind(u"Local\\RavWLSetup.", 0), 0u);
  EXPECT_EQ(name.size(), 17u + 16u);
  EXPECT_EQ(StagingLockName(u"C:\\USERS\\A\\TEMP\\RAVWLSETUP\\"), name);
  EXPECT_NE(StagingLockName(u"C:\\USERS\\B\\TEMP\\RAVWLSETUP"), name);
  EXPECT_NE(StagingLockName(u"C:\\USERS\\A\\TEMP\\RAVWLSETUQ"), name);
  // Both bytes of every code unit count.
  EXPECT_NE(StagingLockName(u"C:\\\u0100"), StagingLockName(u"C:\\\u0000"));
  EXPECT_EQ(PathHash(u""), 14695981039346656037ull);
}

TEST(DebugLine, CutsTrimsEndsWithCrLfAndPrefixes) {
  using rav::ComposeDebugLine;
  using rav::kDebugMessageLimit;
  EXPECT_EQ(ComposeDebugLine(kDebugPrefix, "Command: setup.exe\n"), "*** LAUNCHER ***: Command: setup.exe\r\n");
  EXPECT_EQ(ComposeDebugLine(kDebugPrefix, "x \t\r\n\v\f \n"), "*** LAUNCHER ***: x\r\n");
  EXPECT_EQ(ComposeDebugLine(kDebugPrefix, " \n"), "*** LAUNCHER ***: \r\n");
  EXPECT_EQ(ComposeDebugLine(kDebugPrefix, "100% done"), "*** LAUNCHER ***: 100% done\r\n");
  EXPECT_EQ(kDebugPrefix.size(), 18u);

  const std::string longMessage = std::string(kDebugMessageLimit - 1, 'a') + "bc" + std::string(50, 'd');
  const std::string line = ComposeDebugLine(kDebugPrefix, longMessage);
  EXPECT_EQ(line.size(), kDebugPrefix.size() + kDebugMessageLimit + 2);
  EXPECT_EQ(line.substr(line.size() - 3), "b\r\n");

  // A cut that lands in trailing blanks still ends in exactly one CR LF.
  const std::string blanksAtCut = std::string(kDebugMessageLimit - 2, 'a') + "    z";
  EXPECT_EQ(ComposeDebugLine("", blanksAtCut), std::string(kDebugMessageLimit - 2, 'a') + "\r\n");
}

}  // namespace
}  // namespace launcher
