// zkhost.exe as a program: its output and exit codes against the fixture plug-ins.
#include "ImageFiles.h"
#include "TemporaryFolder.h"
#include "TextConvert.h"

#include <gtest/gtest.h>

#include "WindowsOwners.h"

#include <windows.h>

#include <ostream>
#include <string>
#include <vector>

namespace {

std::wstring ProgramFolder() {
  wchar_t path[MAX_PATH] = {};
  GetModuleFileNameW(nullptr, path, MAX_PATH);
  std::wstring folder(path);
  return folder.substr(0, folder.find_last_of(L"\\/"));
}


struct ProgramRun {
  DWORD exitCode = 0xFFFFFFFF;
  std::string output;  // standard output and standard error together
};

ProgramRun RunZkHost(const std::wstring& arguments) {
  ProgramRun run;
  // Under Wine the first process that needs the desktop starts the desktop process, which then
  // inherits that process's inheritable handles. Started from zkhost it would hold the pipe's write
  // end below and keep the read from ever ending, so the desktop is made to exist beforehand.
  GetDesktopWindow();
  SECURITY_ATTRIBUTES inherit = {sizeof inherit, nullptr, TRUE};
  UniqueHandle readEnd, writeEnd;
  if (!CreatePipe(readEnd.Address(), writeEnd.Address(), &inherit, 0)) return run;
  SetHandleInformation(readEnd.Get(), HANDLE_FLAG_INHERIT, 0);
  STARTUPINFOW startup = {};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdOutput = writeEnd.Get();
  startup.hStdError = writeEnd.Get();
  startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
  std::wstring program = ProgramFolder() + L"\\zkhost.exe";
  std::wstring commandLine = L"\"" + program + L"\" " + arguments;
  PROCESS_INFORMATION process = {};
  if (!CreateProcessW(program.c_str(), &commandLine[0], nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup,
                      &process)) {
    return run;
  }
  UniqueHandle processHandle(process.hProcess), threadHandle(process.hThread);
  writeEnd.Reset();  // the child holds the only write end now: reading ends when it exits
  char buffer[4096];
  DWORD read = 0;
  while (ReadFile(readEnd.Get(), buffer, sizeof buffer, &read, nullptr) && read > 0) run.output.append(buffer, read);
  WaitForSingleObject(processHandle.Get(), 30000);
  GetExitCodeProcess(processHandle.Get(), &run.exitCode);
  return run;
}

std::wstring Plugins() { return L"--plugins \"" + ProgramFolder() + L"\\fixture-plugins\" "; }

struct ProgramCase {
  const char* what;
  std::wstring arguments;
  DWORD exitCode;
  std::vector<const char*> outputParts;
};

void PrintTo(const ProgramCase& c, std::ostream* out) { *out << c.what; }

class ZkHostProgram : public testing::TestWithParam<ProgramCase> {};

TEST_P(ZkHostProgram, PrintsAndExits) {
  ProgramRun run = RunZkHost(GetParam().arguments);
  EXPECT_EQ(GetParam().exitCode, run.exitCode) << run.output;
  for (const char* part : GetParam().outputParts) {
    EXPECT_NE(std::string::npos, run.output.find(part)) << part << "\n" << run.output;
  }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ZkHostProgram,
    testing::Values(
        ProgramCase{"list",
                    Plugins() + L"--list",
                    0,
                    {"Automation menu:", "  Fixture Automation...    [Good.8li] event \"Fixture Event\"",
                     "Not in the menu: Filter.8li: skipped: its kind is '8BFM'"}},
        ProgramCase{"about and do it",
                    Plugins() + L"--about \"Fixture Automation...\" --doit \"Fixture Automation...\"",
                    0,
                    {"Loading \"Fixture Automation...\" from Good.8li", "  SP Access/Reload -> 0",
                     "  SP Interface/About -> 0", "  PS Photoshop/Do It -> 0", "  SP Access/Unload -> 0",
                     "  AS ZString Suite: acquired 1, released 1", "Host objects left: none",
                     "Open documents after the run:"}},
        ProgramCase{"refused suite gives the plug-in's result",
                    Plugins() + L"--refuse-suite \"Photoshop UIHooks Suite for Plug-ins\" --doit \"Fixture Automation...\"",
                    0,
                    {"  PS Photoshop/Do It -> 1394689636 ('S!Fd')"}},
        ProgramCase{"unknown plug-in", Plugins() + L"--about \"No Such Plug-in\"", 4,
                    {"no automation plug-in named \"No Such Plug-in\""}},
        ProgramCase{"module without its entry point", Plugins() + L"--doit \"Fixture Without Entry\"", 5,
                    {"has no exported entry point \"MissingEntry\""}},
        ProgramCase{"missing folder", L"--plugins \"C:\\no such folder\" --list", 3,
                    {"cannot read the plug-ins folder"}},
        ProgramCase{"usage error", L"--plugins x --answer sometimes", 2, {"unknown answer", "usage: zkhost.exe"}},
        ProgramCase{"help needs no plug-ins folder", L"--help", 0, {"usage: zkhost.exe --plugins DIR"}}));

TEST(ZkHostProgramFiles, WritesTheOpenDocumentsAsPng) {
  zk_test::TemporaryFolder folder;
  ProgramRun run =
      RunZkHost(Plugins() + L"--document \"title=Dunes.tif|width=7.2|height=4.8|unit=distance|resolution=50\" " +
                L"--document \"title=Deep|width=3|height=2|depth=16\" --write-documents \"" + folder.Path() + L"\"");
  EXPECT_EQ(0u, run.exitCode) << run.output;
  const std::wstring dunes = folder.Path() + L"\\Dunes.tif.png";
  EXPECT_NE(std::string::npos, run.output.find("Documents written:")) << run.output;
  EXPECT_NE(std::string::npos, run.output.find("  \"Dunes.tif\" -> " + zk::WideToUtf8(dunes))) << run.output;
  zk::ImagePixels image;
  std::string error;
  ASSERT_TRUE(zk::ReadImageFile(dunes, &image, &error)) << error;
  EXPECT_EQ(5, image.width) << "7.2 units of 1/72 inch at 50 pixels per inch";
  EXPECT_EQ(8, image.depth);
  ASSERT_TRUE(zk::ReadImageFile(folder.Path() + L"\\Deep.png", &image, &error)) << error;
  EXPECT_EQ(16, image.depth);
}

}  // namespace
