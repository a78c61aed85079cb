#pragma once

#include <string>

#include <windows.h>

// Saves what the screen shows inside rect, in screen coordinates, as a
// 24-bit BMP file. Throws std::runtime_error when it cannot.
void SaveScreenBitmap(const RECT& rect, const std::string& path);
