#pragma once
// A driver package for launcher tests: the real launcher.exe as Setup.exe,
// stand-in programs (recorder.exe) under chosen names, a launcher.ini, and a
// private temporary directory for the run, so the staging directory is the
// test's own.
#include <filesystem>
#include <functional>
#include <future>
#include <string>
#include <vector>

#include "testsupport/dir_tree.h"
#include "testsupport/process_runner.h"

namespace launcher_test {

// What one stand-in program recorded about its start.
struct Record {
  std::string image;
  std::string cwd;
  std::string commandLine;
};

class LauncherPackage {
 public:
  LauncherPackage();

  void WriteIni(const std::string& content);
  // A stand-in program at this path inside the package.
  void AddProgram(const std::string& relativePath);
  void AddFile(const std::string& relativePath, const std::string& content);
  // Makes the stand-ins copy their staged directory here while they run.
  void SnapshotStagingInto(const std::filesystem::path& directory);
  void SetErrorCodeForPrograms(unsigned code);

  // Runs Setup.exe with these arguments (each quoted by the platform's rules).
  testsupport::RunResult Run(const std::vector<std::wstring>& arguments);
  // The same on a thread of its own; `onStarted` gets Setup.exe's process ID.
  std::future<testsupport::RunResult> RunAsync(const std::vector<std::wstring>& arguments,
                                               std::function<void(DWORD)> onStarted = {});
  // Moves the package (Setup.exe and all) to this path below root().
  void MovePackageTo(const std::filesystem::path& relativePath);

  std::vector<Record> Records() const;

  const std::filesystem::path& root() const { return scratch_.path(); }
  const std::filesystem::path& packageDir() const { return packageDir_; }
  std::filesystem::path setupExe() const { return packageDir() / L"Setup.exe"; }
  std::filesystem::path tempDir() const { return root() / L"temp"; }
  std::filesystem::path stagingDir() const { return tempDir() / L"RavWLSetup"; }
  std::filesystem::path workDir() const { return root() / L"work"; }

  std::vector<std::pair<std::wstring, std::optional<std::wstring>>> environment;
  // Called with each debug line of Setup.exe (its prefix and line end
  // removed) while Setup.exe waits: the test acts at that point of the run.
  std::function<void(const std::string&)> onLine;

 private:
  testsupport::RunOptions Options(const std::vector<std::wstring>& arguments) const;

  testsupport::TempDir scratch_;
  std::filesystem::path packageDir_ = scratch_.path() / L"package";
};

// "<path>" as the launcher spells it in its debug lines (ANSI text).
std::string Ansi(const std::filesystem::path& path);

}  // namespace launcher_test
