#pragma once
// A move-only owner of one OS resource. The policy names the resource's type,
// its "none" value, which values are valid and how to release one.

namespace rav {

template <typename Policy>
class UniqueResource {
 public:
  using pointer = typename Policy::pointer;

  UniqueResource() noexcept = default;
  explicit UniqueResource(pointer value) noexcept : value_(value) {}
  ~UniqueResource() { reset(); }

  UniqueResource(UniqueResource&& other) noexcept : value_(other.release()) {}
  UniqueResource& operator=(UniqueResource&& other) noexcept {
    if (this != &other) reset(other.release());
    return *this;
  }
  UniqueResource(const UniqueResource&) = delete;
  UniqueResource& operator=(const UniqueResource&) = delete;

  pointer get() const noexcept { return value_; }
  bool valid() const noexcept { return Policy::is_valid(value_); }
  explicit operator bool() const noexcept { return valid(); }

  // Releases the current resource and takes `value` (or none).
  void reset(pointer value = Policy::none()) noexcept {
    pointer old = value_;
    value_ = value;
    if (Policy::is_valid(old)) Policy::close(old);
  }
  // Gives up ownership without releasing.
  pointer release() noexcept {
    pointer old = value_;
    value_ = Policy::none();
    return old;
  }
  // For out-parameters: releases what is held and hands out the slot.
  pointer* put() noexcept {
    reset();
    return &value_;
  }

 private:
  pointer value_ = Policy::none();
};

}  // namespace rav
