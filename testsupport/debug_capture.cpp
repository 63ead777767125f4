#include "testsupport/debug_capture.h"

#include <atomic>

#include "common/ansi_text.h"
#include "testsupport/text.h"

namespace testsupport {
namespace {

constexpr DWORD kPrintException = 0x40010006;      // DBG_PRINTEXCEPTION_C
constexpr DWORD kWidePrintException = 0x4001000A;  // DBG_PRINTEXCEPTION_WIDE_C

std::atomic<InProcessDebugCapture*> activeCapture{nullptr};

std::string TrimLineEnd(std::string text) {
  while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) text.pop_back();
  return text;
}

}  // namespace

InProcessDebugCapture::InProcessDebugCapture() {
  activeCapture = this;
  handle_ = AddVectoredExceptionHandler(1, &InProcessDebugCapture::Handler);
}

InProcessDebugCapture::~InProcessDebugCapture() {
  RemoveVectoredExceptionHandler(handle_);
  activeCapture = nullptr;
}

LONG CALLBACK InProcessDebugCapture::Handler(EXCEPTION_POINTERS* exception) {
  const EXCEPTION_RECORD* record = exception->ExceptionRecord;
  InProcessDebugCapture* capture = activeCapture;
  if (capture == nullptr) return EXCEPTION_CONTINUE_SEARCH;
  if (record->ExceptionCode == kPrintException && record->NumberParameters >= 2) {
    const auto length = static_cast<std::size_t>(record->ExceptionInformation[0]);
    const auto* text = reinterpret_cast<const char*>(record->ExceptionInformation[1]);
    // The length counts the terminating NUL.
    std::string message(text, length > 0 ? length - 1 : 0);
    capture->Add(rav::AnsiToUtf8(message));
    return EXCEPTION_CONTINUE_EXECUTION;
  }
  if (record->ExceptionCode == kWidePrintException && record->NumberParameters >= 2) {
    const auto length = static_cast<std::size_t>(record->ExceptionInformation[0]);
    const auto* text = reinterpret_cast<const wchar_t*>(record->ExceptionInformation[1]);
    capture->Add(Narrow(std::wstring_view(text, length > 0 ? length - 1 : 0)));
    return EXCEPTION_CONTINUE_EXECUTION;
  }
  return EXCEPTION_CONTINUE_SEARCH;
}

void InProcessDebugCapture::Add(std::string text) {
  std::lock_guard<std::mutex> lock(mutex_);
  messages_.push_back({GetCurrentProcessId(), std::move(text)});
}

std::vector<DebugMessage> InProcessDebugCapture::Messages() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return messages_;
}

std::vector<std::string> InProcessDebugCapture::Lines() const { return MessageLines(Messages()); }

void InProcessDebugCapture::Clear() {
  std::lock_guard<std::mutex> lock(mutex_);
  messages_.clear();
}

std::vector<std::string> MessageLines(const std::vector<DebugMessage>& messages) {
  std::vector<std::string> lines;
  lines.reserve(messages.size());
  for (const DebugMessage& message : messages) lines.push_back(TrimLineEnd(message.text));
  return lines;
}

}  // namespace testsupport
