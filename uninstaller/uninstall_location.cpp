#include "uninstaller/uninstall_location.h"

#include <optional>

#include "common/wide_text.h"
#include "uninstaller/core/command_line.h"
#include "uninstaller/debug_trace.h"
#include "uninstaller/services/localized_strings.h"

namespace ravuninst {

bool driverMode = false;

UninstallLocation& TheUninstallLocation() {
  static UninstallLocation location{kDefaultRootKey, {}};
  return location;
}

void ApplyRootOptions(const std::u16string& commandLine) {
  const RootOptions options = ParseRootOptions(commandLine);
  UninstallLocation& location = TheUninstallLocation();
  location.rootKey = options.rootKey;
  location.rootDir = options.rootDir;
  if (!options.complete) return;

  DebugTraceText(rav::as_wcstr(location.rootKey));
  DebugTraceText(rav::as_wcstr(location.rootDir));
  const std::optional<std::u16string> key = LocalizedStringsKeyFor(location.rootKey);
  if (!key) {
    // A key cut to fit could name some other key: the fixed default key
    // serves instead, as it does when the derived key cannot be opened.
    DebugTrace(L"ParseRootOptions: LocalizedStrings key longer than %d characters, not used; using %ls", 255,
               kDefaultLocalizedStringsKey);
    SetLocalizedStringsKey(rav::as_u16cstr(kDefaultLocalizedStringsKey));
    return;
  }
  DebugTraceText(rav::as_wcstr(*key));
  SetLocalizedStringsKey(*key);
}

}  // namespace ravuninst
