// The uninstaller services' platform-free rules, natively and under Wine.
#include <gtest/gtest.h>

#include <limits>
#include <optional>
#include <string>
#include <vector>

#include "uninstaller/services/core/basic_exception.h"
#include "uninstaller/services/core/channel_results.h"
#include "uninstaller/services/core/join_path.h"
#include "uninstaller/services/core/engine_outcome.h"
#include "uninstaller/services/core/line_buffer.h"
#include "uninstaller/services/core/log_file_check.h"
#include "uninstaller/services/core/status_line.h"
#include "uninstaller/services/core/string_tables.h"
#include "uninstaller/services/core/utf_convert.h"

namespace ravuninst {
namespace {

TEST(JoinPath, PutsExactlyOneBackslashBetween) {
  struct Case {
    std::u16string base;
    std::u16string part;
    std::u16string joined;
  };
  const Case cases[] = {
      {u"C:\\Temp\\", u"ravwl.log", u"C:\\Temp\\ravwl.log"},
      {u"C:\\Temp", u"ravwl.log", u"C:\\Temp\\ravwl.log"},
      {u"C:/Temp/", u"\\ravwl.log", u"C:\\Temp\\ravwl.log"},
      {u"C:\\Temp", u"\\ravwl.log", u"C:\\Temp\\ravwl.log"},
      {u"", u"C:\\Temp\\", u"C:\\Temp\\"},
      {u"C:\\Temp", u"", u"C:\\Temp"},
      {u"C:/a/b", u"", u"C:\\a\\b"},
      {u"C:\\Temp", u"sub/x.log", u"C:\\Temp\\sub/x.log"},
      {u"\\", u"\\x", u"\\x"},
  };
  for (const Case& c : cases) {
    std::u16string base = c.base;
    JoinPath(base, c.part);
    EXPECT_EQ(base, c.joined) << Utf16ToUtf8(c.base) << " + " << Utf16ToUtf8(c.part);
  }
}

TEST(StatusLine, ParsesProgressAndResultLines) {
  StatusLine line = ParseStatusLine(u"Progress,100,40");
  EXPECT_EQ(line.kind, StatusLine::Kind::kProgress);
  EXPECT_EQ(line.first, 100);
  EXPECT_EQ(line.second, 40);

  line = ParseStatusLine(u"Progress,abc,7");
  EXPECT_EQ(line.kind, StatusLine::Kind::kProgress);
  EXPECT_EQ(line.first, 0);
  EXPECT_EQ(line.second, 7);

  line = ParseStatusLine(u"Result,5,x,stage.src,120");
  EXPECT_EQ(line.kind, StatusLine::Kind::kResult);
  EXPECT_EQ(line.result, 5);
  EXPECT_EQ(line.errorFile, u"stage.src");
  EXPECT_EQ(line.errorLine, 120);

  line = ParseStatusLine(u"Result,100,,,");
  EXPECT_EQ(line.kind, StatusLine::Kind::kResult);
  EXPECT_EQ(line.result, 100);
  EXPECT_EQ(line.errorFile, u"");
  EXPECT_EQ(line.errorLine, 0);

  for (const char16_t* ignored : {u"Progress,100", u" Progress,1,2", u"progress,1,2", u"Result,5,x,stage.src",
                                  u"abc", u"", u"Progress", u"Resultx,1,2,3,4"}) {
    EXPECT_EQ(ParseStatusLine(ignored).kind, StatusLine::Kind::kOther) << Utf16ToUtf8(ignored);
  }
}

TEST(StatusLine, NumbersReadLikeWcstolAndClamp) {
  const std::pair<const char16_t*, std::int32_t> cases[] = {
      {u"42", 42},           {u"  \t42", 42},      {u"+7", 7},          {u"-7", -7},
      {u"12abc", 12},        {u"abc", 0},          {u"", 0},            {u" ", 0},
      {u"-", 0},             {u"2147483647", std::numeric_limits<std::int32_t>::max()},
      {u"2147483648", std::numeric_limits<std::int32_t>::max()},
      {u"99999999999999999999999", std::numeric_limits<std::int32_t>::max()},
      {u"-2147483648", std::numeric_limits<std::int32_t>::min()},
      {u"-99999999999999999999", std::numeric_limits<std::int32_t>::min()},
      {u"4 2", 4},
  };
  for (const auto& [field, value] : cases) EXPECT_EQ(ParseStatusNumber(field), value) << Utf16ToUtf8(field);
}

TEST(StatusLine, FieldsAreNotTrimmed) {
  const std::vector<std::u16string_view> fields = SplitStatusFields(u"a, b,,c,");
  ASSERT_EQ(fields.size(), 5u);
  EXPECT_EQ(fields[1], u" b");
  EXPECT_EQ(fields[2], u"");
  EXPECT_EQ(fields[4], u"");
}

// Feeds bytes into a line buffer the way a pipe reader does, in pieces.
std::vector<std::string> Feed(LineBuffer& buffer, const std::vector<std::string>& pieces) {
  std::vector<std::string> lines;
  std::string line;
  for (const std::string& piece : pieces) {
    std::size_t at = 0;
    while (at < piece.size()) {
      const std::span<char> room = buffer.PrepareRead();
      EXPECT_LE(room.size(), LineBuffer::kChunk);
      const std::size_t count = std::min(room.size(), piece.size() - at);
      std::copy_n(piece.data() + at, count, room.data());
      buffer.CommitRead(count);
      at += count;
    }
    while (buffer.TakeLine(line)) lines.push_back(line);
  }
  return lines;
}

TEST(LineBuffer, DeliversEachLineOnceWhenItsLineFeedArrives) {
  LineBuffer buffer;
  buffer.Reset();
  EXPECT_EQ(buffer.capacity(), 32u);
  EXPECT_EQ(Feed(buffer, {"Progr", "ess,1", ",2\r", "\nResult,5,x,", "f,9\nlast without LF"}),
            (std::vector<std::string>{"Progress,1,2", "Result,5,x,f,9"}));
  // The unterminated rest is still held, and arrives with its LF.
  EXPECT_EQ(buffer.size(), std::string("last without LF").size());
  EXPECT_EQ(Feed(buffer, {"\n"}), std::vector<std::string>{"last without LF"});
  EXPECT_EQ(buffer.size(), 0u);
}

TEST(LineBuffer, DropsEveryCarriageReturnAndKeepsEmptyLines) {
  LineBuffer buffer;
  EXPECT_EQ(Feed(buffer, {"a\rb\r\n\n\r\n"}), (std::vector<std::string>{"ab", "", ""}));
}

TEST(LineBuffer, AMillionLinesPassThroughWithoutPilingUp) {
  // The engine writes lines faster than the window takes them; the reader
  // takes 16 bytes at a time, so the buffer holds at most a line and a piece.
  LineBuffer buffer;
  std::string line;
  std::size_t delivered = 0;
  std::size_t expectedNext = 0;
  std::string pending;
  for (std::size_t i = 0; i < 1000000; ++i) {
    pending += "Progress,1000000," + std::to_string(i) + "\n";
    if (pending.size() < 4096 && i + 1 < 1000000) continue;
    std::size_t at = 0;
    while (at < pending.size()) {
      const std::span<char> room = buffer.PrepareRead();
      const std::size_t count = std::min(room.size(), pending.size() - at);
      std::copy_n(pending.data() + at, count, room.data());
      buffer.CommitRead(count);
      at += count;
      while (buffer.TakeLine(line)) {
        ASSERT_EQ(line, "Progress,1000000," + std::to_string(expectedNext));
        ++expectedNext;
        ++delivered;
      }
    }
    pending.clear();
  }
  EXPECT_EQ(delivered, 1000000u);
  EXPECT_LE(buffer.capacity(), 64u);
}

TEST(LineBuffer, GrowsByDoublingForLongLines) {
  LineBuffer buffer;
  const std::string longLine(1000, 'x');
  EXPECT_EQ(Feed(buffer, {longLine + "\n"}), std::vector<std::string>{longLine});
  EXPECT_EQ(buffer.capacity(), 1024u);  // 32, 64, ... until 16 bytes were always free
  buffer.Reset();
  EXPECT_EQ(buffer.capacity(), 1024u);  // never shrinks
}

TEST(LineBuffer, AnOverLongLineKeepsItsFirst64KiBAndTheRestIsDroppedAndCounted) {
  struct Row {
    const char* name;
    std::size_t length;  // bytes before the LF
  };
  const Row rows[] = {{"exactly at the cap", LineBuffer::kMaxLine},
                      {"one byte over", LineBuffer::kMaxLine + 1},
                      {"10 MB", 10u * 1024 * 1024}};
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    LineBuffer buffer;
    std::string stream(row.length, 'x');
    stream += "\nnext\n";
    std::vector<std::string> lines;
    std::string line;
    std::size_t at = 0;
    std::size_t largestRead = 0;
    while (at < stream.size()) {
      const std::span<char> room = buffer.PrepareRead();
      ASSERT_FALSE(room.empty());
      largestRead = std::max(largestRead, room.size());
      const std::size_t count = std::min(room.size(), stream.size() - at);
      std::copy_n(stream.data() + at, count, room.data());
      buffer.CommitRead(count);
      at += count;
      EXPECT_LE(buffer.capacity(), LineBuffer::kMaxCapacity);
      while (buffer.TakeLine(line)) lines.push_back(line);
    }
    const std::size_t kept = std::min(row.length, LineBuffer::kMaxLine);
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0].size(), kept);
    EXPECT_TRUE(lines[0] == std::string(kept, 'x'));
    EXPECT_EQ(lines[1], "next");
    EXPECT_EQ(buffer.TakeDroppedBytes(), row.length - kept);
    EXPECT_EQ(buffer.TakeDroppedBytes(), 0u) << "counted once";
    // Only bytes that are dropped anyway come in more than 16 at a time.
    if (row.length <= LineBuffer::kMaxLine) {
      EXPECT_EQ(largestRead, LineBuffer::kChunk);
    }
  }
}

TEST(LineBuffer, BytesDroppedFromALineWithoutLineFeedAreCountedAsTheyGo) {
  LineBuffer buffer;
  std::size_t fed = 0;
  while (fed < LineBuffer::kMaxLine + 1000) {
    const std::span<char> room = buffer.PrepareRead();
    std::fill(room.begin(), room.end(), 'y');
    buffer.CommitRead(room.size());
    fed += room.size();
  }
  EXPECT_EQ(buffer.size(), LineBuffer::kMaxLine);
  EXPECT_EQ(buffer.droppedFromOpenLine(), fed - LineBuffer::kMaxLine);
  EXPECT_EQ(buffer.TakeDroppedBytes(), 0u) << "the line has not ended";
}

TEST(LineBuffer, CompleteLinesLeftUntakenFillItToItsMaximumAndNoFurther) {
  LineBuffer buffer;
  const std::string longLine = std::string(LineBuffer::kMaxLine, 'x') + "\n";
  // A line at the cap and its LF, then more, while nobody takes a line.
  std::size_t fed = 0;
  std::size_t offered = 0;
  for (;;) {
    const std::span<char> room = buffer.PrepareRead();
    ASSERT_LE(buffer.capacity(), LineBuffer::kMaxCapacity);
    if (room.empty()) break;
    ASSERT_LE(offered, 4 * LineBuffer::kMaxCapacity) << "the buffer never refused";
    const std::size_t count = std::min(room.size(), LineBuffer::kChunk);
    for (std::size_t i = 0; i < count; ++i, ++fed) room[i] = fed < longLine.size() ? longLine[fed] : 'y';
    buffer.CommitRead(count);
    offered += count;
  }
  EXPECT_EQ(buffer.capacity(), LineBuffer::kMaxCapacity);
  EXPECT_EQ(buffer.size(), LineBuffer::kMaxCapacity);
  // Taking the line makes room again, and nothing was lost.
  std::string line;
  ASSERT_TRUE(buffer.TakeLine(line));
  EXPECT_EQ(line, longLine.substr(0, LineBuffer::kMaxLine));
  EXPECT_FALSE(buffer.PrepareRead().empty());
  EXPECT_EQ(buffer.size(), fed - longLine.size());
}

TEST(EngineOutcome, ExceptionStatusesAreCrashesAndEveryOtherCodeIsAResult) {
  const std::pair<std::uint32_t, bool> rows[] = {
      {0, false},           {1, false},           {100, false},         {0x7FFFFFFFu, false},
      {0x80000000u, true},  {0x80000002u, true},  {0x80000003u, true},  {0xC0000005u, true},
      {0xC00000FDu, true},  {0xDFFFFFFFu, true},  {0xE0000000u, true},  {0xE06D7362u, true},
      {0xE06D7363u, true},  {0xE0434352u, true},  {0xE0434F4Du, true},  {0xEFFFFFFFu, true},
      {0xF0000000u, false}, {0xFFFFFFFFu, false}, {0xFFFFFFFBu, false},
  };
  for (const auto& [exitCode, crash] : rows) EXPECT_EQ(IsCrashStatus(exitCode), crash) << std::hex << exitCode;
}

TEST(EngineOutcome, TheBoxNamesWhatTheEngineReported) {
  struct Row {
    bool resultSeen;
    std::int32_t result;
    std::uint32_t exitCode;
    EngineEndAction action;
  };
  const Row rows[] = {
      {true, 0, 0, EngineEndAction::kDone},
      {true, 99, 0, EngineEndAction::kDone},
      {true, -5, 0, EngineEndAction::kDone},
      {true, 1, 0, EngineEndAction::kOfferRestart},
      {true, 100, 0, EngineEndAction::kShowResultError},
      {true, 150, 150, EngineEndAction::kShowResultError},
      // A Result line counts, whatever status the engine then ends with.
      {true, 0, 0xC0000005u, EngineEndAction::kDone},
      {true, 120, 0xC0000005u, EngineEndAction::kShowResultError},
      {false, 0, 0, EngineEndAction::kDone},
      {false, 1, 1, EngineEndAction::kOfferRestart},
      {false, 99, 99, EngineEndAction::kDone},
      {false, 100, 100, EngineEndAction::kShowExitCodeError},
      {false, 150, 150, EngineEndAction::kShowExitCodeError},
      {false, -1, 0xFFFFFFFFu, EngineEndAction::kDone},
      {false, static_cast<std::int32_t>(0xC0000005u), 0xC0000005u, EngineEndAction::kShowCrash},
      {false, static_cast<std::int32_t>(0xE0000001u), 0xE0000001u, EngineEndAction::kShowCrash},
  };
  for (const Row& row : rows) {
    EXPECT_EQ(ActionForEngineEnd(row.resultSeen, row.result, row.exitCode), row.action)
        << (row.resultSeen ? "Result line " : "no Result line, ") << row.result << ", exit code 0x" << std::hex
        << row.exitCode;
  }
}

TEST(LogFileCheck, OnlyAPlainDiskFileWithOneNameIsWritten) {
  constexpr std::uint32_t kArchive = 0x20;
  constexpr std::uint32_t kReadOnly = 0x01;
  struct Row {
    const char* name;
    LogFileFacts facts;
    LogFileVerdict verdict;
  };
  const Row rows[] = {
      {"a plain file", {true, kArchive, 1}, LogFileVerdict::kUsable},
      {"a read-only plain file", {true, kArchive | kReadOnly, 1}, LogFileVerdict::kUsable},
      {"a file link, opened as itself", {true, kArchive | kAttributeReparsePoint, 1}, LogFileVerdict::kLink},
      {"a junction", {true, kAttributeDirectory | kAttributeReparsePoint, 1}, LogFileVerdict::kLink},
      {"a directory", {true, kAttributeDirectory, 1}, LogFileVerdict::kNotAPlainFile},
      {"a device or pipe", {false, kArchive, 1}, LogFileVerdict::kNotAPlainFile},
      {"a file with a second name", {true, kArchive, 2}, LogFileVerdict::kSeveralNames},
      {"a file with many names", {true, kArchive, 0xFFFFFFFFu}, LogFileVerdict::kSeveralNames},
  };
  for (const Row& row : rows) {
    EXPECT_EQ(JudgeLogFile(row.facts), row.verdict) << row.name;
    EXPECT_EQ(LogFileRefusal(row.verdict).empty(), row.verdict == LogFileVerdict::kUsable) << row.name;
  }
}

TEST(ChannelResults, APollWithoutALineAnswersWhyNoLineCame) {
  const std::pair<LineRead, std::optional<StatusPoll>> rows[] = {
      {LineRead::kLine, std::nullopt},
      {LineRead::kNothingYet, StatusPoll::kNothingToReport},
      {LineRead::kEnded, StatusPoll::kChannelEnded},
      {LineRead::kError, StatusPoll::kChannelError},
  };
  for (const auto& [read, answer] : rows) {
    EXPECT_EQ(PollAnswerWithoutLine(read), answer) << "read " << static_cast<int>(read);
  }
}

TEST(Utf8, UnpairedSurrogatesRaiseWithTheirLines) {
  const std::pair<std::u16string, std::int32_t> cases[] = {
      {std::u16string(u"a") + char16_t(0xD83D), 885},
      {std::u16string(1, char16_t(0xD83D)) + u"x", 885},
      {std::u16string(1, char16_t(0xDE00)), 888},
      {std::u16string(u"ok") + char16_t(0xDE00) + char16_t(0xD83D), 888},
  };
  for (const auto& [text, line] : cases) {
    try {
      Utf16ToUtf8(text);
      ADD_FAILURE() << "no exception for line " << line;
    } catch (const BasicException& error) {
      EXPECT_EQ(error.line, line);
      EXPECT_STREQ(error.file, "../ravengine/Util");
      EXPECT_EQ(error.reserved1, 0u);
      EXPECT_EQ(error.reserved2, 0u);
    }
  }
  EXPECT_EQ(Utf16ToUtf8(u"a\U0001F600"), "a\xF0\x9F\x98\x80");
}

TEST(StringTables, NumbersMapToBlocksAndLanguagesToFallbacks) {
  EXPECT_EQ(StringBlockId(4000), 251);
  EXPECT_EQ(StringBlockIndex(4000), 0u);
  EXPECT_EQ(StringBlockId(4015), 251);
  EXPECT_EQ(StringBlockId(7301), 457);
  EXPECT_EQ(StringBlockIndex(7301), 5u);
  EXPECT_EQ(StringBlockId(8383), 524);
  EXPECT_EQ(FallbackLanguage(0x0407), 0x0407);
  EXPECT_EQ(FallbackLanguage(0x0C04), 0x0404);
  EXPECT_EQ(FallbackLanguage(0x0816), 0x0416);
  EXPECT_EQ(PrimaryLanguage(0x0C07), 7u);
  EXPECT_EQ(SubLanguage(0x0C07), 3u);
}

TEST(StringTables, FindsStringsInsideABlockOnly) {
  // Entry 0 "ab", entry 1 empty, entry 2 "c", the rest empty.
  std::u16string block = {2, u'a', u'b', 0, 1, u'c'};
  block.append(13, char16_t(0));
  EXPECT_EQ(FindStringInBlock(block, 0), std::u16string_view(u"ab"));
  EXPECT_FALSE(FindStringInBlock(block, 1));
  EXPECT_EQ(FindStringInBlock(block, 2), std::u16string_view(u"c"));
  EXPECT_FALSE(FindStringInBlock(block, 15));
  // A block whose lengths run past its end yields nothing instead of reading on.
  const std::u16string broken = {5, u'a'};
  EXPECT_FALSE(FindStringInBlock(broken, 0));
  EXPECT_FALSE(FindStringInBlock(broken, 3));
  EXPECT_FALSE(FindStringInBlock({}, 0));
}

TEST(StringTables, ModuleBaseNameDropsDirectoryAndLastExtension) {
  EXPECT_EQ(BaseNameWithoutExtension("C:\\x\\ravuninst.exe"), "ravuninst");
  EXPECT_EQ(BaseNameWithoutExtension("C:\\x\\a.b.exe"), "a.b");
  EXPECT_EQ(BaseNameWithoutExtension("C:\\x\\noext"), "noext");
  EXPECT_EQ(BaseNameWithoutExtension("C:\\dir.d\\file"), "file");
  EXPECT_FALSE(BaseNameWithoutExtension("ravuninst.exe"));
}

}  // namespace
}  // namespace ravuninst
