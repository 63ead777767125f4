#pragma once
// The image name ("Setup.exe") of the process behind a process ID, for the
// trace lines. Names are cached per process ID; a looked-up process is held
// open, so that its ID cannot pass to another process while its name is in
// the cache. A 32-bit ravtrace names 64-bit processes too.
#include <windows.h>

#include <map>
#include <string>

#include "common/win_resources.h"

namespace tracer {

class ProcessNames {
 public:
  // A name the caller knows already (the debugger loop sees each process
  // start): kept until forgotten, never looked up again.
  void Remember(DWORD processId, const std::wstring& imagePath);
  void Forget(DWORD processId);

  // The file name of the process's image, UTF-8; "?" when the process has
  // ended (or cannot be opened) before its first line was seen. A failed
  // look-up is not cached: the ID may belong to a new process next time.
  std::string NameOf(DWORD processId);

  std::size_t size() const { return entries_.size(); }

 private:
  struct Entry {
    std::string name;
    rav::UniqueHandle process;  // none for remembered names
  };
  // Drops the looked-up processes that have ended, once the cache is large.
  void Trim();

  std::map<DWORD, Entry> entries_;
};

}  // namespace tracer
