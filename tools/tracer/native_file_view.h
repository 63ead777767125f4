#pragma once
// A 32-bit program on 64-bit Windows that opens "...\System32\..." is sent
// to SysWOW64, the 32-bit system directory. The co-installer (64-bit) and
// its INF backup live in the real System32: while a NativeFileView lives,
// the calling thread's file-system redirection is off, where the system has
// it (XP x64 and later; looked up at run time, for 32-bit XP lacks it).
// Only file calls belong in its scope: loading a library then would load a
// 64-bit one.
#include <windows.h>

namespace tracer {

class NativeFileView {
 public:
  NativeFileView() {
    const HMODULE kernel = GetModuleHandleW(L"kernel32.dll");
    const auto disable = reinterpret_cast<BOOL(WINAPI*)(PVOID*)>(
        reinterpret_cast<void (*)()>(GetProcAddress(kernel, "Wow64DisableWow64FsRedirection")));
    revert_ = reinterpret_cast<BOOL(WINAPI*)(PVOID)>(
        reinterpret_cast<void (*)()>(GetProcAddress(kernel, "Wow64RevertWow64FsRedirection")));
    // Where the process is no WOW64 process, the call fails and changes nothing.
    disabled_ = disable != nullptr && revert_ != nullptr && disable(&previous_);
  }
  ~NativeFileView() {
    if (disabled_) revert_(previous_);
  }
  NativeFileView(const NativeFileView&) = delete;
  NativeFileView& operator=(const NativeFileView&) = delete;

 private:
  BOOL(WINAPI* revert_)(PVOID) = nullptr;
  PVOID previous_ = nullptr;
  bool disabled_ = false;
};

}  // namespace tracer
