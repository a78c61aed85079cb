#pragma once

#include <windows.h>

#include "callback_barrier.h"
#include "texts.h"
#include "win32_text.h"

// How a window of the program handles a message; Windows calls it through
// the barrier of RegisterWindowClass.
using WindowProcedure = LRESULT (*)(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// A message whose handling throws is given up: the exception's text is shown
// over the window (error icon, OK) and the window goes on. During a run this
// is a tick or a click handled inside the run's own event processing, which
// then carries on.
template <WindowProcedure Procedure>
LRESULT CALLBACK BarrierProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    return CallbackBarrier([&] { return Procedure(window, message, wParam, lParam); },
                           [&](const std::exception_ptr& error) {
                               MessageBoxW(GetAncestor(window, GA_ROOT), Utf16(ExceptionText(error)).c_str(),
                                           Utf16(texts::kProgramTitle).c_str(), MB_OK | MB_ICONERROR);
                               return LRESULT{0};
                           });
}

// Registers a class of this program's windows: the dialog colour behind,
// the arrow cursor. A second registration (a second window in the tests)
// fails harmlessly and keeps the first.
template <WindowProcedure Procedure>
void RegisterWindowClass(HINSTANCE instance, const wchar_t* name)
{
    WNDCLASSEXW windowClass = {};
    windowClass.cbSize = sizeof windowClass;
    windowClass.style = CS_HREDRAW | CS_VREDRAW;
    windowClass.lpfnWndProc = BarrierProcedure<Procedure>;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    windowClass.lpszClassName = name;
    RegisterClassExW(&windowClass);
}
