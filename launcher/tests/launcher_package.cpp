#include "launcher/tests/launcher_package.h"

#include "testsupport/test_paths.h"
#include "testsupport/text.h"

namespace launcher_test {
namespace fs = std::filesystem;
using testsupport::RunOptions;
using testsupport::RunResult;

std::string Ansi(const fs::path& path) { return testsupport::Narrow(path.wstring()); }

LauncherPackage::LauncherPackage() {
  fs::create_directories(packageDir());
  fs::create_directories(tempDir());
  fs::create_directories(workDir());
  fs::copy_file(testsupport::BinPath(L"launcher.exe"), setupExe());
  environment = {
      {L"TMP", tempDir().wstring()},
      {L"TEMP", tempDir().wstring()},
      {L"RAV_RECORDER_LOG", (root() / L"records.txt").wstring()},
  };
}

void LauncherPackage::WriteIni(const std::string& content) {
  testsupport::WriteFile(packageDir() / L"launcher.ini", content);
}

void LauncherPackage::AddProgram(const std::string& relativePath) {
  const fs::path target = packageDir() / fs::path(relativePath).make_preferred();
  fs::create_directories(target.parent_path());
  fs::copy_file(testsupport::BinPath(L"recorder.exe"), target, fs::copy_options::overwrite_existing);
}

void LauncherPackage::AddFile(const std::string& relativePath, const std::string& content) {
  testsupport::WriteFile(packageDir() / fs::path(relativePath).make_preferred(), content);
}

void LauncherPackage::SnapshotStagingInto(const fs::path& directory) {
  environment.push_back({L"RAV_RECORDER_SNAPSHOT", directory.wstring()});
}

void LauncherPackage::SetErrorCodeForPrograms(unsigned code) {
  environment.push_back({L"RAV_RECORDER_ERROR_CODE", std::to_wstring(code)});
}

void LauncherPackage::MovePackageTo(const fs::path& relativePath) {
  const fs::path target = root() / relativePath;
  fs::create_directories(target.parent_path());
  fs::rename(packageDir_, target);
  packageDir_ = target;
}

std::future<RunResult> LauncherPackage::RunAsync(const std::vector<std::wstring>& arguments,
                                                 std::function<void(DWORD)> onStarted) {
  RunOptions options = Options(arguments);
  options.onStarted = std::move(onStarted);
  return testsupport::RunProgramAsync(std::move(options));
}

RunResult LauncherPackage::Run(const std::vector<std::wstring>& arguments) {
  return testsupport::RunProgram(Options(arguments));
}

RunOptions LauncherPackage::Options(const std::vector<std::wstring>& arguments) const {
  RunOptions options;
  options.commandLine = rav::QuoteArgument(setupExe().wstring());
  for (const std::wstring& argument : arguments) options.commandLine += L" " + rav::QuoteArgument(argument);
  options.currentDirectory = workDir().wstring();
  options.environment = environment;
  options.captureOutput = true;
  if (onLine) {
    options.onDebugOutput = [onLine = onLine](const std::string& text) {
      constexpr std::string_view kPrefix = "*** LAUNCHER ***: ";
      std::string line = text.rfind(kPrefix, 0) == 0 ? text.substr(kPrefix.size()) : text;
      while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) line.pop_back();
      onLine(line);
    };
  }
  return options;
}

std::vector<Record> LauncherPackage::Records() const {
  std::vector<Record> records;
  Record current;
  for (const std::string& line : testsupport::SplitLines(testsupport::ReadFile(root() / L"records.txt"))) {
    if (line.rfind("image=", 0) == 0) current.image = line.substr(6);
    if (line.rfind("cwd=", 0) == 0) current.cwd = line.substr(4);
    if (line.rfind("cmdline=", 0) == 0) current.commandLine = line.substr(8);
    if (line == "--") records.push_back(std::exchange(current, {}));
  }
  return records;
}

}  // namespace launcher_test
