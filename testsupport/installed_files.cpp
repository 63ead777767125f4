#include "testsupport/installed_files.h"

#include <system_error>

namespace testsupport {
namespace fs = std::filesystem;

fs::path SystemDirectory() {
  wchar_t buffer[MAX_PATH + 1] = {};
  GetSystemDirectoryW(buffer, MAX_PATH);
  return fs::path(buffer);
}

fs::path WindowsDirectory() {
  wchar_t buffer[MAX_PATH + 1] = {};
  GetWindowsDirectoryW(buffer, MAX_PATH);
  return fs::path(buffer);
}

CoInstallerExport::CoInstallerExport()
    : module_(LoadLibraryW((SystemDirectory() / L"ravcoinst.dll").c_str())) {
  if (module_) {
    entry_ = reinterpret_cast<Entry>(
        reinterpret_cast<void (*)()>(GetProcAddress(module_.get(), "RAVWlanCoInstall")));
  }
}

DWORD CoInstallerExport::Call(DI_FUNCTION installFunction, HDEVINFO deviceInfoSet,
                              PSP_DEVINFO_DATA deviceInfoData, PCOINSTALLER_CONTEXT_DATA context) const {
  return entry_(installFunction, deviceInfoSet, deviceInfoData, context);
}

void CoInstallerExport::Unload() {
  entry_ = nullptr;
  module_.reset();
}

SystemFile::SystemFile(const fs::path& source, const std::wstring& name) : path_(SystemDirectory() / name) {
  copied_ = CopyFileW(source.c_str(), path_.c_str(), FALSE) != FALSE;
}

SystemFile::~SystemFile() { DeleteFileW(path_.c_str()); }

void RemoveInstalledInf(const std::string& infName) {
  if (infName.empty()) return;
  const fs::path name(infName);
  std::error_code ignored;
  fs::remove(WindowsDirectory() / L"inf" / name, ignored);
  fs::remove(WindowsDirectory() / L"inf" / fs::path(name).replace_extension(L".pnf"), ignored);
  fs::remove(SystemDirectory() / name, ignored);
}

}  // namespace testsupport
