// The shared platform-free text pieces, natively and under Wine.
#include <gtest/gtest.h>

#include <string>
#include <utility>

#include "common/core/argument_quote.h"
#include "common/core/ascii_case.h"
#include "common/core/debug_line.h"
#include "common/core/utf_text.h"

namespace rav {
namespace {

std::u16string Units(std::initializer_list<char16_t> units) { return std::u16string(units); }

TEST(UtfText, EncodesAndDecodesTheWholeRange) {
  const std::pair<std::u16string, std::string> cases[] = {
      {u"", ""},
      {u"\u00e9", "\xC3\xA9"},
      {u"\U0001F600", "\xF0\x9F\x98\x80"},
      {u"A\u0800\uFFFF", "A\xE0\xA0\x80\xEF\xBF\xBF"},
      {u"\u00e9\U0001F600z", "\xC3\xA9\xF0\x9F\x98\x80z"},
      {u"\U0010FFFF", "\xF4\x8F\xBF\xBF"},
      {u"\u007F\u0080\u07FF\uD7FF\uE000", "\x7F\xC2\x80\xDF\xBF\xED\x9F\xBF\xEE\x80\x80"},
  };
  for (const auto& [units, bytes] : cases) {
    SCOPED_TRACE(testing::PrintToString(bytes));
    EXPECT_EQ(Utf16ToUtf8(units), bytes);
    std::u16string out = u"junk";
    EXPECT_TRUE(Utf8ToUtf16(bytes, out));
    EXPECT_EQ(out, units);
    EXPECT_EQ(Utf8ToUtf16Lenient(bytes), units);
  }
}

// Strict decoding keeps what came before the first bad sequence; lenient
// decoding puts one U+FFFD for each maximal part of a bad sequence and goes on.
TEST(UtfText, MalformedUtf8StopsStrictDecodingAndIsReplacedByLenientDecoding) {
  struct Case {
    std::string bytes;
    std::u16string strict;
    std::u16string lenient;
  };
  const Case cases[] = {
      {std::string("A\xC0\x80", 3), u"A", u"A\uFFFD\uFFFD"},     // overlong NUL
      {"\xED\xA0\x80", u"", u"\uFFFD\uFFFD\uFFFD"},               // an encoded surrogate
      {"ok\xE2\x82", u"ok", u"ok\uFFFD"},                          // cut off
      {"x\x80y", u"x", u"x\uFFFDy"},                               // stray continuation byte
      {"\xE0\x9F\xBF", u"", u"\uFFFD\uFFFD\uFFFD"},               // overlong three-byte form
      {"\xF0\x8F\xBF\xBF", u"", u"\uFFFD\uFFFD\uFFFD\uFFFD"},     // overlong four-byte form
      {"\xF4\x90\x80\x80", u"", u"\uFFFD\uFFFD\uFFFD\uFFFD"},     // beyond U+10FFFF
      {"\xF5\x80\x80\x80", u"", u"\uFFFD\uFFFD\uFFFD\uFFFD"},     // lead beyond F4
      {"\xF8\x88\x80\x80\x80", u"", u"\uFFFD\uFFFD\uFFFD\uFFFD\uFFFD"},  // five-byte form
      {"a\xC3(", u"a", u"a\uFFFD("},                               // continuation missing
      {"\xF0\x9F\x98z\xC3\xA9", u"", u"\uFFFDz\u00e9"},            // three of four bytes, then more
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::PrintToString(c.bytes));
    std::u16string out = u"junk";
    EXPECT_FALSE(Utf8ToUtf16(c.bytes, out));
    EXPECT_EQ(out, c.strict);
    EXPECT_EQ(Utf8ToUtf16Lenient(c.bytes), c.lenient);
  }
}

TEST(UtfText, UnpairedSurrogatesAreFoundAndEncodedAsReplacement) {
  struct Case {
    std::u16string units;
    UnpairedSurrogate first;
    std::string encoded;
  };
  const Case cases[] = {
      {u"a\U0001F600", UnpairedSurrogate::kNone, "a\xF0\x9F\x98\x80"},
      {Units({u'a', 0xD83D}), UnpairedSurrogate::kLead, "a\xEF\xBF\xBD"},
      {Units({0xD83D, u'x'}), UnpairedSurrogate::kLead, "\xEF\xBF\xBDx"},
      {Units({0xDE00}), UnpairedSurrogate::kTrail, "\xEF\xBF\xBD"},
      {Units({u'a', 0xDE00, u'b'}), UnpairedSurrogate::kTrail, "a\xEF\xBF\xBD" "b"},
      {Units({u'o', u'k', 0xDE00, 0xD83D}), UnpairedSurrogate::kTrail, "ok\xEF\xBF\xBD\xEF\xBF\xBD"},
      {Units({0xD83D, 0xD83D, 0xDE00}), UnpairedSurrogate::kLead, "\xEF\xBF\xBD\xF0\x9F\x98\x80"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::PrintToString(c.encoded));
    EXPECT_EQ(FindUnpairedSurrogate(c.units), c.first);
    EXPECT_EQ(Utf16ToUtf8(c.units), c.encoded);
  }
}

TEST(AsciiCase, ComparisonIgnoresOnlyTheCaseOfAsciiLetters) {
  const std::tuple<std::string_view, std::string_view, bool> cases[] = {
      {"explorer.exe", "Explorer.exe", true},
      {"EXPLORER.EXE", "explorer.exe", true},
      {"VM\\root", "vm\\ROOT", true},
      {"", "", true},
      {"explorer.exe", "explorer.ex", false},
      {"C:\\windows\\explorer.exe", "explorer.exe", false},
      {"explorer.exe /separate", "explorer.exe", false},
      // '@' and '`', '[' and '{' sit next to the letters; 0xC9 and 0xE9 are
      // É and é in the Western code page: none of them is folded.
      {"@", "`", false},
      {"[", "{", false},
      {"\xC9", "\xE9", false},
  };
  for (const auto& [a, b, equal] : cases) {
    SCOPED_TRACE(std::string(a) + " | " + std::string(b));
    EXPECT_EQ(EqualIgnoringAsciiCase(a, b), equal);
    EXPECT_EQ(EqualIgnoringAsciiCase(b, a), equal);
    std::u16string wideA, wideB;
    for (const char c : a) wideA.push_back(static_cast<unsigned char>(c));
    for (const char c : b) wideB.push_back(static_cast<unsigned char>(c));
    EXPECT_EQ(EqualIgnoringAsciiCase(wideA, wideB), equal);
  }
  // U+0130 and U+0131 fold to 'i' under some locales' rules, never here.
  EXPECT_FALSE(EqualIgnoringAsciiCase(u"\u0130", u"i"));
  EXPECT_FALSE(EqualIgnoringAsciiCase(u"\u0131", u"I"));
  EXPECT_EQ(AsciiLowered("Ab@[`{Z\xC9"), "ab@[`{z\xC9");
  EXPECT_EQ(AsciiUppered("aB@[`{z\xE9"), "AB@[`{Z\xE9");
  EXPECT_TRUE(EndsWithIgnoringAsciiCase("NET.INF", ".inf"));
  EXPECT_TRUE(EndsWithIgnoringAsciiCase(".inf", ".INF"));
  EXPECT_FALSE(EndsWithIgnoringAsciiCase("inf", ".inf"));
  EXPECT_FALSE(EndsWithIgnoringAsciiCase("net.inf ", ".inf"));
}

// The uninstaller's trace lines keep their text whole: no prefix, no cut,
// no white space removed, LF (the prefixed style is tested with the
// launcher's rules).
TEST(DebugLine, TraceLinesKeepTheirTextAsItIs) {
  const std::u16string longText(kDebugMessageLimit + 10, u'x');
  const std::pair<std::u16string, std::u16string> cases[] = {
      {u"WinMain: Verbose", u"WinMain: Verbose\n"},
      {u"a \t\r\n", u"a \t\r\n\n"},
      {u"", u"\n"},
      {longText, longText + u"\n"},
  };
  for (const auto& [message, line] : cases) EXPECT_EQ(ComposeDebugLine(kTraceLines, message), line);
}

TEST(ArgumentQuote, QuotesArgumentsByThePlatformRules) {
  const std::pair<std::string_view, std::string_view> cases[] = {
      {"plain", "plain"},
      {"", "\"\""},
      {"a b", "\"a b\""},
      {"tab\there", "\"tab\there\""},
      {"C:\\My Dir\\", "\"C:\\My Dir\\\\\""},
      {"say \"hi\"", "\"say \\\"hi\\\"\""},
      {"a\\\\\"b", "\"a\\\\\\\\\\\"b\""},
      {"C:\\no\\blanks\\", "C:\\no\\blanks\\"},
      {"a\\b c", "\"a\\b c\""},
  };
  for (const auto& [argument, quoted] : cases) {
    SCOPED_TRACE(argument);
    EXPECT_EQ(QuoteArgument(argument), quoted);
    const std::u16string wide(argument.begin(), argument.end());
    EXPECT_EQ(QuoteArgument(std::u16string_view(wide)), std::u16string(quoted.begin(), quoted.end()));
  }
  EXPECT_EQ(JoinArguments({u"a:keep one", u"pid", u""}), u"\"a:keep one\" pid \"\"");
}

TEST(ArgumentQuote, FindsWhereAnArgumentBeginsAsTheCommandLineHasIt) {
  struct Row {
    std::string_view line;
    std::size_t index;
    std::string_view rest;  // from the argument on; "-" for none
  };
  const Row rows[] = {
      {"prog a b", 0, "prog a b"},
      {"prog a b", 2, "b"},
      {"prog a b", 3, "-"},
      {"  prog", 0, "prog"},
      {"\"C:\\My Dir\\ravtrace.exe\" run --  \"C:\\P F\\ravuninst.exe\" verbose /rootdir=\"C:\\P F\"", 3,
       "\"C:\\P F\\ravuninst.exe\" verbose /rootdir=\"C:\\P F\""},
      {"p \"C:\\P F\\ravuninst.exe\" verbose /rootdir=\"C:\\P F\"", 3, "/rootdir=\"C:\\P F\""},
      // The program's name keeps backslashes before a quote as they are.
      {"\"C:\\dir\\\" a", 1, "a"},
      // An escaped quote does not end the argument; an even run of backslashes does.
      {"p a\\\" b c", 2, "b c"},
      {"p \"a\\\\\" b c", 2, "b c"},
      {"p \"a\"\"b c\" d", 2, "d"},
      {"p \"unclosed a b", 2, "-"},
      {"p a\tb", 2, "b"},
      {"", 0, "-"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(std::string(row.line) + " #" + std::to_string(row.index));
    const std::size_t at = ArgumentOffset(row.line, row.index);
    EXPECT_EQ(at == std::string_view::npos ? std::string_view("-") : row.line.substr(at), row.rest);
  }
}

}  // namespace
}  // namespace rav
