#include "coinstaller/user_location.h"

#include "coinstaller/console_user.h"
#include "coinstaller/debug_print.h"
#include "coinstaller/core/location_rules.h"
#include "coinstaller/os_version.h"
#include "common/scoped_reverters.h"

namespace coinstaller {
namespace {

// The nation's ISO code into `text`. False after logging the failed read; a
// user without a nation leaves `text` untouched.
bool ReadNationCode(char (&text)[kLocationBuffer]) {
  const GEOID nation = GetUserGeoID(GEOCLASS_NATION);
  if (nation == GEOID_NOT_AVAILABLE) return true;
  DebugPrint("GeoId: [%ld]", static_cast<long>(nation));
  if (!GetGeoInfoA(nation, GEO_ISO2, text, sizeof text, 0)) {
    const long error = LastErrorCode();
    DebugPrintFailure("Failed to read user geographic location. [err=%ld]", error);
    return false;
  }
  return true;
}

}  // namespace

rav::UniqueHandle GetUserToken(const char* winlogonKey) {
  DebugPrint("Entering... GetUserToken()");
  std::string user;
  if (GetCurrentUser(user)) DebugPrint("Getting token from user process for user \"%s\"", user.c_str());
  rav::UniqueHandle shellToken = GetUserShellToken(user, winlogonKey);
  if (!shellToken) return rav::UniqueHandle();
  HANDLE duplicate = nullptr;
  if (!DuplicateToken(shellToken.get(), SecurityImpersonation, &duplicate)) duplicate = nullptr;
  shellToken.reset();
  DebugPrint("Leaving... GetUserToken()");
  return rav::UniqueHandle(duplicate);
}

std::optional<std::string> GetUserLocation(const char* winlogonKey) {
  char text[kLocationBuffer] = {};
  const LocationSource source = ChooseLocationSource(QueryReportedVersion());
  if (source == LocationSource::DefaultLanguageLocale) {
    if (!GetLocaleInfoA(MAKELCID(GetUserDefaultLangID(), SORT_DEFAULT), LOCALE_SISO3166CTRYNAME, text, sizeof text)) {
      const long error = LastErrorCode();
      DebugPrintFailure("Failed to read user geographic location. [err=%ld]", error);
      return std::nullopt;
    }
  } else {
    // Without a token, or when impersonating fails, the host's own account
    // answers. The token is closed as soon as the thread impersonates it.
    rav::ImpersonationReverter impersonation;
    if (source == LocationSource::ConsoleUserGeo) {
      const rav::UniqueHandle token = GetUserToken(winlogonKey);
      if (token) {
        impersonation = rav::ImpersonationReverter(ImpersonateLoggedOnUser(token.get()));
        if (impersonation) DebugPrint("Successfully impersonated logged on user.");
      }
    }
    if (!ReadNationCode(text)) return std::nullopt;
  }
  DebugPrint("Leaving GetUserLocation()");
  return CountryCode(std::string_view(text, sizeof text));
}

}  // namespace coinstaller
