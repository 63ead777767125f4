#include "tools/tracer/core/bundle_text.h"

#include <algorithm>

namespace tracer {
namespace {

constexpr char kLineEnd[] = "\r\n";
constexpr std::size_t kLineEndSize = 2;
constexpr char kEnd[] = "== end of bundle ==";
// Room kept in every section for the line that counts its dropped lines.
constexpr std::size_t kNoteRoom = 96;

std::size_t LineBytes(const std::string& line) { return line.size() + kLineEndSize; }

std::string OmittedNote(std::size_t count) {
  return "(" + std::to_string(count) + " older lines left out: the bundle keeps the newest)";
}

std::size_t BodyBytes(const BundleSection& section) {
  std::size_t bytes = 0;
  for (const std::string& line : section.lines) bytes += LineBytes(line);
  return bytes;
}

// What a section takes besides its lines: its title, its note and the
// empty line after it.
std::size_t FrameBytes(const BundleSection& section) {
  return section.title.size() + 6 + kLineEndSize + kNoteRoom + kLineEndSize;
}

// How many of the newest lines fit `budget` bytes.
std::size_t NewestFitting(const std::vector<std::string>& lines, std::size_t budget) {
  std::size_t bytes = 0;
  std::size_t count = 0;
  for (auto line = lines.rbegin(); line != lines.rend(); ++line) {
    if (bytes + LineBytes(*line) > budget) break;
    bytes += LineBytes(*line);
    ++count;
  }
  return count;
}

// The largest share of body bytes each section may keep so that the whole
// fits `room`: sections below it keep everything, the rest this much.
std::size_t FairShare(const std::vector<std::size_t>& bodies, std::size_t room) {
  std::size_t low = 0;
  std::size_t high = *std::max_element(bodies.begin(), bodies.end());
  while (low < high) {
    const std::size_t share = low + (high - low + 1) / 2;
    std::size_t total = 0;
    for (std::size_t body : bodies) total += std::min(body, share);
    if (total <= room) {
      low = share;
    } else {
      high = share - 1;
    }
  }
  return low;
}

}  // namespace

void LineTail::Add(std::string line) {
  bytes_ += LineBytes(line);
  lines_.push_back(std::move(line));
  while (bytes_ > budget_ && !lines_.empty()) {
    bytes_ -= LineBytes(lines_.front());
    lines_.pop_front();
    ++omitted_;
  }
}

std::string ComposeBundle(const std::vector<BundleSection>& sections, std::size_t limit) {
  std::vector<std::size_t> bodies;
  std::size_t frames = sizeof kEnd - 1 + kLineEndSize;
  std::size_t whole = frames;
  for (const BundleSection& section : sections) {
    bodies.push_back(BodyBytes(section));
    frames += FrameBytes(section);
    whole += FrameBytes(section) - kNoteRoom + bodies.back();
    if (section.omittedLines != 0) whole += LineBytes(OmittedNote(section.omittedLines));
  }
  // Everything fits: nothing is cut.
  std::size_t share = bodies.empty() ? 0 : *std::max_element(bodies.begin(), bodies.end());
  if (whole > limit && !bodies.empty()) share = FairShare(bodies, limit > frames ? limit - frames : 0);

  std::string text;
  for (std::size_t i = 0; i < sections.size(); ++i) {
    const BundleSection& section = sections[i];
    const std::size_t kept = bodies[i] <= share ? section.lines.size() : NewestFitting(section.lines, share);
    const std::size_t omitted = section.omittedLines + (section.lines.size() - kept);
    text.append("== ").append(section.title).append(" ==").append(kLineEnd);
    if (omitted != 0) text.append(OmittedNote(omitted)).append(kLineEnd);
    for (std::size_t line = section.lines.size() - kept; line < section.lines.size(); ++line) {
      text.append(section.lines[line]).append(kLineEnd);
    }
    text.append(kLineEnd);
  }
  text.append(kEnd).append(kLineEnd);
  return text;
}

}  // namespace tracer
