// What the host check asks the person and tells them, over the host's active window. Every
// question defaults to the answer that changes nothing.
#pragma once

#include <string>

// Whether the person agrees to the questions that open and make documents. Defaults to No.
bool AgreesToActions();
// The raw file the person picks in the system's open-file dialog; false when they cancel.
bool PicksRawFile(std::wstring* path);
// Whether the person will press Cancel in the raw converter's dialog for the next open; false skips it.
bool AgreesToCancelTheConverter(const std::wstring& path);
// The one message at the end: where the report is, or why there is none, and what was left open.
void ShowCheckDone(const std::wstring& text);
