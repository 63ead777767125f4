#pragma once
// What the fuzz targets share: the property check and the ways a target
// reads its input (fields, padding counts, UTF-16 text).
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <type_traits>
#include <vector>

// A property that does not hold ends the run with the input saved: libFuzzer
// treats the abort as a crash.
#define FUZZ_CHECK(condition)                                                                   \
  do {                                                                                          \
    if (!(condition)) {                                                                         \
      std::fprintf(stderr, "%s:%d: property failed: %s\n", __FILE__, __LINE__, #condition);     \
      std::abort();                                                                             \
    }                                                                                           \
  } while (false)

namespace fuzz {

inline std::string_view AsText(const std::uint8_t* data, std::size_t size) {
  return {reinterpret_cast<const char*>(data), size};
}

// Takes the next byte off the front, 0 when none is left.
inline std::uint8_t TakeByte(std::string_view& input) {
  if (input.empty()) return 0;
  const auto byte = static_cast<std::uint8_t>(input.front());
  input.remove_prefix(1);
  return byte;
}

// Two bytes, little-endian, cut to `mask`: a count that lets a short input
// stand for a long text (a padding that reaches a buffer's limit).
inline std::size_t TakeCount(std::string_view& input, std::size_t mask) {
  const std::size_t low = TakeByte(input);
  const std::size_t high = TakeByte(input);
  return (low | high << 8) & mask;
}

// An integer of N bytes, little-endian (missing bytes count as 0).
template <typename T>
T TakeInteger(std::string_view& input) {
  using Unsigned = std::make_unsigned_t<T>;
  Unsigned value = 0;
  for (std::size_t i = 0; i < sizeof(T); ++i) value |= static_cast<Unsigned>(TakeByte(input)) << (8 * i);
  return static_cast<T>(value);
}

// The fields of the input between NUL bytes; always at least `count` of
// them (missing ones are empty), and the last takes the rest of the input.
inline std::vector<std::string_view> Fields(std::string_view input, std::size_t count) {
  std::vector<std::string_view> fields;
  while (fields.size() + 1 < count) {
    const std::size_t nul = input.find('\0');
    fields.push_back(input.substr(0, nul));
    input = nul == std::string_view::npos ? std::string_view() : input.substr(nul + 1);
  }
  fields.push_back(input);
  return fields;
}

// Every NUL-separated field of the input.
inline std::vector<std::string_view> AllFields(std::string_view input) {
  std::vector<std::string_view> fields;
  for (;;) {
    const std::size_t nul = input.find('\0');
    fields.push_back(input.substr(0, nul));
    if (nul == std::string_view::npos) return fields;
    input.remove_prefix(nul + 1);
  }
}

// UTF-16 text from bytes in a form the fuzzer mutates well: every byte is the
// unit of the same value (so ASCII seeds read as they are), except 0xFF,
// which takes the next two bytes as one unit, high byte first (so every unit,
// surrogates included, can be reached).
inline std::u16string Widen(std::string_view bytes) {
  std::u16string text;
  text.reserve(bytes.size());
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    const auto byte = static_cast<unsigned char>(bytes[i]);
    if (byte == 0xFF && i + 2 < bytes.size()) {
      text.push_back(static_cast<char16_t>(static_cast<unsigned char>(bytes[i + 1]) << 8 |
                                           static_cast<unsigned char>(bytes[i + 2])));
      i += 2;
    } else {
      text.push_back(byte);
    }
  }
  return text;
}

// Substring search written out, as the independent reference the targets
// compare the core's std::find-based searches with.
template <typename Char>
bool Contains(std::basic_string_view<Char> text, std::basic_string_view<Char> word) {
  if (word.size() > text.size()) return false;
  for (std::size_t at = 0; at + word.size() <= text.size(); ++at) {
    std::size_t k = 0;
    while (k < word.size() && text[at + k] == word[k]) ++k;
    if (k == word.size()) return true;
  }
  return false;
}

}  // namespace fuzz
