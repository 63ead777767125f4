#pragma once
// The lines of the device-installation log (setupapi.dev.log on Windows
// Vista and later, setupapi.log on XP) that concern the adapter, for the
// support bundle. Platform-free.
//
// The log is a series of sections, one per installation step. A section
// opens with header lines (">>>  [Device Install ...]", ">>>  Section start
// ...", or on XP a line "[date time ...]") and may close with lines that
// start with "<<<" (its end and exit status). Kept are every line of a
// section whose header names the adapter, and elsewhere each line that
// names it, under the header lines of its section and followed by the
// section's closing lines.
#include <string>
#include <string_view>
#include <vector>

#include "tools/tracer/core/bundle_text.h"

namespace tracer {

class SetupLogFilter {
 public:
  // `names` (INF file names, hardware IDs, the co-installer's name) are
  // compared without regard to the case of ASCII letters; empty ones are
  // ignored.
  SetupLogFilter(const std::vector<std::string>& names, LineTail& kept);

  void Add(std::string_view line);

 private:
  bool Names(std::string_view line) const;
  void KeepHeader();

  std::vector<std::string> names_;  // lower case
  LineTail& kept_;
  std::vector<std::string> header_;  // the current section's first header lines
  std::size_t headerKept_ = 0;       // how many of them are kept already
  bool inHeader_ = false;
  bool wholeSection_ = false;
};

}  // namespace tracer
