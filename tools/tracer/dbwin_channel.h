#pragma once
// The listener's side of a debug-output channel. A writer
// (OutputDebugStringA when no debugger takes the string) takes the mutex
// "DBWinMutex", waits for the event "DBWIN_BUFFER_READY", puts its process
// ID and text into the 4,096-byte section "DBWIN_BUFFER" and sets
// "DBWIN_DATA_READY". The listener makes the two events and the section.
// Writers use the names of their own session's namespace: a listener hears
// the programs of its session through those names, and the programs of
// session 0 (services, the device installation) through the same names in
// the machine-wide namespace ("Global\", where making a section needs
// SeCreateGlobalPrivilege outside session 0).
#include <windows.h>

#include <string>
#include <string_view>

#include "common/win_resources.h"
#include "tools/tracer/core/dbwin_record.h"
#include "tools/tracer/mapped_view.h"

namespace tracer {

class DbwinChannel {
 public:
  enum class OpenResult { kOpen, kBusy, kFailed };

  // `scope` goes before every name: "" for this session's channel,
  // "Global\\" for the machine-wide one.
  explicit DbwinChannel(std::wstring_view scope) : scope_(scope) {}
  DbwinChannel(const DbwinChannel&) = delete;
  DbwinChannel& operator=(const DbwinChannel&) = delete;

  // Makes the channel's objects. kBusy when one of them exists already:
  // another listener holds the channel, and this one leaves it alone.
  // `problem` says which object (by its full name) and the system's error
  // code.
  OpenResult Open(std::string& problem);

  // Lets the next writer in (sets DBWIN_BUFFER_READY). Harmless when it is
  // set already; setting it again also frees the channel when a writer took
  // the turn and ended before it wrote.
  void LetWriterIn();
  // Set by a writer once its record is in the buffer.
  HANDLE dataReady() const { return dataReady_.get(); }
  // Copies the record out of the buffer. The writer that put it there goes
  // on at once; a writer with another string waits for LetWriterIn.
  DbwinRecord Read() const;

 private:
  std::wstring scope_;
  rav::UniqueHandle mutex_;
  rav::UniqueHandle bufferReady_;
  rav::UniqueHandle dataReady_;
  rav::UniqueHandle section_;
  UniqueMappedView view_;
};

}  // namespace tracer
