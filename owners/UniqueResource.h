// One owner for every resource the repository holds: a kernel handle, a registry key, a mapped
// view, a GDI object, a host descriptor... A kind of resource is a traits struct and a one-line
// alias; the contract is the same for all of them:
//   - move-only: copying cannot compile, a moved-from owner is empty;
//   - what it holds is released exactly once, by Reset or at the end of its scope;
//   - Reset with the value already held does nothing (it never closes what it keeps);
//   - Take hands the value to the caller, who must use it ([[nodiscard]]);
//   - the thread's last error survives a release, so the next line still reports the failing call.
//
// A traits struct gives:
//   using Value = ...;                      // the raw value
//   static Value Empty() noexcept;          // what an empty owner stores
//   static bool IsValid(Value) noexcept;    // false for every value that names nothing
//   static void Close(Value) noexcept;      // releases one valid value
//
// For handles, "nothing" has two spellings (null and INVALID_HANDLE_VALUE): every handle kind
// refuses both as valid; the kind only decides which one an empty owner stores.
#pragma once

#include <windows.h>

#include <utility>

template <class Traits>
class UniqueResource {
 public:
  using Value = typename Traits::Value;

  UniqueResource() noexcept = default;
  explicit UniqueResource(Value value) noexcept : value_(value) {}
  ~UniqueResource() { Reset(); }

  UniqueResource(UniqueResource&& other) noexcept : value_(other.Take()) {}
  UniqueResource& operator=(UniqueResource&& other) noexcept {
    Reset(other.Take());
    return *this;
  }
  UniqueResource(const UniqueResource&) = delete;
  UniqueResource& operator=(const UniqueResource&) = delete;

  Value Get() const noexcept { return value_; }
  bool Valid() const noexcept { return Traits::IsValid(value_); }
  explicit operator bool() const noexcept { return Valid(); }

  // The caller owns the value from now on; the owner is empty.
  [[nodiscard]] Value Take() noexcept { return std::exchange(value_, Traits::Empty()); }

  // Releases what is held (unless it is the new value itself) and holds the new value.
  void Reset(Value value = Traits::Empty()) noexcept {
    if (value == value_) return;
    const Value old = std::exchange(value_, value);
    if (!Traits::IsValid(old)) return;
    const DWORD error = GetLastError();
    Traits::Close(old);
    SetLastError(error);
  }

  // For a call that hands out a new value through an out-parameter: releases what is held and
  // gives the address of the (now empty) value.
  Value* Address() noexcept {
    Reset();
    return &value_;
  }

 private:
  Value value_ = Traits::Empty();
};
