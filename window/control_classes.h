#pragma once

#include <windows.h>

#include "form_layout.h"

// What Windows makes of each kind of control of the form.

struct ControlClass {
    const wchar_t* name;
    DWORD style;
    DWORD exStyle;
};

ControlClass ClassOf(ControlKind kind);

// Enter and its access key press it, rather than move the focus to it.
bool IsPushButton(ControlKind kind);

// The key that "&" marks in a caption, or 0.
wchar_t AccessKey(const char* caption);
