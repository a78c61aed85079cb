#include "frame_control.h"

#include <iterator>

#include "gdi_handles.h"
#include "window_class.h"

const wchar_t kFrameClass[] = L"VaciallenaFrame";

namespace {

void Paint(HWND frame)
{
    const UniquePainting painting = BeginPainting(frame);
    const HDC dc = painting.Get().paint.hdc;
    RECT area;
    GetClientRect(frame, &area);
    const HFONT font = reinterpret_cast<HFONT>(GetWindowLongPtrW(frame, GWLP_USERDATA));
    const UniqueSelection selected = Select(dc, font ? font : GetStockObject(DEFAULT_GUI_FONT));

    wchar_t caption[256];
    const int length = GetWindowTextW(frame, caption, static_cast<int>(std::size(caption)));
    TEXTMETRICW metrics;
    GetTextMetricsW(dc, &metrics);

    RECT border = area;
    if (length > 0)
        border.top += metrics.tmHeight / 2;
    DrawEdge(dc, &border, EDGE_ETCHED, BF_RECT);

    if (length > 0) {
        RECT text = {area.left + metrics.tmAveCharWidth, area.top, area.right - metrics.tmAveCharWidth,
                     area.top + metrics.tmHeight};
        SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
        SetBkMode(dc, OPAQUE);
        SetTextColor(dc, GetSysColor(IsWindowEnabled(frame) ? COLOR_BTNTEXT : COLOR_GRAYTEXT));
        DrawTextW(dc, caption, length, &text, DT_SINGLELINE | DT_NOPREFIX | DT_LEFT | DT_TOP);
    }
}

LRESULT FrameProc(HWND frame, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_PAINT:
        Paint(frame);
        return 0;
    case WM_SETFONT:
        SetWindowLongPtrW(frame, GWLP_USERDATA, static_cast<LONG_PTR>(wParam));
        if (LOWORD(lParam))
            InvalidateRect(frame, nullptr, TRUE);
        return 0;
    case WM_GETFONT:
        return GetWindowLongPtrW(frame, GWLP_USERDATA);
    case WM_SETTEXT:
    case WM_ENABLE: {
        const LRESULT result = DefWindowProcW(frame, message, wParam, lParam);
        InvalidateRect(frame, nullptr, TRUE);
        return result;
    }
    case WM_COMMAND:
    case WM_NOTIFY:
    case WM_DRAWITEM:
    case WM_MEASUREITEM:
    case WM_COMPAREITEM:
    case WM_DELETEITEM:
    case WM_VKEYTOITEM:
    case WM_CHARTOITEM:
        return SendMessageW(GetAncestor(frame, GA_ROOT), message, wParam, lParam);
    default:
        return DefWindowProcW(frame, message, wParam, lParam);
    }
}

} // namespace

void RegisterFrameClass(HINSTANCE instance)
{
    RegisterWindowClass<FrameProc>(instance, kFrameClass);
}
