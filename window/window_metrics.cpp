#include "window_metrics.h"

#include "gdi_handles.h"

namespace {

// 8.25 points, in hundredths.
const int kFontSizeCentipoints = 825;

// Functions of newer Windows versions, looked up so that the program still
// starts on Windows 7.
template <typename Function>
Function User32Function(const char* name)
{
    const FARPROC found = GetProcAddress(GetModuleHandleW(L"user32.dll"), name);
    return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(found));
}

int SystemDpi()
{
    return GetDeviceCaps(WindowDc(nullptr).Get().dc, LOGPIXELSX);
}

int CALLBACK NoteFaceFound(const LOGFONTW*, const TEXTMETRICW*, DWORD, LPARAM found) noexcept
{
    *reinterpret_cast<bool*>(found) = true;
    return 0;
}

} // namespace

int WindowDpi(HWND window)
{
    static const auto getDpiForWindow = User32Function<UINT(WINAPI*)(HWND)>("GetDpiForWindow");
    if (getDpiForWindow) {
        if (const UINT dpi = getDpiForWindow(window))
            return static_cast<int>(dpi);
    }
    return SystemDpi();
}

// The frame around the client area is measured, not computed: Windows has
// already given it the size for the window's dpi when the dpi changes.
SIZE WindowSizeForClient(HWND window, int width, int height)
{
    RECT outer;
    RECT client;
    GetWindowRect(window, &outer);
    GetClientRect(window, &client);
    return {width + (outer.right - outer.left) - client.right, height + (outer.bottom - outer.top) - client.bottom};
}

// The window was drawn for MS Sans Serif; where Windows no longer has it,
// the face of the system's dialogs takes its place.
std::wstring FontFace()
{
    LOGFONTW wanted = {};
    wanted.lfCharSet = DEFAULT_CHARSET;
    wcscpy_s(wanted.lfFaceName, L"MS Sans Serif");
    bool found = false;
    EnumFontFamiliesExW(WindowDc(nullptr).Get().dc, &wanted, NoteFaceFound, reinterpret_cast<LPARAM>(&found), 0);
    if (found)
        return wanted.lfFaceName;
    NONCLIENTMETRICSW metrics = {};
    metrics.cbSize = sizeof metrics;
    SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0);
    return metrics.lfMessageFont.lfFaceName;
}

HFONT CreateWindowFont(const std::wstring& face, int dpi, bool bold)
{
    LOGFONTW font = {};
    font.lfHeight = -MulDiv(kFontSizeCentipoints, dpi, 72 * 100);
    font.lfWeight = bold ? FW_BOLD : FW_NORMAL;
    font.lfCharSet = DEFAULT_CHARSET;
    font.lfQuality = DEFAULT_QUALITY;
    wcsncpy_s(font.lfFaceName, LF_FACESIZE, face.c_str(), _TRUNCATE);
    return CreateFontIndirectW(&font);
}
