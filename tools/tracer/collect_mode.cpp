#include "tools/tracer/collect_mode.h"

#include <windows.h>

#include "common/core/version.h"
#include "common/wide_utf8.h"
#include "tools/tracer/bundle_file.h"
#include "tools/tracer/bundle_sources.h"
#include "tools/tracer/trace_output.h"

namespace tracer {
namespace {

std::string FullPath(const std::string& path) {
  const std::wstring wide = rav::Utf8ToWide(path);
  const DWORD size = GetFullPathNameW(wide.c_str(), 0, nullptr, nullptr);
  std::wstring full(size, L'\0');
  const DWORD length = size == 0 ? 0 : GetFullPathNameW(wide.c_str(), size, full.data(), nullptr);
  return length == 0 || length >= size ? path : rav::WideToUtf8(std::wstring_view(full.data(), length));
}

}  // namespace

ExitCode CollectBundle(const TraceOptions& options) {
  // The file first: a path that cannot take the bundle costs nothing else.
  const rav::UniqueHandle file = CreateBundleFile(options.bundlePath);
  if (!file) return ExitCode::kFailed;

  std::vector<BundleSection> sections;
  sections.push_back({"Support bundle of the Corvane 802.11 USB adapter's install tooling",
                      {"made by ravtrace " RAV_VERSION_TEXT ", which only reads: nothing on this PC was changed"},
                      0});
  sections.push_back(WindowsSection());
  std::vector<std::wstring> folders;
  sections.push_back(UninstallRecordsSection(folders));
  AdapterNames names;
  sections.push_back(ProgramsSection(folders, names));
  sections.push_back(DriverKeysSection(names));
  sections.push_back(SetupStatusSection());
  sections.push_back(UninstallLogSection());
  sections.push_back(SetupApiLogSection(names));

  const std::string text = ComposeBundle(sections);
  if (!WriteBundleFile(file.get(), options.bundlePath, text)) return ExitCode::kFailed;
  Report("support bundle written: " + FullPath(options.bundlePath) + " (" + std::to_string(text.size()) + " bytes)");
  return ExitCode::kDone;
}

}  // namespace tracer
