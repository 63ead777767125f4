// The trace viewer's output: a debug string split into lines, each printed
// as "HH:MM:SS.mmm [pid] image: text", the --filter test and the image's
// base name.
//
// Input: hour, minute, second and millisecond (four bytes each), the process
// ID (eight bytes), then NUL-separated fields: image path, debug string (a
// C string, as the debug channel hands it over), filter.
//
// Properties: the printed line is the time stamp as printf prints it with
// "%02d:%02d:%02d.%03d [%lu] " for any values, never cut, then the image
// ("?" when empty), ": " and the text; splitting gives one line per LF plus
// one for text after the last LF, none contains an LF, none ends in a CR,
// and each is its stretch of the string less only trailing CRs; a line
// passes the filter exactly when the filter is empty or starts it; the base
// name is the path's end after its last "\" or "/".
#include <algorithm>
#include <cstdio>

#include "fuzz/fuzz_support.h"
#include "tools/tracer/core/trace_line.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::string_view input = fuzz::AsText(data, size);
  tracer::TraceTime time;
  time.hour = fuzz::TakeInteger<int>(input);
  time.minute = fuzz::TakeInteger<int>(input);
  time.second = fuzz::TakeInteger<int>(input);
  time.millisecond = fuzz::TakeInteger<int>(input);
  const auto processId = static_cast<unsigned long>(fuzz::TakeInteger<std::uint64_t>(input));
  const std::vector<std::string_view> fields = fuzz::Fields(input, 3);
  const std::string_view image = tracer::BaseName(fields[0]);
  const std::string_view text = fields[1];
  const std::string_view filter = fields[2];

  // The base name.
  const std::size_t separator = fields[0].find_last_of("\\/");
  FUZZ_CHECK(image == (separator == std::string_view::npos ? fields[0] : fields[0].substr(separator + 1)));
  FUZZ_CHECK(image.find_first_of("\\/") == std::string_view::npos);

  // The lines of the debug string, each checked against its stretch.
  const std::vector<std::string> lines = tracer::SplitDebugText(text);
  std::size_t lineFeeds = 0;
  for (const char c : text) lineFeeds += c == '\n';
  FUZZ_CHECK(lines.size() == lineFeeds + (!text.empty() && text.back() != '\n' ? 1 : 0));
  std::size_t at = 0;
  char stamp[128];
  std::snprintf(stamp, sizeof stamp, "%02d:%02d:%02d.%03d [%lu] ", time.hour, time.minute, time.second,
                time.millisecond, processId);
  FUZZ_CHECK(tracer::FormatTraceLine(time, processId, image, text) ==
             std::string(stamp) + (image.empty() ? "?" : std::string(image)) + ": " + std::string(text));
  for (const std::string& line : lines) {
    const std::size_t end = std::min(text.find('\n', at), text.size());
    const std::string_view stretch = text.substr(at, end - at);
    FUZZ_CHECK(line.find('\n') == std::string::npos);
    FUZZ_CHECK(line.empty() || line.back() != '\r');
    FUZZ_CHECK(stretch.substr(0, line.size()) == line);
    FUZZ_CHECK(stretch.find_first_not_of('\r', line.size()) == std::string_view::npos);
    at = end + 1;

    const std::string printed = tracer::FormatTraceLine(time, processId, image, line);
    FUZZ_CHECK(printed == std::string(stamp) + (image.empty() ? "?" : std::string(image)) + ": " + line);

    FUZZ_CHECK(tracer::PassesFilter(line, filter) ==
               (filter.empty() || std::string_view(line).substr(0, filter.size()) == filter));
  }
  return 0;
}
