#include "launcher/staging_lock.h"

#include "common/wide_text.h"

namespace launcher {

StagingLock::StagingLock(const DirectoryIdentity& temporaryDirectory) {
  // "Local\": two runs in one session share a temporary directory; users in
  // other sessions have their own (and per-session ones under remote
  // desktops), so they never meet in one staging directory.
  const std::u16string name = StagingLockName(temporaryDirectory);
  mutex_.reset(CreateMutexW(nullptr, FALSE, rav::as_wcstr(name)));
  if (!mutex_) {
    error_ = GetLastError();
    return;
  }
  switch (WaitForSingleObject(mutex_.get(), 0)) {
    case WAIT_OBJECT_0:
    case WAIT_ABANDONED:  // its owner ended without letting go: the run was killed
      state_ = State::kHeld;
      break;
    case WAIT_TIMEOUT:
      state_ = State::kBusy;
      break;
    default:
      error_ = GetLastError();
      break;
  }
}

StagingLock::~StagingLock() {
  if (state_ == State::kHeld) ReleaseMutex(mutex_.get());
}

}  // namespace launcher
