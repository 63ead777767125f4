#pragma once
// Handles made for a child's standard streams. The child's end is
// inheritable, this process keeps a copy of its own end that is not, so a
// pipe ends when the child (and whatever it handed its end on to) ends.
#include <windows.h>

#include "common/win_resources.h"

namespace rav {

enum class ParentEnd { kReads, kWrites };

struct ChildPipe {
  UniqueHandle parentEnd;
  UniqueHandle childEnd;  // inheritable; close it once the child has started
  DWORD error = 0;        // of the call that failed
  bool ok() const noexcept { return parentEnd.valid() && childEnd.valid(); }
};

// An anonymous pipe whose `parentEnd` end this process keeps.
ChildPipe MakeChildPipe(ParentEnd parentEnd);

// An inheritable copy of `handle` with the same access; none, with the
// thread's last error set, when it cannot be made.
UniqueHandle InheritableCopy(HANDLE handle);

}  // namespace rav
