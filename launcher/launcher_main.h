#pragma once

namespace launcher {

// The whole launcher run for the program's arguments; returns the exit code.
int LauncherMain(int argc, char** argv);

}  // namespace launcher
