// The uninstaller's platform-free rules, natively and under Wine.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/core/utf_text.h"
#include "uninstaller/core/command_line.h"
#include "uninstaller/core/engine_command.h"
#include "uninstaller/core/message_text.h"
#include "uninstaller/core/upgrade_string.h"
#include "uninstaller/core/window_geometry.h"

namespace ravuninst {
namespace {

std::string U8(std::u16string_view text) { return rav::Utf16ToUtf8(text); }

TEST(Modes, FirstKeywordOfTheTableWinsWhereverItStands) {
  const std::pair<const char16_t*, const char16_t*> cases[] = {
      {u"C:\\x\\ravuninst.exe", nullptr},
      {u"C:\\x\\ravuninst.exe verbose quiet", u"WinMain: Verbose"},
      {u"C:\\x\\ravuninst.exe quiet verbose", u"WinMain: Verbose"},
      {u"C:\\x\\ravuninst.exe Verbose", nullptr},
      {u"C:\\x\\ravuninst.exe Verbose quiet", u"WinMain: Quiet"},
      {u"C:\\x\\ravuninst.exe silent uninstall", u"WinMain: Silent"},
      {u"C:\\x\\ravuninst.exe uninstall", u"WinMain: Install"},
      {u"C:\\x\\ravuninst.exe services", u"WinMain: Services"},
      {u"C:\\x\\ravuninst.exe services /rootkey=SOFTWARE\\Corvane\\802.11_App\\UninstallInfo", u"WinMain: Install"},
      {u"C:\\x\\ravuninst.exe /rootdir=\"C:\\rundll\"", u"WinMain: rundll"},
      {u"C:\\x\\ravuninst.exe preupdate", u"WinMain: Pre-Update"},
      {u"C:\\x\\ravuninst.exe RemoveOld", u"WinMain: RemoveOld"},
      {u"C:\\x\\ravuninst.exe removeold", nullptr},
      {u"C:\\verbose\\ravuninst.exe", u"WinMain: Verbose"},
  };
  for (const auto& [line, trace] : cases) {
    const ModeEntry* mode = SelectMode(line);
    if (trace == nullptr) {
      EXPECT_EQ(mode, nullptr) << U8(line);
    } else {
      ASSERT_NE(mode, nullptr) << U8(line);
      EXPECT_EQ(mode->trace, trace) << U8(line);
    }
  }
  EXPECT_TRUE(HasDriverKeyword(u"x driver"));
  EXPECT_TRUE(HasDriverKeyword(u"x /rootdir=\"C:\\drivers\""));
  EXPECT_FALSE(HasDriverKeyword(u"x Driver"));
}

TEST(RootOptions, ValuesQuotedUnquotedAndCut) {
  struct Case {
    std::u16string line;
    std::u16string rootKey;
    std::u16string rootDir;
    bool complete;
  };
  const std::u16string longDir(300, u'd');
  const Case cases[] = {
      {u"x verbose", kDefaultRootKey, u"", true},
      {u"x /rootkey=SOFTWARE\\X\\Y verbose", u"SOFTWARE\\X\\Y", u"", true},
      {u"x /rootkey=\"SOFTWARE\\A B\\C\" verbose", u"SOFTWARE\\A B\\C", u"", true},
      {u"x /rootkey=SOFTWARE\\End", u"SOFTWARE\\End", u"", true},
      {u"x /rootkey=\"SOFTWARE\\Unclosed verbose", u"SOFTWARE\\Unclosed verbose", u"", true},
      {u"x /rootkey=", u"", u"", true},
      {u"x /rootdir=\"C:\\Setup Dir\" verbose", kDefaultRootKey, u"C:\\Setup Dir", true},
      {u"x /rootdir=C:\\Setup verbose", kDefaultRootKey, u"", false},
      {u"x /rootdir=", kDefaultRootKey, u"", false},
      {u"x /rootkey=K /rootdir=C:\\Setup", u"K", u"", false},
      {u"x /rootdir=\"" + longDir + u"\"", kDefaultRootKey, longDir.substr(0, 255), true},
      {u"x /rootkey=\"" + longDir, longDir.substr(0, 255), u"", true},
      // The closing quote is looked for only within the 255 characters taken.
      {u"x /rootdir=\"" + longDir.substr(0, 255) + u"\" verbose", kDefaultRootKey, longDir.substr(0, 255), true},
      {u"x /rootkey=a /rootkey=b", u"a", u"", true},
  };
  for (const Case& c : cases) {
    const RootOptions options = ParseRootOptions(c.line);
    EXPECT_EQ(options.rootKey, c.rootKey) << U8(c.line);
    EXPECT_EQ(options.rootDir, c.rootDir) << U8(c.line);
    EXPECT_EQ(options.complete, c.complete) << U8(c.line);
  }
}

TEST(RootOptions, LocalizedStringsKeyIsTheSiblingOfTheRootKey) {
  EXPECT_EQ(LocalizedStringsKeyFor(kDefaultRootKey), u"SOFTWARE\\Corvane\\802.11\\LocalizedStrings");
  EXPECT_EQ(LocalizedStringsKeyFor(u"SOFTWARE\\X\\Y"), u"SOFTWARE\\X\\LocalizedStrings");
  EXPECT_EQ(LocalizedStringsKeyFor(u"NoBackslash"), u"NoBackslash\\LocalizedStrings");
  EXPECT_EQ(LocalizedStringsKeyFor(u""), u"\\LocalizedStrings");
  // Near 255 characters with a short last part: the key would not fit.
  const std::u16string longKey = std::u16string(250, u'k') + u"\\Y";
  EXPECT_FALSE(LocalizedStringsKeyFor(longKey));
  const std::u16string fits = std::u16string(238, u'k') + u"\\UninstallInfo";
  EXPECT_EQ(LocalizedStringsKeyFor(fits).value().size(), 255u);
}

std::optional<std::u16string> Name(const char16_t* name, int* loads = nullptr) {
  if (loads != nullptr) ++*loads;
  return std::u16string(name);
}

TEST(MessageText, ReplacesTheTokenAndOnlyTheToken) {
  int loads = 0;
  const auto product = [&loads] { return Name(u"Adapter", &loads); };
  const std::pair<const char16_t*, const char16_t*> cases[] = {
      {u"Removing the %OEM_UTIL_NAME%", u"Removing the Adapter"},
      {u"%OEM_UTIL_NAME% and %OEM_UTIL_NAME%", u"Adapter and Adapter"},
      {u"50% of %OEM_UTIL_NAME%", u"50% of Adapter"},
      {u"%oem_util_name%", u"%oem_util_name%"},
      {u"%OEM_UTIL_NAME", u"%OEM_UTIL_NAME"},
      {u"%OEM_UTIL_NAMEX%", u"%OEM_UTIL_NAMEX%"},
      {u"%%OEM_UTIL_NAME%%", u"%Adapter%"},
      {u"no token", u"no token"},
      {u"%", u"%"},
      {u"", u""},
  };
  for (const auto& [text, expanded] : cases) EXPECT_EQ(ExpandProductName(text, product).text, expanded) << U8(text);
  loads = 0;
  ExpandProductName(u"%OEM_UTIL_NAME% %OEM_UTIL_NAME% %OEM_UTIL_NAME%", product);
  EXPECT_EQ(loads, 3) << "the name is loaded for each replacement";
  const ExpandedText noName = ExpandProductName(u"a %OEM_UTIL_NAME%", [] { return std::optional<std::u16string>(); });
  EXPECT_FALSE(noName.text);
  EXPECT_EQ(noName.failure, ExpandedText::Failure::kNoProductName);
  EXPECT_EQ(ExpandProductName(u"no token", [] { return std::optional<std::u16string>(); }).text, u"no token");
}

TEST(MessageText, AnExpansionLongerThanTheLimitIsRefusedBeforeItIsBuilt) {
  const std::u16string token(kProductToken);
  std::u16string thousandTokens;
  for (int i = 0; i < 1000; ++i) thousandTokens += token;
  struct Row {
    const char* name;
    std::u16string text;
    std::size_t nameLength;
    std::optional<std::size_t> expandedLength;  // none: refused as too long
    int loads;                                  // names loaded until the end or the refusal
  };
  const Row rows[] = {
      {"a name that fills the limit", u"ab" + token, kMaxExpandedText - 2, kMaxExpandedText, 1},
      {"a name one unit over", u"ab" + token, kMaxExpandedText - 1, std::nullopt, 1},
      {"a 500,000-unit name", token, 500000, std::nullopt, 1},
      {"1,000 tokens and a 500,000-unit name", thousandTokens, 500000, std::nullopt, 1},
      {"1,000 tokens and a 65-unit name", thousandTokens, 65, 65000, 1000},
      {"1,000 tokens and a 66-unit name", thousandTokens, 66, std::nullopt, 993},
      {"a text over the limit without a token", std::u16string(kMaxExpandedText + 1, u'x'), 1, std::nullopt, 0},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    int loads = 0;
    const ExpandedText result = ExpandProductName(row.text, [&] {
      ++loads;
      return std::optional<std::u16string>(std::u16string(row.nameLength, u'n'));
    });
    EXPECT_EQ(loads, row.loads);
    if (row.expandedLength) {
      ASSERT_TRUE(result.text);
      EXPECT_EQ(result.text->size(), *row.expandedLength);
    } else {
      EXPECT_FALSE(result.text);
      EXPECT_EQ(result.failure, ExpandedText::Failure::kTooLong);
    }
  }
}

TEST(MessageText, RemovalErrorIsNeverCut) {
  EXPECT_EQ(FormatRemovalError(u"Cannot continue", u"stage.src", 120), u"Cannot continue: stage.src 120.");
  EXPECT_EQ(FormatRemovalError(u"E", u"", -5), u"E:  -5.");
  const std::u16string longFile(5000, u'f');
  EXPECT_EQ(FormatRemovalError(u"E", longFile, 2147483647).size(), 5000u + 4 + 10 + 1);
  EXPECT_EQ(FormatExitCodeError(u"Cannot continue", 150), u"Cannot continue: 150.");
  EXPECT_EQ(FormatExitCodeError(u"E", 2147483647), u"E: 2147483647.");
  EXPECT_EQ(FormatCrashError(u"E", 0xE06D7363u), u"E: 0xE06D7363.");
  EXPECT_EQ(FormatCrashError(u"E", 0x80000003u), u"E: 0x80000003.");
}

TEST(EngineCommand, NamesTheEngineAndItsDirectoryTwice) {
  EXPECT_EQ(EngineCommandLine(u"C:\\Setup", false, false),
            u"\"C:\\Setup\\ravengine32.exe\" uninstall \"C:\\Setup\" ");
  EXPECT_EQ(EngineCommandLine(u"C:\\Setup", true, true),
            u"\"C:\\Setup\\ravengine64.exe\" uninstall \"C:\\Setup\" RavDrv");
  EXPECT_EQ(EngineCommandLine(u"", false, false), u"\"\\ravengine32.exe\" uninstall \"\" ");
}

// How a program splits its command line into arguments (the platform's
// rule): 2n backslashes before a quote give n and the quote delimits; 2n+1
// give n and a literal quote; other backslashes stand for themselves.
std::vector<std::u16string> SplitArguments(std::u16string_view line) {
  std::vector<std::u16string> arguments;
  std::size_t at = 0;
  for (;;) {
    while (at < line.size() && line[at] == u' ') ++at;
    if (at >= line.size()) return arguments;
    std::u16string argument;
    bool quoted = false;
    while (at < line.size() && (quoted || line[at] != u' ')) {
      std::size_t backslashes = 0;
      while (at < line.size() && line[at] == u'\\') ++backslashes, ++at;
      if (at < line.size() && line[at] == u'"') {
        argument.append(backslashes / 2, u'\\');
        if (backslashes % 2 == 1) {
          argument.push_back(u'"');
        } else {
          quoted = !quoted;
        }
        ++at;
      } else {
        argument.append(backslashes, u'\\');
        if (at < line.size() && (quoted || line[at] != u' ')) argument.push_back(line[at++]);
      }
    }
    arguments.push_back(argument);
  }
}

TEST(EngineCommand, TheEngineGetsTheDirectoryAndTheFlagAsTheirOwnArguments) {
  const char16_t* directories[] = {u"C:\\Setup", u"C:\\eng2\\", u"C:\\", u"C:\\two\\\\", u"\\\\server\\share\\",
                                   u"C:\\a b\\", u""};
  for (const char16_t* directory : directories) {
    const std::u16string line = EngineCommandLine(directory, false, true);
    const std::vector<std::u16string> arguments = SplitArguments(line);
    ASSERT_EQ(arguments.size(), 4u) << U8(line);
    EXPECT_EQ(arguments[1], u"uninstall") << U8(line);
    EXPECT_EQ(arguments[2], directory) << U8(line);
    EXPECT_EQ(arguments[3], u"RavDrv") << U8(line);
  }
  EXPECT_EQ(EngineCommandLine(u"C:\\eng2\\", true, true),
            u"\"C:\\eng2\\\\ravengine64.exe\" uninstall \"C:\\eng2\\\\\" RavDrv");
}

TEST(WindowGeometry, CentresWithHalvesRoundedTowardZero) {
  EXPECT_EQ(CenteredOrigin(0, 0, 1024, 768, 451, 100), (Point{286, 334}));
  EXPECT_EQ(CenteredOrigin(-1024, 10, 1024, 768, 451, 101), (Point{-1024 + 286, 10 + 333}));
  EXPECT_EQ(CenteredOrigin(0, 0, 100, 100, 301, 103), (Point{-100, -1}));
}

TEST(UpgradeString, CommandEndsAtTheFirstNulOrTheData) {
  const char16_t withNul[] = u"C:\\remove.exe /x\0junk";
  EXPECT_EQ(CommandFromValueData(withNul, sizeof withNul), u"C:\\remove.exe /x");
  const char16_t noNul[] = {u'a', u'b', u'c'};
  EXPECT_EQ(CommandFromValueData(noNul, 6), u"abc");
  EXPECT_EQ(CommandFromValueData(noNul, 5), u"ab");
  EXPECT_EQ(CommandFromValueData(noNul, 0), u"");
}

}  // namespace
}  // namespace ravuninst
