// An owning reference to a COM object: released when it goes.
#pragma once

#include <unknwn.h>

#include <utility>

namespace pelorin::excel {

template <typename Interface>
class ComPtr {
 public:
  ComPtr() = default;
  // Takes a reference of its own.
  explicit ComPtr(Interface* object) : object_(object) {
    if (object_ != nullptr) object_->AddRef();
  }
  ComPtr(const ComPtr& other) : ComPtr(other.object_) {}
  ComPtr(ComPtr&& other) noexcept : object_(std::exchange(other.object_, nullptr)) {}
  ComPtr& operator=(ComPtr other) noexcept {
    std::swap(object_, other.object_);
    return *this;
  }
  ~ComPtr() { Reset(); }

  // Adopts a reference the caller already owns (an out-parameter's).
  static ComPtr Adopt(Interface* object) {
    ComPtr owned;
    owned.object_ = object;
    return owned;
  }

  void Reset() {
    if (object_ != nullptr) std::exchange(object_, nullptr)->Release();
  }
  Interface* get() const { return object_; }
  Interface* operator->() const { return object_; }
  explicit operator bool() const { return object_ != nullptr; }
  // For out-parameters: releases what is held first.
  Interface** out() {
    Reset();
    return &object_;
  }

  template <typename Other>
  ComPtr<Other> As(REFIID iid) const {
    ComPtr<Other> other;
    if (object_ != nullptr) object_->QueryInterface(iid, reinterpret_cast<void**>(other.out()));
    return other;
  }

 private:
  Interface* object_ = nullptr;
};

}  // namespace pelorin::excel
