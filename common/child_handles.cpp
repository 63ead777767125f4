#include "common/child_handles.h"

#include <utility>

namespace rav {
namespace {

// A copy with the same access, inheritable or not.
bool CopyHandle(HANDLE handle, bool inheritable, UniqueHandle& copy) {
  const HANDLE self = GetCurrentProcess();
  return DuplicateHandle(self, handle, self, copy.put(), 0, inheritable ? TRUE : FALSE, DUPLICATE_SAME_ACCESS) !=
         FALSE;
}

}  // namespace

ChildPipe MakeChildPipe(ParentEnd parentEnd) {
  ChildPipe pipe;
  SECURITY_ATTRIBUTES inheritable = {sizeof inheritable, nullptr, TRUE};
  UniqueHandle read;
  UniqueHandle write;
  if (!CreatePipe(read.put(), write.put(), &inheritable, 0)) {
    pipe.error = GetLastError();
    return pipe;
  }
  const bool parentReads = parentEnd == ParentEnd::kReads;
  UniqueHandle& parentOriginal = parentReads ? read : write;
  if (!CopyHandle(parentOriginal.get(), false, pipe.parentEnd)) {
    pipe.error = GetLastError();
    return pipe;
  }
  parentOriginal.reset();
  pipe.childEnd = std::move(parentReads ? write : read);
  return pipe;
}

UniqueHandle InheritableCopy(HANDLE handle) {
  UniqueHandle copy;
  CopyHandle(handle, true, copy);
  return copy;
}

}  // namespace rav
