// The uninstaller's string tables: a text's place in a block of 16 counted
// strings, block and index from a text number, the fallback language, and
// the program's base name its resource lookups start from.
//
// Input: one byte of entry index (any, not only 0 to 15), then the block as
// UTF-16 units (little-endian byte pairs); the same bytes after the index
// byte are also read as a module path.
//
// Properties: the string found is the one a walk over the counted entries
// gives, of its counted length, never empty, and lies wholly inside the block
// (which sits in a heap block of exactly its size, so AddressSanitizer sees
// any read past it); a number is block × 16 + index again; the fallback keeps
// the primary language with sublanguage 1; the base name is the part after
// the last backslash without its last extension.
#include <cstring>
#include <memory>

#include "fuzz/fuzz_support.h"
#include "uninstaller/services/core/string_tables.h"

namespace {

void CheckBlock(unsigned index, std::string_view bytes) {
  const std::size_t units = bytes.size() / 2;
  const std::unique_ptr<char16_t[]> block(new char16_t[units]);
  std::memcpy(block.get(), bytes.data(), units * 2);
  const std::span<const char16_t> span(block.get(), units);

  const std::optional<std::u16string_view> found = ravuninst::FindStringInBlock(span, index);

  // The walk: skip `index` entries, each a length and that many units.
  std::size_t at = 0;
  bool inside = true;
  for (unsigned entry = 0; entry < index && inside; ++entry) {
    if (at >= units) inside = false;
    else at += 1 + block[at];
  }
  if (!inside || at >= units || block[at] == 0 || block[at] > units - at - 1) {
    FUZZ_CHECK(!found);
    return;
  }
  FUZZ_CHECK(found.has_value());
  FUZZ_CHECK(found->size() == block[at]);
  FUZZ_CHECK(found->data() == block.get() + at + 1);
  FUZZ_CHECK(found->data() >= span.data() && found->data() + found->size() <= span.data() + span.size());
}

void CheckNumbers(std::uint16_t number) {
  FUZZ_CHECK((ravuninst::StringBlockId(number) - 1u) * 16u + ravuninst::StringBlockIndex(number) == number);
  FUZZ_CHECK(ravuninst::StringBlockIndex(number) < 16);
  const std::uint16_t fallback = ravuninst::FallbackLanguage(number);
  FUZZ_CHECK(ravuninst::PrimaryLanguage(fallback) == ravuninst::PrimaryLanguage(number));
  FUZZ_CHECK(ravuninst::SubLanguage(fallback) == 1);
  FUZZ_CHECK((ravuninst::SubLanguage(number) << 10 | ravuninst::PrimaryLanguage(number)) == number);
}

void CheckBaseName(std::string_view path) {
  const std::optional<std::string> name = ravuninst::BaseNameWithoutExtension(path);
  const std::size_t slash = path.rfind('\\');
  FUZZ_CHECK(name.has_value() == (slash != std::string_view::npos));
  if (!name) return;
  const std::string_view file = path.substr(slash + 1);
  FUZZ_CHECK(file.compare(0, name->size(), *name) == 0);
  const std::string_view extension = file.substr(name->size());
  if (extension.empty()) {
    FUZZ_CHECK(file.find('.') == std::string_view::npos);
  } else {
    FUZZ_CHECK(extension[0] == '.');
    FUZZ_CHECK(extension.find('.', 1) == std::string_view::npos);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::string_view input = fuzz::AsText(data, size);
  const unsigned index = fuzz::TakeByte(input);
  CheckBlock(index, input);
  std::string_view numbers = input;
  CheckNumbers(fuzz::TakeInteger<std::uint16_t>(numbers));
  CheckBaseName(input);
  return 0;
}
