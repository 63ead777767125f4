// Account names as the co-installer forms and compares them: "DOMAIN\user"
// in a 4,096-character buffer, equal when they differ only in the case of
// ASCII letters, and the owner test of the console user's processes.
//
// Input: two bytes of padding count (that many 'd' in front of the domain,
// so short inputs reach the 4,096 limit), one byte of buffer size (0: the
// 4,096-character buffer; n: n × 17 characters), then NUL-separated fields:
// domain, name, another name.
//
// Properties: the qualified name fits its buffer with the terminator and is
// exactly domain, backslash, name, or is refused, never cut; the comparison
// is reflexive, symmetric and transitive, holds against the name with its
// ASCII letters in the other case, and otherwise matches a byte-by-byte
// reference (bytes outside A-Z/a-z compared exactly, also each input byte
// against its bit-5 partner); an empty owner belongs to nobody.
#include "coinstaller/core/account_names.h"
#include "common/core/ascii_case.h"
#include "fuzz/fuzz_support.h"

namespace {

char Lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; }

bool SameIgnoringCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (Lower(a[i]) != Lower(b[i])) return false;
  }
  return true;
}

std::string SwappedCase(std::string_view text) {
  std::string out(text);
  for (char& c : out) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + 32);
    else if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 32);
  }
  return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::string_view input = fuzz::AsText(data, size);
  const std::size_t padding = fuzz::TakeCount(input, 0x1FFF);
  const std::size_t bufferChoice = fuzz::TakeByte(input);
  const std::vector<std::string_view> fields = fuzz::Fields(input, 3);
  const std::string domain = std::string(padding, 'd') + std::string(fields[0]);
  const std::string_view name = fields[1];
  const std::string_view other = fields[2];

  using namespace coinstaller;
  using rav::EqualIgnoringAsciiCase;
  const std::size_t buffer = bufferChoice == 0 ? kUserNameBuffer : bufferChoice * 17;
  const std::optional<std::string> qualified = QualifiedAccountName(domain, name, buffer);
  const std::string whole = domain + "\\" + std::string(name);
  FUZZ_CHECK(qualified.has_value() == (whole.size() < buffer));
  if (qualified) FUZZ_CHECK(*qualified == whole);
  if (bufferChoice == 0) FUZZ_CHECK(QualifiedAccountName(domain, name) == qualified);

  const std::string_view user = qualified ? std::string_view(*qualified) : name;
  const std::string_view texts[] = {user, name, other, fields[0]};
  for (const std::string_view a : texts) {
    FUZZ_CHECK(EqualIgnoringAsciiCase(a, a));
    FUZZ_CHECK(EqualIgnoringAsciiCase(a, SwappedCase(a)));
    for (const std::string_view b : texts) {
      const bool equal = EqualIgnoringAsciiCase(a, b);
      FUZZ_CHECK(equal == EqualIgnoringAsciiCase(b, a));
      FUZZ_CHECK(equal == SameIgnoringCase(a, b));
      FUZZ_CHECK(OwnerIsUser(a, b) == (!a.empty() && equal));
      for (const std::string_view c : texts) {
        if (equal && EqualIgnoringAsciiCase(b, c)) FUZZ_CHECK(EqualIgnoringAsciiCase(a, c));
      }
    }
  }
  FUZZ_CHECK(!OwnerIsUser("", user));

  // Every byte of the input against its partner with bit 5 flipped (the
  // other case of a letter): only A-Z/a-z may pair up.
  for (const char c : input) {
    const std::string one(1, c);
    const std::string partner(1, static_cast<char>(c ^ 0x20));
    FUZZ_CHECK(EqualIgnoringAsciiCase(one, partner) == SameIgnoringCase(one, partner));
  }
  return 0;
}
