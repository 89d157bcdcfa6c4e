#include "CommandLine.h"

#include <gtest/gtest.h>

namespace {

struct SuffixCase {
  const wchar_t* commandLine;
  const wchar_t* suffix;
};

// The plug-in's line is unquoted with two blanks after -s (what a Windows child sees);
// Wine hands the child a re-quoted line, so both shapes must give the same suffix.
const SuffixCase kCases[] = {
    {L"C:\\Program Files\\ZentrastKolvane4\\ZentrastKolvane.exe -s  ZentrastKolvane5120", L"ZentrastKolvane5120"},
    {L"\"C:\\Program Files\\ZentrastKolvane4\\ZentrastKolvane.exe\" -s  ZentrastKolvane5120", L"ZentrastKolvane5120"},
    {L"D:\\Apps\\ZK\\ZentrastKolvane.exe -s ZentrastKolvane7", L"ZentrastKolvane7"},
    {L"D:\\Apps\\ZK\\ZentrastKolvane.exe -s  ZentrastKolvane7  \t", L"ZentrastKolvane7"},
    {L"D:\\Apps\\ZK\\ZentrastKolvane.exe -s\tZentrastKolvane7", L"ZentrastKolvane7"},
    // A folder whose name holds " -s ": the last one is the switch.
    {L"C:\\Tools -s copy\\ZentrastKolvane.exe -s  ZentrastKolvane42", L"ZentrastKolvane42"},
    {L"C:\\ZK\\ZentrastKolvane.exe", L""},
    {L"C:\\ZK\\ZentrastKolvane.exe -s", L""},
    {L"C:\\ZK\\ZentrastKolvane.exe -s    ", L""},
    {L"C:\\ZK\\ZentrastKolvane.exe -sZentrastKolvane1", L""},
    {L"C:\\ZK\\ZentrastKolvane.exe --s ZentrastKolvane1", L""},
};

TEST(CompanionCommandLine, SuffixIsTheTextAfterTheLastSwitch) {
  for (const SuffixCase& c : kCases) {
    EXPECT_EQ(zk::PipeSuffixFromCommandLine(c.commandLine), c.suffix) << "line: " << testing::PrintToString(std::wstring(c.commandLine));
  }
}

}  // namespace
