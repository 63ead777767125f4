#include "coinstaller/core/dif_table.h"

#include <array>

namespace coinstaller {
namespace {

constexpr const char* kUnnamed = "?????";

// Indexed by code, 0x00 to 0x27. Gaps are codes the platform retired.
constexpr std::array<const char*, 0x28> kNames = {
    kUnnamed,
    "DIF_SELECTDEVICE",
    "DIF_INSTALLDEVICE",
    "DIF_ASSIGNRESOURCES",
    "DIF_PROPERTIES",
    "DIF_REMOVE",
    "DIF_FIRSTTIMESETUP",
    "DIF_FOUNDDEVICE",
    "DIF_SELECTCLASSDRIVERS",
    "DIF_VALIDATECLASSDRIVERS",
    "DIF_INSTALLCLASSDRIVERS",
    "DIF_CALCDISKSPACE",
    "DIF_DESTROYPRIVATEDATA",
    "DIF_VALIDATEDRIVER",
    "DIF_MOVEDEVICE",
    "DIF_DETECT",
    "DIF_INSTALLWIZARD",
    "DIF_DESTROYWIZARDDATA",
    "DIF_PROPERTYCHANGE",
    "DIF_ENABLECLASS",
    "DIF_DETECTVERIFY",
    "DIF_INSTALLDEVICEFILES",
    kUnnamed,
    "DIF_SELECTBESTCOMPATDRV",
    "DIF_ALLOW_INSTALL",
    "DIF_REGISTERDEVICE",
    "DIF_NEWDEVICEWIZARD_PRESELECT",
    "DIF_NEWDEVICEWIZARD_SELECT",
    "DIF_NEWDEVICEWIZARD_PREANALYZE",
    "DIF_NEWDEVICEWIZARD_POSTANALYZE",
    "DIF_NEWDEVICEWIZARD_FINISHINSTALL",
    kUnnamed,
    "DIF_INSTALLINTERFACES",
    "DIF_DETECTCANCEL",
    "DIF_REGISTER_COINSTALLERS",
    "DIF_ADDPROPERTYPAGE_ADVANCED",
    "DIF_ADDPROPERTYPAGE_BASIC",
    kUnnamed,
    "DIF_TROUBLESHOOTER",
    "DIF_POWERMESSAGEWAKE",
};

}  // namespace

const char* DifName(std::uint32_t code) { return code < kNames.size() ? kNames[code] : kUnnamed; }

RequestHandler HandlerFor(std::uint32_t code) {
  switch (code) {
    case kDifInstallDevice:
      return RequestHandler::InstallDevice;
    case kDifRemove:
      return RequestHandler::RemoveDevice;
    case kDifNewDeviceWizardFinishInstall:
      return RequestHandler::FinishInstall;
    default:
      return RequestHandler::LogOnly;
  }
}

}  // namespace coinstaller
