// The POSIX threads library that the C++ runtime links in statically (the
// unwinder and the exception allocator take its locks) times its waits with
// GetTickCount64, through a direct import of kernel32's function. Windows XP
// and Server 2003 have no such function, and a program importing it does not
// load there at all.
//
// A call to an imported function goes through the pointer __imp_<name>,
// which the linker normally takes from the import library. This file defines
// that pointer itself, in an object linked into each shipped program: the
// linker pulls an archive member only for a symbol still undefined, so
// kernel32's GetTickCount64 entry is never taken and the program's import
// table does not name it. The pointer leads to the function below: the
// system's GetTickCount64 where there is one, looked up at run time, and
// otherwise milliseconds from the performance counter, which is what the
// threads library itself uses when it is built for older Windows.
#include <windows.h>

namespace {

using TickFunction = ULONGLONG(WINAPI*)();

ULONGLONG WINAPI CounterMilliseconds() {
  LARGE_INTEGER frequency;
  LARGE_INTEGER counter;
  if (!QueryPerformanceFrequency(&frequency) || frequency.QuadPart <= 0 || !QueryPerformanceCounter(&counter)) {
    return GetTickCount();
  }
  const ULONGLONG ticks = static_cast<ULONGLONG>(counter.QuadPart);
  const ULONGLONG perSecond = static_cast<ULONGLONG>(frequency.QuadPart);
  return ticks / perSecond * 1000 + ticks % perSecond * 1000 / perSecond;
}

// Every thread finds the same answer, so two threads racing here only look
// it up twice; a pointer-sized store is atomic on both architectures.
TickFunction volatile g_tickFunction = nullptr;

ULONGLONG WINAPI TickCount64() {
  TickFunction function = g_tickFunction;
  if (function == nullptr) {
    function = reinterpret_cast<TickFunction>(reinterpret_cast<void (*)()>(
        GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "GetTickCount64")));
    if (function == nullptr) function = CounterMilliseconds;
    g_tickFunction = function;
  }
  return function();
}

}  // namespace

#if defined(__i386__)
extern "C" TickFunction rav_GetTickCount64_import __asm__("__imp__GetTickCount64@0");
#else
extern "C" TickFunction rav_GetTickCount64_import __asm__("__imp_GetTickCount64");
#endif
TickFunction rav_GetTickCount64_import = TickCount64;
