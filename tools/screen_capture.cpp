#include "screen_capture.h"

#include <stdexcept>

#include "gdi_handles.h"
#include "win32_handle.h"
#include "win32_text.h"

namespace {

void Write(HANDLE file, const void* data, DWORD size)
{
    DWORD written = 0;
    if (!WriteFile(file, data, size, &written, nullptr) || written != size)
        ThrowSystemError<std::runtime_error>("cannot write the screenshot");
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

    const UniqueWindowDc screen = WindowDc(nullptr);
    if (!screen.Valid())
        ThrowSystemError<std::runtime_error>("cannot draw on the screen");
    const UniqueMemoryDc memory(CreateCompatibleDC(screen.Get().dc));
    if (!memory.Valid())
        ThrowSystemError<std::runtime_error>("cannot make a device context for the screenshot");
    void* bits = nullptr;
    const UniqueBitmap bitmap(CreateDIBSection(screen.Get().dc, reinterpret_cast<const BITMAPINFO*>(&header),
                                               DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!bitmap.Valid())
        ThrowSystemError<std::runtime_error>("cannot make a bitmap for the screenshot");
    const UniqueSelection selected = Select(memory.Get(), bitmap.Get());
    if (!BitBlt(memory.Get(), 0, 0, width, height, screen.Get().dc, rect.left, rect.top, SRCCOPY | CAPTUREBLT))
        ThrowSystemError<std::runtime_error>("cannot copy the screen");
    GdiFlush();

    BITMAPFILEHEADER fileHeader = {};
    fileHeader.bfType = 0x4D42;  // "BM"
    fileHeader.bfOffBits = sizeof fileHeader + sizeof header;
    fileHeader.bfSize = fileHeader.bfOffBits + header.biSizeImage;
    UniqueHandle file(CreateFileW(Utf16(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                  FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.Valid())
        ThrowSystemError<std::runtime_error>("cannot create ", path);
    Write(file.Get(), &fileHeader, sizeof fileHeader);
    Write(file.Get(), &header, sizeof header);
    Write(file.Get(), bits, header.biSizeImage);
}
