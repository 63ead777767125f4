#pragma once
// Owners for the Win32 resources the programs hold. Closing never changes
// GetLastError(): failure messages take the failing call's code after the
// clean-up may already have run.
#include <windows.h>

#include <cstdlib>

#include "common/core/unique_resource.h"

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

// Where a resource kind's "none" is: null for most, INVALID_HANDLE_VALUE for
// the calls that answer that on failure (find handles, INF and device sets).
enum class NoneIs { kNull, kInvalidHandle };

// A resource released by `Close`. Null and INVALID_HANDLE_VALUE are never
// valid, whichever of them a kind's calls use for "none".
template <typename T, void (*Close)(T), NoneIs None = NoneIs::kNull>
struct ClosePolicy {
  using pointer = T;
  static pointer none() noexcept {
    if constexpr (None == NoneIs::kNull) {
      return nullptr;
    } else {
      return reinterpret_cast<pointer>(INVALID_HANDLE_VALUE);
    }
  }
  static bool is_valid(pointer value) noexcept {
    return value != nullptr && value != reinterpret_cast<pointer>(INVALID_HANDLE_VALUE);
  }
  static void close(pointer value) noexcept {
    LastErrorKeeper keep;
    Close(value);
  }
};

// The release calls, as plain functions a template can name.
inline void CloseKernelHandle(HANDLE handle) { CloseHandle(handle); }
inline void CloseRegistryKey(HKEY key) { RegCloseKey(key); }
inline void CloseFindHandle(HANDLE handle) { FindClose(handle); }
inline void ReleaseLibrary(HMODULE module) { FreeLibrary(module); }
inline void ReleaseHeapBlock(void* block) { HeapFree(GetProcessHeap(), 0, block); }
inline void ReleaseSid(PSID sid) { FreeSid(sid); }

// Processes, threads, pipes, files, tokens, snapshots.
using UniqueHandle = UniqueResource<ClosePolicy<HANDLE, CloseKernelHandle>>;
using UniqueHkey = UniqueResource<ClosePolicy<HKEY, CloseRegistryKey>>;
using UniqueFindHandle = UniqueResource<ClosePolicy<HANDLE, CloseFindHandle, NoneIs::kInvalidHandle>>;
using UniqueLibrary = UniqueResource<ClosePolicy<HMODULE, ReleaseLibrary>>;
// Blocks from the process heap.
using UniqueHeapBlock = UniqueResource<ClosePolicy<void*, ReleaseHeapBlock>>;
// Identifiers from AllocateAndInitializeSid.
using UniqueSid = UniqueResource<ClosePolicy<PSID, ReleaseSid>>;

// Texts handed out from malloc (the uninstaller's localized texts).
inline void FreeMallocText(wchar_t* text) { std::free(text); }
using UniqueMallocText = UniqueResource<ClosePolicy<wchar_t*, FreeMallocText>>;

// Memory from the terminal-services queries. Programs that must start where
// wtsapi32.dll is missing load it at run time and keep it loaded while they
// own such memory, so WTSFreeMemory is looked up in the loaded library.
inline void FreeWtsMemory(char* memory) {
  const HMODULE wtsapi = GetModuleHandleA("wtsapi32.dll");
  if (wtsapi == nullptr) return;
  using FreeMemoryFn = void(WINAPI*)(PVOID);
  // Through a plain function type: FARPROC is only a placeholder type.
  const auto freeMemory =
      reinterpret_cast<FreeMemoryFn>(reinterpret_cast<void (*)()>(GetProcAddress(wtsapi, "WTSFreeMemory")));
  if (freeMemory != nullptr) freeMemory(memory);
}
using UniqueWtsText = UniqueResource<ClosePolicy<char*, FreeWtsMemory>>;

// Windows of the calling thread, destroyed (DestroyWindow) by their owner.
inline void DestroyOwnedWindow(HWND window) { DestroyWindow(window); }
using UniqueWindow = UniqueResource<ClosePolicy<HWND, DestroyOwnedWindow>>;

}  // namespace rav
