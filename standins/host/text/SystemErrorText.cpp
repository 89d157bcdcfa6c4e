#include "SystemErrorText.h"

#include "TextConvert.h"

namespace zk {

std::string SystemErrorText(DWORD error) {
  wchar_t* text = nullptr;
  DWORD length = FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                                nullptr, error, 0, reinterpret_cast<LPWSTR>(&text), 0, nullptr);
  std::wstring message(text ? text : L"", length);
  if (text) LocalFree(text);
  while (!message.empty() && (message.back() == L'\n' || message.back() == L'\r' || message.back() == L' ')) {
    message.pop_back();
  }
  std::string result = "error " + std::to_string(error);
  if (!message.empty()) result += ": " + WideToUtf8(message);
  return result;
}

}  // namespace zk
