#pragma once

#include <string>
#include <string_view>

#include <windows.h>

// Text is UTF-8 inside the program; its Utf16 and Utf8 convert at the Win32
// boundary.
#include "utf8.h"

// Bytes in a Windows code page (CP_ACP, CP_OEMCP, ...) to UTF-8.
std::string Utf8FromCodePage(const std::string& bytes, UINT codePage);
// The whole text of a window or control, of any length.
std::string WindowText(HWND window);

// The error of the Win32 call that has just failed, read when this is made.
// Make it first thing after that call: building a message, or any other
// call, may change the thread's last error before it is read.
class SystemError {
  public:
    SystemError() : code_(GetLastError()) {}
    DWORD Code() const { return code_; }
    // The system's description, with the code.
    std::string Text() const;

  private:
    DWORD code_;
};

namespace system_error_parts {
inline void Append(std::string& text, std::string_view part)
{
    text += part;
}
inline void Append(std::string& text, long long number)
{
    text += std::to_string(number);
}
} // namespace system_error_parts

// Throws Exception with what, then ": " and the description of the error
// of the Win32 call that has just failed. The parts, texts or numbers, are
// joined only after the error has been read.
template <typename Exception, typename... Parts>
[[noreturn]] void ThrowSystemError(const Parts&... what)
{
    const SystemError error;
    std::string text;
    (system_error_parts::Append(text, what), ...);
    throw Exception(text + ": " + error.Text());
}
