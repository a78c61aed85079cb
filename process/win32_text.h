#pragma once

#include <string>

#include <windows.h>

// Text is UTF-8 inside the program; these convert at the Win32 boundary.
std::wstring Utf16(const std::string& utf8);
std::string Utf8(const std::wstring& utf16);
// Bytes in a Windows code page (CP_ACP, CP_OEMCP, ...) to UTF-8.
std::string Utf8FromCodePage(const std::string& bytes, UINT codePage);
// The whole text of a window or control, of any length.
std::string WindowText(HWND window);
// The system's description of a Win32 error code.
std::string SystemErrorText(DWORD error);
