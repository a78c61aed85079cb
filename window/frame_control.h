#pragma once

#include <windows.h>

// A frame: a group box that really contains its controls, so that hiding or
// disabling it reaches everything inside. It hands its controls'
// notifications on to the top-level window, which handles all events.
extern const wchar_t kFrameClass[];

void RegisterFrameClass(HINSTANCE instance);
