// Where the co-installer takes the user's country from, by the reported
// operating-system version, and the two-letter code cut from the answer.
//
// Input: one byte (bit 0: the version query failed), the major and minor
// version (eight bytes each, little-endian), then the location text (NULs
// and all).
//
// Properties: only version 5.0 counts as 5.0, and a failed query does not;
// 5.0 takes the default language's locale, 6 and later the console user's
// nation, everything else (older, other 5.x, unknown) the host account's
// nation; the country code is at most two characters, holds no NUL, and is
// the start of the text.
#include <algorithm>

#include "coinstaller/core/location_rules.h"
#include "fuzz/fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::string_view input = fuzz::AsText(data, size);
  const bool failed = (fuzz::TakeByte(input) & 1) != 0;
  coinstaller::ReportedVersion reported;
  reported.major = static_cast<unsigned long>(fuzz::TakeInteger<std::uint64_t>(input));
  reported.minor = static_cast<unsigned long>(fuzz::TakeInteger<std::uint64_t>(input));
  const std::optional<coinstaller::ReportedVersion> version =
      failed ? std::nullopt : std::optional<coinstaller::ReportedVersion>(reported);

  using coinstaller::LocationSource;
  const bool is50 = !failed && reported.major == 5 && reported.minor == 0;
  FUZZ_CHECK(coinstaller::IsVersion50(version) == is50);
  const LocationSource source = coinstaller::ChooseLocationSource(version);
  if (is50) {
    FUZZ_CHECK(source == LocationSource::DefaultLanguageLocale);
  } else if (!failed && reported.major >= 6) {
    FUZZ_CHECK(source == LocationSource::ConsoleUserGeo);
  } else {
    FUZZ_CHECK(source == LocationSource::HostAccountGeo);
  }

  const std::string code = coinstaller::CountryCode(input);
  FUZZ_CHECK(code.size() <= 2);
  FUZZ_CHECK(code.find('\0') == std::string::npos);
  FUZZ_CHECK(input.substr(0, code.size()) == code);
  const std::size_t nul = input.find('\0');
  FUZZ_CHECK(code.size() == std::min<std::size_t>({2, input.size(), nul}));
  return 0;
}
