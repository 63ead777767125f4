// The removal command read from an installed product's "UpgradeString"
// registry value: its data, of any type and length, as UTF-16 text.
//
// Input: the value's data bytes (an odd count too), at most the 1,026 bytes
// the uninstaller reads.
//
// Properties: the command is the data's UTF-16 units up to the first NUL
// unit or the last whole unit, never more (AddressSanitizer watches the
// reads: the data sits in a block of exactly its size, and a dangling odd
// byte is not a unit).
#include <algorithm>
#include <cstring>
#include <memory>

#include "fuzz/fuzz_support.h"
#include "uninstaller/core/upgrade_string.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::size_t bytes = std::min(size, ravuninst::kUpgradeStringBytes);
  const std::size_t units = bytes / 2;
  // Whole units only in the block, so reading the odd byte as part of a unit
  // is caught too.
  const std::unique_ptr<char16_t[]> value(new char16_t[units]);
  std::memcpy(value.get(), data, units * 2);

  const std::u16string command = ravuninst::CommandFromValueData(value.get(), bytes);

  std::u16string expected;
  for (std::size_t i = 0; i < units && value[i] != u'\0'; ++i) expected.push_back(value[i]);
  FUZZ_CHECK(command == expected);
  FUZZ_CHECK(command.size() <= units);
  FUZZ_CHECK(command.find(u'\0') == std::u16string::npos);
  return 0;
}
