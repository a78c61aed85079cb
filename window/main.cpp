#include <windows.h>

#include <exception>

#include "main_window.h"
#include "system_services.h"
#include "texts.h"
#include "win32_text.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int show)
{
    try {
        SystemServices system;
        // Leaving ends the process there and then: a proutil command that
        // is running is not waited for and finishes on its own.
        MainWindow window(instance, system, [] { ExitProcess(0); });
        ShowWindow(window.Handle(), show);
        UpdateWindow(window.Handle());
        MSG message;
        while (GetMessageW(&message, nullptr, 0, 0) > 0) {
            if (!window.PreTranslate(message)) {
                TranslateMessage(&message);
                DispatchMessageW(&message);
            }
        }
        return 0;
    } catch (const std::exception& error) {
        MessageBoxW(nullptr, Utf16(error.what()).c_str(), Utf16(texts::kProgramTitle).c_str(), MB_OK | MB_ICONERROR);
        return 1;
    }
}
