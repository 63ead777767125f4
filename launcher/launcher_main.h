#pragma once
#include "launcher/exit_code.h"

namespace launcher {

// The whole launcher run for the program's arguments.
ExitCode LauncherMain(int argc, char** argv);

}  // namespace launcher
