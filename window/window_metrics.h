#pragma once

#include <string>

#include <windows.h>

// The window's dots per inch and fonts, as the monitor it is on has them.

int WindowDpi(HWND window);
// The size of the whole window whose client area has that size.
SIZE WindowSizeForClient(HWND window, int width, int height);
// MS Sans Serif where Windows has it, otherwise the face of its dialogs.
std::wstring FontFace();
// The window's 8.25-point font at that dpi; the caller owns it.
HFONT CreateWindowFont(const std::wstring& face, int dpi, bool bold);
