#include "CommandLine.h"

namespace zk {

std::wstring PipeSuffixFromCommandLine(std::wstring_view commandLine) {
  // " -s" followed by a blank or a tab; the last one wins, since the path before it may contain " -s ".
  size_t start = std::wstring_view::npos;
  for (size_t at = commandLine.find(L" -s"); at != std::wstring_view::npos; at = commandLine.find(L" -s", at + 1)) {
    const size_t after = at + 3;
    if (after < commandLine.size() && (commandLine[after] == L' ' || commandLine[after] == L'\t')) start = after;
  }
  if (start == std::wstring_view::npos) return {};
  std::wstring_view suffix = commandLine.substr(start);
  const size_t first = suffix.find_first_not_of(L" \t");
  if (first == std::wstring_view::npos) return {};
  const size_t last = suffix.find_last_not_of(L" \t");
  return std::wstring(suffix.substr(first, last - first + 1));
}

}  // namespace zk
