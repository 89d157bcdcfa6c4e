#include "NarrowText.h"

#include "TextConvert.h"

#include <windows.h>

namespace zk {

std::string Utf8ToNarrow(const std::string& utf8, NarrowTexts encoding) {
  if (encoding == NarrowTexts::Utf8 || utf8.empty()) return utf8;
  const std::wstring wide = Utf8ToWide(utf8);
  const int bytes = WideCharToMultiByte(CP_ACP, 0, wide.data(), int(wide.size()), nullptr, 0, nullptr, nullptr);
  std::string ansi(size_t(bytes > 0 ? bytes : 0), '\0');
  if (bytes > 0) WideCharToMultiByte(CP_ACP, 0, wide.data(), int(wide.size()), &ansi[0], bytes, nullptr, nullptr);
  return ansi;
}

std::u16string NarrowToUtf16(const std::string& text, NarrowTexts encoding) {
  return encoding == NarrowTexts::Utf8 ? Utf8ToUtf16(text) : AnsiToUtf16(text);
}

}  // namespace zk
