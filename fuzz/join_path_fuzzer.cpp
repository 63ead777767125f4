// Joining a directory and a file name, as the uninstaller forms its log
// file's path from the temporary directory.
//
// Input: UTF-16 text (see fuzz::Widen): the base, a NUL, the part.
//
// Properties: the base keeps its text with every "/" turned into "\" (no
// "/" is left in it) and the part follows unchanged; with an empty part the
// base is all there is, with an empty base the part. Otherwise the seam
// holds the backslashes that end the base and start the part, one fewer when
// both sides have some, and one when neither has: exactly one whenever each
// side has at most one.
#include <algorithm>

#include "fuzz/fuzz_support.h"
#include "uninstaller/services/core/join_path.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::u16string whole = fuzz::Widen(fuzz::AsText(data, size));
  const std::size_t nul = whole.find(u'\0');
  const std::u16string base = whole.substr(0, nul);
  const std::u16string part = nul == std::u16string::npos ? std::u16string() : whole.substr(nul + 1);

  std::u16string slashed = base;
  for (char16_t& c : slashed) {
    if (c == u'/') c = u'\\';
  }

  std::u16string joined = base;
  ravuninst::JoinPath(joined, part);

  if (part.empty()) {
    FUZZ_CHECK(joined == slashed);
    return 0;
  }
  if (base.empty()) {
    FUZZ_CHECK(joined == part);
    return 0;
  }
  const std::size_t trailing = slashed.size() - (slashed.find_last_not_of(u'\\') + 1);
  const std::size_t leading = std::min(part.find_first_not_of(u'\\'), part.size());
  const std::size_t seam =
      trailing > 0 && leading > 0 ? trailing + leading - 1 : std::max<std::size_t>(trailing + leading, 1);
  const std::u16string expected =
      slashed.substr(0, slashed.size() - trailing) + std::u16string(seam, u'\\') + part.substr(leading);
  FUZZ_CHECK(joined == expected);
  if (trailing <= 1 && leading <= 1) FUZZ_CHECK(seam == 1);
  const std::u16string_view basePart = std::u16string_view(joined).substr(0, slashed.size() - trailing);
  FUZZ_CHECK(basePart.find(u'/') == std::u16string_view::npos);
  FUZZ_CHECK(std::u16string_view(joined).substr(joined.size() - part.size() + leading) == part.substr(leading));
  return 0;
}
