#pragma once

#include <functional>
#include <memory>
#include <string>

#include <gtest/gtest.h>
#include <windows.h>

#include "main_window.h"
#include "platform.h"
#include "win32_text.h"

// The real main window, created in the test program and shown as the program
// shows it, read back and driven with the messages a click or typing sends.
class MainWindowFixture : public ::testing::Test {
  protected:
    std::unique_ptr<MainWindow> window;

    void OpenWindow(Platform& platform, std::function<void()> endProgram)
    {
        window = std::make_unique<MainWindow>(GetModuleHandleW(nullptr), platform, std::move(endProgram));
        ShowWindow(window->Handle(), SW_SHOW);
        SetForegroundWindow(window->Handle());
        window->DoEvents();
    }

    // Before the test's folders and system go.
    void TearDown() override { window.reset(); }

    HWND Hwnd(ControlId id) const { return window->ControlWindow(id); }
    std::string Caption(ControlId id) const { return WindowText(Hwnd(id)); }
    void Click(ControlId id) const { SendMessageW(Hwnd(id), BM_CLICK, 0, 0); }

    void Type(ControlId id, const std::string& text) const
    {
        SendMessageW(Hwnd(id), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(Utf16(text).c_str()));
    }

    // Usable: visible, and neither it nor any container is disabled.
    static bool Usable(HWND control)
    {
        for (HWND hwnd = control; hwnd; hwnd = GetParent(hwnd)) {
            if (!IsWindowEnabled(hwnd))
                return false;
        }
        return IsWindowVisible(control);
    }
    bool Usable(ControlId id) const { return Usable(Hwnd(id)); }
};
