#pragma once
// How the trace viewer prints what programs write to the debug channel:
// one line per text line, with time, process ID and image name.
#include <string>
#include <string_view>
#include <vector>

namespace tracer {

struct TraceTime {
  int hour = 0;
  int minute = 0;
  int second = 0;
  int millisecond = 0;
};

// "HH:MM:SS.mmm [pid] image: text"
std::string FormatTraceLine(const TraceTime& time, unsigned long processId, std::string_view image,
                            std::string_view line);

// One debug string as lines: split at LF, CR dropped at line ends, nothing
// after a final line end. A string without any line end is one line.
std::vector<std::string> SplitDebugText(std::string_view text);

// An empty filter keeps everything; otherwise the line must start with it.
bool PassesFilter(std::string_view line, std::string_view filter);

// What ravtrace prints for one debug string: one FormatTraceLine per line of
// it that passes the filter, each ended by CR LF. Empty when none passes.
std::string FormatTraceText(const TraceTime& time, unsigned long processId, std::string_view image,
                            std::string_view text, std::string_view filter);

// LF line ends as CR LF (a CR LF stays as it is).
std::string WithCrLf(std::string_view text);

// The file name of a path (after the last backslash or slash).
std::string_view BaseName(std::string_view path);

}  // namespace tracer
