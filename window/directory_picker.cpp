// The folder picker: Frame3 over the main panel, with the drive list Drive1
// and the folder list Dir1. One picker serves the five folder fields;
// CampoRuta says which one "Selección" fills.

#include "main_window.h"

#include <shellapi.h>

#include <algorithm>
#include <array>
#include <optional>

#include "win32_handle.h"
#include "win32_text.h"

namespace {

// The folder buttons and the fields they fill, by CampoRuta.
const std::array<ControlId, 5> kCampoButtons = {kIdBuscar, kIdBuscar1, kIdBuscar2, kIdBuscar3, kIdBuscar4};
const std::array<ControlId, 5> kCampoFields = {kIdText1, kIdText5, kIdText2, kIdText6, kIdText4};

std::string ProcessFolder()
{
    std::wstring folder(GetCurrentDirectoryW(0, nullptr), L'\0');
    folder.resize(GetCurrentDirectoryW(static_cast<DWORD>(folder.size()), folder.data()));
    return Utf8(folder);
}

// The folder the process would use on that drive: its current folder when
// it is there, otherwise the drive's root unless the environment keeps
// another one for it, as the command interpreter does.
std::optional<std::string> DriveFolder(char letter)
{
    const wchar_t drive[] = {static_cast<wchar_t>(letter), L':', L'\0'};
    std::wstring folder(GetFullPathNameW(drive, 0, nullptr, nullptr), L'\0');
    if (folder.empty())
        return std::nullopt;
    folder.resize(GetFullPathNameW(drive, static_cast<DWORD>(folder.size()), folder.data(), nullptr));
    return Utf8(folder);
}

// The sub-folders of folder in the order of Windows' own lists (by name,
// ignoring case, accented letters beside plain ones), or nothing when the
// folder cannot be read. Folders that are both hidden and system belong to
// Windows itself (the recycle bin, restore points) and are left out, as
// Explorer does; merely hidden ones (ProgramData) are listed.
std::optional<std::vector<std::string>> SubFolderNames(const std::string& folder)
{
    const std::wstring pattern = Utf16(SubFolder(LongPathForm(folder), "*"));
    // A drive without its disc or card fails here instead of asking for one.
    DWORD errorMode = 0;
    SetThreadErrorMode(SEM_FAILCRITICALERRORS, &errorMode);
    WIN32_FIND_DATAW found;
    const UniqueFind search(FindFirstFileExW(pattern.c_str(), FindExInfoBasic, &found, FindExSearchLimitToDirectories,
                                             nullptr, FIND_FIRST_EX_LARGE_FETCH));
    const DWORD error = SystemError().Code();
    SetThreadErrorMode(errorMode, nullptr);
    if (!search.Valid()) {
        // An empty root has not even "." and "..".
        if (error == ERROR_FILE_NOT_FOUND)
            return std::vector<std::string>{};
        return std::nullopt;
    }

    const DWORD windowsOwn = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;
    std::vector<std::wstring> names;
    do {
        const std::wstring name = found.cFileName;
        if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && (found.dwFileAttributes & windowsOwn) != windowsOwn &&
            name != L"." && name != L"..")
            names.push_back(name);
    } while (FindNextFileW(search.Get(), &found));

    std::sort(names.begin(), names.end(), [](const std::wstring& a, const std::wstring& b) {
        return CompareStringW(LOCALE_USER_DEFAULT, NORM_IGNORECASE, a.c_str(), -1, b.c_str(), -1) == CSTR_LESS_THAN;
    });
    std::vector<std::string> sorted;
    for (const std::wstring& name : names)
        sorted.push_back(Utf8(name));
    return sorted;
}

// The label of a drive as Explorer shows it, "Datos (D:)". Only fixed drives
// are asked for their label: a card reader, a CD drive or a network drive
// that is not ready could keep the window waiting, so they are named by
// their kind, which Windows knows without touching them.
std::string DriveCaption(char letter, const std::wstring& root, UINT type)
{
    std::string name;
    if (type == DRIVE_FIXED || type == DRIVE_RAMDISK) {
        wchar_t label[MAX_PATH + 1] = L"";
        if (GetVolumeInformationW(root.c_str(), label, MAX_PATH + 1, nullptr, nullptr, nullptr, nullptr, 0))
            name = Utf8(label);
    }
    if (name.empty()) {
        switch (type) {
        case DRIVE_FIXED:
        case DRIVE_RAMDISK:
            name = "Disco local";
            break;
        case DRIVE_REMOVABLE:
            name = "Unidad extraíble";
            break;
        case DRIVE_CDROM:
            name = "Unidad de CD/DVD";
            break;
        case DRIVE_REMOTE:
            name = "Unidad de red";
            break;
        default:
            name = "Unidad";
            break;
        }
    }
    return name + " (" + letter + ":)";
}

// The same rule for the picture: the shell's own for a fixed drive, the
// stock picture of its kind for the others (Windows Vista and later have them).
HICON DriveIcon(const std::wstring& root, UINT type)
{
    if (type == DRIVE_FIXED || type == DRIVE_RAMDISK) {
        SHFILEINFOW info = {};
        SHGetFileInfoW(root.c_str(), 0, &info, sizeof info, SHGFI_ICON | SHGFI_SMALLICON);
        return info.hIcon;
    }
    SHSTOCKICONID stock = SIID_DRIVEUNKNOWN;
    if (type == DRIVE_REMOVABLE)
        stock = SIID_DRIVEREMOVE;
    else if (type == DRIVE_CDROM)
        stock = SIID_DRIVECD;
    else if (type == DRIVE_REMOTE)
        stock = SIID_DRIVENET;
    SHSTOCKICONINFO info = {};
    info.cbSize = sizeof info;
    return SUCCEEDED(SHGetStockIconInfo(stock, SHGSI_ICON | SHGSI_SMALLICON, &info)) ? info.hIcon : nullptr;
}

// The generic folder picture, closed or open; no folder is touched.
HICON FolderIcon(UINT open)
{
    SHFILEINFOW info = {};
    SHGetFileInfoW(L"carpeta", FILE_ATTRIBUTE_DIRECTORY, &info, sizeof info,
                   SHGFI_USEFILEATTRIBUTES | SHGFI_ICON | SHGFI_SMALLICON | open);
    return info.hIcon;
}

int FontHeight(HWND window, HFONT font)
{
    const UniqueWindowDc dc = WindowDc(window);
    const UniqueSelection selected = Select(dc.Get().dc, font);
    TEXTMETRICW metrics;
    GetTextMetricsW(dc.Get().dc, &metrics);
    return metrics.tmHeight;
}

} // namespace

void MainWindow::CreatePicker()
{
    // Text3 only shows Dir1's folder: "Selección" never reads it, so typing
    // there would only mislead. It can still be selected and copied.
    SendMessageW(controls_.at(kIdText3), EM_SETREADONLY, TRUE, 0);
    closedFolderIcon_.Reset(FolderIcon(0));
    openFolderIcon_.Reset(FolderIcon(SHGFI_OPENICON));

    const std::string start = ProcessFolder();
    if (!MoveDir1(start))
        ShowDir1(NormalFolder(start), {});
    FillDrive1();
}

void MainWindow::LayOutPicker(int dpi)
{
    pickerIconSize_ = MulDiv(16, dpi, 96);
    const int lineHeight = std::max(pickerIconSize_, FontHeight(window_, font_.Get())) + MulDiv(2, dpi, 96);
    SendMessageW(controls_.at(kIdDir1), LB_SETITEMHEIGHT, 0, lineHeight);
    SendMessageW(controls_.at(kIdDrive1), CB_SETITEMHEIGHT, static_cast<WPARAM>(-1), lineHeight);
    SendMessageW(controls_.at(kIdDrive1), CB_SETITEMHEIGHT, 0, lineHeight);
}

std::string MainWindow::CurrentFolder() const
{
    return dir1Path_;
}

std::optional<std::int16_t> MainWindow::CampoOf(ControlId button)
{
    const auto found = std::find(kCampoButtons.begin(), kCampoButtons.end(), button);
    if (found == kCampoButtons.end())
        return std::nullopt;
    return static_cast<std::int16_t>(found - kCampoButtons.begin());
}

void MainWindow::Buscar_Click(std::int16_t campo)
{
    CampoRuta = campo;
    if (!IsWindowVisible(controls_.at(kIdFrame3)))
        ShowPicker();
}

void MainWindow::Drive1_Change()
{
    const LRESULT index = SendMessageW(controls_.at(kIdDrive1), CB_GETCURSEL, 0, 0);
    if (index < 0 || static_cast<std::size_t>(index) >= drives_.size())
        return;
    // Choosing again the drive the list shows changes nothing.
    const char letter = drives_[static_cast<std::size_t>(index)].letter;
    if (letter == drive1Letter_)
        return;
    drive1Letter_ = letter;
    const std::optional<std::string> folder = DriveFolder(letter);
    if (folder && MoveDir1(*folder))
        Dir1_Change();
}

void MainWindow::Dir1_Change()
{
    SetControlText(kIdText3, dir1Path_);
}

void MainWindow::Seleccion_Click()
{
    if (CampoRuta)
        SetControlText(kCampoFields.at(static_cast<std::size_t>(*CampoRuta)), dir1Path_);
    HidePicker();
}

void MainWindow::Cancelar1_Click()
{
    HidePicker();
}

void MainWindow::ShowPicker()
{
    ShowWindow(controls_.at(kIdFrame3), SW_SHOW);
    SetFocus(controls_.at(kIdDir1));
}

void MainWindow::HidePicker()
{
    HWND picker = controls_.at(kIdFrame3);
    const bool hadFocus = IsChild(picker, GetFocus());
    ShowWindow(picker, SW_HIDE);
    if (!hadFocus)
        return;
    // Back to the button that opened the picker, or the next best.
    const ControlId opener = CampoRuta ? kCampoButtons.at(static_cast<std::size_t>(*CampoRuta)) : kIdAceptar;
    for (ControlId candidate : {opener, kIdAceptar}) {
        if (Usable(candidate)) {
            SetFocus(controls_.at(candidate));
            return;
        }
    }
    MoveFocus(true);
}

void MainWindow::FillDrive1()
{
    HWND list = controls_.at(kIdDrive1);
    SendMessageW(list, CB_RESETCONTENT, 0, 0);
    drives_.clear();
    const DWORD present = GetLogicalDrives();
    for (int i = 0; i < 26; ++i) {
        if (!(present & (1u << i)))
            continue;
        const char letter = static_cast<char>('A' + i);
        const std::wstring root = {static_cast<wchar_t>(letter), L':', L'\\'};
        const UINT type = GetDriveTypeW(root.c_str());
        drives_.push_back({letter, DriveCaption(letter, root, type), UniqueIcon(DriveIcon(root, type))});
        SendMessageW(list, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Utf16(drives_.back().caption).c_str()));
    }
    // The drive chosen last while it is there, otherwise the folder list's.
    auto indexOf = [this](char letter) {
        const auto found = std::find_if(drives_.begin(), drives_.end(),
                                        [letter](const PickerDrive& drive) { return drive.letter == letter; });
        return found == drives_.end() ? -1 : static_cast<int>(found - drives_.begin());
    };
    if (indexOf(drive1Letter_) < 0)
        drive1Letter_ = FolderDrive(dir1Path_);
    SendMessageW(list, CB_SETCURSEL, static_cast<WPARAM>(indexOf(drive1Letter_)), 0);
}

bool MainWindow::MoveDir1(const std::string& folder)
{
    const std::string normal = NormalFolder(folder);
    const std::optional<std::vector<std::string>> subFolders = SubFolderNames(normal);
    if (!subFolders)
        return false;
    ShowDir1(normal, *subFolders);
    return true;
}

void MainWindow::ShowDir1(const std::string& folder, const std::vector<std::string>& subFolders)
{
    HWND list = controls_.at(kIdDir1);
    SendMessageW(list, WM_SETREDRAW, FALSE, 0);
    SendMessageW(list, LB_RESETCONTENT, 0, 0);
    dir1Path_ = folder;
    dir1Entries_ = FolderTree(folder, subFolders);
    int current = 0;
    for (const FolderEntry& entry : dir1Entries_) {
        SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Utf16(FolderName(entry.path)).c_str()));
        if (entry.open)
            current = entry.depth;
    }
    SendMessageW(list, WM_SETREDRAW, TRUE, 0);
    SendMessageW(list, LB_SETCURSEL, static_cast<WPARAM>(current), 0);
    InvalidateRect(list, nullptr, TRUE);
}

void MainWindow::OpenDir1Entry()
{
    const LRESULT index = SendMessageW(controls_.at(kIdDir1), LB_GETCURSEL, 0, 0);
    if (index < 0 || static_cast<std::size_t>(index) >= dir1Entries_.size())
        return;
    if (MoveDir1(dir1Entries_[static_cast<std::size_t>(index)].path))
        Dir1_Change();
}

void MainWindow::DrawPickerItem(const DRAWITEMSTRUCT& item) const
{
    std::string text;
    HICON icon = nullptr;
    int depth = 0;
    if (item.CtlID == kIdDir1 && item.itemID < dir1Entries_.size()) {
        const FolderEntry& entry = dir1Entries_[item.itemID];
        text = FolderName(entry.path);
        icon = entry.open ? openFolderIcon_.Get() : closedFolderIcon_.Get();
        depth = entry.depth;
    } else if (item.CtlID == kIdDrive1 && item.itemID < drives_.size()) {
        text = drives_[item.itemID].caption;
        icon = drives_[item.itemID].icon.Get();
    }

    HDC dc = item.hDC;
    const bool selected = (item.itemState & ODS_SELECTED) != 0;
    FillRect(dc, &item.rcItem, GetSysColorBrush(selected ? COLOR_HIGHLIGHT : COLOR_WINDOW));
    const int gap = pickerIconSize_ / 4;
    int left = item.rcItem.left + gap + depth * pickerIconSize_;
    if (icon) {
        const int top = (item.rcItem.top + item.rcItem.bottom - pickerIconSize_) / 2;
        DrawIconEx(dc, left, top, icon, pickerIconSize_, pickerIconSize_, 0, nullptr, DI_NORMAL);
    }
    left += pickerIconSize_ + gap;
    RECT textArea = {left, item.rcItem.top, item.rcItem.right, item.rcItem.bottom};
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, GetSysColor((item.itemState & ODS_DISABLED) ? COLOR_GRAYTEXT
                                 : selected                      ? COLOR_HIGHLIGHTTEXT
                                                                 : COLOR_WINDOWTEXT));
    DrawTextW(dc, Utf16(text).c_str(), -1, &textArea, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS);
    if (item.itemState & ODS_FOCUS)
        DrawFocusRect(dc, &item.rcItem);
}
