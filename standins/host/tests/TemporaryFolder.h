// A folder of its own under the system's temporary folder for one test, removed with everything
// in it at the end of the test.
#pragma once

#include <windows.h>

#include <filesystem>
#include <string>

namespace zk_test {

class TemporaryFolder {
 public:
  TemporaryFolder() {
    wchar_t temp[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, temp);
    static int serial = 0;
    path_ = std::wstring(temp) + L"zk-host-test-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
            std::to_wstring(++serial);
    std::filesystem::create_directories(std::filesystem::path(path_));
  }
  ~TemporaryFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(std::filesystem::path(path_), ignored);
  }
  TemporaryFolder(const TemporaryFolder&) = delete;
  TemporaryFolder& operator=(const TemporaryFolder&) = delete;

  const std::wstring& Path() const { return path_; }  // without a trailing backslash

 private:
  std::wstring path_;
};

}  // namespace zk_test
