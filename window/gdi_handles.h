#pragma once

#include <windows.h>

#include "unique_resource.h"

// Owners of the window's drawing resources and hooks, of the same family
// as the kernel's UniqueHandle.

// One GDI object, icon or hook; Free is the call that releases it.
template <typename Handle, BOOL(WINAPI* FreeHandle)(Handle)>
struct GdiTraits {
    using Type = Handle;
    static Type Empty() { return nullptr; }
    static bool Valid(Type handle) { return handle != nullptr; }
    static void Free(Type handle) { FreeHandle(handle); }
};
template <typename Handle, BOOL(WINAPI* Free)(Handle)>
using UniqueGdi = UniqueResource<GdiTraits<Handle, Free>>;

// DeleteObject for one kind of object, so that each kind has an owner type
// of its own. Not named DeleteFont or DeleteBitmap: <windowsx.h> makes those
// macros.
template <typename Object>
BOOL WINAPI DeleteGdiObject(Object object)
{
    return DeleteObject(object);
}

using UniqueFont = UniqueGdi<HFONT, DeleteGdiObject<HFONT>>;
using UniqueBitmap = UniqueGdi<HBITMAP, DeleteGdiObject<HBITMAP>>;
using UniqueIcon = UniqueGdi<HICON, DestroyIcon>;
// A device context of its own, from CreateCompatibleDC.
using UniqueMemoryDc = UniqueGdi<HDC, DeleteDC>;
using UniqueHook = UniqueGdi<HHOOK, UnhookWindowsHookEx>;

// A window's device context from GetDC, given back to that window.
struct WindowDcTraits {
    struct Type {
        HWND window;
        HDC dc;
    };
    static Type Empty() { return {nullptr, nullptr}; }
    static bool Valid(Type held) { return held.dc != nullptr; }
    static void Free(Type held) { ReleaseDC(held.window, held.dc); }
};
using UniqueWindowDc = UniqueResource<WindowDcTraits>;

// nullptr is the whole screen.
inline UniqueWindowDc WindowDc(HWND window)
{
    return UniqueWindowDc({window, GetDC(window)});
}

// An object selected into a device context; the one it replaced goes back
// in when the owner goes.
struct SelectionTraits {
    struct Type {
        HDC dc;
        HGDIOBJ replaced;
    };
    static Type Empty() { return {nullptr, nullptr}; }
    static bool Valid(Type held) { return held.replaced != nullptr; }
    static void Free(Type held) { SelectObject(held.dc, held.replaced); }
};
using UniqueSelection = UniqueResource<SelectionTraits>;

inline UniqueSelection Select(HDC dc, HGDIOBJ object)
{
    return UniqueSelection({dc, SelectObject(dc, object)});
}

// The painting of a window, from BeginPaint to EndPaint.
struct PaintingTraits {
    struct Type {
        HWND window;
        PAINTSTRUCT paint;
    };
    static Type Empty() { return {nullptr, {}}; }
    static bool Valid(const Type& held) { return held.window != nullptr; }
    static void Free(const Type& held) { EndPaint(held.window, &held.paint); }
};
using UniquePainting = UniqueResource<PaintingTraits>;

inline UniquePainting BeginPainting(HWND window)
{
    PaintingTraits::Type held = {window, {}};
    BeginPaint(window, &held.paint);
    return UniquePainting(held);
}
