#pragma once

#include <functional>
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <windows.h>

#include "callback_barrier.h"
#include "gdi_handles.h"
#include "win32_text.h"

// Answers the message boxes that this thread opens, through a CBT hook, and
// keeps what each box showed. A box nobody answers would hang the test.
class MessageBoxAnswerer {
  public:
    struct Box {
        std::string text;
        std::string title;
        bool hasOk = false;
        bool hasCancel = false;
        bool okIsDefault = false;
        // The system icon the box shows (IDI_QUESTION, ...), or none.
        HICON icon = nullptr;
    };

    // answer gets each box as it opens and returns the button to press.
    explicit MessageBoxAnswerer(std::function<int(const Box&)> answer) : answer_(std::move(answer))
    {
        current_ = this;
        hook_.Reset(SetWindowsHookExW(WH_CBT, Hook, nullptr, GetCurrentThreadId()));
    }
    MessageBoxAnswerer(const MessageBoxAnswerer&) = delete;
    MessageBoxAnswerer& operator=(const MessageBoxAnswerer&) = delete;
    ~MessageBoxAnswerer() { current_ = nullptr; }

    std::vector<Box> boxes;

  private:
    static BOOL CALLBACK FindIcon(HWND child, LPARAM found) noexcept
    {
        wchar_t className[16];
        GetClassNameW(child, className, 16);
        if (lstrcmpiW(className, L"Static") == 0 && (GetWindowLongW(child, GWL_STYLE) & SS_TYPEMASK) == SS_ICON)
            *reinterpret_cast<HICON*>(found) = reinterpret_cast<HICON>(SendMessageW(child, STM_GETICON, 0, 0));
        return TRUE;
    }

    static LRESULT CALLBACK Hook(int code, WPARAM wParam, LPARAM lParam)
    {
        if (code == HCBT_ACTIVATE && current_) {
            HWND window = reinterpret_cast<HWND>(wParam);
            wchar_t className[16];
            GetClassNameW(window, className, 16);
            if (lstrcmpW(className, L"#32770") == 0) {
                CallbackBarrier([window] { current_->Answer(window); },
                                [window](const std::exception_ptr& error) {
                                    ADD_FAILURE() << "answering a message box: " << ExceptionText(error);
                                    // Left open, the box would hang the test.
                                    PostMessageW(window, WM_COMMAND, IDCANCEL, 0);
                                });
            }
        }
        return CallNextHookEx(nullptr, code, wParam, lParam);
    }

    void Answer(HWND window)
    {
        Box box;
        // The box's text is its static control 0xFFFF.
        box.text = WindowText(GetDlgItem(window, 0xFFFF));
        box.title = WindowText(window);
        box.hasOk = GetDlgItem(window, IDOK) != nullptr;
        box.hasCancel = GetDlgItem(window, IDCANCEL) != nullptr;
        const LRESULT defaultId = SendMessageW(window, DM_GETDEFID, 0, 0);
        box.okIsDefault = HIWORD(defaultId) == DC_HASDEFID && LOWORD(defaultId) == IDOK;
        EnumChildWindows(window, FindIcon, reinterpret_cast<LPARAM>(&box.icon));
        boxes.push_back(box);
        PostMessageW(window, WM_COMMAND, static_cast<WPARAM>(answer_(box)), 0);
    }

    static inline thread_local MessageBoxAnswerer* current_ = nullptr;
    std::function<int(const Box&)> answer_;
    UniqueHook hook_;
};
