// The system's resources as owners: kernel handles, directory searches, registry keys, loaded
// modules, GDI objects and mapped views.
#pragma once

#include <windows.h>

#include "UniqueResource.h"

// Null and INVALID_HANDLE_VALUE both name no handle (the latter is also the current process's
// pseudo-handle, which must never be closed).
inline bool IsRealHandle(HANDLE handle) noexcept { return handle != nullptr && handle != INVALID_HANDLE_VALUE; }

template <HANDLE (*EmptyValue)() noexcept>
struct KernelHandleTraits {
  using Value = HANDLE;
  static Value Empty() noexcept { return EmptyValue(); }
  static bool IsValid(Value handle) noexcept { return IsRealHandle(handle); }
  static void Close(Value handle) noexcept { CloseHandle(handle); }
};

inline HANDLE NullHandle() noexcept { return nullptr; }
inline HANDLE InvalidHandleValue() noexcept { return INVALID_HANDLE_VALUE; }

// Events, processes, threads, file mappings: the system hands out null for "none".
using UniqueHandle = UniqueResource<KernelHandleTraits<NullHandle>>;
// Files and pipes (CreateFileW, CreateNamedPipeW): the system hands out INVALID_HANDLE_VALUE.
using UniqueFile = UniqueResource<KernelHandleTraits<InvalidHandleValue>>;

struct FindHandleTraits {
  using Value = HANDLE;
  static Value Empty() noexcept { return INVALID_HANDLE_VALUE; }
  static bool IsValid(Value handle) noexcept { return IsRealHandle(handle); }
  static void Close(Value handle) noexcept { FindClose(handle); }
};
using UniqueFindHandle = UniqueResource<FindHandleTraits>;  // FindFirstFileW

struct RegistryKeyTraits {
  using Value = HKEY;
  static Value Empty() noexcept { return nullptr; }
  static bool IsValid(Value key) noexcept { return key != nullptr; }
  static void Close(Value key) noexcept { RegCloseKey(key); }
};
using UniqueRegistryKey = UniqueResource<RegistryKeyTraits>;

struct ModuleTraits {
  using Value = HMODULE;
  static Value Empty() noexcept { return nullptr; }
  static bool IsValid(Value module) noexcept { return module != nullptr; }
  static void Close(Value module) noexcept { FreeLibrary(module); }
};
using UniqueModule = UniqueResource<ModuleTraits>;  // LoadLibraryW

template <class Object>
struct GdiObjectTraits {
  using Value = Object;
  static Value Empty() noexcept { return nullptr; }
  static bool IsValid(Value object) noexcept { return object != nullptr; }
  static void Close(Value object) noexcept { DeleteObject(object); }
};
template <class Object>
using UniqueGdiObject = UniqueResource<GdiObjectTraits<Object>>;  // brushes, fonts

struct MappedViewTraits {
  using Value = void*;
  static Value Empty() noexcept { return nullptr; }
  static bool IsValid(Value view) noexcept { return view != nullptr; }
  static void Close(Value view) noexcept { UnmapViewOfFile(view); }
};
using UniqueMappedView = UniqueResource<MappedViewTraits>;  // MapViewOfFile

// A window's device context from GetDC, given back with ReleaseDC, which needs the window as well
// as the context (so it is not a one-value owner). A font selected into it through Select goes
// out again before the context is given back.
class WindowDeviceContext {
 public:
  explicit WindowDeviceContext(HWND window) noexcept : window_(window), context_(GetDC(window)) {}
  ~WindowDeviceContext() {
    if (context_ == nullptr) return;
    if (previous_ != nullptr) SelectObject(context_, previous_);
    ReleaseDC(window_, context_);
  }
  WindowDeviceContext(const WindowDeviceContext&) = delete;
  WindowDeviceContext& operator=(const WindowDeviceContext&) = delete;

  HDC Get() const noexcept { return context_; }
  explicit operator bool() const noexcept { return context_ != nullptr; }

  // Selects an object the caller keeps alive (the control's font); the first one replaced is
  // put back at the end.
  void Select(HGDIOBJ object) noexcept {
    if (context_ == nullptr || object == nullptr) return;
    const HGDIOBJ replaced = SelectObject(context_, object);
    if (previous_ == nullptr) previous_ = replaced;
  }

 private:
  HWND window_;
  HDC context_;
  HGDIOBJ previous_ = nullptr;
};
