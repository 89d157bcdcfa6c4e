// The installer as a person or an administrator runs it, silently, in the test prefix: the module
// lands where the host loads plug-ins from and the stand-in host loads it there; the uninstall
// entry is complete, in the 64-bit view, and names the module's own version; the entry's quiet
// uninstall takes away what the installer put down and nothing of the person's.
#include <gtest/gtest.h>
#include <windows.h>
#include <shlobj.h>

#include <fstream>
#include <iterator>
#include <ostream>
#include <string>
#include <vector>

#include "CompanionInstall.h"
#include "ProcessTree.h"
#include "TestPaths.h"
#include "WindowsOwners.h"

namespace {

constexpr wchar_t kUninstallKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\ZentrastKolvanePlugin";
constexpr wchar_t kModuleName[] = L"ZentrastKolvane.8li";
constexpr wchar_t kPersonsFileName[] = L"my notes.txt";
// The folder the tests choose with /D=; blanks in it, as in most real ones.
constexpr wchar_t kChosenFolder[] = L"C:\\Photo Tools\\Plug-ins\\Zentrast Kolvane";

std::wstring ShellFolder(int id) {
  wchar_t path[MAX_PATH] = {};
  SHGetFolderPathW(nullptr, id, nullptr, SHGFP_TYPE_CURRENT, path);
  return path;
}

std::wstring SharedPluginsFolder() { return ShellFolder(CSIDL_PROGRAM_FILES_COMMON) + L"\\Adobe\\Plug-ins\\CC"; }
std::wstring DefaultInstallFolder() { return SharedPluginsFolder() + L"\\Zentrast Kolvane"; }

bool Exists(const std::wstring& path) { return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

std::string FileBytes(const std::wstring& path) {
  std::ifstream in(path.c_str(), std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void WriteBytes(const std::wstring& path, const std::string& bytes) {
  std::ofstream(path.c_str(), std::ios::binary) << bytes;
}

// "ProductVersion" of a file's version block.
std::wstring ProductVersion(const std::wstring& file) {
  DWORD ignored = 0;
  std::vector<BYTE> block(GetFileVersionInfoSizeW(file.c_str(), &ignored));
  if (block.empty() || !GetFileVersionInfoW(file.c_str(), 0, DWORD(block.size()), block.data())) return L"";
  wchar_t* value = nullptr;
  UINT size = 0;
  if (!VerQueryValueW(block.data(), L"\\StringFileInfo\\040904b0\\ProductVersion", reinterpret_cast<void**>(&value),
                      &size)) {
    return L"";
  }
  return value;
}

// A value of the uninstall entry in one registry view; false when the entry or value is missing.
bool EntryValue(const wchar_t* name, std::wstring* value, REGSAM view = KEY_WOW64_64KEY) {
  UniqueRegistryKey key;
  if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, kUninstallKey, 0, KEY_READ | view, key.Address()) != ERROR_SUCCESS) return false;
  wchar_t data[1024] = {};
  DWORD size = sizeof data - sizeof data[0];
  DWORD type = 0;
  if (RegQueryValueExW(key.Get(), name, nullptr, &type, reinterpret_cast<BYTE*>(data), &size) != ERROR_SUCCESS ||
      type != REG_SZ) {
    return false;
  }
  *value = data;
  return true;
}

bool EntryExists(REGSAM view = KEY_WOW64_64KEY) {
  UniqueRegistryKey key;
  return RegOpenKeyExW(HKEY_LOCAL_MACHINE, kUninstallKey, 0, KEY_READ | view, key.Address()) == ERROR_SUCCESS;
}

// The program of a command line that starts with a quoted path.
std::wstring QuotedProgram(const std::wstring& commandLine) {
  if (commandLine.size() < 2 || commandLine[0] != L'"') return L"";
  const size_t end = commandLine.find(L'"', 1);
  return end == std::wstring::npos ? L"" : commandLine.substr(1, end - 1);
}

bool StartsWith(const std::wstring& text, const std::wstring& start) {
  return text.size() >= start.size() && CompareStringOrdinal(text.c_str(), int(start.size()), start.c_str(),
                                                             int(start.size()), TRUE) == CSTR_EQUAL;
}

// The installer built beside the tests, named with the version of the module it holds.
std::wstring InstallerPath() {
  return TestProgramFolder() + L"\\installer\\ZentrastKolvane-" + ProductVersion(ModulePath()) + L"-Setup.exe";
}

ProcessTreeRun RunInstaller(const std::wstring& arguments) { return RunProcessTree(L"\"" + InstallerPath() + L"\" " + arguments); }

ProcessTreeRun RunQuietUninstall() {
  std::wstring commandLine;
  if (!EntryValue(L"QuietUninstallString", &commandLine)) return ProcessTreeRun();
  return RunProcessTree(commandLine);
}

// What the person has that the plug-in's uninstaller must leave alone: the companion's remembered
// folder and the plug-in log. The log's earlier text is put back afterwards.
class PersonsThings {
 public:
  PersonsThings()
      : logPath(ShellFolder(CSIDL_PERSONAL) + L"\\ZKVPlugin.log"), hadLog(Exists(logPath)), earlierLog(FileBytes(logPath)) {
    install.SetPath(remembered);
    WriteBytes(logPath, log);
  }
  ~PersonsThings() {
    if (hadLog) {
      WriteBytes(logPath, earlierLog);
    } else {
      DeleteFileW(logPath.c_str());
    }
  }
  void ExpectKept() const {
    std::string path;
    EXPECT_TRUE(install.ReadPath(&path)) << "the companion's remembered folder is gone";
    EXPECT_EQ(path, remembered);
    EXPECT_EQ(FileBytes(logPath), log) << "the plug-in log was changed";
  }

 private:
  CompanionInstall install;  // starts from no key and leaves none
  const std::string remembered = std::string("D:\\Photo Apps\\Zentrast Kolvane") + '\0';
  const std::string log = "LoadRAW: a line of the person's log\r\n";
  const std::wstring logPath;
  const bool hadLog;
  const std::string earlierLog;
};

class Installer : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(Exists(InstallerPath())) << "no installer named for the module's version " << testing::PrintToString(InstallerPath());
    RemoveLeftovers();
  }
  void TearDown() override { RemoveLeftovers(); }

  // A failed run must not leave an installation for the next test to find.
  static void RemoveLeftovers() {
    std::wstring uninstaller;
    if (EntryValue(L"UninstallString", &uninstaller)) DeleteFileW(QuotedProgram(uninstaller).c_str());
    RegDeleteKeyExW(HKEY_LOCAL_MACHINE, kUninstallKey, KEY_WOW64_64KEY, 0);
    for (const std::wstring& folder : {DefaultInstallFolder(), std::wstring(kChosenFolder)}) {
      DeleteFileW((folder + L"\\" + kModuleName).c_str());
      DeleteFileW((folder + L"\\" + kPersonsFileName).c_str());
      RemoveDirectoryW(folder.c_str());
    }
    // The installer made the chosen folder's parents too; they go when empty.
    std::wstring parent = kChosenFolder;
    while ((parent = parent.substr(0, parent.find_last_of(L'\\'))).size() > 2) RemoveDirectoryW(parent.c_str());
  }
};

struct InstallCase {
  const char* what;
  std::wstring chosenFolder;  // empty: the default folder; otherwise given with /D=
  bool personsFileInFolder;   // a file of the person's already lies in the install folder
};

void PrintTo(const InstallCase& c, std::ostream* out) { *out << c.what; }

class InstallAndUninstall : public Installer, public testing::WithParamInterface<InstallCase> {};

TEST_P(InstallAndUninstall, TheHostLoadsTheInstalledModuleAndTheQuietUninstallTakesAwayOnlyWhatWasInstalled) {
  const InstallCase& c = GetParam();
  const PersonsThings person;
  const std::wstring folder = c.chosenFolder.empty() ? DefaultInstallFolder() : c.chosenFolder;
  const std::wstring module = folder + L"\\" + kModuleName;
  const std::wstring personsFile = folder + L"\\" + kPersonsFileName;
  if (c.personsFileInFolder) {
    SHCreateDirectoryExW(nullptr, folder.c_str(), nullptr);
    WriteBytes(personsFile, "mine");
  }

  // /D= must come last and is taken whole, blanks included.
  const ProcessTreeRun install = RunInstaller(c.chosenFolder.empty() ? L"/S" : L"/S /D=" + c.chosenFolder);
  ASSERT_TRUE(install.started) << install.startError;
  ASSERT_TRUE(install.ended);
  EXPECT_EQ(install.exitCode, 0u) << install.output;
  ASSERT_TRUE(Exists(module));
  EXPECT_EQ(FileBytes(module), FileBytes(ModulePath())) << "not the module that was built";

  // The entry: in the 64-bit view only, with the module's version and the folder it went to.
  const std::wstring version = ProductVersion(ModulePath());
  std::wstring value, uninstall, quietUninstall;
  EXPECT_TRUE(EntryValue(L"DisplayName", &value));
  EXPECT_EQ(value, L"Zentrast Kolvane Plug-In");
  EXPECT_TRUE(EntryValue(L"DisplayVersion", &value));
  EXPECT_EQ(value, version);
  EXPECT_TRUE(EntryValue(L"InstallLocation", &value));
  EXPECT_EQ(value, folder);
  ASSERT_TRUE(EntryValue(L"UninstallString", &uninstall));
  ASSERT_TRUE(EntryValue(L"QuietUninstallString", &quietUninstall));
  EXPECT_EQ(quietUninstall, uninstall + L" /S");
  EXPECT_FALSE(EntryExists(KEY_WOW64_32KEY)) << "the entry is in the 32-bit view";
  const std::wstring uninstaller = QuotedProgram(uninstall);
  EXPECT_TRUE(Exists(uninstaller)) << testing::PrintToString(uninstall);
  EXPECT_FALSE(StartsWith(uninstaller, SharedPluginsFolder())) << "the host would scan the uninstaller";
  EXPECT_FALSE(StartsWith(uninstaller, folder + L"\\"));
  EXPECT_EQ(ProductVersion(InstallerPath()), version) << "the installer's own version block";

  // The stand-in host finds the module in that folder, loads it and calls it.
  const ProcessTreeRun host = RunProcessTree(L"\"" + TestProgramFolder() + L"\\zkhost.exe\" --plugins \"" + folder +
                                             L"\" --list --about \"Zentrast Kolvane...\" --answer escape");
  ASSERT_TRUE(host.ended);
  EXPECT_EQ(host.exitCode, 0u) << host.output;
  for (const char* part : {"  Zentrast Kolvane...    [ZentrastKolvane.8li]", "Loading \"Zentrast Kolvane...\" from ZentrastKolvane.8li",
                           "SP Interface/About -> 0"}) {
    EXPECT_NE(host.output.find(part), std::string::npos) << part << "\n" << host.output;
  }

  const ProcessTreeRun uninstallRun = RunQuietUninstall();
  ASSERT_TRUE(uninstallRun.started) << uninstallRun.startError;
  ASSERT_TRUE(uninstallRun.ended);
  EXPECT_EQ(uninstallRun.exitCode, 0u) << uninstallRun.output;
  EXPECT_FALSE(Exists(module));
  EXPECT_FALSE(EntryExists());
  EXPECT_FALSE(Exists(uninstaller));
  if (c.personsFileInFolder) {
    EXPECT_EQ(FileBytes(personsFile), "mine");
  } else {
    EXPECT_FALSE(Exists(folder)) << "the empty install folder stayed";
  }
  EXPECT_TRUE(Exists(SharedPluginsFolder())) << "the host's shared plug-ins folder is not the installer's to remove";
  person.ExpectKept();
}

INSTANTIATE_TEST_SUITE_P(Folders, InstallAndUninstall,
                         testing::Values(InstallCase{"default folder", L"", false},
                                         InstallCase{"folder chosen with /D=, holding a file of the person's",
                                                     kChosenFolder, true}));

// An update run without /D= goes to the folder of the installed version, not to the default one.
TEST_F(Installer, AnUpdateGoesWhereTheInstalledVersionIs) {
  const std::wstring chosen = kChosenFolder;
  ASSERT_EQ(RunInstaller(L"/S /D=" + chosen).exitCode, 0u);
  ASSERT_EQ(RunInstaller(L"/S").exitCode, 0u);
  EXPECT_FALSE(Exists(DefaultInstallFolder() + L"\\" + kModuleName)) << "a second copy in the default folder";
  std::wstring location;
  EXPECT_TRUE(EntryValue(L"InstallLocation", &location));
  EXPECT_EQ(location, chosen);

  ASSERT_TRUE(RunQuietUninstall().ended);
  EXPECT_FALSE(Exists(chosen + L"\\" + kModuleName));
  EXPECT_FALSE(EntryExists());
}

// The host holds a module it has loaded open, so it can be neither replaced nor removed while the
// host runs. A silent install must then fail, not report success with the old module in place; an
// uninstall must keep the entry, so that the module can still be uninstalled afterwards.
TEST_F(Installer, AModuleHeldOpenByTheHostIsNeitherReportedReplacedNorForgotten) {
  ASSERT_EQ(RunInstaller(L"/S").exitCode, 0u);
  const std::wstring module = DefaultInstallFolder() + L"\\" + kModuleName;
  UniqueFile held(CreateFileW(module.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
  ASSERT_TRUE(held.Valid());

  const ProcessTreeRun again = RunInstaller(L"/S");
  ASSERT_TRUE(again.ended);
  EXPECT_NE(again.exitCode, 0u) << "a silent install that could not write the module reported success";

  ASSERT_TRUE(RunQuietUninstall().ended);
  EXPECT_TRUE(Exists(module));
  EXPECT_TRUE(EntryExists()) << "the entry went while the module stayed";

  held.Reset();
  ASSERT_TRUE(RunQuietUninstall().ended);
  EXPECT_FALSE(Exists(module));
  EXPECT_FALSE(EntryExists());
}

}  // namespace
