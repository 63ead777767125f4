// ravuninst.exe: removes the adapter's software.
#include <windows.h>

#include "uninstaller/ravuninst_main.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  return static_cast<int>(ravuninst::RavUninstMain(instance));
}
