#pragma once
// Where the adapter's country code comes from, by the operating-system version
// the platform reports, and how the answer is cut to a country code.
#include <optional>
#include <string>
#include <string_view>

namespace coinstaller {

struct ReportedVersion {
  unsigned long major = 0;
  unsigned long minor = 0;
};

enum class LocationSource {
  DefaultLanguageLocale,  // 5.0: the locale of the user's default language
  HostAccountGeo,         // other 5.x and older: the host account's nation GeoID
  ConsoleUserGeo,         // 6 and later: the nation GeoID, as the console user
};

// Version 5.0 exactly. Nothing known (the query failed) is not 5.0.
bool IsVersion50(std::optional<ReportedVersion> version);

LocationSource ChooseLocationSource(std::optional<ReportedVersion> version);

// The location buffer holds 8 characters; the code is what comes before the
// third character (or the first NUL).
inline constexpr std::size_t kLocationBuffer = 8;
std::string CountryCode(std::string_view locationText);

}  // namespace coinstaller
