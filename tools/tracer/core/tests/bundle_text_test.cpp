// The support bundle's text: its size cap, the device-installation log's
// lines about the adapter, registry values as lines, and the folders the
// uninstall records name.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "tools/tracer/core/bundle_text.h"
#include "tools/tracer/core/record_paths.h"
#include "tools/tracer/core/registry_text.h"
#include "tools/tracer/core/setup_log_filter.h"

namespace tracer {
namespace {

using ::testing::ElementsAre;
using ::testing::ElementsAreArray;
using ::testing::HasSubstr;
using ::testing::StartsWith;
using namespace std::string_view_literals;

std::vector<std::string> SplitCrLf(const std::string& text) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  for (std::size_t end; (end = text.find("\r\n", start)) != std::string::npos; start = end + 2) {
    lines.push_back(text.substr(start, end - start));
  }
  EXPECT_EQ(start, text.size()) << "the text ends inside a line";
  return lines;
}

TEST(Bundle, SectionsWholeWhenTheyFit) {
  const std::vector<BundleSection> sections = {{"Windows", {"10.0 build 19045"}, 0}, {"ravwl.log", {"a", "b"}, 3}};
  const std::string text = ComposeBundle(sections);
  EXPECT_EQ(ComposeBundle(sections, text.size()), text) << "a limit it just fits cuts nothing";
  EXPECT_EQ(text,
            "== Windows ==\r\n10.0 build 19045\r\n\r\n"
            "== ravwl.log ==\r\n(3 older lines left out: the bundle keeps the newest)\r\na\r\nb\r\n\r\n"
            "== end of bundle ==\r\n");
}

TEST(Bundle, TheLongestSectionsLoseTheirOldestLinesToTheCap) {
  std::vector<std::string> big;
  for (int i = 0; i < 10000; ++i) big.push_back("log line " + std::to_string(i) + std::string(90, '.'));
  std::vector<std::string> medium(300, "setupapi line");
  const std::vector<BundleSection> sections = {
      {"Programs", {"ravcoinst.dll 6.31.165.2"}, 0}, {"ravwl.log", big, 0}, {"setupapi", medium, 0}};
  const std::size_t limit = 64 * 1024;
  const std::string text = ComposeBundle(sections, limit);
  EXPECT_LE(text.size(), limit);
  EXPECT_GT(text.size(), limit - 1024) << "the room is used";
  const std::vector<std::string> lines = SplitCrLf(text);
  ASSERT_GE(lines.size(), 8u);
  EXPECT_THAT(std::vector<std::string>(lines.begin(), lines.begin() + 4),
              ElementsAre("== Programs ==", "ravcoinst.dll 6.31.165.2", "", "== ravwl.log =="));
  EXPECT_THAT(lines[4], StartsWith("("));
  EXPECT_THAT(lines[4], HasSubstr(" older lines left out"));
  const std::size_t omitted = std::stoul(lines[4].substr(1));
  EXPECT_EQ(lines[5], big[omitted]) << "the newest lines follow the note, in order";
  const auto setupapi = std::find(lines.begin(), lines.end(), "== setupapi ==");
  ASSERT_NE(setupapi, lines.end());
  EXPECT_EQ(*(setupapi - 2), big.back());
  EXPECT_EQ(std::count(setupapi, lines.end(), "setupapi line"), 300) << "a small section stays whole";
  EXPECT_EQ(lines.back(), "== end of bundle ==");

  LineTail tail(20);
  for (const char* line : {"1111", "2222", "3333", "4444"}) tail.Add(line);
  EXPECT_THAT(tail.lines(), ElementsAre("2222", "3333", "4444"));
  EXPECT_EQ(tail.omitted(), 1u);
}

TEST(Bundle, SetupLogLinesAboutTheAdapter) {
  const std::vector<std::string> log = {
      "[Device Install Log]",
      "     OS Version = 10.0.19045",
      "[Boot Session: 2026/12/01 09:59:00.000]",
      ">>>  [Device Install (Hardware initiated) - USB\\VID_0BDA&PID_8812\\0001]",
      ">>>  Section start 2026/12/01 10:00:00.000",
      "     ump: Creating Install Process: DrvInst.exe 10:00:00.001",
      "     ndv: INF path: C:\\Windows\\INF\\oem7.inf",
      "<<<  Section end 2026/12/01 10:00:05.000",
      "<<<  [Exit status: SUCCESS]",
      "",
      ">>>  [Device Install (Hardware initiated) - PCI\\VEN_8086&DEV_1234\\3&11]",
      ">>>  Section start 2026/12/01 10:02:00.000",
      "     dvi: Other device's line",
      "     dvi: Co-installer: RAVCOINST.DLL,RAVWlanCoInstall",
      "     dvi: Another line",
      "<<<  Section end 2026/12/01 10:02:01.000",
      "<<<  [Exit status: SUCCESS]",
      "",
      ">>>  [Delete Device - PCI\\VEN_8086&DEV_5678\\3&22]",
      ">>>  Section start 2026/12/01 10:03:00.000",
      "     dvi: Nothing of ours",
      "<<<  Section end 2026/12/01 10:03:01.000",
      // XP's setupapi.log: a section is a dated line and what follows it.
      "[2009/01/01 10:00:00 1234.5]",
      "#-198 Command line processed: C:\\WINDOWS\\system32\\services.exe",
      "#I022 Found \"USB\\VID_0BDA&PID_8812\" in C:\\WINDOWS\\inf\\oem5.inf; Device: \"Corvane\"",
      "[2009/01/01 10:05:00 1234.6]",
      "#-198 Command line processed: other",
  };
  LineTail kept(kBundleLimit);
  SetupLogFilter filter({"usb\\vid_0bda&pid_8812", "oem5.inf", "", "ravcoinst"}, kept);
  for (const std::string& line : log) filter.Add(line);
  EXPECT_THAT(kept.lines(),
              ElementsAreArray(std::vector<std::string>{
                  log[3], log[4], log[5], log[6], log[7], log[8], log[9],  // the adapter's section, whole
                  log[10], log[11], log[13], log[15], log[16],             // a line about the co-installer
                  log[22], log[24]}));                                      // on XP
}

TEST(Bundle, RegistryValuesAsLines) {
  struct Row {
    std::u16string name;
    std::uint32_t type;
    std::vector<std::uint8_t> data;
    std::string line;
  };
  const auto utf16 = [](std::u16string_view text, bool terminated) {
    std::vector<std::uint8_t> bytes;
    for (char16_t c : text) {
      bytes.push_back(static_cast<std::uint8_t>(c & 0xff));
      bytes.push_back(static_cast<std::uint8_t>(c >> 8));
    }
    if (terminated) bytes.insert(bytes.end(), {0, 0});
    return bytes;
  };
  std::vector<std::uint8_t> binary(70);
  for (std::size_t i = 0; i < binary.size(); ++i) binary[i] = static_cast<std::uint8_t>(i);
  std::string binaryShown;
  for (int i = 0; i < 64; ++i) {
    binaryShown += (i ? " " : "") + std::string(1, "0123456789ABCDEF"[i >> 4]) + "0123456789ABCDEF"[i & 15];
  }
  const Row rows[] = {
      {u"Country", kRegSz, utf16(u"DE", false), "\"Country\" REG_SZ (4 bytes) = \"DE\" (no terminating NUL)"},
      {u"InfPath", kRegSz, utf16(u"oem5.inf", true), "\"InfPath\" REG_SZ (18 bytes) = \"oem5.inf\""},
      {u"", kRegExpandSz, utf16(u"a\r\n\"b\x01", true), "(default) REG_EXPAND_SZ (14 bytes) = \"a\\r\\n\"b\\x01\""},
      {u"Caf\u00e9", kRegSz, {0x41, 0x00, 0x42}, "\"Caf\u00e9\" REG_SZ (3 bytes) = \"A\" (no terminating NUL)"},
      {u"ErrorCode", kRegDword, {0x52, 0x06, 0, 0}, "\"ErrorCode\" REG_DWORD (4 bytes) = 1618 (0x00000652)"},
      {u"Short", kRegDword, {1, 2, 3}, "\"Short\" REG_DWORD (3 bytes) = 01 02 03"},
      {u"Big", kRegQword, {1, 0, 0, 0, 0, 0, 0, 0x80},
       "\"Big\" REG_QWORD (8 bytes) = 9223372036854775809 (0x8000000000000001)"},
      {u"CoInstallers32", kRegMultiSz, utf16(u"ravcoinst.dll,RAVWlanCoInstall\0other.dll\0"sv, true),
       "\"CoInstallers32\" REG_MULTI_SZ (84 bytes) = \"ravcoinst.dll,RAVWlanCoInstall\", \"other.dll\""},
      {u"Blob", kRegBinary, binary, "\"Blob\" REG_BINARY (70 bytes) = " + binaryShown + " ..."},
      {u"Nothing", kRegNone, {}, "\"Nothing\" REG_NONE (0 bytes) = (empty)"},
      {u"Long", kRegSz, utf16(std::u16string(2000, u'x'), true),
       "\"Long\" REG_SZ (4002 bytes) = \"" + std::string(1024, 'x') + "\" ... (2000 characters)"},
  };
  for (const Row& row : rows) EXPECT_EQ(FormatRegistryValue(row.name, row.type, row.data), row.line);
}

TEST(Bundle, FoldersTheUninstallRecordsName) {
  const std::string uninstall =
      "\"C:\\Program Files\\Corvane\\802.11\\ravuninst.exe\" verbose "
      "/rootkey=SOFTWARE\\Corvane\\802.11\\UninstallInfo /rootdir=\"C:\\Program Files\\Corvane\\802.11\"";
  EXPECT_EQ(ProgramOfCommandLine(uninstall), "C:\\Program Files\\Corvane\\802.11\\ravuninst.exe");
  EXPECT_EQ(RootDirOf(uninstall), "C:\\Program Files\\Corvane\\802.11");
  EXPECT_EQ(ProgramOfCommandLine("  C:\\x\\sample_remove.exe RAVTEST\\ROW"), "C:\\x\\sample_remove.exe");
  EXPECT_EQ(RootDirOf("ravuninst.exe verbose /ROOTDIR=C:\\eng next"), "C:\\eng");
  EXPECT_EQ(RootDirOf("ravuninst.exe services"), "");
  EXPECT_EQ(ProgramOfCommandLine("\"C:\\unterminated"), "C:\\unterminated");
  EXPECT_EQ(ProgramOfCommandLine(""), "");
  EXPECT_EQ(FolderOf("C:\\Program Files\\Corvane\\802.11\\ravuninst.exe"), "C:\\Program Files\\Corvane\\802.11");
  EXPECT_EQ(FolderOf("ravuninst.exe"), "");

  EXPECT_TRUE(IsPlainFileName("oem7.inf"));
  for (const char* name : {"", "..", "C:oem7.inf", "..\\oem7.inf", "inf/oem7.inf"}) {
    EXPECT_FALSE(IsPlainFileName(name)) << name;
  }
  EXPECT_TRUE(NamesOurCoInstaller({"other.dll,Other", "RAVCOINST.DLL,RAVWlanCoInstall"}));
  EXPECT_TRUE(NamesOurCoInstaller({"C:\\Windows\\System32\\ravcoinst.dll"}));
  EXPECT_FALSE(NamesOurCoInstaller({"ravcoinst.dll.bak,RAVWlanCoInstall", "xravcoinst.dll", ""}));
  const std::uint8_t list[] = {'a', 0, ',', 0, 'b', 0, 0, 0, 'c', 0, 0, 0, 0, 0, 'd', 0};
  EXPECT_THAT(MultiStringEntries(list), ElementsAre("a,b", "c"));
}

}  // namespace
}  // namespace tracer
