#include "coinstaller/row_card.h"

#include <string>
#include <utility>

#include "coinstaller/debug_print.h"
#include "coinstaller/driver_registry.h"
#include "coinstaller/core/row_marker.h"

namespace coinstaller {
namespace {

constexpr DWORD kSectionValueBuffer = 256;
constexpr DWORD kAddRegLineBuffer = 4096;

// A section-name value that cannot be read adds nothing to the name.
std::string SectionValue(HKEY driverKey, const char* name) {
  rav::Result<std::string> value = ReadRegistryText(driverKey, name, kSectionValueBuffer);
  if (!value) {
    DebugPrintFailure("Failed to read '%s' from driver registry. [err=%ld]", name, ErrorCode(value.error()));
    return std::string();
  }
  return std::move(value).value();
}

bool IsOpen(HINF inf) { return inf != nullptr && inf != INVALID_HANDLE_VALUE; }

}  // namespace

bool IsROWCard(HKEY driverKey, HINF inf) {
  DebugPrint("Entering IsROWCard()");
  const std::string section = SectionValue(driverKey, "InfSection");
  const std::string extension = SectionValue(driverKey, "InfSectionExt");
  const std::string sectionName = InstallSectionName(section, extension);
  DebugPrint("Inf Section: %s", sectionName.c_str());

  // An INF that did not open has no line to size. It is never handed to
  // SetupAPI: some implementations read through the invalid handle.
  DWORD required = 0;
  BOOL sized = FALSE;
  DWORD sizeError = ERROR_INVALID_HANDLE;
  if (IsOpen(inf)) {
    sized = SetupGetLineTextA(nullptr, inf, sectionName.c_str(), "AddReg", nullptr, 0, &required);
    if (!sized) sizeError = GetLastError();
  }
  if (!sized) {
    DebugPrintFailure("Failed to get the required size. [err=%ld]", ErrorCode(sizeError));
    DebugPrint("Leaving IsROWCard()");
    return true;
  }

  char line[kAddRegLineBuffer] = {};
  if (!SetupGetLineTextA(nullptr, inf, sectionName.c_str(), "AddReg", line, sizeof line, nullptr)) {
    const long error = LastErrorCode();
    DebugPrintFailure("Failed to get 'AddReg' value from Inf Section: %s. [err=%ld]", sectionName.c_str(), error);
    return false;
  }
  if (AddRegLineMarksRowCard(line)) {
    DebugPrint("ROW card detected.");
    DebugPrint("Leaving IsROWCard()");
    return true;
  }
  DebugPrint("Not a ROW card.");
  return false;
}

}  // namespace coinstaller
