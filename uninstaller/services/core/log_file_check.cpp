#include "uninstaller/services/core/log_file_check.h"

namespace ravuninst {

LogFileVerdict JudgeLogFile(const LogFileFacts& facts) {
  if ((facts.attributes & kAttributeReparsePoint) != 0) return LogFileVerdict::kLink;
  if (!facts.diskFile || (facts.attributes & kAttributeDirectory) != 0) return LogFileVerdict::kNotAPlainFile;
  if (facts.links > 1) return LogFileVerdict::kSeveralNames;
  return LogFileVerdict::kUsable;
}

std::u16string_view LogFileRefusal(LogFileVerdict verdict) {
  switch (verdict) {
    case LogFileVerdict::kUsable:
      return u"";
    case LogFileVerdict::kLink:
      return u"is a link or junction, not followed";
    case LogFileVerdict::kNotAPlainFile:
      return u"is not a plain file";
    case LogFileVerdict::kSeveralNames:
      return u"is a file with more than one name (a hard link), not written through";
  }
  return u"cannot be judged";
}

}  // namespace ravuninst
