// The launcher's platform-free rules, natively and under Wine.
#include <gtest/gtest.h>

#include <string>

#include "common/core/debug_line.h"
#include "launcher/core/arguments.h"
#include "launcher/core/debug_prefix.h"
#include "launcher/core/launch_entry.h"
#include "launcher/core/launcher_paths.h"
#include "launcher/core/setup_result.h"
#include "launcher/core/staged_tree.h"
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

std::string Utf8(const std::u16string& text) { return std::string(text.begin(), text.end()); }

TEST(StagingRules, PathAndParentsWalkUpToTheRoot) {
  struct Case {
    const char16_t* path;
    std::vector<std::u16string> expected;
  };
  const Case cases[] = {
      {u"C:\\a\\b", {u"C:\\a\\b", u"C:\\a", u"C:\\"}},
      {u"C:\\a\\b\\", {u"C:\\a\\b", u"C:\\a", u"C:\\"}},
      {u"C:\\", {u"C:\\"}},
      {u"\\\\?\\C:\\t1\\RavWLSetup", {u"\\\\?\\C:\\t1\\RavWLSetup", u"\\\\?\\C:\\t1", u"\\\\?\\C:\\"}},
      {u"\\\\srv\\share\\pkg\\sub", {u"\\\\srv\\share\\pkg\\sub", u"\\\\srv\\share\\pkg", u"\\\\srv\\share\\"}},
      {u"\\\\srv\\share", {u"\\\\srv\\share"}},
      {u"\\\\?\\UNC\\srv\\share\\pkg", {u"\\\\?\\UNC\\srv\\share\\pkg", u"\\\\?\\UNC\\srv\\share\\"}},
      {u"C:/a/b", {u"C:/a/b", u"C:/a", u"C:/"}},
      {u"relative\\dir", {u"relative\\dir"}},  // no root: only itself
      {u"", {u""}},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(PathAndParents(c.path), c.expected) << Utf8(c.path);
  }
}

TEST(StagingRules, NativePathsNameTheObjectManagersForm) {
  EXPECT_EQ(NativePath(u"C:\\T\\RavWLSetup").value(), u"\\??\\C:\\T\\RavWLSetup");
  EXPECT_EQ(NativePath(u"C:/T/x").value(), u"\\??\\C:\\T\\x");
  EXPECT_EQ(NativePath(u"\\\\?\\C:\\T").value(), u"\\??\\C:\\T");
  EXPECT_EQ(NativePath(u"\\\\srv\\share\\T").value(), u"\\??\\UNC\\srv\\share\\T");
  EXPECT_FALSE(NativePath(u"T\\RavWLSetup").has_value());
  EXPECT_FALSE(NativePath(u"\\T").has_value());
  EXPECT_FALSE(NativePath(u"").has_value());
}

TEST(StagingRules, SiblingsAreNumberedFromOneToTheLimitAndFitThePathBuffer) {
  EXPECT_EQ(*StagingSibling("C:\\T\\RavWLSetup", 1, kMaxPathChars), "C:\\T\\RavWLSetup.1");
  EXPECT_EQ(*StagingSibling("C:\\T\\RavWLSetup", kMaxStagingSiblings, kMaxPathChars), "C:\\T\\RavWLSetup.99");
  EXPECT_FALSE(StagingSibling("C:\\T\\RavWLSetup", 0, kMaxPathChars).has_value());
  EXPECT_FALSE(StagingSibling("C:\\T\\RavWLSetup", kMaxStagingSiblings + 1, kMaxPathChars).has_value());
  EXPECT_EQ(StagingSibling(std::string(kMaxPathChars - 2, 't'), 1, kMaxPathChars).value().size(), kMaxPathChars);
  EXPECT_FALSE(StagingSibling(std::string(kMaxPathChars - 2, 't'), 10, kMaxPathChars).has_value());
}

TEST(StagingRules, OneLockNamePerTemporaryDirectoryInTheSession) {
  const DirectoryIdentity temp{0x43000000u, 0xA72B5Bu};
  EXPECT_EQ(StagingLockName(temp), u"Local\\RavWLSetup.43000000.0000000000A72B5B");
  EXPECT_NE(StagingLockName({0x43000001u, 0xA72B5Bu}), StagingLockName(temp));
  EXPECT_NE(StagingLockName({0x43000000u, 0xA72B5Cu}), StagingLockName(temp));
  // Every digit of both numbers counts.
  EXPECT_EQ(StagingLockName({0xFEDCBA98u, 0x0123456789ABCDEFull}), u"Local\\RavWLSetup.FEDCBA98.0123456789ABCDEF");
}

StagedEntry File(std::string path, std::uint64_t size, std::uint64_t time) {
  return {std::move(path), false, false, size, time};
}
StagedEntry Directory(std::string path) { return {std::move(path), true, false, 0, 0}; }

TEST(StagedTree, AStartNeedsTheTreeAsItWasCopied) {
  constexpr std::uint64_t kSecond = 10000000;
  const std::vector<StagedEntry> copied = {File("prog.exe", 100, 50 * kSecond), Directory("sub"),
                                           File("sub\\data.bin", 7, 60 * kSecond)};
  struct Case {
    const char* name;
    std::vector<StagedEntry> found;
    StagingCheck check;
    std::optional<std::string> change;
  };
  const Case cases[] = {
      {"as copied", copied, StagingCheck::kFirstStart, std::nullopt},
      {"listed in another order, a FAT volume's rounded time",
       {File("sub\\data.bin", 7, 61 * kSecond), Directory("sub"), File("prog.exe", 100, 49 * kSecond)},
       StagingCheck::kFirstStart, std::nullopt},
      {"a file dropped beside the program",
       {copied[0], copied[1], copied[2], File("version.dll", 5, 0)}, StagingCheck::kFirstStart,
       "version.dll was not staged"},
      {"a file dropped before a later start", {copied[0], copied[1], copied[2], File("version.dll", 5, 0)},
       StagingCheck::kLaterStart, std::nullopt},
      {"a program of another size", {File("prog.exe", 101, 50 * kSecond), copied[1], copied[2]},
       StagingCheck::kFirstStart, "prog.exe was changed"},
      {"a program written later", {File("prog.exe", 100, 53 * kSecond), copied[1], copied[2]},
       StagingCheck::kFirstStart, "prog.exe was changed"},
      {"any other time before a later start", {File("prog.exe", 100, 50 * kSecond + 1), copied[1], copied[2]},
       StagingCheck::kLaterStart, "prog.exe was changed"},
      {"a missing file", {copied[0], copied[1]}, StagingCheck::kLaterStart, "sub\\data.bin is missing"},
      {"a directory that became a link", {copied[0], {"sub", true, true, 0, 0}, copied[2]},
       StagingCheck::kFirstStart, "sub was replaced"},
      {"a file that became a directory", {Directory("prog.exe"), copied[1], copied[2]}, StagingCheck::kLaterStart,
       "prog.exe was replaced"},
      {"names compare exactly", {File("PROG.EXE", 100, 50 * kSecond), copied[1], copied[2]},
       StagingCheck::kFirstStart, "prog.exe is missing"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(FindStagingChange(copied, c.found, c.check), c.change) << c.name;
  }
  EXPECT_EQ(FindStagingChange({}, {}, StagingCheck::kFirstStart), std::nullopt);
}

TEST(SetupResult, TheErrorCodeCountsOnlyWhenThisRunWroteIt) {
  const StatusReading none{};
  const StatusReading old1603{true, 1603, 100};
  const StatusReading old0{true, 0, 100};
  struct Case {
    const char* name;
    StatusReading runStart, before, after;
    ProgramRun run;
    SetupResult expected;
  };
  const Case cases[] = {
      {"written where there was none", none, none, {true, 5, 200}, {true, 0}, {5, ResultSource::kErrorCode}},
      {"another value written", old0, old0, {true, 1603, 200}, {true, 0}, {1603, ResultSource::kErrorCode}},
      {"the same value written again", old0, old0, {true, 0, 200}, {true, 7}, {0, ResultSource::kErrorCode}},
      {"an earlier run's error, a crash", old1603, old1603, old1603, {true, 0xC0000005u},
       {0xC0000005u, ResultSource::kExitCode}},
      {"an earlier run's success, an error exit", old0, old0, old0, {true, 5}, {5, ResultSource::kExitCode}},
      {"nothing written, success", none, none, none, {true, 0}, {0, ResultSource::kExitCode}},
      {"a value deleted", old0, old0, none, {true, 3}, {3, ResultSource::kExitCode}},
      {"a value that cannot be read now", old0, old0, {false, 0, 200}, {true, 4}, {4, ResultSource::kExitCode}},
      {"not started, an earlier run's error", old1603, old1603, old1603, {false, 2}, {2, ResultSource::kStartError}},
      {"not started after a program of this run failed", none, {true, 7, 200}, {true, 7, 200}, {false, 2},
       {7, ResultSource::kErrorCode}},
      {"not started after a program of this run succeeded", none, {true, 0, 200}, {true, 0, 200}, {false, 2},
       {2, ResultSource::kStartError}},
  };
  for (const Case& c : cases) {
    const SetupResult result = DecideSetupResult(c.runStart, c.before, c.after, c.run);
    EXPECT_EQ(result.code, c.expected.code) << c.name;
    EXPECT_EQ(result.source, c.expected.source) << c.name;
  }
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
