// The installer as a person or an administrator runs it, silently, in the test prefix: the module
// lands where the host loads plug-ins from and the stand-in host loads it there; the uninstall
// entry is complete, in the 64-bit view, and names the module's own version; the entry's quiet
// uninstall takes away what the installer put down (the folders it made included) and nothing of
// the person's, and its exit code says whether it could. A second installation never leaves a
// second copy behind, never takes the module it has just written for an earlier one, and one that
// fails half way leaves what was there before.
#include <gtest/gtest.h>
#include <windows.h>
#include <shlobj.h>

#include <fstream>
#include <iterator>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "CompanionInstall.h"
#include "FolderSpelling.h"
#include "ProcessTree.h"
#include "TestPaths.h"
#include "WindowsOwners.h"

namespace {

constexpr wchar_t kUninstallKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\ZentrastKolvanePlugin";
constexpr wchar_t kModuleName[] = L"ZentrastKolvane.8li";
constexpr wchar_t kPersonsFileName[] = L"my notes.txt";
// The folder the tests choose with /D=; blanks in it, as in most real ones. Its parents are not
// there before the installation: the installer makes all three.
constexpr wchar_t kChosenFolder[] = L"C:\\Photo Tools\\Plug-ins\\Zentrast Kolvane";
constexpr wchar_t kChosenFolderParent[] = L"C:\\Photo Tools\\Plug-ins";
constexpr wchar_t kChosenFolderTop[] = L"C:\\Photo Tools";
// What an earlier installation's module and entry hold in the tests that fake one.
constexpr char kEarlierModuleBytes[] = "the module of an earlier version";
constexpr wchar_t kEarlierVersion[] = L"9.9";

std::wstring ShellFolder(int id) {
  wchar_t path[MAX_PATH] = {};
  SHGetFolderPathW(nullptr, id, nullptr, SHGFP_TYPE_CURRENT, path);
  return path;
}

std::wstring CommonFilesFolder() { return ShellFolder(CSIDL_PROGRAM_FILES_COMMON); }
// The host's own folders: there on a machine with the host, missing on one without it yet.
std::wstring HostsFolder() { return CommonFilesFolder() + L"\\Adobe"; }
std::wstring SharedPluginsFolder() { return HostsFolder() + L"\\Plug-ins\\CC"; }
std::wstring DefaultInstallFolder() { return SharedPluginsFolder() + L"\\Zentrast Kolvane"; }
std::wstring UninstallerFolder() { return ShellFolder(CSIDL_PROGRAM_FILES) + L"\\Zentrast Kolvane Plug-In"; }
std::wstring UninstallerPath() { return UninstallerFolder() + L"\\Uninstall.exe"; }
std::wstring ModuleIn(const std::wstring& folder) { return folder + L"\\" + kModuleName; }

bool Exists(const std::wstring& path) { return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

// Holds a file open as the host holds a module it has loaded: others may read it, but neither
// write nor delete it (Wine refuses both, as Windows does). Made empty when it is missing.
UniqueFile HoldOpen(const std::wstring& path) {
  return UniqueFile(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_ALWAYS, 0, nullptr));
}

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

void SetEntryValue(const wchar_t* name, const std::wstring& value) {
  UniqueRegistryKey key;
  ASSERT_EQ(RegOpenKeyExW(HKEY_LOCAL_MACHINE, kUninstallKey, 0, KEY_SET_VALUE | KEY_WOW64_64KEY, key.Address()),
            ERROR_SUCCESS);
  ASSERT_EQ(RegSetValueExW(key.Get(), name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                           DWORD((value.size() + 1) * sizeof(wchar_t))),
            ERROR_SUCCESS);
}

void DeleteEntryValue(const wchar_t* name) {
  UniqueRegistryKey key;
  ASSERT_EQ(RegOpenKeyExW(HKEY_LOCAL_MACHINE, kUninstallKey, 0, KEY_SET_VALUE | KEY_WOW64_64KEY, key.Address()),
            ERROR_SUCCESS);
  ASSERT_EQ(RegDeleteValueW(key.Get(), name), ERROR_SUCCESS);
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

// The entry's quiet uninstall, started in workingFolder when one is given.
ProcessTreeRun RunQuietUninstall(const std::wstring& workingFolder = std::wstring()) {
  std::wstring commandLine;
  if (!EntryValue(L"QuietUninstallString", &commandLine)) return ProcessTreeRun();
  return RunProcessTree(commandLine, 120000, workingFolder);
}

// The first folder on the way to folder that is not there ("" when folder is): the first one an
// installation into folder makes, and the one its uninstall or roll-back must take away again.
std::wstring FirstMissingFolder(std::wstring folder) {
  std::wstring first;
  while (!Exists(folder)) {
    first = folder;
    const size_t slash = folder.find_last_of(L'\\');
    if (slash == std::wstring::npos) break;
    folder.resize(slash);
  }
  return first;
}

// Removes folder and its parents up to top, each only when empty: what a test that failed half
// way may have left for the next one.
void RemoveEmptyFoldersUpTo(std::wstring folder, const std::wstring& top) {
  while (folder.size() >= top.size() && (RemoveDirectoryW(folder.c_str()) || !Exists(folder)) && folder != top) {
    folder.resize(folder.find_last_of(L'\\'));
  }
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

  // A failed run must not leave an installation for the next test to find, nor folders that would
  // make the next one's folders someone else's. (Each test checks what the installer removed
  // before this runs.)
  static void RemoveLeftovers() {
    std::wstring uninstaller;
    if (EntryValue(L"UninstallString", &uninstaller)) DeleteFileW(QuotedProgram(uninstaller).c_str());
    DeleteFileW(UninstallerPath().c_str());
    RemoveDirectoryW(UninstallerFolder().c_str());
    RegDeleteKeyExW(HKEY_LOCAL_MACHINE, kUninstallKey, KEY_WOW64_64KEY, 0);
    for (const std::wstring& folder : {DefaultInstallFolder(), std::wstring(kChosenFolder)}) {
      DeleteFileW(ModuleIn(folder).c_str());
      DeleteFileW((folder + L"\\" + kPersonsFileName).c_str());
    }
    RemoveEmptyFoldersUpTo(DefaultInstallFolder(), HostsFolder());
    RemoveEmptyFoldersUpTo(kChosenFolder, kChosenFolderTop);
  }

  // /D= must come last and is taken whole, blanks included.
  static ProcessTreeRun InstallInto(const std::wstring& folder) { return RunInstaller(L"/S /D=" + folder); }

  // The quiet uninstall ends with 0 and leaves no module, no entry and no uninstaller.
  static void UninstallCompletely() {
    const ProcessTreeRun uninstall = RunQuietUninstall();
    ASSERT_TRUE(uninstall.started) << "no quiet uninstall registered";
    ASSERT_TRUE(uninstall.ended);
    EXPECT_EQ(uninstall.exitCode, 0u) << uninstall.output;
    for (const std::wstring& folder : {DefaultInstallFolder(), std::wstring(kChosenFolder)}) {
      EXPECT_FALSE(Exists(ModuleIn(folder))) << testing::PrintToString(folder);
    }
    EXPECT_FALSE(EntryExists());
    EXPECT_FALSE(Exists(UninstallerPath()));
    EXPECT_FALSE(Exists(UninstallerFolder())) << "the uninstaller's folder stayed";
  }
};

// What was there before the installation, and what the installer therefore makes and its
// uninstall takes away again (up to a folder the person or the host had made, and no further).
struct InstallCase {
  const char* what;
  std::wstring chosenFolder;  // empty: the default folder; otherwise given with /D=
  std::wstring thereBefore;   // the deepest folder on the way that was there ("": only the drive's and Common Files)
  bool personsFile;           // thereBefore is the install folder and holds a file of the person's
  std::wstring firstMade;     // the first folder the installer makes ("": none)
};

void PrintTo(const InstallCase& c, std::ostream* out) { *out << c.what; }

class InstallAndUninstall : public Installer, public testing::WithParamInterface<InstallCase> {};

TEST_P(InstallAndUninstall, TheHostLoadsTheInstalledModuleAndTheQuietUninstallTakesAwayOnlyWhatWasInstalled) {
  const InstallCase& c = GetParam();
  const PersonsThings person;
  const std::wstring folder = c.chosenFolder.empty() ? DefaultInstallFolder() : c.chosenFolder;
  const std::wstring module = ModuleIn(folder);
  const std::wstring personsFile = folder + L"\\" + kPersonsFileName;
  if (!c.thereBefore.empty()) SHCreateDirectoryExW(nullptr, c.thereBefore.c_str(), nullptr);
  if (c.personsFile) WriteBytes(personsFile, "mine");
  if (!c.firstMade.empty()) {
    ASSERT_FALSE(Exists(c.firstMade)) << "left over from an earlier test";
  }

  const ProcessTreeRun install = c.chosenFolder.empty() ? RunInstaller(L"/S") : InstallInto(c.chosenFolder);
  ASSERT_TRUE(install.started) << install.startError;
  ASSERT_TRUE(install.ended);
  EXPECT_EQ(install.exitCode, 0u) << install.output;
  ASSERT_TRUE(Exists(module));
  // Compared as a whole: a module's bytes printed on failure would bury the message.
  EXPECT_TRUE(FileBytes(module) == FileBytes(ModulePath())) << "not the module that was built";
  EXPECT_FALSE(Exists(folder + L"\\ZentrastKolvaneHostCheck.8li")) << "the host check is never installed";

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
  const std::wstring uninstaller = QuotedProgram(uninstall);
  EXPECT_EQ(uninstaller, UninstallerPath());
  // Run in place (_?=, unquoted and last), the uninstaller's exit code is its outcome.
  EXPECT_EQ(quietUninstall, uninstall + L" /S _?=" + UninstallerFolder());
  EXPECT_FALSE(EntryExists(KEY_WOW64_32KEY)) << "the entry is in the 32-bit view";
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

  UninstallCompletely();
  if (!c.firstMade.empty()) {
    EXPECT_FALSE(Exists(c.firstMade)) << "a folder the installer made stayed: " << testing::PrintToString(c.firstMade);
  }
  if (!c.thereBefore.empty()) {
    EXPECT_TRUE(Exists(c.thereBefore)) << "a folder that was there before was removed: "
                                       << testing::PrintToString(c.thereBefore);
  }
  if (c.personsFile) {
    EXPECT_EQ(FileBytes(personsFile), "mine");
  }
  EXPECT_TRUE(Exists(CommonFilesFolder()));
  person.ExpectKept();
}

INSTANTIATE_TEST_SUITE_P(
    Folders, InstallAndUninstall,
    testing::Values(InstallCase{"default folder, the host's plug-ins folder there", L"", SharedPluginsFolder(), false,
                                DefaultInstallFolder()},
                    InstallCase{"default folder on a machine without the host yet", L"", L"", false, HostsFolder()},
                    InstallCase{"folder chosen with /D=, none of it there", kChosenFolder, L"", false,
                                kChosenFolderTop},
                    InstallCase{"folder chosen with /D=, holding a file of the person's", kChosenFolder,
                                kChosenFolder, true, L""},
                    InstallCase{"folder chosen with /D=, prepared empty by the person", kChosenFolder,
                                kChosenFolder, false, L""}));

// An update run without /D= goes to the folder of the installed version, not to the default one,
// and the uninstall still knows that the first installation made that folder.
TEST_F(Installer, AnUpdateGoesWhereTheInstalledVersionIs) {
  const std::wstring chosen = kChosenFolder;
  ASSERT_EQ(InstallInto(chosen).exitCode, 0u);
  ASSERT_EQ(RunInstaller(L"/S").exitCode, 0u);
  EXPECT_FALSE(Exists(ModuleIn(DefaultInstallFolder()))) << "a second copy in the default folder";
  std::wstring location;
  EXPECT_TRUE(EntryValue(L"InstallLocation", &location));
  EXPECT_EQ(location, chosen);

  UninstallCompletely();
  EXPECT_FALSE(Exists(kChosenFolderTop)) << "the folders the first installation made stayed";
}

// A reinstall into another folder moves the installation: the earlier module goes (the host would
// load both, and no uninstall would remove the first), its folders too when the installer had made
// them; a folder the person had prepared stays.
struct MoveCase {
  const char* what;
  std::wstring from;
  bool fromPrepared;  // the person had made the first folder, empty
  std::wstring to;
};

void PrintTo(const MoveCase& c, std::ostream* out) { *out << c.what; }

class ReinstallElsewhere : public Installer, public testing::WithParamInterface<MoveCase> {};

TEST_P(ReinstallElsewhere, LeavesExactlyOneModule) {
  const MoveCase& c = GetParam();
  if (c.fromPrepared) SHCreateDirectoryExW(nullptr, c.from.c_str(), nullptr);
  const std::wstring firstMadeFrom = FirstMissingFolder(c.from);
  ASSERT_EQ(InstallInto(c.from).exitCode, 0u);
  ASSERT_TRUE(Exists(ModuleIn(c.from)));

  const std::wstring firstMadeTo = FirstMissingFolder(c.to);
  ASSERT_FALSE(firstMadeTo.empty());
  const ProcessTreeRun again = InstallInto(c.to);
  ASSERT_TRUE(again.ended);
  EXPECT_EQ(again.exitCode, 0u) << again.output;
  EXPECT_TRUE(Exists(ModuleIn(c.to)));
  EXPECT_FALSE(Exists(ModuleIn(c.from))) << "the earlier copy stayed";
  if (c.fromPrepared) {
    EXPECT_TRUE(Exists(c.from)) << "the folder the person had prepared was removed";
  } else {
    EXPECT_FALSE(Exists(firstMadeFrom)) << "the folders the earlier installation made stayed: "
                                        << testing::PrintToString(firstMadeFrom);
  }
  std::wstring location;
  EXPECT_TRUE(EntryValue(L"InstallLocation", &location));
  EXPECT_EQ(location, c.to);

  UninstallCompletely();
  EXPECT_FALSE(Exists(firstMadeTo)) << "the folders the installation made stayed: " << testing::PrintToString(firstMadeTo);
}

INSTANTIATE_TEST_SUITE_P(Folders, ReinstallElsewhere,
                         testing::Values(MoveCase{"from the default folder to a chosen one", DefaultInstallFolder(), false,
                                                  kChosenFolder},
                                         MoveCase{"from a prepared folder to the default one", kChosenFolder, true,
                                                  DefaultInstallFolder()}));

// The host holds a module it has loaded open, so it can be neither replaced nor removed while the
// host runs. A silent install must then fail, not report success with the old module in place; a
// quiet uninstall must say it failed and keep the entry, so that the module can still be
// uninstalled afterwards. (The quiet uninstall once handed its work to a copy of itself and ended
// with 0 at once, whatever the copy then found.)
TEST_F(Installer, AModuleHeldOpenByTheHostIsNeitherReportedReplacedNorForgotten) {
  ASSERT_EQ(RunInstaller(L"/S").exitCode, 0u);
  const std::wstring module = ModuleIn(DefaultInstallFolder());
  UniqueFile held = HoldOpen(module);
  ASSERT_TRUE(held.Valid());

  const ProcessTreeRun again = RunInstaller(L"/S");
  ASSERT_TRUE(again.ended);
  EXPECT_NE(again.exitCode, 0u) << "a silent install that could not write the module reported success";

  const ProcessTreeRun uninstall = RunQuietUninstall();
  ASSERT_TRUE(uninstall.ended);
  EXPECT_NE(uninstall.exitCode, 0u) << "a quiet uninstall that could not remove the module reported success";
  EXPECT_TRUE(Exists(module));
  EXPECT_TRUE(EntryExists()) << "the entry went while the module stayed";
  EXPECT_TRUE(Exists(UninstallerPath())) << "the uninstaller went while the module stayed";

  held.Reset();
  UninstallCompletely();
}

// An installation that fails after it has written the module puts back what was there: nothing
// at all, or the earlier installation as it was (its module, its entry), so that no file is left
// that no uninstall can remove and no earlier installation is lost. The failure is forced by
// holding a file open that the installer must write or remove.
enum class Earlier { None, InDefaultFolder };
enum class Held { Uninstaller, EarlierModule };

struct FailureCase {
  const char* what;
  Earlier earlier;
  std::wstring folder;  // where the failing installation goes
  Held held;
};

void PrintTo(const FailureCase& c, std::ostream* out) { *out << c.what; }

class FailedInstall : public Installer, public testing::WithParamInterface<FailureCase> {};

TEST_P(FailedInstall, PutsBackWhatWasThere) {
  const FailureCase& c = GetParam();
  const std::wstring earlierModule = ModuleIn(DefaultInstallFolder());
  if (c.earlier == Earlier::InDefaultFolder) {
    ASSERT_EQ(InstallInto(DefaultInstallFolder()).exitCode, 0u);
    WriteBytes(earlierModule, kEarlierModuleBytes);
    ASSERT_NO_FATAL_FAILURE(SetEntryValue(L"DisplayVersion", kEarlierVersion));
  } else {
    SHCreateDirectoryExW(nullptr, UninstallerFolder().c_str(), nullptr);
  }
  UniqueFile held = HoldOpen(c.held == Held::Uninstaller ? UninstallerPath() : earlierModule);
  ASSERT_TRUE(held.Valid());
  const std::wstring firstMade = FirstMissingFolder(c.folder);

  const ProcessTreeRun install = InstallInto(c.folder);
  ASSERT_TRUE(install.ended);
  EXPECT_NE(install.exitCode, 0u) << "a failed installation reported success";
  held.Reset();

  if (c.earlier == Earlier::None) {
    EXPECT_FALSE(Exists(ModuleIn(c.folder))) << "the module stayed without an uninstall entry";
    EXPECT_FALSE(Exists(firstMade)) << "the folders the installation made stayed: " << testing::PrintToString(firstMade);
    EXPECT_FALSE(EntryExists());
    return;
  }
  EXPECT_TRUE(FileBytes(earlierModule) == kEarlierModuleBytes) << "the earlier module is lost";
  std::wstring value;
  EXPECT_TRUE(EntryValue(L"DisplayVersion", &value));
  EXPECT_EQ(value, kEarlierVersion);
  EXPECT_TRUE(EntryValue(L"InstallLocation", &value));
  EXPECT_EQ(value, DefaultInstallFolder());
  if (!firstMade.empty()) {
    EXPECT_FALSE(Exists(firstMade)) << "the folders the failed installation made stayed: "
                                    << testing::PrintToString(firstMade);
  }
  // What was put back is a whole installation again.
  UninstallCompletely();
  EXPECT_FALSE(Exists(HostsFolder()));
}

INSTANTIATE_TEST_SUITE_P(
    AfterTheModule, FailedInstall,
    testing::Values(FailureCase{"first installation; the uninstaller cannot be written", Earlier::None,
                                DefaultInstallFolder(), Held::Uninstaller},
                    FailureCase{"update in place; the uninstaller cannot be written", Earlier::InDefaultFolder,
                                DefaultInstallFolder(), Held::Uninstaller},
                    FailureCase{"reinstall into another folder; the earlier module cannot be removed",
                                Earlier::InDefaultFolder, kChosenFolder, Held::EarlierModule}));

// A reinstall into the folder of the installation, spelled another way, is an update in place.
// The installer once decided "the same folder" on the spelling (short names compared as text) and
// took two spellings of one folder for two: it wrote the new module, then removed "the earlier
// module" (the same file) and ended with 0, leaving the host without a module.
enum class Spelling { DriveLetter, Link, LetterCase };

struct SpellingCase {
  const char* what;
  Spelling spelling;
};

void PrintTo(const SpellingCase& c, std::ostream* out) { *out << c.what; }

class SameFolderSpelledAnotherWay : public Installer, public testing::WithParamInterface<SpellingCase> {};

TEST_P(SameFolderSpelledAnotherWay, IsUpdatedInPlaceAndKeepsItsModule) {
  const SpellingCase& c = GetParam();
  ASSERT_EQ(InstallInto(kChosenFolder).exitCode, 0u);
  const std::wstring module = ModuleIn(kChosenFolder);
  WriteBytes(module, kEarlierModuleBytes);

  // The chosen folder's parent reached another way; the module's folder below it.
  std::unique_ptr<FolderSpelling> other;
  std::wstring parent = L"C:\\PHOTO TOOLS\\plug-ins";
  if (c.spelling != Spelling::LetterCase) {
    other.reset(c.spelling == Spelling::DriveLetter
                    ? new FolderSpelling(SpellingKind::Drive, kChosenFolderParent)
                    : new FolderSpelling(SpellingKind::Link, kChosenFolderParent, L"C:\\Plug-in Links"));
    ASSERT_FALSE(other->Path().empty()) << other->Error();
    parent = other->Path();
  }
  const std::wstring otherSpelling = parent + L"\\Zentrast Kolvane";
  ASSERT_TRUE(Exists(ModuleIn(otherSpelling))) << "not the same folder";

  const ProcessTreeRun again = InstallInto(otherSpelling);
  ASSERT_TRUE(again.ended);
  EXPECT_EQ(again.exitCode, 0u) << again.output;
  ASSERT_TRUE(Exists(module)) << "the installer removed the module it had just written";
  EXPECT_TRUE(FileBytes(module) == FileBytes(ModulePath())) << "not the module that was built";
  // Nothing moved: the entry keeps the first spelling, and what the first installation made.
  std::wstring location;
  EXPECT_TRUE(EntryValue(L"InstallLocation", &location));
  EXPECT_EQ(location, kChosenFolder);

  other.reset();
  UninstallCompletely();
  EXPECT_FALSE(Exists(kChosenFolderTop)) << "the folders the first installation made stayed";
}

INSTANTIATE_TEST_SUITE_P(
    Spellings, SameFolderSpelledAnotherWay,
    testing::Values(SpellingCase{"a drive letter for the folder's parent, as subst makes", Spelling::DriveLetter},
                    SpellingCase{"a link to the folder's parent, as a junction makes", Spelling::Link},
                    SpellingCase{"other letter case", Spelling::LetterCase}));

// An entry that does not say where the module is (InstallLocation removed or emptied, as registry
// cleaners and hand edits leave it, or naming a drive that is not there now): the uninstall ends
// with non-zero and keeps the entry and the uninstaller. It once removed nothing, reported 0 and
// left the module where the host loads it, with no uninstall left to reach it.
enum class Damage { LocationMissing, LocationEmpty, DriveNotThere };

struct DamageCase {
  const char* what;
  Damage damage;
};

void PrintTo(const DamageCase& c, std::ostream* out) { *out << c.what; }

class DamagedEntry : public Installer, public testing::WithParamInterface<DamageCase> {};

TEST_P(DamagedEntry, IsNeverReportedUninstalled) {
  const DamageCase& c = GetParam();
  ASSERT_EQ(InstallInto(kChosenFolder).exitCode, 0u);
  switch (c.damage) {
    case Damage::LocationMissing:
      ASSERT_NO_FATAL_FAILURE(DeleteEntryValue(L"InstallLocation"));
      break;
    case Damage::LocationEmpty:
      ASSERT_NO_FATAL_FAILURE(SetEntryValue(L"InstallLocation", L""));
      break;
    case Damage::DriveNotThere: {
      std::wstring drive;
      for (wchar_t letter = L'Y'; letter > L'M' && drive.empty(); --letter) {
        if (!(GetLogicalDrives() & (1u << (letter - L'A')))) drive = std::wstring(1, letter) + L":";
      }
      ASSERT_FALSE(drive.empty()) << "no drive letter is free";
      ASSERT_NO_FATAL_FAILURE(SetEntryValue(L"InstallLocation", drive + L"\\Plug-ins\\Zentrast Kolvane"));
      break;
    }
  }

  const ProcessTreeRun uninstall = RunQuietUninstall();
  ASSERT_TRUE(uninstall.ended);
  EXPECT_NE(uninstall.exitCode, 0u) << "an uninstall that could not reach the module reported success";
  EXPECT_TRUE(Exists(ModuleIn(kChosenFolder)));
  EXPECT_TRUE(EntryExists()) << "the entry went while the module stayed";
  EXPECT_TRUE(Exists(UninstallerPath())) << "the uninstaller went while the module stayed";

  // Once the entry names the folder again, the same uninstaller removes everything.
  ASSERT_NO_FATAL_FAILURE(SetEntryValue(L"InstallLocation", kChosenFolder));
  UninstallCompletely();
  EXPECT_FALSE(Exists(kChosenFolderTop));
}

INSTANTIATE_TEST_SUITE_P(Entries, DamagedEntry,
                         testing::Values(DamageCase{"InstallLocation missing", Damage::LocationMissing},
                                         DamageCase{"InstallLocation empty", Damage::LocationEmpty},
                                         DamageCase{"InstallLocation on a drive that is not there",
                                                    Damage::DriveNotThere}));

// A quiet uninstall started from inside the uninstaller's folder (its working folder there, as
// after "cd" into it) still removes that folder: the helper copy that removes the uninstaller once
// the uninstall has ended works in the temporary folder. It once inherited the working folder and
// so kept the folder it was to remove in use.
TEST_F(Installer, AQuietUninstallStartedInsideTheUninstallersFolderRemovesIt) {
  ASSERT_EQ(RunInstaller(L"/S").exitCode, 0u);
  const ProcessTreeRun uninstall = RunQuietUninstall(UninstallerFolder());
  ASSERT_TRUE(uninstall.started);
  ASSERT_TRUE(uninstall.ended);
  EXPECT_EQ(uninstall.exitCode, 0u) << uninstall.output;
  EXPECT_FALSE(Exists(UninstallerPath()));
  EXPECT_FALSE(Exists(UninstallerFolder())) << "the uninstaller's folder stayed";
}

}  // namespace
