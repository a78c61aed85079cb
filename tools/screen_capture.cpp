#include "screen_capture.h"

#include <stdexcept>

#include "gdi_handles.h"
#include "win32_handle.h"
#include "win32_text.h"

namespace {

BOOL WINAPI DeleteBitmap(HBITMAP bitmap)
{
    return DeleteObject(bitmap);
}

using UniqueDc = UniqueGdi<HDC, DeleteDC>;
using UniqueBitmap = UniqueGdi<HBITMAP, DeleteBitmap>;

class ScreenDc {
  public:
    ScreenDc() : dc_(GetDC(nullptr)) {}
    ScreenDc(const ScreenDc&) = delete;
    ScreenDc& operator=(const ScreenDc&) = delete;
    ~ScreenDc() { ReleaseDC(nullptr, dc_); }
    HDC Get() const { return dc_; }

  private:
    HDC dc_;
};

[[noreturn]] void Fail(const std::string& what)
{
    throw std::runtime_error(what + ": " + SystemErrorText(GetLastError()));
}

void Write(HANDLE file, const void* data, DWORD size)
{
    DWORD written = 0;
    if (!WriteFile(file, data, size, &written, nullptr) || written != size)
        Fail("cannot write the screenshot");
}

} // namespace

void SaveScreenBitmap(const RECT& rect, const std::string& path)
{
    const int width = rect.right - rect.left;
    const int height = rect.bottom - rect.top;
    if (width <= 0 || height <= 0)
        throw std::runtime_error("nothing to capture: the rectangle is empty");

    BITMAPINFOHEADER header = {};
    header.biSize = sizeof header;
    header.biWidth = width;
    // Rows bottom up, as BMP files keep them.
    header.biHeight = height;
    header.biPlanes = 1;
    header.biBitCount = 24;
    header.biCompression = BI_RGB;
    const DWORD rowSize = (static_cast<DWORD>(width) * 3 + 3) & ~3u;
    header.biSizeImage = rowSize * static_cast<DWORD>(height);

    ScreenDc screen;
    UniqueDc memory(CreateCompatibleDC(screen.Get()));
    void* bits = nullptr;
    UniqueBitmap bitmap(CreateDIBSection(screen.Get(), reinterpret_cast<const BITMAPINFO*>(&header), DIB_RGB_COLORS,
                                         &bits, nullptr, 0));
    if (!memory.Get() || !bitmap.Get())
        Fail("cannot make a bitmap for the screenshot");
    const HGDIOBJ previous = SelectObject(memory.Get(), bitmap.Get());
    const BOOL copied = BitBlt(memory.Get(), 0, 0, width, height, screen.Get(), rect.left, rect.top,
                               SRCCOPY | CAPTUREBLT);
    SelectObject(memory.Get(), previous);
    if (!copied)
        Fail("cannot copy the screen");
    GdiFlush();

    BITMAPFILEHEADER fileHeader = {};
    fileHeader.bfType = 0x4D42;  // "BM"
    fileHeader.bfOffBits = sizeof fileHeader + sizeof header;
    fileHeader.bfSize = fileHeader.bfOffBits + header.biSizeImage;
    UniqueHandle file(CreateFileW(Utf16(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                  FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.Valid())
        Fail("cannot create " + path);
    Write(file.Get(), &fileHeader, sizeof fileHeader);
    Write(file.Get(), &header, sizeof header);
    Write(file.Get(), bits, header.biSizeImage);
}
