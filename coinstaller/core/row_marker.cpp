#include "coinstaller/core/row_marker.h"

namespace coinstaller {

std::string InstallSectionName(std::string_view section, std::string_view extension) {
  std::string name(section);
  name.append(extension);
  return name;
}

bool AddRegLineMarksRowCard(std::string_view addRegLine) {
  return addRegLine.find("cc.reg") != std::string_view::npos;
}

}  // namespace coinstaller
