#include "CheckDialogs.h"

#include <windows.h>
#include <commdlg.h>

#include <vector>

#include "HostCheckResourceIds.h"
#include "LongestPath.h"
#include "StringLoader.h"

namespace {

// Raw formats first; any file may be picked, since what the raw converter opens is the host's matter.
constexpr wchar_t kRawFilter[] =
    L"Raw files\0*.3fr;*.arw;*.cr2;*.cr3;*.crw;*.dcr;*.dng;*.erf;*.fff;*.iiq;*.kdc;*.mef;*.mos;*.mrw;*.nef;*.nrw;"
    L"*.orf;*.pef;*.raf;*.raw;*.rw2;*.rwl;*.sr2;*.srf;*.srw;*.x3f\0All files\0*.*\0";

int Ask(const std::wstring& text, UINT buttons) {
  return MessageBoxW(GetActiveWindow(), text.c_str(), LoadModuleStringW(IDS_CHECK_CAPTION).c_str(), buttons);
}

}  // namespace

bool AgreesToActions() {
  return Ask(LoadModuleStringW(IDS_CHECK_AGREE), MB_YESNO | MB_DEFBUTTON2 | MB_ICONQUESTION) == IDYES;
}

bool PicksRawFile(std::wstring* path) {
  std::vector<wchar_t> picked(kLongestPathUnits, L'\0');
  const std::wstring title = LoadModuleStringW(IDS_CHECK_PICK_TITLE);
  OPENFILENAMEW dialog = {};
  dialog.lStructSize = sizeof dialog;
  dialog.hwndOwner = GetActiveWindow();
  dialog.lpstrFilter = kRawFilter;
  dialog.nFilterIndex = 1;
  dialog.lpstrFile = picked.data();
  dialog.nMaxFile = kLongestPathUnits;
  dialog.lpstrTitle = title.c_str();
  dialog.Flags = OFN_EXPLORER | OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY | OFN_NOCHANGEDIR;
  if (!GetOpenFileNameW(&dialog)) return false;
  path->assign(picked.data());
  return !path->empty();
}

bool AgreesToCancelTheConverter(const std::wstring& path) {
  return Ask(LoadModuleStringW(IDS_CHECK_PRESS_CANCEL) + L"\n\n" + path, MB_OKCANCEL | MB_ICONINFORMATION) == IDOK;
}

void ShowCheckDone(const std::wstring& text) { Ask(text, MB_OK | MB_ICONINFORMATION); }
