#include "coinstaller/core/location_rules.h"

namespace coinstaller {

bool IsVersion50(std::optional<ReportedVersion> version) {
  return version && version->major == 5 && version->minor == 0;
}

LocationSource ChooseLocationSource(std::optional<ReportedVersion> version) {
  if (IsVersion50(version)) return LocationSource::DefaultLanguageLocale;
  if (version && version->major >= 6) return LocationSource::ConsoleUserGeo;
  return LocationSource::HostAccountGeo;
}

std::string CountryCode(std::string_view locationText) {
  locationText = locationText.substr(0, locationText.find('\0'));
  return std::string(locationText.substr(0, 2));
}

}  // namespace coinstaller
