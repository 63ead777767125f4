#pragma once
// Starting a program, one way for every caller, through the call each caller
// has always made: StartProcessA (CreateProcessA), StartProcessW
// (CreateProcessW) or StartProcessAsUserW (CreateProcessAsUserW). Each lives
// in an object of its own, so a program imports only the call it makes.
#include <windows.h>

#include <optional>
#include <string>
#include <type_traits>

#include "common/process_owner.h"
#include "common/core/result.h"

namespace rav {

// The handles STARTF_USESTDHANDLES gives the child; a null one leaves it
// without that stream.
struct StandardHandles {
  HANDLE input = nullptr;
  HANDLE output = nullptr;
  HANDLE error = nullptr;
};

// Wide starts may begin from this process's own STARTUPINFO
// (GetStartupInfoW) instead of an empty one. Narrow starts never do, so
// their programs need not import GetStartupInfoA.
struct OwnStartupInfoChoice {
  bool ownStartupInfo = false;
};
struct NoStartupInfoChoice {};

// What to start and how. An empty text stands for a null argument.
template <typename Char>
struct ProcessStart
    : std::conditional_t<std::is_same_v<Char, wchar_t>, OwnStartupInfoChoice, NoStartupInfoChoice> {
  std::basic_string<Char> commandLine;  // program first, quoted as needed
  std::basic_string<Char> application;  // empty: the command line names the program
  std::basic_string<Char> directory;    // empty: this process's current directory
  // A whole environment block ("NAME=value", each ended by a null, and a
  // final null); empty: this process's environment. A wide block goes with
  // CREATE_UNICODE_ENVIRONMENT.
  std::basic_string<Char> environment;
  DWORD creationFlags = 0;
  // bInheritHandles: the child gets every inheritable handle of this process.
  bool inheritHandles = false;
  // STARTF_USESTDHANDLES with these; none: the STARTUPINFO names no handle.
  std::optional<StandardHandles> standardHandles;
};
using ProcessStartA = ProcessStart<char>;
using ProcessStartW = ProcessStart<wchar_t>;

// The started program, or the error of the call that failed. After a failed
// start the thread's last error is that error too, as after the bare call.
using StartedProcess = Result<OwnedProcess>;

StartedProcess StartProcessA(const ProcessStartA& start);
StartedProcess StartProcessW(const ProcessStartW& start);
StartedProcess StartProcessAsUserW(HANDLE token, const ProcessStartW& start);

}  // namespace rav
