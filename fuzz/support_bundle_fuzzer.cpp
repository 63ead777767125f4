// The support bundle's text (ravtrace collect), over what it reads from
// outside: registry values, the device-installation log, the uninstall
// records' command lines.
//
// Input: a selector byte (modulo 4), then
//   0 registry value: the type (four bytes), then NUL-separated fields: the
//     name (fuzz::Widen), the data (bytes as they are);
//   1 setup log: NUL-separated fields: the names, separated by "|", then the
//     log, split at LF;
//   2 bundle: the limit (two bytes, times 16), then NUL-separated sections,
//     each a title line and its lines, split at LF (a title of 1 to 9
//     characters stands for that many lines its source left out already);
//   3 record paths: NUL-separated fields: a command line, a path, a file
//     name, CoInstallers32 entries separated by "|".
//
// Properties: a registry value is one line of valid UTF-8 with no control
// character in it (the bundle's lines cannot be split or forged by a value);
// the setup log's kept lines are a subsequence of its lines, and every line
// that names one of the names is kept; a bundle is never larger than its
// limit unless even its empty frame (titles and notes) is, a section whose
// lines fit keeps them all, and with room for everything the bundle is the
// one composed without a limit; the program and /rootdir= of a command line
// are pieces of it, a quoted program holds no quote and an unquoted one no
// blank, a folder is a prefix of its path, and a plain file name holds no
// folder or drive.
#include <algorithm>

#include "common/core/ascii_case.h"
#include "common/core/utf_text.h"
#include "fuzz/fuzz_support.h"
#include "tools/tracer/core/bundle_text.h"
#include "tools/tracer/core/record_paths.h"
#include "tools/tracer/core/registry_text.h"
#include "tools/tracer/core/setup_log_filter.h"

namespace {

std::vector<std::string> Split(std::string_view text, char separator) {
  std::vector<std::string> pieces;
  for (;;) {
    const std::size_t end = text.find(separator);
    pieces.emplace_back(text.substr(0, end));
    if (end == std::string_view::npos) return pieces;
    text.remove_prefix(end + 1);
  }
}

void RegistryValue(std::string_view input) {
  const auto type = fuzz::TakeInteger<std::uint32_t>(input);
  const std::vector<std::string_view> fields = fuzz::Fields(input, 2);
  const std::u16string name = fuzz::Widen(fields[0]);
  const std::span<const std::uint8_t> data(reinterpret_cast<const std::uint8_t*>(fields[1].data()), fields[1].size());
  const std::string line = tracer::FormatRegistryValue(name, type, data);
  for (const char c : line) FUZZ_CHECK(static_cast<unsigned char>(c) >= 0x20 && c != 0x7f);
  std::u16string decoded;
  FUZZ_CHECK(rav::Utf8ToUtf16(line, decoded));
  for (const std::string& entry : tracer::MultiStringEntries(data)) FUZZ_CHECK(!entry.empty());
}

void SetupLog(std::string_view input) {
  const std::vector<std::string_view> fields = fuzz::Fields(input, 2);
  const std::vector<std::string> names = Split(fields[0], '|');
  const std::vector<std::string> lines = Split(fields[1], '\n');
  tracer::LineTail kept(tracer::kBundleLimit);
  tracer::SetupLogFilter filter(names, kept);
  for (const std::string& line : lines) filter.Add(line);
  std::size_t next = 0;
  for (const std::string& line : kept.lines()) {
    while (next < lines.size() && lines[next] != line) ++next;
    FUZZ_CHECK(next < lines.size());
    ++next;
  }
  for (const std::string& line : lines) {
    const std::string lowered = rav::AsciiLowered(line);
    const bool names_one = std::any_of(names.begin(), names.end(), [&](const std::string& name) {
      return !name.empty() && lowered.find(rav::AsciiLowered(name)) != std::string::npos;
    });
    if (names_one) FUZZ_CHECK(std::find(kept.lines().begin(), kept.lines().end(), line) != kept.lines().end());
  }
}

void Bundle(std::string_view input) {
  const std::size_t limit = fuzz::TakeCount(input, 0xffff) * 16;
  std::vector<tracer::BundleSection> sections;
  std::vector<tracer::BundleSection> frames;
  for (const std::string_view field : fuzz::AllFields(input)) {
    std::vector<std::string> lines = Split(field, '\n');
    const std::size_t omitted = lines.front().size() < 10 ? lines.front().size() : 0;
    tracer::BundleSection section{lines.front(), {lines.begin() + 1, lines.end()}, omitted};
    frames.push_back({section.title, {}, static_cast<std::size_t>(-1)});
    sections.push_back(std::move(section));
  }
  const std::string text = tracer::ComposeBundle(sections, limit);
  const std::string whole = tracer::ComposeBundle(sections, static_cast<std::size_t>(-1));
  const std::string frame = tracer::ComposeBundle(frames, static_cast<std::size_t>(-1));
  FUZZ_CHECK(text.size() <= std::max(limit, frame.size()));
  if (whole.size() <= limit) FUZZ_CHECK(text == whole);
}

void RecordPaths(std::string_view input) {
  const std::vector<std::string_view> fields = fuzz::Fields(input, 4);
  const std::string program = tracer::ProgramOfCommandLine(fields[0]);
  const std::string rootDir = tracer::RootDirOf(fields[0]);
  FUZZ_CHECK(fields[0].find(program) != std::string_view::npos);
  FUZZ_CHECK(fields[0].find(rootDir) != std::string_view::npos);
  const std::size_t start = fields[0].find_first_not_of(" \t");
  if (start != std::string_view::npos && fields[0][start] == '"') FUZZ_CHECK(program.find('"') == std::string::npos);
  if (start == std::string_view::npos || fields[0][start] != '"') {
    FUZZ_CHECK(program.find_first_of(" \t") == std::string::npos);
  }
  const std::string folder = tracer::FolderOf(fields[1]);
  FUZZ_CHECK(fields[1].substr(0, folder.size()) == folder);
  if (tracer::IsPlainFileName(fields[2])) {
    FUZZ_CHECK(fields[2].find_first_of("\\/:") == std::string_view::npos && fields[2] != "..");
  }
  (void)tracer::NamesOurCoInstaller(Split(fields[3], '|'));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::string_view input = fuzz::AsText(data, size);
  switch (fuzz::TakeByte(input) % 4) {
    case 0:
      RegistryValue(input);
      break;
    case 1:
      SetupLog(input);
      break;
    case 2:
      Bundle(input);
      break;
    default:
      RecordPaths(input);
      break;
  }
  return 0;
}
