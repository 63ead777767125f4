// Setup.exe: stages the driver package and runs its setup programs.
#include "launcher/launcher_main.h"

// Arguments reach the setup programs as typed: no wildcard expansion.
int _dowildcard = 0;

int main(int argc, char** argv) { return static_cast<int>(launcher::LauncherMain(argc, argv)); }
