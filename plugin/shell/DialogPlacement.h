#pragma once

#include <windows.h>

// Places an opening dialog centred horizontally over its owner's client area (over the desktop
// without one), in the upper third of the free height, pushed back inside the screen.
void PlaceDialogOverParent(HWND dialog);
