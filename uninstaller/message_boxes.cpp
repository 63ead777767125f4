#include "uninstaller/message_boxes.h"

#include <windows.h>

#include <cstdlib>
#include <cstring>
#include <new>
#include <optional>

#include "common/wide_text.h"
#include "common/win_resources.h"
#include "uninstaller/debug_trace.h"
#include "uninstaller/core/message_text.h"
#include "uninstaller/uninstall_location.h"
#include "uninstaller/services/localized_strings.h"
#include "uninstaller/services/platform_probes.h"

namespace ravuninst {
namespace {

using Text = rav::UniqueMallocText;

Text Load(std::uint16_t number) { return LoadMessageText(number); }

Text Duplicate(const std::u16string& text) {
  Text copy(static_cast<wchar_t*>(std::malloc((text.size() + 1) * sizeof(wchar_t))));
  if (copy) std::memcpy(copy.get(), text.c_str(), (text.size() + 1) * sizeof(wchar_t));
  return copy;
}

constexpr std::uint16_t kUtilityName = 7301;
constexpr std::uint16_t kAdapterName = 7303;

}  // namespace

Text LoadMessageText(std::uint16_t number) {
  Text loaded = LoadLocalizedString(nullptr, number);
  if (!loaded) return {};
  ExpandedText expanded;
  try {
    expanded = ExpandProductName(rav::as_u16cstr(loaded.get()), []() -> std::optional<std::u16string> {
      const Text name = LoadLocalizedString(nullptr, driverMode ? kAdapterName : kUtilityName);
      if (!name) return std::nullopt;
      return std::u16string(rav::as_u16cstr(name.get()));
    });
  } catch (const std::bad_alloc&) {
    expanded.failure = ExpandedText::Failure::kTooLong;
  }
  if (expanded.failure == ExpandedText::Failure::kTooLong) {
    DebugTrace(L"LoadMessageText: text %u would be longer than %lu characters with the product name put in; "
               L"shown as loaded",
               static_cast<unsigned>(number), static_cast<unsigned long>(kMaxExpandedText));
  }
  if (!expanded.text) return loaded;
  Text copy = Duplicate(*expanded.text);
  if (!copy) return loaded;
  return copy;
}

bool ConfirmRemoval() {
  const Text text = Load(4001);
  const Text caption = Load(4000);
  if (!text || !caption) return false;
  return MessageBoxW(nullptr, text.get(), caption.get(), MB_OKCANCEL | MB_ICONQUESTION) == IDOK;
}

namespace {

// The error box: caption 4012 and the text `format` makes of text 4013.
// Nothing is shown when either text is missing.
template <typename Format>
void ShowErrorBox(const Format& format) {
  const Text prefix = Load(4013);
  const Text caption = Load(4012);
  if (!prefix || !caption) return;
  const std::u16string message = format(std::u16string_view(rav::as_u16cstr(prefix.get())));
  MessageBoxW(nullptr, rav::as_wcstr(message), caption.get(), MB_OK | MB_ICONWARNING);
}

}  // namespace

void ShowRemovalError(const std::u16string& errorFile, std::int32_t errorLine) {
  ShowErrorBox([&](std::u16string_view prefix) { return FormatRemovalError(prefix, errorFile, errorLine); });
}

void ShowExitCodeError(std::int32_t exitCode) {
  ShowErrorBox([&](std::u16string_view prefix) { return FormatExitCodeError(prefix, exitCode); });
}

void ShowCrashError(std::uint32_t status) {
  ShowErrorBox([&](std::u16string_view prefix) { return FormatCrashError(prefix, status); });
}

void PromptRestart(const SystemRestartCalls& calls) {
  {
    // A forced restart closes every program without asking: it happens only
    // when the user answered OK to the question itself.
    const Text text = Load(4014);
    const Text caption = Load(4015);
    if (!text || text.get()[0] == L'\0') {
      DebugTrace(L"PromptRestart: no restart question text (4014); not restarting");
      return;
    }
    const int answer = MessageBoxW(nullptr, text.get(), caption ? caption.get() : L"", MB_OKCANCEL);
    if (answer == 0) {
      DebugTrace(L"PromptRestart: the restart question could not be shown (error %lu); not restarting",
                 GetLastError());
      return;
    }
    if (answer != IDOK) return;
  }
  if (IsNtPlatform()) {
    rav::UniqueHandle token;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY, token.put())) return;
    TOKEN_PRIVILEGES privileges = {};
    privileges.PrivilegeCount = 1;
    privileges.Privileges[0].Attributes = SE_PRIVILEGE_ENABLED;
    if (!LookupPrivilegeValueW(nullptr, L"SeShutdownPrivilege", &privileges.Privileges[0].Luid)) return;
    AdjustTokenPrivileges(token.get(), FALSE, &privileges, 0, nullptr, nullptr);
    if (GetLastError() != ERROR_SUCCESS) return;  // not granted
  }
  calls.exitWindows(EWX_REBOOT | EWX_FORCE, 0);
}

}  // namespace ravuninst
