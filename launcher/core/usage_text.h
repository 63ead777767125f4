#pragma once
// What "/?", "/Help" and "-Help" print.

namespace launcher {

inline constexpr char kUsageText[] =
    "\nUSAGE:\n      Setup.exe /Option <Required Parameter> [Optional Parameter] \t\t\t\t\t\n\n"
    "\t\t/s [/f1\"<Path to the response file>\"] [/f2\"<Path to the log file>\"] \t\t\t\t\t\n"
    "\t\t/extract_all:\"<Path>\"\t NOTE: <Path> must exist.\n\n";

}  // namespace launcher
