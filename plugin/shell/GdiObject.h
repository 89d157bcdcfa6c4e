// Owner of one GDI object (a brush, a font): deleted exactly once, when reset or at the end.
#pragma once

#include <windows.h>

template <class Object>
class GdiObject {
 public:
  GdiObject() = default;
  ~GdiObject() { Reset(); }
  GdiObject(const GdiObject&) = delete;
  GdiObject& operator=(const GdiObject&) = delete;

  Object Get() const { return object; }
  explicit operator bool() const { return object != nullptr; }
  void Reset(Object replacement = nullptr) {
    if (object != nullptr) DeleteObject(object);
    object = replacement;
  }

 private:
  Object object = nullptr;
};
