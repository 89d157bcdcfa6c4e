// Where the companion application is installed: the remembered folder in the user's registry,
// the default folder, or a folder the user browses to.
#pragma once

#include <windows.h>

#include <string>

constexpr char kCompanionRegistryKey[] = "Software\\Varnholt\\ZentrastTavri";
constexpr char kCompanionRegistryValue[] = "Path";
constexpr wchar_t kDefaultCompanionFolder[] = L"C:\\Program Files\\ZentrastKolvane4";
constexpr wchar_t CompanionExeName[] = L"ZentrastKolvane.exe";
constexpr DWORD kLongestRegistryValue = 259;

// The folder that holds the executable, without a trailing backslash, or empty.
std::wstring FindCompanionFolder();

// Lets the user pick the executable; remembers and returns its folder, or empty on cancel.
std::wstring BrowseForCompanionFolder(HWND owner);

// Writes the folder into the registry value, only when the key exists already.
void RememberCompanionFolder(const std::wstring& folder);
