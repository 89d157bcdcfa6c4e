#include "HostProgram.h"

#include <windows.h>

#include <cstring>
#include <vector>

#include "LongestPath.h"
#include "ReportText.h"
#include "StandardUtf8.h"

namespace {

constexpr DWORD kFixedInfoSignature = 0xFEEF04BD;

// The fixed part of the process's own version resource, read from its image: no version library.
bool ProgramVersion(VS_FIXEDFILEINFO* info) {
  const HMODULE program = GetModuleHandleW(nullptr);
  const HRSRC found = FindResourceW(program, MAKEINTRESOURCEW(VS_VERSION_INFO), MAKEINTRESOURCEW(16) /* RT_VERSION */);
  const HGLOBAL loaded = found != nullptr ? LoadResource(program, found) : nullptr;
  const auto* bytes = static_cast<const uint8_t*>(loaded != nullptr ? LockResource(loaded) : nullptr);
  const DWORD size = found != nullptr ? SizeofResource(program, found) : 0;
  if (bytes == nullptr) return false;
  for (DWORD offset = 0; offset + sizeof(VS_FIXEDFILEINFO) <= size; offset += 4) {
    DWORD signature = 0;
    std::memcpy(&signature, bytes + offset, sizeof signature);
    if (signature != kFixedInfoSignature) continue;
    std::memcpy(info, bytes + offset, sizeof *info);
    return true;
  }
  return false;
}

}  // namespace

std::string HostProgramText() {
  std::vector<wchar_t> path(kLongestPathUnits, L'\0');
  const DWORD length = GetModuleFileNameW(nullptr, path.data(), DWORD(path.size()));
  const std::wstring program(path.data(), length < path.size() ? length : 0);
  std::string text = UnitsToStandardUtf8(std::u16string(program.begin(), program.end()));
  VS_FIXEDFILEINFO info = {};
  if (!ProgramVersion(&info)) return text + ", no version resource";
  return text + ", version " + std::to_string(HIWORD(info.dwFileVersionMS)) + "." +
         std::to_string(LOWORD(info.dwFileVersionMS)) + "." + std::to_string(HIWORD(info.dwFileVersionLS)) + "." +
         std::to_string(LOWORD(info.dwFileVersionLS));
}
