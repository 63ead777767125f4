#pragma once
// A value, or the Windows error code that kept it from being made. The code
// is taken right after the failing call and travels with the result: read
// back later through the thread's last error, any call in between (a debug
// line, a clean-up) could have changed it.
// Platform-free: the code is a 32-bit number, as GetLastError and the
// registry calls answer it.
#include <cstdint>
#include <optional>
#include <utility>

namespace rav {

using WindowsError = std::uint32_t;

// What a failed step hands back instead of its value.
struct Failure {
  WindowsError error;
};

template <typename T>
class [[nodiscard]] Result {
 public:
  Result(T value) : value_(std::move(value)) {}
  Result(Failure failure) : error_(failure.error) {}

  // A failure stays one whatever its code: a call may fail and set none.
  bool ok() const { return value_.has_value(); }
  explicit operator bool() const { return ok(); }

  // The value; only when ok().
  T& value() & { return *value_; }
  const T& value() const& { return *value_; }
  T&& value() && { return std::move(*value_); }
  T& operator*() & { return *value_; }
  const T& operator*() const& { return *value_; }
  T* operator->() { return &*value_; }
  const T* operator->() const { return &*value_; }

  // The failing call's code; 0 when ok().
  WindowsError error() const { return error_; }

 private:
  std::optional<T> value_;
  WindowsError error_ = 0;
};

// A step that makes nothing, but may fail.
template <>
class [[nodiscard]] Result<void> {
 public:
  Result() = default;
  Result(Failure failure) : failed_(true), error_(failure.error) {}

  bool ok() const { return !failed_; }
  explicit operator bool() const { return ok(); }
  WindowsError error() const { return error_; }

 private:
  bool failed_ = false;
  WindowsError error_ = 0;
};

}  // namespace rav
