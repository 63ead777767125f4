#pragma once
// Reverters: objects whose destructor undoes a change to the calling
// thread's state. Like the owners in win_resources.h they are move-only and
// keep GetLastError() as it was.
#include <windows.h>

#include <utility>

#include "common/win_resources.h"

namespace rav {

// Ends the calling thread's impersonation (RevertToSelf) when it goes out of
// scope, if the call that started it succeeded:
//   const rav::ImpersonationReverter impersonation(ImpersonateSelf(SecurityImpersonation));
class ImpersonationReverter {
 public:
  ImpersonationReverter() noexcept = default;
  // `impersonating`: what ImpersonateSelf, ImpersonateLoggedOnUser or the
  // like answered.
  explicit ImpersonationReverter(BOOL impersonating) noexcept : active_(impersonating != FALSE) {}
  ~ImpersonationReverter() { reset(); }

  ImpersonationReverter(ImpersonationReverter&& other) noexcept : active_(std::exchange(other.active_, false)) {}
  ImpersonationReverter& operator=(ImpersonationReverter&& other) noexcept {
    if (this != &other) {
      reset();
      active_ = std::exchange(other.active_, false);
    }
    return *this;
  }
  ImpersonationReverter(const ImpersonationReverter&) = delete;
  ImpersonationReverter& operator=(const ImpersonationReverter&) = delete;

  // Whether the thread impersonates through this object.
  explicit operator bool() const noexcept { return active_; }

  // Ends the impersonation now.
  void reset() noexcept {
    if (!std::exchange(active_, false)) return;
    LastErrorKeeper keep;
    RevertToSelf();
  }

 private:
  bool active_ = false;
};

}  // namespace rav
