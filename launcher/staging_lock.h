#pragma once
// The lock a run holds on its staging directory from before the leftover is
// removed until the end, so that a second Setup.exe started meanwhile (a
// double click, a deployment tool that retries) neither deletes nor changes
// the copy the first one runs from.
#include "common/win_resources.h"
#include "launcher/core/staging_rules.h"

namespace launcher {

class StagingLock {
 public:
  enum class State { kHeld, kBusy, kFailed };

  // Takes the named mutex for the staging directory in the temporary
  // directory of this identity, however its path is spelled. A mutex whose
  // owner was killed is taken over: it dies with its owner, so a killed run
  // never blocks later ones.
  explicit StagingLock(const DirectoryIdentity& temporaryDirectory);
  ~StagingLock();
  StagingLock(const StagingLock&) = delete;
  StagingLock& operator=(const StagingLock&) = delete;

  State state() const { return state_; }
  // The system error when the lock could not be made.
  unsigned long error() const { return error_; }

 private:
  rav::UniqueHandle mutex_;
  State state_ = State::kFailed;
  unsigned long error_ = 0;
};

}  // namespace launcher
