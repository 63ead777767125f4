#pragma once
// The support bundle's text (ravtrace collect): sections of UTF-8 lines in
// one file of bounded size. Platform-free.
#include <cstddef>
#include <deque>
#include <string>
#include <vector>

namespace tracer {

// The most bytes a bundle takes: a file a customer can send by mail.
inline constexpr std::size_t kBundleLimit = 4 * 1024 * 1024;

// The newest lines of a long source within a byte budget (each line counted
// with its CR LF); older ones are dropped and counted.
class LineTail {
 public:
  explicit LineTail(std::size_t budget) : budget_(budget) {}

  void Add(std::string line);
  const std::deque<std::string>& lines() const { return lines_; }
  std::size_t omitted() const { return omitted_; }

 private:
  std::size_t budget_;
  std::size_t bytes_ = 0;
  std::size_t omitted_ = 0;
  std::deque<std::string> lines_;
};

struct BundleSection {
  std::string title;
  std::vector<std::string> lines;  // without line ends
  std::size_t omittedLines = 0;    // older lines the source left out already
};

// For each section a line "== TITLE ==", its lines and an empty line, then
// "== end of bundle ==", every line ended by CR LF. When that would pass
// `limit` bytes, the sections with the most text lose their oldest lines
// until it fits; small sections stay whole. A section that lost lines says
// how many in a line before its first.
std::string ComposeBundle(const std::vector<BundleSection>& sections, std::size_t limit = kBundleLimit);

}  // namespace tracer
