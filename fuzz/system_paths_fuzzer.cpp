// The co-installer's paths below the Windows directory and the commands its
// removal forms: "<windows>\<Inf or System32>\<file>" in a 260-character
// buffer, "\"<system>\regsvr32.exe\" /u /s <library>" in 260, the INF cleanup command in
// 4,096, and the companion libraries named by the processor architecture.
//
// Input: two bytes of padding count for the Windows directory and two for
// the backup path (that many 'w' / 'b' in front, so short inputs reach the
// limits), two bytes of architecture, then NUL-separated fields: Windows
// directory, subdirectory, file name, library, backup path.
//
// Properties: each path or command either fits its buffer (with its
// terminator) and is exactly its parts, or is refused; nothing is ever cut.
// Only architecture 9 (AMD64) names the 64-bit libraries, and the command
// for either library fits with any system directory of up to 200 characters.
#include "coinstaller/core/companion_files.h"
#include "coinstaller/core/system_paths.h"
#include "fuzz/fuzz_support.h"

namespace {

// Present exactly when `whole` fits a buffer of `buffer` characters with its
// terminator, and then exactly `whole`.
void CheckFits(const std::optional<std::string>& made, const std::string& whole, std::size_t buffer) {
  FUZZ_CHECK(made.has_value() == (whole.size() < buffer));
  if (made) FUZZ_CHECK(*made == whole);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::string_view input = fuzz::AsText(data, size);
  const std::size_t windowsPadding = fuzz::TakeCount(input, 0x1FF);
  const std::size_t backupPadding = fuzz::TakeCount(input, 0x1FFF);
  const auto architecture = fuzz::TakeInteger<std::uint16_t>(input);
  const std::vector<std::string_view> fields = fuzz::Fields(input, 5);
  const std::string windows = std::string(windowsPadding, 'w') + std::string(fields[0]);
  const std::string_view subdirectory = fields[1];
  const std::string_view file = fields[2];
  const std::string_view library = fields[3];
  const std::string backup = std::string(backupPadding, 'b') + std::string(fields[4]);

  using namespace coinstaller;
  for (const std::string_view directory : {subdirectory, kInfDirectory, kSystemDirectory}) {
    CheckFits(PathBelowWindows(windows, directory, file),
              windows + "\\" + std::string(directory) + "\\" + std::string(file), kPathBufferChars);
  }
  FUZZ_CHECK(FitsPathBuffer(file) == (file.size() < kPathBufferChars));
  FUZZ_CHECK(FitsPathBuffer(windows) == (windows.size() < kPathBufferChars));

  CheckFits(UnregisterCommand(windows, library), "\"" + windows + "\\regsvr32.exe\" /u /s " + std::string(library),
            kUnregisterCommandBuffer);
  CheckFits(CleanupCommand(backup), "RUNDLL32.EXE SETUPAPI.DLL,InstallHinfSection Cleanup 132 " + backup,
            kCleanupCommandBuffer);

  const bool amd64 = architecture == kArchitectureAmd64;
  FUZZ_CHECK(UserInterfaceLibrary(architecture) == (amd64 ? "ravihvui64.dll" : "ravihvui.dll"));
  FUZZ_CHECK(ServiceLibrary(architecture) == (amd64 ? "ravihvsrv64.dll" : "ravihvsrv.dll"));
  const std::string_view system = std::string_view(windows).substr(0, 200);
  FUZZ_CHECK(UnregisterCommand(system, UserInterfaceLibrary(architecture)).has_value());
  FUZZ_CHECK(UnregisterCommand(system, ServiceLibrary(architecture)).has_value());
  return 0;
}
