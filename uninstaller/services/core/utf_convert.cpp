#include "uninstaller/services/core/utf_convert.h"

#include "common/core/utf_text.h"
#include "uninstaller/services/core/basic_exception.h"

namespace ravuninst {

std::string Utf16ToUtf8(std::u16string_view text) {
  switch (rav::FindUnpairedSurrogate(text)) {
    case rav::UnpairedSurrogate::kLead:
      RaiseUtilError(kUnpairedLeadSurrogate);
    case rav::UnpairedSurrogate::kTrail:
      RaiseUtilError(kUnpairedTrailSurrogate);
    case rav::UnpairedSurrogate::kNone:
      break;
  }
  return rav::Utf16ToUtf8(text);
}

}  // namespace ravuninst
