#include "Transcript.h"

#include "QuotedText.h"

#include <windows.h>

namespace zk {

namespace {

void WriteWhole(HANDLE handle, const std::string& bytes) {
  DWORD written = 0;
  WriteFile(handle, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
}

}  // namespace

bool Transcript::Open(const std::wstring& path) {
  std::lock_guard<std::mutex> lock(mutex_);
  // FILE_APPEND_DATA alone: every write lands at the current end, also with other writers.
  file_.Reset(CreateFileW(path.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                          nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
  return file_.Valid();
}

void Transcript::Line(const std::string& key, const std::string& value) {
  const std::string line = key + ": " + value + "\n";
  std::lock_guard<std::mutex> lock(mutex_);
  if (file_) WriteWhole(file_.Get(), line);
  // A GUI program has no standard output on Windows unless the parent gave it one.
  HANDLE out = GetStdHandle(STD_OUTPUT_HANDLE);
  if (out != nullptr && out != INVALID_HANDLE_VALUE) WriteWhole(out, line);
}

std::string HexBytes(const std::vector<std::uint8_t>& bytes) {
  static const char digits[] = "0123456789ABCDEF";
  std::string out;
  out.reserve(bytes.size() * 3);
  for (size_t i = 0; i < bytes.size(); ++i) {
    if (i != 0) out += ' ';
    out += digits[bytes[i] >> 4];
    out += digits[bytes[i] & 0x0F];
  }
  return out;
}

std::string DescribeError(unsigned long code) {
  wchar_t* text = nullptr;
  const DWORD length = FormatMessageW(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code, 0,
      reinterpret_cast<wchar_t*>(&text), 0, nullptr);
  std::wstring message = length != 0 && text != nullptr ? std::wstring(text, length) : std::wstring();
  if (text != nullptr) LocalFree(text);
  while (!message.empty() && (message.back() == L'\n' || message.back() == L'\r' || message.back() == L' ')) {
    message.pop_back();
  }
  return "error " + std::to_string(code) + " " + QuoteText(message);
}

std::string QuotedFields(const std::vector<std::wstring>& fields) {
  std::string out;
  for (const std::wstring& field : fields) {
    if (!out.empty()) out += ' ';
    out += QuoteText(field);
  }
  return out;
}

}  // namespace zk
