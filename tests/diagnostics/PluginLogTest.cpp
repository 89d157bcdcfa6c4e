// The plug-in log: where it is written, in which form, and that a log that cannot be written
// changes nothing else.
#include <gtest/gtest.h>
#include <windows.h>
#include <shlobj.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "InProcessHost.h"
#include "PluginLog.h"

namespace {

std::string FileText(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  std::stringstream text;
  text << file.rdbuf();
  return text.str();
}

std::string TempFolder() {
  char temp[MAX_PATH] = {};
  GetEnvironmentVariableA("TEMP", temp, MAX_PATH);
  return temp;
}

bool NoDocumentsFolder(std::string*) { return false; }

class PluginLog : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetTestHost();
    LogFilePath.clear();  // a fresh module life
    marker = "entry " + std::to_string(GetTickCount64()) + "-" + std::to_string(GetCurrentProcessId());
  }
  void TearDown() override {
    DocumentsFolderLookup = original;
    LogFilePath.clear();
  }
  const DocumentsFolderLookupProc original = DocumentsFolderLookup;
  std::string marker;
};

TEST_F(PluginLog, FirstEntryGoesToTheDocumentsFolderWithWindowsLineEnds) {
  char documents[MAX_PATH] = {};
  ASSERT_TRUE(SHGetSpecialFolderPathA(nullptr, documents, CSIDL_PERSONAL, FALSE));
  LogAppend("%s: %d\n", marker.c_str(), 7);
  EXPECT_EQ(LogFilePath, std::string(documents) + "\\ZKVPlugin.log");
  EXPECT_NE(FileText(LogFilePath).find(marker + ": 7\r\n"), std::string::npos);
}

TEST_F(PluginLog, WithoutTheShellFolderTempIsUsedForTheModulesLife) {
  DocumentsFolderLookup = NoDocumentsFolder;
  const std::string expected = TempFolder() + "\\ZKVPlugin.log";
  std::remove(expected.c_str());
  LogAppend("%s\n", marker.c_str());
  EXPECT_EQ(LogFilePath, expected);
  DocumentsFolderLookup = original;  // the shell answers again: the folder stays decided
  LogAppend("second\n");
  EXPECT_EQ(LogFilePath, expected);
  EXPECT_EQ(FileText(expected), marker + "\r\nsecond\r\n");
  std::remove(expected.c_str());
}

// A log that cannot be opened (a read-only file does that on Windows; Wine running as root
// ignores the read-only bit, so a folder of the log's name stands in for it).
TEST_F(PluginLog, ALogThatCannotBeWrittenChangesNothing) {
  DocumentsFolderLookup = NoDocumentsFolder;
  const std::string path = TempFolder() + "\\ZKVPlugin.log";
  std::remove(path.c_str());
  ASSERT_TRUE(CreateDirectoryA(path.c_str(), nullptr));

  TestDocuments().Open(zk::HostDocument{"a.psd", "C:\\a.psd", 10, 20});
  const std::vector<AutomationUtils::DocumentInfo> listed = ListDocuments();
  ASSERT_EQ(listed.size(), 1u);
  EXPECT_EQ(listed[0].width, 10);
  EXPECT_TRUE(AutomationUtils::AllDocumentsSaved());
  EXPECT_EQ(LogFilePath, path) << "the path stays; each entry tries again";
  RemoveDirectoryA(path.c_str());
}

TEST_F(PluginLog, TheQueriesWriteTheirSteps) {
  DocumentsFolderLookup = NoDocumentsFolder;
  const std::string path = TempFolder() + "\\ZKVPlugin.log";
  std::remove(path.c_str());
  ListDocuments();
  AutomationUtils::AllDocumentsSaved();
  EXPECT_EQ(FileText(path),
            "In AutomationUtils::GetOpenDocuments()\r\nAbout to get documents info\r\n"
            "Left AutomationUtils::GetOpenDocuments()\r\n"
            "In AutomationUtils::AllDocumentsSaved()\r\nLeft AutomationUtils::AllDocumentsSaved()\r\n");

  std::remove(path.c_str());
  TestDocuments().Open(zk::HostDocument{"a.psd", "C:\\a.psd", 10, 20});
  zk::HostDocument never{"Untitled-1", "", 1, 1};
  never.dirty = true;
  TestDocuments().Open(never);
  zk::HostDocument dirty{"b.psd", "C:\\b.psd", 1, 1};
  dirty.dirty = true;
  TestDocuments().Open(dirty);
  ListDocuments();
  AutomationUtils::AllDocumentsSaved();
  EXPECT_EQ(FileText(path),
            "In AutomationUtils::GetOpenDocuments()\r\nAbout to get documents info\r\n"
            "GetOpenDocuments: PIUGetInfoByIndex()\r\nGetOpenDocuments: sPSActionDescriptor->GetAlias()\r\n"
            "GetOpenDocuments: PSActionDescriptor->GetString()\r\nGetOpenDocuments: sPSHandle->Dispose()\r\n"
            "LoadRAW: before getting resolution\r\nGetOpenDocuments: sPSActionDescriptor->Free()\r\n"
            "GetOpenDocuments: PIUGetInfoByIndex()\r\nGetOpenDocuments: sPSActionDescriptor->GetAlias()\r\n"
            "GetOpenDocuments: PIUGetInfoByIndex()\r\nGetOpenDocuments: sPSActionDescriptor->GetAlias()\r\n"
            "GetOpenDocuments: PSActionDescriptor->GetString()\r\nGetOpenDocuments: sPSHandle->Dispose()\r\n"
            "LoadRAW: before getting resolution\r\nGetOpenDocuments: sPSActionDescriptor->Free()\r\n"
            "Left AutomationUtils::GetOpenDocuments()\r\n"
            "In AutomationUtils::AllDocumentsSaved()\r\n"
            "In AllDocumentsSaved: PIUGetInfoByIndex()\r\nIn AllDocumentsSaved: sPSActionDescriptor->GetBoolean()\r\n"
            "In AllDocumentsSaved: sPSActionDescriptor->Free()\r\n"
            "In AllDocumentsSaved: PIUGetInfoByIndex()\r\nIn AllDocumentsSaved: sPSActionDescriptor->GetBoolean()\r\n");
  std::remove(path.c_str());
}

TEST_F(PluginLog, AFailedSizeReadIsLoggedWithItsStatus) {
  DocumentsFolderLookup = NoDocumentsFolder;
  const std::string path = TempFolder() + "\\ZKVPlugin.log";
  std::remove(path.c_str());
  TestDocuments().Open(zk::HostDocument{"a.psd", "C:\\a.psd", 10, 20});
  TestHost().Book().FailProcedure("PSActionDescriptor.GetUnitFloat", -1703, 2);
  EXPECT_TRUE(ListDocuments().empty());
  EXPECT_NE(FileText(path).find("LoadRAW: error keyHeight2:-1703\r\n"), std::string::npos);
  std::remove(path.c_str());
}

}  // namespace
