#pragma once
// Owners for the Win32 resources the programs hold. Closing never changes
// GetLastError(): failure messages take the failing call's code after the
// clean-up may already have run.
#include <windows.h>

#include "common/unique_resource.h"

namespace rav {

class LastErrorKeeper {
 public:
  LastErrorKeeper() : error_(GetLastError()) {}
  ~LastErrorKeeper() { SetLastError(error_); }
  LastErrorKeeper(const LastErrorKeeper&) = delete;
  LastErrorKeeper& operator=(const LastErrorKeeper&) = delete;

 private:
  DWORD error_;
};

// Kernel handles: processes, threads, pipes, files, tokens, snapshots.
// Both null and INVALID_HANDLE_VALUE mean "none", as the APIs disagree.
struct HandlePolicy {
  using pointer = HANDLE;
  static pointer none() noexcept { return nullptr; }
  static bool is_valid(pointer value) noexcept {
    return value != nullptr && value != INVALID_HANDLE_VALUE;
  }
  static void close(pointer value) noexcept {
    LastErrorKeeper keep;
    CloseHandle(value);
  }
};
using UniqueHandle = UniqueResource<HandlePolicy>;

struct RegKeyPolicy {
  using pointer = HKEY;
  static pointer none() noexcept { return nullptr; }
  static bool is_valid(pointer value) noexcept {
    return value != nullptr && value != reinterpret_cast<HKEY>(INVALID_HANDLE_VALUE);
  }
  static void close(pointer value) noexcept {
    LastErrorKeeper keep;
    RegCloseKey(value);
  }
};
using UniqueHkey = UniqueResource<RegKeyPolicy>;

struct FindPolicy {
  using pointer = HANDLE;
  static pointer none() noexcept { return INVALID_HANDLE_VALUE; }
  static bool is_valid(pointer value) noexcept { return value != INVALID_HANDLE_VALUE; }
  static void close(pointer value) noexcept {
    LastErrorKeeper keep;
    FindClose(value);
  }
};
using UniqueFindHandle = UniqueResource<FindPolicy>;

struct LibraryPolicy {
  using pointer = HMODULE;
  static pointer none() noexcept { return nullptr; }
  static bool is_valid(pointer value) noexcept { return value != nullptr; }
  static void close(pointer value) noexcept {
    LastErrorKeeper keep;
    FreeLibrary(value);
  }
};
using UniqueLibrary = UniqueResource<LibraryPolicy>;

// Blocks from the process heap.
struct HeapBlockPolicy {
  using pointer = void*;
  static pointer none() noexcept { return nullptr; }
  static bool is_valid(pointer value) noexcept { return value != nullptr; }
  static void close(pointer value) noexcept {
    LastErrorKeeper keep;
    HeapFree(GetProcessHeap(), 0, value);
  }
};
using UniqueHeapBlock = UniqueResource<HeapBlockPolicy>;

// Identifiers from AllocateAndInitializeSid.
struct SidPolicy {
  using pointer = PSID;
  static pointer none() noexcept { return nullptr; }
  static bool is_valid(pointer value) noexcept { return value != nullptr; }
  static void close(pointer value) noexcept {
    LastErrorKeeper keep;
    FreeSid(value);
  }
};
using UniqueSid = UniqueResource<SidPolicy>;

}  // namespace rav
