// The command line the module builds for the companion (Wine re-quotes what the child sees, so
// the line is checked here, where it is built) and the text of a start failure.
#include <gtest/gtest.h>

#include "CompanionLauncher.h"

namespace {

TEST(CompanionCommandLine, UnquotedPathOneBlankDashSTwoBlanksSuffix) {
  EXPECT_EQ(BuildCompanionCommandLine(L"C:\\Program Files\\ZentrastKolvane4\\ZentrastKolvane.exe", L"ZentrastKolvane5120"),
            L"C:\\Program Files\\ZentrastKolvane4\\ZentrastKolvane.exe -s  ZentrastKolvane5120");
  EXPECT_EQ(BuildCompanionCommandLine(L"D:\\Apps\\ZK\\ZentrastKolvane.exe", L"ZentrastKolvane7"),
            L"D:\\Apps\\ZK\\ZentrastKolvane.exe -s  ZentrastKolvane7");
}

TEST(CompanionStartFailure, SaysWhatTheSystemSaysOrTheNumber) {
  wchar_t system[1024] = {};
  const DWORD length = FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                                      ERROR_FILE_NOT_FOUND, 0x400, system, 1024, nullptr);
  ASSERT_GT(length, 0u);
  EXPECT_EQ(StartFailureMessage(ERROR_FILE_NOT_FOUND), L"Can't start Zentrast Kolvane: " + std::wstring(system));
  // A code the system has no text for still says which error it was.
  EXPECT_EQ(StartFailureMessage(0x20001234), L"Can't start Zentrast Kolvane: error 536875572");
}

}  // namespace
