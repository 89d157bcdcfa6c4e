// The command line the module builds for the companion (what the started companion read is
// checked in a whole run, where Wine's re-quoting shows) and the text of a start failure.
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
  // The system's own text, kept as it gives it (its line end included); this is Wine's.
  EXPECT_EQ(StartFailureMessage(ERROR_FILE_NOT_FOUND), L"Can't start Zentrast Kolvane: File not found.\r\n");
  // A code the system has no text for still says which error it was.
  EXPECT_EQ(StartFailureMessage(123456), L"Can't start Zentrast Kolvane: error 123456");
  EXPECT_EQ(StartFailureMessage(0x20001234), L"Can't start Zentrast Kolvane: error 536875572");
}

}  // namespace
