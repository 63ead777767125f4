#include "tools/tracer/core/setup_log_filter.h"

#include "common/core/ascii_case.h"

namespace tracer {
namespace {

// More header lines than a section ever has are not kept for it.
constexpr std::size_t kMaxHeaderLines = 8;

bool StartsWith(std::string_view line, std::string_view start) { return line.substr(0, start.size()) == start; }

}  // namespace

SetupLogFilter::SetupLogFilter(const std::vector<std::string>& names, LineTail& kept) : kept_(kept) {
  for (const std::string& name : names) {
    if (!name.empty()) names_.push_back(rav::AsciiLowered(name));
  }
}

bool SetupLogFilter::Names(std::string_view line) const {
  const std::string lowered = rav::AsciiLowered(line);
  for (const std::string& name : names_) {
    if (lowered.find(name) != std::string::npos) return true;
  }
  return false;
}

void SetupLogFilter::KeepHeader() {
  for (; headerKept_ < header_.size(); ++headerKept_) kept_.Add(header_[headerKept_]);
}

void SetupLogFilter::Add(std::string_view line) {
  // ">>>  [...]" (or XP's "[...]") opens a section; further ">>>" lines
  // belong to its header.
  const bool opens = StartsWith(line, ">>>  [") || StartsWith(line, "[");
  if (opens || (inHeader_ && StartsWith(line, ">>>"))) {
    if (opens) {
      header_.clear();
      headerKept_ = 0;
      wholeSection_ = false;
      inHeader_ = true;
    }
    if (Names(line)) wholeSection_ = true;
    if (header_.size() < kMaxHeaderLines) {
      header_.emplace_back(line);
    } else if (wholeSection_) {
      KeepHeader();
      kept_.Add(std::string(line));
      return;
    }
    if (wholeSection_) KeepHeader();
    return;
  }
  inHeader_ = false;
  const bool closing = StartsWith(line, "<<<");
  if (wholeSection_ || (closing && headerKept_ > 0) || Names(line)) {
    KeepHeader();
    kept_.Add(std::string(line));
  }
}

}  // namespace tracer
