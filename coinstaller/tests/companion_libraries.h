#pragma once
// The IHV companion libraries where the driver package puts them: stand-ins
// for ravihvui64.dll and ravihvsrv64.dll in the system directory. The
// user-interface stand-in records each unregistration regsvr32 makes in a
// log of the test's own (see fixtures/ihv_standin).
#include <windows.h>

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "testsupport/installed_files.h"

namespace coinstaller_test {

using testsupport::CoInstallerExport;
using testsupport::RemoveInstalledInf;
using testsupport::SystemDirectory;
using testsupport::SystemFile;
using testsupport::WindowsDirectory;

// An environment variable of this process (and so of regsvr32, which the
// co-installer starts with the host's environment) while this object lives.
class ScopedEnvironment {
 public:
  ScopedEnvironment(const char* name, const std::string& value);
  ~ScopedEnvironment();
  ScopedEnvironment(const ScopedEnvironment&) = delete;
  ScopedEnvironment& operator=(const ScopedEnvironment&) = delete;

 private:
  const char* name_;
};

class CompanionLibraries {
 public:
  // `scratch` holds the unregistration log.
  explicit CompanionLibraries(const std::filesystem::path& scratch);

  // Copies both stand-ins into the system directory; they are deleted again
  // when this goes, if the code under test has not already.
  bool Place();

  const std::filesystem::path& userInterfacePath() const { return userInterfacePath_; }
  const std::filesystem::path& servicePath() const { return servicePath_; }

  // One line per unregistration, in order:
  //   DllUnregisterServer <path of the library> present|absent
  // where the last word tells whether the service library still existed.
  std::vector<std::string> UnregisterRecords() const;

 private:
  std::filesystem::path userInterfacePath_;
  std::filesystem::path servicePath_;
  std::filesystem::path log_;
  ScopedEnvironment logVariable_;
  ScopedEnvironment watchVariable_;
  std::optional<SystemFile> userInterface_;
  std::optional<SystemFile> service_;
};

}  // namespace coinstaller_test
