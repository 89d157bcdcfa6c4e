#include "StringLoader.h"

#include <windows.h>

#include "ModuleInstance.h"

std::wstring LoadModuleStringW(unsigned id) {
  const wchar_t* text = nullptr;
  // With a zero buffer size LoadStringW hands out the resource's own text and its length.
  const int length = LoadStringW(PluginModuleHandle(nullptr), id, reinterpret_cast<LPWSTR>(&text), 0);
  if (length <= 0 || text == nullptr) return std::wstring();
  return std::wstring(text, static_cast<size_t>(length));
}

std::string LoadModuleString(unsigned id) {
  const std::wstring wide = LoadModuleStringW(id);
  if (wide.empty()) return std::string();
  const int wideLength = static_cast<int>(wide.size());
  const int size = WideCharToMultiByte(CP_THREAD_ACP, 0, wide.data(), wideLength, nullptr, 0, nullptr, nullptr);
  if (size <= 0) return std::string();
  std::string text(static_cast<size_t>(size), '\0');
  WideCharToMultiByte(CP_THREAD_ACP, 0, wide.data(), wideLength, &text[0], size, nullptr, nullptr);
  return text;
}
