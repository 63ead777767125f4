#pragma once
// Where the product being removed keeps its records and its setup engine,
// and whether the driver is what is being removed. Filled once at start.
#include <string>

namespace ravuninst {

struct UninstallLocation {
  std::u16string rootKey;  // below HKEY_LOCAL_MACHINE
  std::u16string rootDir;  // holds the setup engine
};

UninstallLocation& TheUninstallLocation();
extern bool driverMode;

// Parses "/rootkey=" and "/rootdir=", traces them and the localized-strings
// key derived from the root key, and hands that key to the string loader.
void ApplyRootOptions(const std::u16string& commandLine);

}  // namespace ravuninst
