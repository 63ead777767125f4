#include "tools/tracer/dbwin_channel.h"

#include <array>
#include <cstring>

#include "common/wide_utf8.h"

#include "tools/tracer/trace_output.h"

namespace tracer {
namespace {

// Takes one object a listener makes: `created` and `error` come straight
// from the call that made it.
DbwinChannel::OpenResult Keep(rav::UniqueHandle& owner, HANDLE created, DWORD error, const std::string& name,
                              std::string& problem) {
  owner.reset(created);
  if (owner && error != ERROR_ALREADY_EXISTS) return DbwinChannel::OpenResult::kOpen;
  if (owner || error == ERROR_ACCESS_DENIED) {
    // Access denied: it exists, made by a listener that runs as someone else.
    problem = WithErrorCode("another listener holds the channel: " + name + " exists already", error);
    return DbwinChannel::OpenResult::kBusy;
  }
  problem = WithErrorCode("cannot make " + name, error);
  return DbwinChannel::OpenResult::kFailed;
}

}  // namespace

DbwinChannel::OpenResult DbwinChannel::Open(std::string& problem) {
  const std::wstring mutexName = scope_ + L"DBWinMutex";
  const std::wstring bufferReadyName = scope_ + L"DBWIN_BUFFER_READY";
  const std::wstring dataReadyName = scope_ + L"DBWIN_DATA_READY";
  const std::wstring sectionName = scope_ + L"DBWIN_BUFFER";
  // Every writer makes or opens the mutex on its first string: finding it
  // is normal. The events and the section only a listener makes.
  mutex_.reset(CreateMutexW(nullptr, FALSE, mutexName.c_str()));
  if (!mutex_) {
    problem = WithErrorCode("cannot make or open the mutex " + rav::WideToUtf8(mutexName), GetLastError());
    return OpenResult::kFailed;
  }
  // Some systems leave the last error alone when they make a new object.
  SetLastError(ERROR_SUCCESS);
  HANDLE created = CreateEventW(nullptr, FALSE, FALSE, bufferReadyName.c_str());
  OpenResult result =
      Keep(bufferReady_, created, GetLastError(), "the event " + rav::WideToUtf8(bufferReadyName), problem);
  if (result != OpenResult::kOpen) return result;
  SetLastError(ERROR_SUCCESS);
  created = CreateEventW(nullptr, FALSE, FALSE, dataReadyName.c_str());
  result = Keep(dataReady_, created, GetLastError(), "the event " + rav::WideToUtf8(dataReadyName), problem);
  if (result != OpenResult::kOpen) return result;
  SetLastError(ERROR_SUCCESS);
  created = CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, kDbwinBufferSize, sectionName.c_str());
  result = Keep(section_, created, GetLastError(), "the section " + rav::WideToUtf8(sectionName), problem);
  if (result != OpenResult::kOpen) return result;
  view_.reset(MapViewOfFile(section_.get(), FILE_MAP_READ, 0, 0, kDbwinBufferSize));
  if (!view_) {
    problem = WithErrorCode("cannot map the section " + rav::WideToUtf8(sectionName), GetLastError());
    return OpenResult::kFailed;
  }
  return OpenResult::kOpen;
}

void DbwinChannel::LetWriterIn() { SetEvent(bufferReady_.get()); }

DbwinRecord DbwinChannel::Read() const {
  std::array<unsigned char, kDbwinBufferSize> copy;
  std::memcpy(copy.data(), view_.get(), copy.size());
  return ReadDbwinRecord(copy);
}

}  // namespace tracer
