#include "uninstaller/tests/uninstaller_driver.h"

#include <gtest/gtest.h>

#include <thread>

#include "common/core/argument_quote.h"
#include "testsupport/test_paths.h"
#include "testsupport/text.h"

namespace uninstaller_test {
namespace fs = std::filesystem;

UninstallerRun::UninstallerRun(const std::wstring& program, const std::wstring& arguments,
                               std::vector<std::pair<std::wstring, std::optional<std::wstring>>> environment,
                               HANDLE token) {
  testsupport::RunOptions options;
  options.commandLine = rav::QuoteArgument(testsupport::BinPath(program).wstring());
  if (!arguments.empty()) options.commandLine += L" " + arguments;
  options.environment = std::move(environment);
  options.token = token;
  options.timeout = 180s;
  options.onStarted = [this](DWORD id) { processId_ = id; };
  run_ = testsupport::RunProgramAsync(std::move(options));
}

UninstallerRun::~UninstallerRun() {
  if (finished_) return;
  // A failed test may leave a box open: end the program rather than hang.
  if (DWORD id = processId_.load()) {
    if (HANDLE process = OpenProcess(PROCESS_TERMINATE, FALSE, id)) {
      TerminateProcess(process, 0xDEAD);
      CloseHandle(process);
    }
  }
  run_.wait();
}

DWORD UninstallerRun::processId() {
  for (int i = 0; i < 500 && processId_.load() == 0; ++i) std::this_thread::sleep_for(10ms);
  return processId_.load();
}

MessageBoxSeen UninstallerRun::WaitForMessageBox(std::chrono::milliseconds timeout) {
  return testsupport::WaitForMessageBox(processId(), timeout);
}

bool UninstallerRun::Confirm(std::chrono::milliseconds timeout) {
  const MessageBoxSeen confirm = WaitForMessageBox(timeout);
  if (confirm.window == nullptr) return false;
  Press(confirm.window, IDOK);
  return true;
}

HWND UninstallerRun::WaitForProgressWindow(std::chrono::milliseconds timeout) {
  return testsupport::WaitForDialogWith(processId(), 201, timeout);
}

testsupport::RunResult UninstallerRun::Finish(std::chrono::milliseconds timeout) {
  if (run_.wait_for(timeout) != std::future_status::ready) {
    ADD_FAILURE() << "ravuninst did not end";
    return {};
  }
  finished_ = true;
  return run_.get();
}

EngineDir::EngineDir(const std::string& script) {
  for (const wchar_t* engine : {L"ravengine32.exe", L"ravengine64.exe"}) {
    fs::copy_file(testsupport::BinPath(engine), path() / engine);
  }
  testsupport::WriteFile(path() / L"ravengine.script", script);
}

std::wstring EngineDir::RootDirArgument() const { return L"/rootdir=\"" + path().wstring() + L"\""; }

std::vector<std::pair<std::wstring, std::optional<std::wstring>>> EngineDir::Environment() const {
  return {{L"RAV_ENGINE_RECORD", record().wstring()}, {L"RAV_ENGINE_SCRIPT", std::nullopt}};
}

std::vector<std::string> EngineDir::RecordedLines() const {
  return testsupport::SplitLines(testsupport::ReadFile(record()));
}

UninstallerTest::Environment_t UninstallerTest::Environment(const EngineDir* engine) const {
  Environment_t environment = {{L"TMP", temp_.path().wstring()},
                               {L"TEMP", temp_.path().wstring()},
                               {L"RAV_RECORDER_LOG", RemovalRecord().wstring()},
                               {L"RAV_RESTART_RECORD", RestartRecord().wstring()}};
  if (engine != nullptr) {
    for (const auto& entry : engine->Environment()) environment.push_back(entry);
  }
  return environment;
}

void UninstallerTest::SetOverride(const std::wstring& stringsKey, const std::wstring& number, const std::wstring& text) {
  ASSERT_TRUE(testsupport::SetString(HKEY_LOCAL_MACHINE, stringsKey + L"\\ravuninst\\9\\1", number, text));
}

}  // namespace uninstaller_test
