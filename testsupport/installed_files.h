#pragma once
// What the tests put where the platform looks for it, and take away again:
// ravcoinst.dll and the IHV stand-ins in the system directory, and the copies
// of the sample INF that installing a device leaves behind.
#include <windows.h>
#include <setupapi.h>

#include <filesystem>
#include <string>

#include "common/win_resources.h"

namespace testsupport {

std::filesystem::path SystemDirectory();
std::filesystem::path WindowsDirectory();

// The co-installer's export, loaded from the system directory as SetupAPI
// loads it, for calls the platform does not make itself.
class CoInstallerExport {
 public:
  CoInstallerExport();
  bool loaded() const { return entry_ != nullptr; }
  DWORD Call(DI_FUNCTION installFunction, HDEVINFO deviceInfoSet, PSP_DEVINFO_DATA deviceInfoData,
             PCOINSTALLER_CONTEXT_DATA context) const;
  void Unload();

 private:
  using Entry = DWORD(CALLBACK*)(DI_FUNCTION, HDEVINFO, PSP_DEVINFO_DATA, PCOINSTALLER_CONTEXT_DATA);
  rav::UniqueLibrary module_;
  Entry entry_ = nullptr;
};

// A file of the build tree copied into the system directory under `name`,
// deleted when this goes (if the code under test has not already).
class SystemFile {
 public:
  SystemFile(const std::filesystem::path& source, const std::wstring& name);
  ~SystemFile();
  SystemFile(const SystemFile&) = delete;
  SystemFile& operator=(const SystemFile&) = delete;

  bool copied() const { return copied_; }
  const std::filesystem::path& path() const { return path_; }

 private:
  std::filesystem::path path_;
  bool copied_ = false;
};

// Deletes what installing an INF of this name leaves: its copy in the INF
// directory, the precompiled .pnf beside it and its backup in the system
// directory.
void RemoveInstalledInf(const std::string& infName);

}  // namespace testsupport
