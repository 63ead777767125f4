// The setup engine's status lines: comma-separated fields, "Progress" with
// two numbers or "Result" with result, ignored field, error file and error
// line; numbers read like wcstol in base 10 and clamped to 32 bits.
//
// Input: one status line as UTF-16 (see fuzz::Widen).
//
// Properties: the fields joined with commas give the line back, one more
// field than commas; every number (each field, and the whole line as one)
// equals strtoll's reading of the same characters clamped to the 32-bit
// range; the parsed line is a progress line exactly when the first field is
// "Progress" and there are at least three fields, a result line exactly when
// it is "Result" and there are at least five, with the values of those
// fields, and otherwise carries nothing.
#include <cstdlib>
#include <limits>

#include "fuzz/fuzz_support.h"
#include "uninstaller/services/core/status_line.h"

namespace {

// strtoll over the field, every character outside ASCII (and NUL) standing
// in as a letter: it is neither blank, sign nor digit to either reader.
std::int32_t ReferenceNumber(std::u16string_view field) {
  std::string narrow;
  for (const char16_t c : field) narrow.push_back(c > 0 && c < 0x80 ? static_cast<char>(c) : 'x');
  const long long value = std::strtoll(narrow.c_str(), nullptr, 10);
  if (value > std::numeric_limits<std::int32_t>::max()) return std::numeric_limits<std::int32_t>::max();
  if (value < std::numeric_limits<std::int32_t>::min()) return std::numeric_limits<std::int32_t>::min();
  return static_cast<std::int32_t>(value);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::u16string line = fuzz::Widen(fuzz::AsText(data, size));

  const std::vector<std::u16string_view> fields = ravuninst::SplitStatusFields(line);
  std::size_t commas = 0;
  for (const char16_t c : line) commas += c == u',';
  FUZZ_CHECK(fields.size() == commas + 1);
  std::u16string joined;
  for (std::size_t i = 0; i < fields.size(); ++i) {
    if (i > 0) joined.push_back(u',');
    joined.append(fields[i]);
    FUZZ_CHECK(fields[i].find(u',') == std::u16string_view::npos);
    FUZZ_CHECK(fields[i].data() >= line.data() && fields[i].data() + fields[i].size() <= line.data() + line.size());
    FUZZ_CHECK(ravuninst::ParseStatusNumber(fields[i]) == ReferenceNumber(fields[i]));
  }
  FUZZ_CHECK(joined == line);
  FUZZ_CHECK(ravuninst::ParseStatusNumber(line) == ReferenceNumber(line));

  const ravuninst::StatusLine parsed = ravuninst::ParseStatusLine(line);  // an exception ends the run
  using Kind = ravuninst::StatusLine::Kind;
  if (fields[0] == u"Progress" && fields.size() >= 3) {
    FUZZ_CHECK(parsed.kind == Kind::kProgress);
    FUZZ_CHECK(parsed.first == ReferenceNumber(fields[1]));
    FUZZ_CHECK(parsed.second == ReferenceNumber(fields[2]));
    FUZZ_CHECK(parsed.result == 0 && parsed.errorFile.empty() && parsed.errorLine == 0);
  } else if (fields[0] == u"Result" && fields.size() >= 5) {
    FUZZ_CHECK(parsed.kind == Kind::kResult);
    FUZZ_CHECK(parsed.result == ReferenceNumber(fields[1]));
    FUZZ_CHECK(parsed.errorFile == fields[3]);
    FUZZ_CHECK(parsed.errorLine == ReferenceNumber(fields[4]));
    FUZZ_CHECK(parsed.first == 0 && parsed.second == 0);
  } else {
    FUZZ_CHECK(parsed.kind == Kind::kOther);
    FUZZ_CHECK(parsed.first == 0 && parsed.second == 0 && parsed.result == 0);
    FUZZ_CHECK(parsed.errorFile.empty() && parsed.errorLine == 0);
  }
  return 0;
}
