// The plug-in log: where it is written, in which form, and that a log that cannot be written
// changes nothing else.
#include <gtest/gtest.h>
#include <windows.h>
#include <shlobj.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "BridgeRun.h"
#include "HostCodes.h"
#include "ImageFiles.h"
#include "ImageRequests.h"
#include "InProcessHost.h"
#include "InnerText.h"
#include "PluginLog.h"
#include "RequestServing.h"
#include "TestPaths.h"
#include "WindowsOwners.h"

namespace {

std::string Utf8(const std::wstring& text) {
  const std::u16string units(text.begin(), text.end());
  return UnitsToInnerText(units.data(), units.size());
}

std::wstring Wide(const std::string& text) {
  const std::u16string units = InnerTextToUnits(text);
  return std::wstring(units.begin(), units.end());
}

std::string FileText(const std::wstring& path) {
  std::ifstream file(std::filesystem::path(path), std::ios::binary);
  std::stringstream text;
  text << file.rdbuf();
  return text.str();
}
// The path in UTF-8, as the module keeps it.
std::string FileText(const std::string& path) { return FileText(Wide(path)); }

std::string TempFolder() {
  char temp[MAX_PATH] = {};
  GetEnvironmentVariableA("TEMP", temp, MAX_PATH);
  return temp;
}

// The user's Documents folder as Windows keeps it, in the registry: the shell folder value
// "Personal", pointed at another folder while this lives, and put back afterwards. Wine's shell
// follows the value of "User Shell Folders" at once (its "Shell Folders" copy it does not read);
// a folder that is not there is one the shell does not name, as on Windows.
class DocumentsFolderAt {
 public:
  explicit DocumentsFolderAt(const std::wstring& folder) {
    RegCreateKeyExW(HKEY_CURRENT_USER, kShellFolders, 0, nullptr, 0, KEY_QUERY_VALUE | KEY_SET_VALUE, nullptr,
                    key_.Address(), nullptr);
    DWORD size = sizeof(wchar_t) * 1024;
    old_.resize(1024);
    had_ = RegQueryValueExW(key_.Get(), L"Personal", nullptr, &type_, reinterpret_cast<BYTE*>(&old_[0]), &size) ==
           ERROR_SUCCESS;
    old_.resize(size / sizeof(wchar_t));
    set_ = RegSetValueExW(key_.Get(), L"Personal", 0, REG_EXPAND_SZ, reinterpret_cast<const BYTE*>(folder.c_str()),
                          DWORD((folder.size() + 1) * sizeof(wchar_t))) == ERROR_SUCCESS;
  }
  ~DocumentsFolderAt() {
    if (had_) {
      RegSetValueExW(key_.Get(), L"Personal", 0, type_, reinterpret_cast<const BYTE*>(old_.data()),
                     DWORD(old_.size() * sizeof(wchar_t)));
    } else {
      RegDeleteValueW(key_.Get(), L"Personal");
    }
  }
  bool Set() const { return set_; }

 private:
  static constexpr const wchar_t* kShellFolders =
      L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders";
  UniqueRegistryKey key_;
  std::wstring old_;
  DWORD type_ = REG_EXPAND_SZ;
  bool had_ = false;
  bool set_ = false;
};

// The process's TEMP folder for the whole test: one of this test program's own, so that another
// test's host process that finds no Documents folder while a test here points it elsewhere never
// logs into the file a test reads. Put back afterwards.
class OwnTempFolder {
 public:
  OwnTempFolder() {
    wchar_t temp[MAX_PATH] = {};
    GetEnvironmentVariableW(L"TEMP", temp, MAX_PATH);
    old_ = temp;
    folder_ = old_ + L"\\zk-log-test-" + std::to_wstring(GetCurrentProcessId());
    CreateDirectoryW(folder_.c_str(), nullptr);
    SetEnvironmentVariableW(L"TEMP", folder_.c_str());
  }
  ~OwnTempFolder() {
    SetEnvironmentVariableW(L"TEMP", old_.c_str());
    RemoveDirectoryW(folder_.c_str());  // only when the test left it empty
  }

 private:
  std::wstring old_;
  std::wstring folder_;
};

class PluginLog : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetTestHost();
    LogFilePath.clear();  // a fresh module life
    marker = "entry " + std::to_string(GetTickCount64()) + "-" + std::to_string(GetCurrentProcessId());
  }
  void TearDown() override { LogFilePath.clear(); }

  // The module decides where its log goes while the shell names no Documents folder (the user's
  // one is a folder that is not there): TEMP, for the rest of the module's life. An empty entry
  // decides and writes nothing.
  static void LogIntoTemp() {
    const DocumentsFolderAt missing(Wide(TempFolder()) + L"\\no Documents folder here");
    ASSERT_TRUE(missing.Set());
    LogAppend("%s", "");
  }

  const OwnTempFolder temp;
  std::string marker;
};

TEST_F(PluginLog, FirstEntryGoesToTheDocumentsFolderWithWindowsLineEnds) {
  wchar_t documents[MAX_PATH] = {};
  ASSERT_EQ(SHGetFolderPathW(nullptr, CSIDL_PERSONAL, nullptr, SHGFP_TYPE_CURRENT, documents), S_OK);
  LogAppend("%s: %d\n", marker.c_str(), 7);
  EXPECT_EQ(LogFilePath, Utf8(documents) + "\\ZKVPlugin.log");
  EXPECT_NE(FileText(LogFilePath).find(marker + ": 7\r\n"), std::string::npos);
}

// A Documents folder named with letters outside the ANSI code page (1252 here: the tests run under
// C.UTF-8), as a Polish name on a Western European system. The folder used to be asked for with
// the 8-bit call, which gives "?" or a look-alike for such a letter (Wine's does so too): a folder
// that is not there, and no log at all.
TEST_F(PluginLog, ADocumentsFolderNamedOutsideTheCodePageGetsTheLog) {
  ASSERT_EQ(GetACP(), 1252u) << "the test is about letters this code page lacks";
  const std::wstring folder = Wide(TempFolder()) + L"\\Dokumenty \u0141\u00F3d\u017A \u5199\u771F";
  CreateDirectoryW(folder.c_str(), nullptr);
  const std::wstring log = folder + L"\\ZKVPlugin.log";
  DeleteFileW(log.c_str());
  {
    const DocumentsFolderAt documents(folder);
    ASSERT_TRUE(documents.Set());
    LogAppend("%s: %d\n", marker.c_str(), 30);
  }
  EXPECT_EQ(LogFilePath, Utf8(log));
  // Another test's host process may have logged there too, while the value pointed there.
  EXPECT_NE(FileText(log).find(marker + ": 30\r\n"), std::string::npos);
  DeleteFileW(log.c_str());
  RemoveDirectoryW(folder.c_str());
}

TEST_F(PluginLog, WithoutTheShellFolderTempIsUsedForTheModulesLife) {
  const std::string expected = TempFolder() + "\\ZKVPlugin.log";
  std::remove(expected.c_str());
  {
    const DocumentsFolderAt missing(Wide(TempFolder()) + L"\\no Documents folder here");
    ASSERT_TRUE(missing.Set());
    LogAppend("%s\n", marker.c_str());
  }
  EXPECT_EQ(LogFilePath, expected);
  LogAppend("second\n");  // the shell names the Documents folder again: the folder stays decided
  EXPECT_EQ(LogFilePath, expected);
  EXPECT_EQ(FileText(expected), marker + "\r\nsecond\r\n");
  std::remove(expected.c_str());
}

// A log that cannot be opened (a read-only file does that on Windows; Wine running as root
// ignores the read-only bit, so a folder of the log's name stands in for it).
TEST_F(PluginLog, ALogThatCannotBeWrittenChangesNothing) {
  LogIntoTemp();
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
  LogIntoTemp();
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

// A raw file read and an image sent back for it, the import failing: LoadRAW's, GrabBuffer's and
// the import's steps, each once and in order, with the counts and the statuses.
TEST_F(PluginLog, AnImageRoundTripWritesEachStepInOrder) {
  LogIntoTemp();
  const std::string path = TempFolder() + "\\ZKVPlugin.log";
  const std::string picture = TempFolder() + "\\zk-log-" + std::to_string(GetCurrentProcessId()) + ".png";
  const zk::ImagePixels image{4, 3, 8, std::vector<uint8_t>(4 * 3 * 3, 0x7F)};
  std::string error;
  ASSERT_TRUE(zk::WritePngFile(std::wstring(picture.begin(), picture.end()), image, &error)) << error;
  const auto segment = [](const std::string& stem) {
    const std::string name = "zk-log-" + std::to_string(GetCurrentProcessId()) + "-" + stem;
    return std::make_pair(name, UniqueHandle(CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0,
                                                                4096, name.c_str())));
  };
  const auto exported = segment("export"), pixels = segment("image"), metadata = segment("metadata");
  TestDocuments().Open(zk::HostDocument{"a.psd", "C:\\a.psd", 10, 20});
  std::remove(path.c_str());

  ReplyFieldList read, sent;
  AutomationUtils::RawFileRecords records;
  HandleReadRaw({"ReadRaw", picture, exported.first, "0", "8"}, read, records);
  ASSERT_EQ(read.Fields(), (FieldList{"OK", "4", "3"}));
  TestHost().Book().FailEvent(eventImport, -1);
  HandleSendImage({"SendImage", picture, pixels.first, "4", "3", "8", metadata.first, "0"}, sent, records);
  ASSERT_EQ(sent.Fields().at(0), "Error");
  EXPECT_EQ(FileText(path),
            "LoadRAW: filename=" + picture + "\r\n"
            "LoadRAW: num documents: 1\r\n"
            "LoadRAW: before play\r\n"
            "LoadRAW: before checkresult\r\n"
            "LoadRAW: before getting width and height\r\n"
            "LoadRAW: before getting resolution\r\n"
            "LoadRAW: before getting number of documents\r\n"
            "LoadRAW: now num documents: 2\r\n"
            "GrabBuffer: About to call plugin\r\n"
            "GrabBuffer: Finished calling plugin: result=0\r\n"
            "NewDocumentFromBuffer: About to call plugin\r\n"
            "NewDocumentFromBuffer: Finished calling plugin: result=-1\r\n");
  std::remove(path.c_str());
  std::remove(picture.c_str());
}

// What one request logs goes through one opening of the log: its entries stay together in one
// file (a log is renamed at the bound only as a request first writes), the file is not held once
// the request is answered, and a request that logs nothing never touches it. When each host
// operation opened the log for itself, a ReadRaw that crossed the bound in LoadRAW had its
// GrabBuffer steps begin a new file.
TEST_F(PluginLog, EachRequestWritesThroughOneOpeningOfTheLog) {
  LogIntoTemp();
  const std::string path = TempFolder() + "\\ZKVPlugin.log";
  const std::string older = TempFolder() + "\\ZKVPlugin.old.log";
  const std::string picture = TempFolder() + "\\zk-log-request-" + std::to_string(GetCurrentProcessId()) + ".png";
  const std::string segmentName = "zk-log-request-" + std::to_string(GetCurrentProcessId());
  std::string error;
  ASSERT_TRUE(zk::WritePngFile(std::wstring(picture.begin(), picture.end()),
                               zk::ImagePixels{4, 3, 8, std::vector<uint8_t>(4 * 3 * 3, 0x7F)}, &error))
      << error;
  const UniqueHandle exportSegment(
      CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, 4096, segmentName.c_str()));
  TestDocuments().Open(zk::HostDocument{"a.psd", "C:\\a.psd", 10, 20});
  std::remove(path.c_str());
  std::remove(older.c_str());
  BeginBridgeRun();
  const auto serve = [](const FieldList& request) {
    RequestFields = request;
    ServeRequest();
    return ReplyFields.Fields();
  };

  EXPECT_EQ(serve({"Running"}), FieldList{});
  EXPECT_EQ(GetFileAttributesA(path.c_str()), INVALID_FILE_ATTRIBUTES) << "a request that logs nothing made the log";

  std::ofstream(path, std::ios::binary) << std::string(size_t(kLogRotateBytes), 'x');  // at the bound, not over
  ASSERT_EQ(serve({"ReadRaw", picture, segmentName, "0", "8"}), (FieldList{"OK", "4", "3"}));
  const std::string readRawEntries =
      "LoadRAW: filename=" + picture + "\r\nLoadRAW: num documents: 1\r\nLoadRAW: before play\r\n"
      "LoadRAW: before checkresult\r\nLoadRAW: before getting width and height\r\n"
      "LoadRAW: before getting resolution\r\nLoadRAW: before getting number of documents\r\n"
      "LoadRAW: now num documents: 2\r\nGrabBuffer: About to call plugin\r\n"
      "GrabBuffer: Finished calling plugin: result=0\r\n";
  const std::string afterReadRaw = FileText(path);
  ASSERT_EQ(afterReadRaw.size(), size_t(kLogRotateBytes) + readRawEntries.size()) << "the ReadRaw's steps were split";
  EXPECT_EQ(afterReadRaw.substr(size_t(kLogRotateBytes)), readRawEntries);
  EXPECT_EQ(GetFileAttributesA(older.c_str()), INVALID_FILE_ATTRIBUTES) << "renamed in the middle of a request";
  {
    const UniqueFile alone(CreateFileA(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
    EXPECT_TRUE(alone.Valid()) << "the log is still held once its request was answered: " << GetLastError();
  }

  serve({"CheckAllDocumentsSaved"});  // over the bound now: this request's entries begin a new log
  const std::string newLog = FileText(path), olderLog = FileText(older);
  EXPECT_EQ(newLog.substr(0, 41), "In AutomationUtils::AllDocumentsSaved()\r\n");
  EXPECT_LT(newLog.size(), 1000u);
  ASSERT_EQ(olderLog.size(), afterReadRaw.size()) << "the renamed log is the one the ReadRaw left";
  EXPECT_EQ(olderLog.substr(size_t(kLogRotateBytes)), readRawEntries);
  EndBridgeRun();
  std::remove(path.c_str());
  std::remove(older.c_str());
  std::remove(picture.c_str());
}

TEST_F(PluginLog, AFailedSizeReadIsLoggedWithItsStatus) {
  LogIntoTemp();
  const std::string path = TempFolder() + "\\ZKVPlugin.log";
  std::remove(path.c_str());
  TestDocuments().Open(zk::HostDocument{"a.psd", "C:\\a.psd", 10, 20});
  TestHost().Book().FailProcedure("PSActionDescriptor.GetUnitFloat", -1703, 2);
  EXPECT_TRUE(ListDocuments().empty());
  EXPECT_NE(FileText(path).find("LoadRAW: error keyHeight2:-1703\r\n"), std::string::npos);
  std::remove(path.c_str());
}

// A second program's view of the file while the module writes it: opened the way a reader or a
// log cleaner would, sharing everything.
HANDLE OpenAsAnotherProgram(const std::string& path, DWORD access) {
  return CreateFileA(path.c_str(), access, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                     OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
}

std::string ReadWhole(HANDLE file) {
  std::string text;
  SetFilePointer(file, 0, nullptr, FILE_BEGIN);
  char buffer[4096];
  DWORD read = 0;
  while (ReadFile(file, buffer, sizeof buffer, &read, nullptr) && read > 0) text.append(buffer, read);
  return text;
}

TEST_F(PluginLog, AReaderSeesEachEntryOfAnOpenSessionAsSoonAsItIsWritten) {
  LogIntoTemp();
  const std::string path = TempFolder() + "\\ZKVPlugin.log";
  std::remove(path.c_str());
  {
    const LogSession session;
    LogAppend("%s: %s\n", marker.c_str(), "first");
    const UniqueFile reader(OpenAsAnotherProgram(path, GENERIC_READ));
    ASSERT_NE(reader.Get(), INVALID_HANDLE_VALUE) << "the open log shuts out readers: " << GetLastError();
    EXPECT_EQ(ReadWhole(reader.Get()), marker + ": first\r\n");
    LogAppend("second\n");
    EXPECT_EQ(ReadWhole(reader.Get()), marker + ": first\r\nsecond\r\n");
  }
  LogAppend("after the session\n");  // outside a session: one open per entry, as before
  EXPECT_EQ(FileText(path), marker + ": first\r\nsecond\r\nafter the session\r\n");
  std::remove(path.c_str());
}

TEST_F(PluginLog, AnotherProgramMayRenameOrDeleteTheLogWhileASessionHoldsIt) {
  LogIntoTemp();
  const std::string path = TempFolder() + "\\ZKVPlugin.log";
  const std::string moved = TempFolder() + "\\ZKVPlugin-kept.log";
  std::remove(path.c_str());
  std::remove(moved.c_str());
  {
    const LogSession session;
    LogAppend("one\n");
    EXPECT_TRUE(MoveFileExA(path.c_str(), moved.c_str(), MOVEFILE_REPLACE_EXISTING)) << GetLastError();
    LogAppend("two\n");  // follows the open file
  }
  EXPECT_EQ(FileText(moved), "one\r\ntwo\r\n");
  {
    const LogSession session;
    LogAppend("three\n");
    EXPECT_TRUE(DeleteFileA(path.c_str())) << "the open log cannot be deleted: " << GetLastError();
  }
  LogAppend("four\n");  // the next entry begins a new file
  EXPECT_EQ(FileText(path), "four\r\n");
  std::remove(path.c_str());
  std::remove(moved.c_str());
}

TEST_F(PluginLog, ALogOverEightMebibytesIsRenamedWhenTheNextSessionFirstWrites) {
  LogIntoTemp();
  const std::string path = TempFolder() + "\\ZKVPlugin.log";
  const std::string older = TempFolder() + "\\ZKVPlugin.old.log";
  std::remove(path.c_str());
  std::remove(older.c_str());
  const auto writeFile = [](const std::string& name, size_t bytes, char fill) {
    std::ofstream file(name, std::ios::binary);
    file << std::string(bytes, fill);
  };
  struct Case {
    size_t bytes;
    bool rotated;
  };
  for (const Case& c : {Case{size_t(kLogRotateBytes), false}, Case{size_t(kLogRotateBytes) + 1, true}}) {
    SCOPED_TRACE(c.bytes);
    writeFile(path, c.bytes, 'x');
    writeFile(older, 10, 'o');  // an older one is replaced
    {
      const LogSession session;
      const LogSession nested;  // a nested session rotates nothing more
      LogAppend("%s\n", marker.c_str());
    }
    LogAppend("outside\n");  // entries alone never rotate, also past the bound
    const std::string text = FileText(path);
    if (c.rotated) {
      EXPECT_EQ(text, marker + "\r\noutside\r\n");
      EXPECT_EQ(FileText(older).size(), c.bytes);
    } else {
      EXPECT_EQ(text.size(), c.bytes + marker.size() + 11);
      EXPECT_EQ(text.substr(c.bytes), marker + "\r\noutside\r\n");
      EXPECT_EQ(FileText(older), "oooooooooo");
    }
  }
  std::remove(path.c_str());
  std::remove(older.c_str());
}

// Host processes that log at once, each beginning a session while the log is over the bound: the
// old log is the very one that was over the bound. The log used to be renamed by name after it was
// measured, so a second process could rename the first one's fresh log over the old one, and every
// entry of the old one was lost. A race: each round gives it another chance to show, with the
// processes' first steps made beforehand, one at a time, so that at the start they all reach the
// log at once.
//
// What else is in the two logs is not counted: other tests' host processes log into the same
// Documents folder meanwhile, and under Wine two processes' appends to one file can land at one
// offset (seen without any rotation: one of two entries written at the same moment is gone),
// where Windows appends each write whole.
TEST_F(PluginLog, ProcessesRotatingAtOnceKeepTheOldLog) {
  wchar_t documents[MAX_PATH] = {};
  ASSERT_EQ(SHGetFolderPathW(nullptr, CSIDL_PERSONAL, nullptr, SHGFP_TYPE_CURRENT, documents), S_OK);
  const std::wstring path = std::wstring(documents) + L"\\ZKVPlugin.log";
  const std::wstring older = std::wstring(documents) + L"\\ZKVPlugin.old.log";
  const std::wstring filling = std::wstring(documents) + L"\\zk-log-rotation-" + std::to_wstring(GetCurrentProcessId());
  const std::wstring writer = TestProgramFolder() + L"\\zk_log_writer.exe";
  constexpr int kWriters = 8, kRounds = 10;
  const std::string overTheBound(size_t(kLogRotateBytes) + 1, 'x');
  for (int round = 1; round <= kRounds; ++round) {
    SCOPED_TRACE("round " + std::to_string(round));
    // Put in place whole, so that another process's entry cannot come before it.
    std::ofstream(std::filesystem::path(filling), std::ios::binary) << overTheBound;
    ASSERT_TRUE(MoveFileExW(filling.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING)) << GetLastError();
    DeleteFileW(older.c_str());
    const std::string stem = "zk-log-rotation-" + std::to_string(GetCurrentProcessId()) + "-" + std::to_string(round);
    const UniqueHandle start(CreateEventA(nullptr, TRUE, FALSE, (stem + "-start").c_str()));
    const UniqueHandle ready(CreateEventA(nullptr, FALSE, FALSE, (stem + "-ready").c_str()));
    ASSERT_TRUE(start.Valid() && ready.Valid());
    std::vector<UniqueHandle> writers;
    for (int w = 1; w <= kWriters; ++w) {
      const std::string text = "writer-" + std::to_string(w);
      std::string command = "\"" + Utf8(writer) + "\" " + stem + "-ready " + stem + "-start " + text + " 1";
      const std::wstring wide = Wide(command);
      std::vector<wchar_t> line(wide.begin(), wide.end());
      line.push_back(L'\0');
      STARTUPINFOW startup = {};
      startup.cb = sizeof startup;
      PROCESS_INFORMATION process = {};
      ASSERT_TRUE(CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process))
          << GetLastError();
      CloseHandle(process.hThread);
      writers.emplace_back(process.hProcess);
      // One at a time: its entry before the start is written alone. A ceiling for a hang.
      ASSERT_EQ(WaitForSingleObject(ready.Get(), 60000), WAIT_OBJECT_0) << text << " never got ready";
    }
    SetEvent(start.Get());
    for (const UniqueHandle& process : writers) {
      // A ceiling for a hang: a writer logs one entry.
      ASSERT_EQ(WaitForSingleObject(process.Get(), 60000), WAIT_OBJECT_0) << "a writer never ended";
      DWORD code = 1;
      GetExitCodeProcess(process.Get(), &code);
      EXPECT_EQ(code, 0u);
    }
    const std::string old = FileText(older);
    EXPECT_TRUE(old.compare(0, overTheBound.size(), overTheBound) == 0)
        << "the old log is not the one over the bound (" << old.size() << " bytes): its entries are lost";
    EXPECT_EQ(FileText(path).find(std::string(1024, 'x')), std::string::npos) << "the log over the bound was kept";
  }
  DeleteFileW(path.c_str());
  DeleteFileW(older.c_str());
}

TEST_F(PluginLog, LongEntriesAndLineEndsAreWrittenWhole) {
  LogIntoTemp();
  const std::string path = TempFolder() + "\\ZKVPlugin.log";
  std::remove(path.c_str());
  const std::string longText(5000, 'a');
  {
    const LogSession session;
    LogAppend("LoadRAW: filename=%s\n", longText.c_str());
    LogAppend("two\nlines\r\n");
  }
  EXPECT_EQ(FileText(path), "LoadRAW: filename=" + longText + "\r\ntwo\r\nlines\r\r\n");
  std::remove(path.c_str());
}

}  // namespace
