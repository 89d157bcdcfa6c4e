// A developer's test dialog procedure for template 16002, exported by name; the host never calls it.
#pragma once

#include <windows.h>

extern "C" __declspec(dllexport) INT_PTR CALLBACK TestProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
