#include "control_classes.h"

#include <commctrl.h>

#include <cwctype>
#include <stdexcept>

#include "frame_control.h"
#include "win32_text.h"

ControlClass ClassOf(ControlKind kind)
{
    switch (kind) {
    case ControlKind::Frame:
        return {kFrameClass, WS_CLIPCHILDREN, WS_EX_CONTROLPARENT};
    case ControlKind::Label:
        return {L"STATIC", SS_LEFT | SS_NOPREFIX, 0};
    case ControlKind::CentredLabel:
        return {L"STATIC", SS_CENTER | SS_NOPREFIX, 0};
    case ControlKind::TextField:
        return {L"EDIT", ES_LEFT | ES_AUTOHSCROLL | WS_TABSTOP, WS_EX_CLIENTEDGE};
    case ControlKind::CheckBox:
        return {L"BUTTON", BS_AUTOCHECKBOX | WS_TABSTOP, 0};
    case ControlKind::Button:
        return {L"BUTTON", BS_PUSHBUTTON | WS_TABSTOP, 0};
    case ControlKind::PictureButton:
        return {L"BUTTON", BS_PUSHBUTTON | BS_ICON | WS_TABSTOP, 0};
    case ControlKind::DriveList:
        // Drawn by the window, for the drives' pictures.
        return {L"COMBOBOX", CBS_DROPDOWNLIST | CBS_OWNERDRAWFIXED | CBS_HASSTRINGS | WS_VSCROLL | WS_TABSTOP, 0};
    case ControlKind::FolderList:
        // Drawn by the window, for the folders' pictures and indentation.
        return {L"LISTBOX",
                LBS_NOTIFY | LBS_NOINTEGRALHEIGHT | LBS_OWNERDRAWFIXED | LBS_HASSTRINGS | WS_VSCROLL | WS_TABSTOP,
                WS_EX_CLIENTEDGE};
    case ControlKind::ProgressBar:
        return {PROGRESS_CLASSW, 0, 0};
    }
    throw std::logic_error("unknown kind of control");
}

bool IsPushButton(ControlKind kind)
{
    return kind == ControlKind::Button || kind == ControlKind::PictureButton;
}

wchar_t AccessKey(const char* caption)
{
    const std::wstring text = Utf16(caption);
    const auto mark = text.find(L'&');
    if (mark == std::wstring::npos || mark + 1 == text.size())
        return 0;
    return static_cast<wchar_t>(towupper(text[mark + 1]));
}
