#pragma once
// The sections of the support bundle (ravtrace collect), each read from
// where the adapter's software leaves its traces on a PC. Each only reads;
// a source that is missing or cannot be read gets one line saying why.
#include <string>
#include <vector>

#include "tools/tracer/core/bundle_text.h"

namespace tracer {

// What the earlier sections found that the device-installation log is
// searched for: INF file names and hardware IDs of the adapter. UTF-8.
struct AdapterNames {
  std::vector<std::string> infNames;
  std::vector<std::string> hardwareIds;
};

BundleSection WindowsSection();

// The adapter's uninstall records and uninstall-information keys, in every
// registry view; `folders` gets the folders they name (the package's and the
// setup engine's), each once.
BundleSection UninstallRecordsSection(std::vector<std::wstring>& folders);

// Setup.exe, ravuninst.exe and ravcoinst.dll where the records' folders and
// the system directory hold them, with versions; the INF files of the
// records' folders (into `names`).
BundleSection ProgramsSection(const std::vector<std::wstring>& folders, AdapterNames& names);

// The driver keys of network adapters whose co-installer is ravcoinst.dll:
// the values the co-installer reads and writes, and its INF backup. Their
// INF names and hardware IDs go into `names`.
BundleSection DriverKeysSection(AdapterNames& names);

// HKEY_CURRENT_USER\SOFTWARE\RavSetup\Status, the setup's result.
BundleSection SetupStatusSection();

// The newest lines of %TEMP%\ravwl.log of the user running ravtrace.
BundleSection UninstallLogSection();

// The device-installation log's lines about the adapter: setupapi.dev.log
// (Windows Vista and later) or setupapi.log (XP).
BundleSection SetupApiLogSection(const AdapterNames& names);

}  // namespace tracer
