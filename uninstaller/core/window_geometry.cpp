#include "uninstaller/core/window_geometry.h"

namespace ravuninst {

Point CenteredOrigin(int desktopLeft, int desktopTop, int desktopWidth, int desktopHeight, int windowWidth,
                     int windowHeight) {
  return {desktopLeft + (desktopWidth - windowWidth) / 2, desktopTop + (desktopHeight - windowHeight) / 2};
}

}  // namespace ravuninst
