#include "BenchLogCost.h"

#include <windows.h>

#include <algorithm>
#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <vector>

#include "BenchResults.h"
#include "BenchShared.h"
#include "PluginLog.h"
#include "WindowsOwners.h"

using namespace zkbench;

namespace {

// How every entry was written before: open, write and close in text mode.
void OpenWriteCloseEntry(const char* path, const char* format, ...) {
  FILE* file = std::fopen(path, "a");
  if (file == nullptr) return;
  va_list arguments;
  va_start(arguments, format);
  std::vfprintf(file, format, arguments);
  va_end(arguments);
  std::fclose(file);
}

// Opened as the log opens its file.
UniqueFile OpenAsTheLogDoes(const std::string& path) {
  return UniqueFile(CreateFileA(path.c_str(), FILE_APPEND_DATA | FILE_READ_ATTRIBUTES,
                                FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_ALWAYS,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
}

void WriteOnce(const UniqueFile& file, const std::string& bytes) {
  DWORD count = 0;
  WriteFile(file.Get(), bytes.data(), DWORD(bytes.size()), &count, nullptr);
}

}  // namespace

LogCost MeasureLogCost(const std::wstring& folder) {
  const std::string path = Narrow(folder) + "\\ZKVPlugin.log";
  LogFilePath = path;
  const double microsPerTick = 1e6 / double(Frequency());
  const char* entry = "GetOpenDocuments: sPSActionDescriptor->GetAlias()\n";
  const std::string written = "GetOpenDocuments: sPSActionDescriptor->GetAlias()\r\n";  // as the log writes it
  constexpr int kEntries = 2000;
  std::vector<double> limit, bare, old, ten, thousand;
  auto perEntry = [&](int64_t start) { return double(Ticks() - start) * microsPerTick / kEntries; };
  for (int round = 0; round < 5; ++round) {
    DeleteFileA(path.c_str());
    int64_t start = Ticks();
    for (int i = 0; i < kEntries / kEntriesPerRequest; ++i) {
      const UniqueFile file = OpenAsTheLogDoes(path);
      for (int j = 0; j < kEntriesPerRequest; ++j) WriteOnce(file, written);
    }
    limit.push_back(perEntry(start));
    DeleteFileA(path.c_str());
    {
      const UniqueFile file = OpenAsTheLogDoes(path);
      start = Ticks();
      for (int i = 0; i < kEntries; ++i) WriteOnce(file, written);
      bare.push_back(perEntry(start));
    }
    DeleteFileA(path.c_str());
    start = Ticks();
    for (int i = 0; i < kEntries; ++i) OpenWriteCloseEntry(path.c_str(), "%s", entry);
    old.push_back(perEntry(start));
    DeleteFileA(path.c_str());
    start = Ticks();
    for (int i = 0; i < kEntries / kEntriesPerRequest; ++i) {
      const LogSession request;
      for (int j = 0; j < kEntriesPerRequest; ++j) LogAppend("%s", entry);
    }
    ten.push_back(perEntry(start));
    DeleteFileA(path.c_str());
    start = Ticks();
    for (int i = 0; i < kEntries / 1000; ++i) {
      const LogSession request;
      for (int j = 0; j < 1000; ++j) LogAppend("%s", entry);
    }
    thousand.push_back(perEntry(start));
  }
  DeleteFileA(path.c_str());
  LogFilePath.clear();
  return {Median(limit), Median(bare), Median(old), Median(ten), Median(thousand)};
}
