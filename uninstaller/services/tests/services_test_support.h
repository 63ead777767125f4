#pragma once
// Shared pieces of the services tests: the probe program and the stand-in
// engine with a script.
#include <windows.h>

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "testsupport/dir_tree.h"
#include "testsupport/process_runner.h"
#include "uninstaller/services/setup_status.h"

namespace services_test {

// Runs services_probe.exe with these arguments; its output is captured.
testsupport::RunResult RunProbe(const std::vector<std::wstring>& arguments, HANDLE token = nullptr);

// A script for the stand-in engine in a scratch directory, and the command
// line that runs the engine with it.
class EngineScript {
 public:
  explicit EngineScript(const std::string& script);
  std::u16string CommandLine() const;
  std::filesystem::path dir() const { return scratch_.path(); }
  std::string Recorded() const;  // the command lines the engine recorded

 private:
  testsupport::TempDir scratch_;
};

// What a caller of the channel saw until both channels ended.
struct Drained {
  std::vector<std::pair<std::int32_t, std::int32_t>> progress;
  std::vector<std::u16string> errorLines;
  std::optional<ravuninst::StatusPoll> statusEnd;  // what ended the status channel
  std::optional<ravuninst::LineRead> errorEnd;     // what ended the error channel
};

// Polls like the uninstaller's window loop (wait up to 100 ms, one status
// poll, every error line) until both channels have ended.
Drained DrainChannel(ravuninst::SetupStatus& status);

}  // namespace services_test
