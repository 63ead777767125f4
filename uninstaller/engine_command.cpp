#include "uninstaller/engine_command.h"

namespace ravuninst {

std::u16string_view EngineFileName(bool wow64) { return wow64 ? u"ravengine64.exe" : u"ravengine32.exe"; }

std::u16string EngineCommandLine(std::u16string_view rootDir, bool wow64, bool driverMode) {
  std::u16string line = u"\"";
  line.append(rootDir).append(u"\\").append(EngineFileName(wow64)).append(u"\" uninstall \"");
  line.append(rootDir).append(u"\" ");
  if (driverMode) line.append(u"RavDrv");
  return line;
}

}  // namespace ravuninst
