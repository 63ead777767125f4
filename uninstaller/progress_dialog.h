#pragma once
// The progress window of the uninstall: dialog template 101, a caption, a
// status line (control 301) and a progress bar (control 201).
#include <windows.h>

namespace ravuninst {

inline constexpr int kProgressDialogId = 101;
inline constexpr int kStatusLineId = 301;
inline constexpr int kProgressBarId = 201;

// Private messages; text numbers travel in lParam.
inline constexpr UINT UM_SETTITLE = 0x8000;     // caption := text lParam
inline constexpr UINT UM_SETSTATUS = 0x8001;    // status line := text lParam
inline constexpr UINT UM_SETPROGRESS = 0x8002;  // bar range 0..wParam, position lParam

INT_PTR CALLBACK ProgressDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

}  // namespace ravuninst
