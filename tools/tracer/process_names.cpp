#include "tools/tracer/process_names.h"

#include "common/debug_loop.h"
#include "common/wide_utf8.h"
#include "tools/tracer/core/trace_line.h"

namespace tracer {
namespace {

// Ended processes stay cached until this many entries are held.
constexpr std::size_t kTrimAbove = 256;

std::string ImageName(const std::wstring& path) { return std::string(BaseName(rav::WideToUtf8(path))); }

}  // namespace

void ProcessNames::Remember(DWORD processId, const std::wstring& imagePath) {
  if (imagePath.empty()) {
    entries_.erase(processId);  // looked up on its first line instead
    return;
  }
  entries_[processId] = Entry{ImageName(imagePath), rav::UniqueHandle()};
}

void ProcessNames::Forget(DWORD processId) { entries_.erase(processId); }

std::string ProcessNames::NameOf(DWORD processId) {
  const auto found = entries_.find(processId);
  if (found != entries_.end()) return found->second.name;
  rav::UniqueHandle process(OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION | SYNCHRONIZE, FALSE, processId));
  if (!process) process.reset(OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, processId));
  // Windows XP knows no limited access; its way to the path needs these.
  if (!process) process.reset(OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, processId));
  const std::wstring path = rav::ProcessImagePath(process.get());
  if (path.empty()) return "?";
  Trim();
  std::string name = ImageName(path);
  entries_[processId] = Entry{name, std::move(process)};
  return name;
}

void ProcessNames::Trim() {
  if (entries_.size() < kTrimAbove) return;
  std::erase_if(entries_, [](const auto& entry) {
    const HANDLE process = entry.second.process.get();
    return process != nullptr && WaitForSingleObject(process, 0) == WAIT_OBJECT_0;
  });
}

}  // namespace tracer
