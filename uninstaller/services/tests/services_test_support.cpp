#include "uninstaller/services/tests/services_test_support.h"

#include <cstdlib>

#include "common/core/argument_quote.h"
#include "common/wide_text.h"
#include "testsupport/test_paths.h"

namespace services_test {

testsupport::RunResult RunProbe(const std::vector<std::wstring>& arguments, HANDLE token) {
  testsupport::RunOptions options;
  options.commandLine = rav::QuoteArgument(testsupport::BinPath(L"services_probe.exe").wstring());
  for (const std::wstring& argument : arguments) options.commandLine += L" " + rav::QuoteArgument(argument);
  options.captureOutput = true;
  options.token = token;
  return testsupport::RunProgram(options);
}

EngineScript::EngineScript(const std::string& script) {
  testsupport::WriteFile(dir() / L"ravengine.script", script);
  std::filesystem::copy_file(testsupport::BinPath(L"ravengine32.exe"), dir() / L"ravengine32.exe");
  // The engine finds its script beside itself; it records its command line here.
  SetEnvironmentVariableW(L"RAV_ENGINE_SCRIPT", nullptr);
  SetEnvironmentVariableW(L"RAV_ENGINE_RECORD", (dir() / L"record.txt").c_str());
}

std::u16string EngineScript::CommandLine() const {
  const std::wstring engine = (dir() / L"ravengine32.exe").wstring();
  const std::wstring line = L"\"" + engine + L"\" uninstall \"" + dir().wstring() + L"\" ";
  return std::u16string(rav::as_u16cstr(line.c_str()));
}

std::string EngineScript::Recorded() const { return testsupport::ReadFile(dir() / L"record.txt"); }

Drained DrainChannel(ravuninst::SetupStatus& status) {
  Drained drained;
  const ULONGLONG giveUp = GetTickCount64() + 20000;
  using ravuninst::LineRead;
  using ravuninst::StatusPoll;
  while ((!drained.statusEnd || !drained.errorEnd) && GetTickCount64() < giveUp) {
    HANDLE handles[] = {status.outputRead(), status.errorRead()};
    WaitForMultipleObjects(2, handles, FALSE, 100);
    // Pipe handles are always signalled; pace the loop like the window does.
    Sleep(1);
    if (!drained.statusEnd) {
      std::int32_t first = 0;
      std::int32_t second = 0;
      const StatusPoll polled = ravuninst::SetupStatusPoll(status, 1000, first, second);
      if (polled == StatusPoll::kProgress) drained.progress.emplace_back(first, second);
      if (polled == StatusPoll::kChannelEnded || polled == StatusPoll::kChannelError) drained.statusEnd = polled;
    }
    if (!drained.errorEnd) {
      std::u16string line;
      LineRead read;
      while ((read = status.errorReader().ReadLine(line)) == LineRead::kLine) drained.errorLines.push_back(line);
      if (read == LineRead::kEnded || read == LineRead::kError) drained.errorEnd = read;
    }
  }
  return drained;
}

}  // namespace services_test
