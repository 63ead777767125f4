#include "tools/tracer/dbwin_channel.h"

#include <array>
#include <cstring>

#include "tools/tracer/trace_output.h"

namespace tracer {
namespace {

// Takes one object a listener makes: `created` and `error` come straight
// from the call that made it.
DbwinChannel::OpenResult Keep(rav::UniqueHandle& owner, HANDLE created, DWORD error, const char* name,
                              std::string& problem) {
  owner.reset(created);
  if (owner && error != ERROR_ALREADY_EXISTS) return DbwinChannel::OpenResult::kOpen;
  if (owner || error == ERROR_ACCESS_DENIED) {
    // Access denied: it exists, made by a listener that runs as someone else.
    problem = WithErrorCode(std::string("another listener holds the channel: ") + name + " exists already", error);
    return DbwinChannel::OpenResult::kBusy;
  }
  problem = WithErrorCode(std::string("cannot make ") + name, error);
  return DbwinChannel::OpenResult::kFailed;
}

}  // namespace

DbwinChannel::OpenResult DbwinChannel::Open(std::string& problem) {
  // Every writer makes or opens the mutex on its first string: finding it
  // is normal. The events and the section only a listener makes.
  mutex_.reset(CreateMutexW(nullptr, FALSE, L"DBWinMutex"));
  if (!mutex_) {
    problem = WithErrorCode("cannot make or open the mutex DBWinMutex", GetLastError());
    return OpenResult::kFailed;
  }
  // Some systems leave the last error alone when they make a new object.
  SetLastError(ERROR_SUCCESS);
  HANDLE created = CreateEventW(nullptr, FALSE, FALSE, L"DBWIN_BUFFER_READY");
  OpenResult result = Keep(bufferReady_, created, GetLastError(), "the event DBWIN_BUFFER_READY", problem);
  if (result != OpenResult::kOpen) return result;
  SetLastError(ERROR_SUCCESS);
  created = CreateEventW(nullptr, FALSE, FALSE, L"DBWIN_DATA_READY");
  result = Keep(dataReady_, created, GetLastError(), "the event DBWIN_DATA_READY", problem);
  if (result != OpenResult::kOpen) return result;
  SetLastError(ERROR_SUCCESS);
  created = CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, kDbwinBufferSize, L"DBWIN_BUFFER");
  result = Keep(section_, created, GetLastError(), "the section DBWIN_BUFFER", problem);
  if (result != OpenResult::kOpen) return result;
  view_.reset(MapViewOfFile(section_.get(), FILE_MAP_READ, 0, 0, kDbwinBufferSize));
  if (!view_) {
    problem = WithErrorCode("cannot map the section DBWIN_BUFFER", GetLastError());
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
