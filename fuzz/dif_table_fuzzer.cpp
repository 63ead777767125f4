// The co-installer's request table: the name it logs for any 32-bit
// device-installation request code, and which requests it acts on.
//
// Input: the request code, four bytes little-endian (missing bytes are 0).
//
// Properties: every code has a name, a short NUL-terminated text; codes
// above 0x27 and the codes without a platform name (0x00, 0x16, 0x1F, 0x25)
// are "?????", every other is "DIF_..." and no two codes share a name; only
// DIF_INSTALLDEVICE, DIF_REMOVE and DIF_NEWDEVICEWIZARD_FINISHINSTALL are
// acted on, each by its own handler.
#include <cstring>

#include "coinstaller/core/dif_table.h"
#include "fuzz/fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::string_view input = fuzz::AsText(data, size);
  const std::uint32_t code = fuzz::TakeInteger<std::uint32_t>(input);

  const char* name = coinstaller::DifName(code);
  FUZZ_CHECK(name != nullptr);
  const std::size_t length = strnlen(name, 64);
  FUZZ_CHECK(length > 0 && length < 64);
  const std::string_view text(name, length);

  const bool unnamed = code > 0x27 || code == 0x00 || code == 0x16 || code == 0x1F || code == 0x25;
  if (unnamed) {
    FUZZ_CHECK(text == "?????");
  } else {
    FUZZ_CHECK(text.substr(0, 4) == "DIF_");
    for (std::uint32_t other = 0; other <= 0x27; ++other) {
      if (other != code) FUZZ_CHECK(text != coinstaller::DifName(other));
    }
  }

  using coinstaller::RequestHandler;
  const RequestHandler handler = coinstaller::HandlerFor(code);
  switch (handler) {
    case RequestHandler::InstallDevice:
      FUZZ_CHECK(code == coinstaller::kDifInstallDevice && text == "DIF_INSTALLDEVICE");
      break;
    case RequestHandler::RemoveDevice:
      FUZZ_CHECK(code == coinstaller::kDifRemove && text == "DIF_REMOVE");
      break;
    case RequestHandler::FinishInstall:
      FUZZ_CHECK(code == coinstaller::kDifNewDeviceWizardFinishInstall && text == "DIF_NEWDEVICEWIZARD_FINISHINSTALL");
      break;
    case RequestHandler::LogOnly:
      FUZZ_CHECK(code != 0x02 && code != 0x05 && code != 0x1E);
      break;
    default:
      FUZZ_CHECK(!"a handler outside the enumeration");
  }
  return 0;
}
