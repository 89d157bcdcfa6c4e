#include "SharedSegments.h"

#include "QuotedText.h"
#include "Transcript.h"

namespace zk {

bool SharedSegments::Create(const std::string& name, std::uint64_t size, std::string& error) {
  const std::string quoted = QuoteText(std::wstring(name.begin(), name.end()));
  if (held_.count(name) != 0) {
    error = "the segment " + quoted + " is already held by this run (delete-segment it first)";
    return false;
  }
  if (size == 0) {
    error = "a segment cannot be empty";
    return false;
  }
  Held held;
  held.mapping.Reset(CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE,
                                        static_cast<DWORD>(size >> 32), static_cast<DWORD>(size), name.c_str()));
  const DWORD createError = GetLastError();
  if (!held.mapping) {
    error = "cannot create the segment " + quoted + " of " + std::to_string(size) + " bytes: " +
            DescribeError(createError);
    return false;
  }
  if (createError == ERROR_ALREADY_EXISTS) {
    error = "a segment named " + quoted + " exists already (another process holds it)";
    return false;
  }
  held.view.Reset(MapViewOfFile(held.mapping.Get(), FILE_MAP_WRITE, 0, 0, 0));
  if (!held.view) {
    error = "cannot map the segment " + quoted + ": " + DescribeError(GetLastError());
    return false;
  }
  held.segment.bytes = static_cast<std::uint8_t*>(held.view.Get());
  held.segment.size = size;
  held_.emplace(name, std::move(held));
  return true;
}

bool SharedSegments::Delete(const std::string& name, std::string& error) {
  if (held_.erase(name) == 0) {
    error = "this run holds no segment " + QuoteText(std::wstring(name.begin(), name.end()));
    return false;
  }
  return true;
}

SegmentView* SharedSegments::Find(const std::string& name) {
  const auto found = held_.find(name);
  return found == held_.end() ? nullptr : &found->second.segment;
}

std::string SegmentNameOf(const std::wstring& name) {
  std::string ansi;
  for (wchar_t unit : name) ansi += static_cast<char>(unit);
  return ansi;
}

}  // namespace zk
