// demo_runner: plays the adapter's life on the sample package, on this
// machine, and says what happened at each step:
//   1. install:   Setup.exe stages the package and runs the sample setup,
//                 which installs the sample adapter (the co-installer runs)
//                 and registers the uninstall records;
//   2. uninstall: ravuninst.exe verbose runs the setup engine and offers a
//                 restart (answered Cancel); ravuninst.exe services runs the
//                 sample removal command, which removes the adapter (the
//                 co-installer's removal clean-up runs);
//   3. a failure: the engine reports an error; the error box shows it.
//   demo_runner PACKAGE_DIR WORK_DIR TRACE_FILE
//   demo_runner --wait-event NAME    waits (up to 30 s) until the named event is set
// TRACE_FILE is where a trace viewer listening system-wide writes; each step
// shows the lines that came in during it. The exit code is the number of
// checks that failed.
#include <windows.h>

#include <cstdio>
#include <filesystem>
#include <string>

#include "common/core/argument_quote.h"
#include "testsupport/dir_tree.h"
#include "testsupport/process_runner.h"
#include "testsupport/screenshot.h"
#include "testsupport/text.h"
#include "testsupport/window_driver.h"
#include "tools/demo/demo_checks.h"
#include "tools/demo/demo_observations.h"

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using testsupport::Narrow;

namespace {

constexpr wchar_t kAdapterEntry[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Corvane 802.11b Network Adapter";
constexpr wchar_t kStatusKey[] = L"SOFTWARE\\RavSetup\\Status";
constexpr int kProgressBarId = 201;

struct Demo {
  fs::path package;
  fs::path work;
  fs::path trace;
  fs::path installDir;
  fs::path log;  // ravwl.log in the temporary directory
  std::uintmax_t traceSeen = 0;
  demo::Account account;

  std::string Country() const {
    const std::optional<demo::CountryValue> country = demo::SampleAdapterCountry();
    if (!country) return "(no sample adapter)";
    if (country->type == REG_NONE) return "(no Country value)";
    return "\"" + std::string(country->data.c_str()) + "\" (" + (country->type == REG_SZ ? "REG_SZ" : "other type") +
           ", " + std::to_string(country->data.size()) + " bytes)";
  }
  std::string UpgradeString() const {
    const std::optional<std::wstring> text = demo::RegistryText(HKEY_LOCAL_MACHINE, kAdapterEntry, L"UpgradeString");
    return text ? Narrow(*text) : "(none)";
  }
  std::string State(const std::wstring& file) const { return demo::SystemFileExists(file) ? "present" : "absent"; }

  void ShowMachine(const char* when) {
    account.Say(std::string("machine ") + when + ":");
    account.Say("  sample adapter's Country: " + Country());
    account.Say("  INF backup system32\\ravwlantest.inf: " + State(L"ravwlantest.inf"));
    account.Say("  companion libraries ravihvui64.dll / ravihvsrv64.dll: " + State(L"ravihvui64.dll") + " / " +
                State(L"ravihvsrv64.dll"));
    account.Say("  uninstall record UpgradeString: " + UpgradeString());
    const std::optional<DWORD> error = demo::RegistryNumber(HKEY_CURRENT_USER, kStatusKey, L"ErrorCode");
    account.Say("  HKCU\\SOFTWARE\\RavSetup\\Status ErrorCode: " + (error ? std::to_string(*error) : "(none)"));
  }

  void ShowTrace() {
    account.Say("debug trace of this step:");
    for (const std::string& line : demo::NewLines(trace, traceSeen)) account.Say("  " + line);
  }

  void ShowLogTail() {
    account.Say("last lines of " + Narrow(log.wstring()) + ":");
    for (const std::string& line : demo::LastLines(log, 8)) account.Say("  " + line);
  }

  std::string Screenshot(HWND window, const std::string& name) {
    Sleep(300);  // let it paint
    const fs::path file = work / "screenshots" / (name + ".png");
    const bool saved = window != nullptr && testsupport::SaveWindowPng(window, file);
    account.Say("screenshot: " + (saved ? Narrow(file.wstring()) : "(none taken)"));
    return Narrow(file.wstring());
  }

  std::future<testsupport::RunResult> Start(const fs::path& program, const std::wstring& arguments,
                                            std::atomic<DWORD>& processId,
                                            std::vector<std::pair<std::wstring, std::optional<std::wstring>>> env = {}) {
    testsupport::RunOptions options;
    options.commandLine = rav::QuoteArgument(program.wstring()) + (arguments.empty() ? L"" : L" " + arguments);
    options.captureDebugOutput = false;  // the trace viewer listens
    options.captureOutput = true;
    options.timeout = 180s;
    options.environment = std::move(env);
    options.onStarted = [&processId](DWORD id) { processId = id; };
    account.Say("run: " + Narrow(options.commandLine));
    return testsupport::RunProgramAsync(std::move(options));
  }

  static DWORD WaitStarted(std::atomic<DWORD>& processId) {
    for (int i = 0; i < 500 && processId == 0; ++i) Sleep(10);
    return processId;
  }

  testsupport::RunResult Finish(std::future<testsupport::RunResult>& run) {
    testsupport::RunResult result = run.get();
    account.Say("exit code: " + std::to_string(static_cast<long>(result.exitCode)));
    for (const std::string& line : testsupport::SplitLines(result.standardOutput)) account.Say("  | " + line);
    return result;
  }

  void Install() {
    account.Section("1. Install: Setup.exe /s");
    ShowMachine("before");
    std::atomic<DWORD> id{0};
    auto run = Start(package / L"Setup.exe", L"/s", id);
    const testsupport::RunResult result = Finish(run);
    ShowMachine("after");
    ShowTrace();
    wchar_t temp[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, temp);
    account.Check(result.exitCode == 0, "Setup.exe exits 0, the sample setup's ErrorCode");
    account.Check(!fs::exists(fs::path(temp) / L"RavWLSetup"), "the staging directory RavWLSetup is gone");
    const std::optional<demo::CountryValue> country = demo::SampleAdapterCountry();
    account.Check(country && country->type == REG_SZ && std::string(country->data.c_str()).size() == 2,
                  "the co-installer wrote the user's two-letter \"Country\" as REG_SZ");
    account.Check(demo::SystemFileExists(L"ravwlantest.inf"), "the co-installer backed up the INF into system32");
    account.Check(UpgradeString() != "(none)", "the uninstall record holds the removal command");
  }

  void Uninstall() {
    account.Section("2. Uninstall: ravuninst.exe verbose, then ravuninst.exe services");
    std::atomic<DWORD> id{0};
    auto run = Start(installDir / L"ravuninst.exe",
                     L"verbose /rootkey=SOFTWARE\\Corvane\\802.11\\UninstallInfo /rootdir=\"" + installDir.wstring() +
                         L"\"",
                     id);
    const DWORD processId = WaitStarted(id);
    const testsupport::MessageBoxSeen confirm = testsupport::WaitForMessageBox(processId, 30s);
    account.Say("box \"" + Narrow(confirm.caption) + "\": " + Narrow(confirm.text));
    Screenshot(confirm.window, "2-confirmation");
    account.Say("answer: OK");
    testsupport::Press(confirm.window, IDOK);

    HWND progress = testsupport::WaitForDialogWith(processId, kProgressBarId, 30s);
    account.Say("progress window \"" + (progress ? Narrow(testsupport::WindowText(progress)) : "") + "\"");
    int last = -1;
    int moves = 0;
    bool shot = false;
    std::string positions;
    while (progress != nullptr && IsWindow(progress) && IsWindowVisible(progress)) {
      const int position = testsupport::ProgressPosition(progress, kProgressBarId);
      if (!IsWindow(progress) || !IsWindowVisible(progress)) break;  // gone while reading
      if (position != last) {
        positions += (last < 0 ? "" : " -> ") + std::to_string(position) + "%";
        last = position;
        ++moves;
      }
      if (!shot && position >= 40) {
        Screenshot(progress, "2-progress");
        shot = true;
      }
      Sleep(20);
    }
    account.Say("progress bar: " + positions);
    const testsupport::MessageBoxSeen restart = testsupport::WaitForMessageBox(processId, 30s);
    account.Say("box \"" + Narrow(restart.caption) + "\": " + Narrow(restart.text));
    Screenshot(restart.window, "2-restart");
    account.Say("answer: Cancel");
    testsupport::Press(restart.window, IDCANCEL);
    const testsupport::RunResult verbose = Finish(run);
    ShowTrace();
    ShowLogTail();
    account.Check(verbose.exitCode == 0, "ravuninst.exe verbose exits 0 after the restart is declined");
    account.Check(moves >= 3, "the progress bar moved with the engine's progress lines");
    account.Check(restart.window != nullptr && restart.caption == L"Restart Windows", "the restart question was asked");

    std::atomic<DWORD> servicesId{0};
    auto services = Start(installDir / L"ravuninst.exe", L"services", servicesId);
    const testsupport::RunResult removal = Finish(services);
    ShowMachine("after");
    ShowTrace();
    const std::string standIn = testsupport::ReadFile(work / L"standin.log");
    account.Say("companion library's unregistration: " + (standIn.empty() ? "(not called)" : standIn.substr(0, standIn.find('\n'))));
    account.Check(removal.exitCode == 0, "ravuninst.exe services ran the removal command and waited for it");
    account.Check(!demo::SampleAdapterCountry(), "the sample adapter is removed");
    account.Check(!standIn.empty(), "the co-installer ran regsvr32 /u /s on the user-interface library");
    account.Check(!demo::SystemFileExists(L"ravihvui64.dll") && !demo::SystemFileExists(L"ravihvsrv64.dll"),
                  "the co-installer deleted both companion libraries");
    account.Check(!demo::SystemFileExists(L"ravwlantest.inf"), "the co-installer deleted the INF backup");
  }

  void Failure() {
    account.Section("3. A failure: the engine reports error 150");
    const fs::path script = work / L"failing.script";
    testsupport::WriteFile(script, "out Progress,100,30\nsleep 500\nout Result,150,x,remove.src,42\nexit 0\n");
    account.Say("engine script: " + Narrow(script.wstring()));
    std::atomic<DWORD> id{0};
    auto run = Start(installDir / L"ravuninst.exe", L"verbose /rootdir=\"" + installDir.wstring() + L"\"", id,
                     {{L"RAV_ENGINE_SCRIPT", script.wstring()}});
    const DWORD processId = WaitStarted(id);
    const testsupport::MessageBoxSeen confirm = testsupport::WaitForMessageBox(processId, 30s);
    account.Say("box \"" + Narrow(confirm.caption) + "\", answer: OK");
    testsupport::Press(confirm.window, IDOK);
    const testsupport::MessageBoxSeen error = testsupport::WaitForMessageBox(processId, 30s);
    account.Say("box \"" + Narrow(error.caption) + "\": " + Narrow(error.text));
    Screenshot(error.window, "3-error");
    testsupport::Press(error.window, IDOK);
    const testsupport::RunResult result = Finish(run);
    ShowTrace();
    ShowLogTail();
    account.Check(error.caption == L"Uninstall Error" && error.text.find(L": remove.src 42.") != std::wstring::npos,
                  "the error box names the engine's error file and line");
    account.Check(result.exitCode == 150, "ravuninst.exe exits with the engine's result, 150");
  }
};

// The script's way to wait until the trace viewer listens.
int WaitForEvent(const wchar_t* name) {
  for (int i = 0; i < 300; ++i) {
    if (HANDLE event = OpenEventW(SYNCHRONIZE, FALSE, name)) {
      const bool set = WaitForSingleObject(event, 30000) == WAIT_OBJECT_0;
      CloseHandle(event);
      return set ? 0 : 1;
    }
    Sleep(100);
  }
  return 1;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc == 3 && std::wstring(argv[1]) == L"--wait-event") return WaitForEvent(argv[2]);
  if (argc != 4) {
    std::fputs("usage: demo_runner PACKAGE_DIR WORK_DIR TRACE_FILE\n", stderr);
    return 2;
  }
  Demo demo;
  demo.package = argv[1];
  demo.work = argv[2];
  demo.trace = argv[3];
  wchar_t programFiles[MAX_PATH] = {};
  // The sample setup is a 64-bit program: it installs into the 64-bit folder.
  if (!GetEnvironmentVariableW(L"ProgramW6432", programFiles, MAX_PATH)) {
    GetEnvironmentVariableW(L"ProgramFiles", programFiles, MAX_PATH);
  }
  demo.installDir = fs::path(programFiles) / L"Corvane" / L"802.11";
  wchar_t temp[MAX_PATH] = {};
  GetTempPathW(MAX_PATH, temp);
  demo.log = fs::path(temp) / L"ravwl.log";
  SetEnvironmentVariableW(L"RAV_STANDIN_LOG", (demo.work / L"standin.log").c_str());

  demo.Install();
  demo.Uninstall();
  demo.Failure();
  demo.account.Section("Result");
  if (demo.account.failures() == 0) {
    demo.account.Say("every step behaved as described");
  } else {
    demo.account.Say(std::to_string(demo.account.failures()) + " check(s) failed");
  }
  return demo.account.failures();
}
