// demo_runner: plays the adapter's life on the sample package, on this
// machine, and says what happened at each step:
//   0. help:      Setup.exe /? prints its usage text;
//   1. install:   Setup.exe stages the package and runs the sample setup,
//                 which installs the sample adapter (the co-installer runs)
//                 and registers the uninstall records;
//   2. uninstall: ravuninst.exe verbose runs the setup engine and offers a
//                 restart (answered Cancel); ravuninst.exe services runs the
//                 sample removal command, which removes the adapter (the
//                 co-installer's removal clean-up runs);
//   3. a failure: the engine reports an error; the error box shows it
//                 (run under `ravtrace run` when a trace viewer is given).
//   demo_runner [--patience N] [--tracer RAVTRACE] [--emulated] PACKAGE_DIR WORK_DIR TRACE_FILE
//   demo_runner [--patience N] --wait-event NAME   waits (30 s) until the named event is set
// TRACE_FILE is where a trace viewer listening system-wide writes; each step
// shows the lines that came in during it. --patience multiplies every wait
// (a 32-bit program under emulation takes a minute to start); --emulated
// says the 32-bit programs run under qemu-user, where a debugger gets none
// of their debug output. The exit code is the number of checks that failed.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

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
// What Setup.exe /? prints on a console (text mode: CR LF line ends).
constexpr char kUsageOnConsole[] =
    "\r\nUSAGE:\r\n      Setup.exe /Option <Required Parameter> [Optional Parameter] \t\t\t\t\t\r\n\r\n"
    "\t\t/s [/f1\"<Path to the response file>\"] [/f2\"<Path to the log file>\"] \t\t\t\t\t\r\n"
    "\t\t/extract_all:\"<Path>\"\t NOTE: <Path> must exist.\r\n\r\n";

bool Is32BitProgram(const fs::path& program) {
  DWORD type = 0;
  return GetBinaryTypeW(program.c_str(), &type) && type == SCS_32BIT_BINARY;
}

std::string LineWith(const std::vector<std::string>& lines, const std::string& text) {
  for (const std::string& line : lines) {
    if (line.find(text) != std::string::npos) return line;
  }
  return {};
}

struct Demo {
  fs::path package;
  fs::path work;
  fs::path trace;
  fs::path tracer;  // ravtrace.exe, to run the failing uninstall under; none: run it directly
  fs::path installDir;
  fs::path log;  // ravwl.log in the temporary directory
  int patience = 1;
  bool emulated = false;  // 32-bit programs under qemu-user
  std::uintmax_t traceSeen = 0;
  std::uintmax_t logSeen = 0;
  ULONGLONG started = 0;  // when the last program was started
  demo::Account account;

  std::chrono::milliseconds Wait(std::chrono::milliseconds usual) const { return usual * patience; }
  // The registry view of the uninstaller the sample setup installed: the
  // uninstall records are where that program reads them.
  REGSAM UninstallerView() const {
    return Is32BitProgram(installDir / L"ravuninst.exe") ? KEY_WOW64_32KEY : KEY_WOW64_64KEY;
  }

  std::string Country() const {
    const std::optional<demo::CountryValue> country = demo::SampleAdapterCountry();
    if (!country) return "(no sample adapter)";
    if (country->type == REG_NONE) return "(no Country value)";
    return "\"" + std::string(country->data.c_str()) + "\" (" + (country->type == REG_SZ ? "REG_SZ" : "other type") +
           ", " + std::to_string(country->data.size()) + " bytes)";
  }
  std::string UpgradeString() const {
    const std::optional<std::wstring> text =
        demo::RegistryText(HKEY_LOCAL_MACHINE, kAdapterEntry, L"UpgradeString", UninstallerView());
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
    options.timeout = Wait(180s);
    options.environment = std::move(env);
    options.onStarted = [&processId](DWORD id) { processId = id; };
    account.Say("run: " + Narrow(options.commandLine));
    started = GetTickCount64();
    return testsupport::RunProgramAsync(std::move(options));
  }

  // The program's process ID once it has started (CreateProcess returns
  // when the new process has set itself up).
  DWORD WaitStarted(std::atomic<DWORD>& processId) const {
    const ULONGLONG until = GetTickCount64() + static_cast<ULONGLONG>(Wait(60s).count());
    while (processId == 0 && GetTickCount64() < until) Sleep(10);
    return processId;
  }

  testsupport::RunResult Finish(std::future<testsupport::RunResult>& run) {
    testsupport::RunResult result = run.get();
    const ULONGLONG seconds = (GetTickCount64() - started + 500) / 1000;
    account.Say("exit code: " + std::to_string(static_cast<long>(result.exitCode)) + " (after " +
                std::to_string(seconds) + " s)");
    for (const std::string& line : testsupport::SplitLines(result.standardOutput)) account.Say("  | " + line);
    return result;
  }

  void Help() {
    account.Section("0. Help: Setup.exe /?");
    std::atomic<DWORD> id{0};
    auto run = Start(package / L"Setup.exe", L"/?", id);
    const testsupport::RunResult result = Finish(run);
    account.Check(result.exitCode == 0 && result.standardOutput == kUsageOnConsole,
                  "Setup.exe /? prints the usage text, exactly, and exits 0");
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
    demo::NewLines(log, logSeen);  // what the log held before
    std::atomic<DWORD> id{0};
    auto run = Start(installDir / L"ravuninst.exe",
                     L"verbose /rootkey=SOFTWARE\\Corvane\\802.11\\UninstallInfo /rootdir=\"" + installDir.wstring() +
                         L"\"",
                     id);
    const DWORD processId = WaitStarted(id);
    const testsupport::MessageBoxSeen confirm = testsupport::WaitForMessageBox(processId, Wait(30s));
    account.Say("box \"" + Narrow(confirm.caption) + "\": " + Narrow(confirm.text));
    Screenshot(confirm.window, "2-confirmation");
    account.Say("answer: OK");
    testsupport::Press(confirm.window, IDOK);

    HWND progress = testsupport::WaitForDialogWith(processId, kProgressBarId, Wait(30s));
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
    const testsupport::MessageBoxSeen restart = testsupport::WaitForMessageBox(processId, Wait(30s));
    account.Say("box \"" + Narrow(restart.caption) + "\": " + Narrow(restart.text));
    Screenshot(restart.window, "2-restart");
    const bool cancel = restart.window != nullptr && GetDlgItem(restart.window, IDCANCEL) != nullptr;
    account.Say("answer: Cancel");
    testsupport::Press(restart.window, IDCANCEL);
    const testsupport::RunResult verbose = Finish(run);
    ShowTrace();
    const std::vector<std::string> logged = demo::NewLines(log, logSeen);
    ShowLogTail();
    account.Check(verbose.exitCode == 0, "ravuninst.exe verbose exits 0 after the restart is declined");
    account.Check(moves >= 3, "the progress bar moved with the engine's progress lines");
    account.Check(restart.caption == L"Restart Windows" && cancel,
                  "the restart question was asked, with a Cancel button to decline it");
    // On 64-bit Windows the shipped 32-bit ravuninst runs as a WOW64 process
    // and starts the 64-bit engine; a 64-bit test build is no WOW64 process.
    const std::string engine = LineWith(logged, "SetupStatusRun(");
    if (Is32BitProgram(installDir / L"ravuninst.exe")) {
      account.Check(engine.find("\\ravengine64.exe\" uninstall") != std::string::npos,
                    "the 32-bit ravuninst.exe started the 64-bit engine ravengine64.exe (its log says so)");
    } else {
      account.Check(engine.find("\\ravengine32.exe\" uninstall") != std::string::npos,
                    "the 64-bit test build of ravuninst.exe, no WOW64 process, started ravengine32.exe (the shipped "
                    "32-bit program starts ravengine64.exe)");
    }

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
    const fs::path uninstaller = installDir / L"ravuninst.exe";
    const std::wstring arguments = L"verbose /rootdir=\"" + installDir.wstring() + L"\"";
    const std::vector<std::pair<std::wstring, std::optional<std::wstring>>> engineScript = {
        {L"RAV_ENGINE_SCRIPT", script.wstring()}};
    // Under the trace viewer, as a support engineer would run it: the
    // viewer prints ravuninst's trace and ends with its exit code.
    auto run = tracer.empty()
                   ? Start(uninstaller, arguments, id, engineScript)
                   : Start(tracer, L"run -- " + rav::QuoteArgument(uninstaller.wstring()) + L" " + arguments, id,
                           engineScript);
    DWORD processId = WaitStarted(id);
    if (!tracer.empty()) {
      const DWORD viewer = processId;
      const ULONGLONG until = GetTickCount64() + static_cast<ULONGLONG>(Wait(60s).count());
      while ((processId = testsupport::ChildProcessId(viewer, L"ravuninst.exe")) == 0 && GetTickCount64() < until) Sleep(20);
    }
    const testsupport::MessageBoxSeen confirm = testsupport::WaitForMessageBox(processId, Wait(30s));
    account.Say("box \"" + Narrow(confirm.caption) + "\", answer: OK");
    testsupport::Press(confirm.window, IDOK);
    const testsupport::MessageBoxSeen error = testsupport::WaitForMessageBox(processId, Wait(30s));
    account.Say("box \"" + Narrow(error.caption) + "\": " + Narrow(error.text));
    Screenshot(error.window, "3-error");
    testsupport::Press(error.window, IDOK);
    const testsupport::RunResult result = Finish(run);
    ShowTrace();
    ShowLogTail();
    account.Check(error.caption == L"Uninstall Error" && error.text.find(L": remove.src 42.") != std::wstring::npos,
                  "the error box names the engine's error file and line");
    account.Check(result.exitCode == 150, tracer.empty() ? "ravuninst.exe exits with the engine's result, 150"
                                                        : "ravtrace run ends with ravuninst.exe's exit code, the engine's result 150");
    if (!tracer.empty() && emulated) {
      account.Say("ravtrace run's printed trace: not checked: under qemu-user a debugger gets no debug output from "
                  "a 32-bit program (natively it does, and so on Windows)");
    } else if (!tracer.empty()) {
      account.Check(result.standardOutput.find("ravuninst.exe: WinMain: Verbose") != std::string::npos,
                    "ravtrace run printed ravuninst.exe's trace lines");
    }
  }
};

// The script's way to wait until the trace viewer listens.
int WaitForEvent(const wchar_t* name, int patience) {
  for (int i = 0; i < 300 * patience; ++i) {
    if (HANDLE event = OpenEventW(SYNCHRONIZE, FALSE, name)) {
      const bool set = WaitForSingleObject(event, 30000u * static_cast<DWORD>(patience)) == WAIT_OBJECT_0;
      CloseHandle(event);
      return set ? 0 : 1;
    }
    Sleep(100);
  }
  return 1;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  Demo demo;
  std::vector<std::wstring> rest;
  for (int i = 1; i < argc; ++i) {
    const std::wstring argument = argv[i];
    if (argument == L"--patience" && i + 1 < argc) {
      demo.patience = std::max(1, _wtoi(argv[++i]));
    } else if (argument == L"--emulated") {
      demo.emulated = true;
    } else if (argument == L"--tracer" && i + 1 < argc) {
      demo.tracer = argv[++i];
    } else if (argument == L"--wait-event" && i + 1 < argc) {
      return WaitForEvent(argv[++i], demo.patience);
    } else {
      rest.push_back(argument);
    }
  }
  if (rest.size() != 3) {
    std::fputs("usage: demo_runner [--patience N] [--tracer RAVTRACE] [--emulated] PACKAGE_DIR WORK_DIR TRACE_FILE\n",
               stderr);
    return 2;
  }
  demo.package = rest[0];
  demo.work = rest[1];
  demo.trace = rest[2];
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

  demo.Help();
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
