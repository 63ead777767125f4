// ravuninst.exe: removes the adapter's software.
#include <windows.h>

#include "uninstaller/ravuninst_main.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) { return ravuninst::RavUninstMain(instance); }
