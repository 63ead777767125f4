#include "uninstaller/core/engine_command.h"

namespace ravuninst {

std::u16string_view EngineFileName(bool wow64) { return wow64 ? u"ravengine64.exe" : u"ravengine32.exe"; }

std::u16string EngineCommandLine(std::u16string_view rootDir, bool wow64, bool driverMode) {
  std::u16string line = u"\"";
  line.append(rootDir).append(u"\\").append(EngineFileName(wow64)).append(u"\" uninstall \"");
  line.append(rootDir);
  // Backslashes right before a closing quote escape it when the engine
  // splits its command line: "C:\dir\" would swallow the quote and the next
  // argument. Doubled, they stand for themselves and the quote closes.
  const std::size_t lastOther = rootDir.find_last_not_of(u'\\');
  const std::size_t trailing = rootDir.size() - (lastOther == std::u16string_view::npos ? 0 : lastOther + 1);
  line.append(trailing, u'\\');
  line.append(u"\" ");
  if (driverMode) line.append(u"RavDrv");
  return line;
}

}  // namespace ravuninst
