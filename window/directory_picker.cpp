#include "directory_picker.h"

#include <shellapi.h>

#include <algorithm>
#include <optional>
#include <utility>

#include "win32_handle.h"
#include "texts.h"
#include "win32_text.h"

namespace {

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
            name = texts::kLocalDisk;
            break;
        case DRIVE_REMOVABLE:
            name = texts::kRemovableDrive;
            break;
        case DRIVE_CDROM:
            name = texts::kOpticalDrive;
            break;
        case DRIVE_REMOTE:
            name = texts::kNetworkDrive;
            break;
        default:
            name = texts::kOtherDrive;
            break;
        }
    }
    return texts::DriveCaption(name, letter);
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

DirectoryPicker::DirectoryPicker(const std::map<ControlId, HWND>& controls,
                                 std::function<void(const std::string&)> chosen, std::function<void()> focusBack)
    : frame3_(controls.at(kIdFrame3)), drive1_(controls.at(kIdDrive1)), dir1_(controls.at(kIdDir1)),
      text3_(controls.at(kIdText3)), chosen_(std::move(chosen)), focusBack_(std::move(focusBack))
{
    // Whenever it is shown, it covers the main panel.
    SetWindowPos(frame3_, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    // Text3 only shows Dir1's folder: "Selección" never reads it, so typing
    // there would only mislead. It can still be selected and copied.
    SendMessageW(text3_, EM_SETREADONLY, TRUE, 0);
    closedFolderIcon_.Reset(FolderIcon(0));
    openFolderIcon_.Reset(FolderIcon(SHGFI_OPENICON));

    const std::string start = ProcessFolder();
    if (!MoveDir1(start))
        ShowDir1(NormalFolder(start), {});
    FillDrive1();
}

void DirectoryPicker::LayOut(int dpi, HFONT font)
{
    iconSize_ = MulDiv(16, dpi, 96);
    const int lineHeight = std::max(iconSize_, FontHeight(frame3_, font)) + MulDiv(2, dpi, 96);
    SendMessageW(dir1_, LB_SETITEMHEIGHT, 0, lineHeight);
    SendMessageW(drive1_, CB_SETITEMHEIGHT, static_cast<WPARAM>(-1), lineHeight);
    SendMessageW(drive1_, CB_SETITEMHEIGHT, 0, lineHeight);
}

bool DirectoryPicker::Shown() const
{
    return IsWindowVisible(frame3_) != FALSE;
}

void DirectoryPicker::Show()
{
    ShowWindow(frame3_, SW_SHOW);
    SetFocus(dir1_);
}

void DirectoryPicker::Drive1_Change()
{
    const LRESULT index = SendMessageW(drive1_, CB_GETCURSEL, 0, 0);
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

void DirectoryPicker::Dir1_Change()
{
    SetWindowTextW(text3_, Utf16(dir1Path_).c_str());
}

void DirectoryPicker::Seleccion_Click()
{
    chosen_(dir1Path_);
    Hide();
}

void DirectoryPicker::Cancelar1_Click()
{
    Hide();
}

void DirectoryPicker::Hide()
{
    const bool hadFocus = IsChild(frame3_, GetFocus());
    ShowWindow(frame3_, SW_HIDE);
    if (hadFocus)
        focusBack_();
}

void DirectoryPicker::FillDrive1()
{
    SendMessageW(drive1_, CB_RESETCONTENT, 0, 0);
    drives_.clear();
    const DWORD present = GetLogicalDrives();
    for (int i = 0; i < 26; ++i) {
        if (!(present & (1u << i)))
            continue;
        const char letter = static_cast<char>('A' + i);
        const std::wstring root = {static_cast<wchar_t>(letter), L':', L'\\'};
        const UINT type = GetDriveTypeW(root.c_str());
        drives_.push_back({letter, DriveCaption(letter, root, type), UniqueIcon(DriveIcon(root, type))});
        SendMessageW(drive1_, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Utf16(drives_.back().caption).c_str()));
    }
    // The drive chosen last while it is there, otherwise the folder list's.
    auto indexOf = [this](char letter) {
        const auto found =
            std::find_if(drives_.begin(), drives_.end(), [letter](const Drive& drive) { return drive.letter == letter; });
        return found == drives_.end() ? -1 : static_cast<int>(found - drives_.begin());
    };
    if (indexOf(drive1Letter_) < 0)
        drive1Letter_ = FolderDrive(dir1Path_);
    SendMessageW(drive1_, CB_SETCURSEL, static_cast<WPARAM>(indexOf(drive1Letter_)), 0);
}

bool DirectoryPicker::MoveDir1(const std::string& folder)
{
    const std::string normal = NormalFolder(folder);
    const std::optional<std::vector<std::string>> subFolders = SubFolderNames(normal);
    if (!subFolders)
        return false;
    ShowDir1(normal, *subFolders);
    return true;
}

void DirectoryPicker::ShowDir1(const std::string& folder, const std::vector<std::string>& subFolders)
{
    SendMessageW(dir1_, WM_SETREDRAW, FALSE, 0);
    SendMessageW(dir1_, LB_RESETCONTENT, 0, 0);
    dir1Path_ = folder;
    dir1Entries_ = FolderTree(folder, subFolders);
    int current = 0;
    for (const FolderEntry& entry : dir1Entries_) {
        SendMessageW(dir1_, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Utf16(FolderName(entry.path)).c_str()));
        if (entry.open)
            current = entry.depth;
    }
    SendMessageW(dir1_, WM_SETREDRAW, TRUE, 0);
    SendMessageW(dir1_, LB_SETCURSEL, static_cast<WPARAM>(current), 0);
    InvalidateRect(dir1_, nullptr, TRUE);
}

void DirectoryPicker::OpenDir1Entry()
{
    const LRESULT index = SendMessageW(dir1_, LB_GETCURSEL, 0, 0);
    if (index < 0 || static_cast<std::size_t>(index) >= dir1Entries_.size())
        return;
    if (MoveDir1(dir1Entries_[static_cast<std::size_t>(index)].path))
        Dir1_Change();
}

void DirectoryPicker::DrawItem(const DRAWITEMSTRUCT& item) const
{
    std::string text;
    HICON icon = nullptr;
    int depth = 0;
    if (item.hwndItem == dir1_ && item.itemID < dir1Entries_.size()) {
        const FolderEntry& entry = dir1Entries_[item.itemID];
        text = FolderName(entry.path);
        icon = entry.open ? openFolderIcon_.Get() : closedFolderIcon_.Get();
        depth = entry.depth;
    } else if (item.hwndItem == drive1_ && item.itemID < drives_.size()) {
        text = drives_[item.itemID].caption;
        icon = drives_[item.itemID].icon.Get();
    }

    HDC dc = item.hDC;
    const bool selected = (item.itemState & ODS_SELECTED) != 0;
    FillRect(dc, &item.rcItem, GetSysColorBrush(selected ? COLOR_HIGHLIGHT : COLOR_WINDOW));
    const int gap = iconSize_ / 4;
    int left = item.rcItem.left + gap + depth * iconSize_;
    if (icon) {
        const int top = (item.rcItem.top + item.rcItem.bottom - iconSize_) / 2;
        DrawIconEx(dc, left, top, icon, iconSize_, iconSize_, 0, nullptr, DI_NORMAL);
    }
    left += iconSize_ + gap;
    RECT textArea = {left, item.rcItem.top, item.rcItem.right, item.rcItem.bottom};
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, GetSysColor((item.itemState & ODS_DISABLED) ? COLOR_GRAYTEXT
                                 : selected                      ? COLOR_HIGHLIGHTTEXT
                                                                 : COLOR_WINDOWTEXT));
    DrawTextW(dc, Utf16(text).c_str(), -1, &textArea, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS);
    if (item.itemState & ODS_FOCUS)
        DrawFocusRect(dc, &item.rcItem);
}
