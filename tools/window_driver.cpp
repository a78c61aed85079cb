#include "window_driver.h"

#include <algorithm>
#include <exception>
#include <stdexcept>
#include <thread>
#include <vector>

#include <tlhelp32.h>

#include "callback_barrier.h"
#include "texts.h"
#include "win32_text.h"

namespace window_driver {

namespace {

const wchar_t kMessageBoxClass[] = L"#32770";
// A program busy with a command still handles messages between two checks of
// it; one that does not answer in this time is not going to.
const UINT kAnswerTimeoutMs = 5000;
const Milliseconds kPollInterval{20};
const Milliseconds kClickTimeout{5000};

std::wstring ClassName(HWND window)
{
    wchar_t name[64];
    const int length = GetClassNameW(window, name, 64);
    return std::wstring(name, static_cast<std::size_t>(std::max(length, 0)));
}

DWORD ProcessOf(HWND window)
{
    DWORD processId = 0;
    GetWindowThreadProcessId(window, &processId);
    return processId;
}

// What one of Windows' enumerations of windows gave, through Collect.
struct Collected {
    std::vector<HWND> windows;
    std::exception_ptr error;

    std::vector<HWND> Windows() const
    {
        if (error)
            std::rethrow_exception(error);
        return windows;
    }
};

BOOL CALLBACK Collect(HWND window, LPARAM collected)
{
    auto& into = *reinterpret_cast<Collected*>(collected);
    return CallbackBarrier(
        [&] {
            into.windows.push_back(window);
            return TRUE;
        },
        [&](const std::exception_ptr& error) {
            into.error = error;
            return FALSE;
        });
}

// The shown top-level windows of one process, topmost first.
std::vector<HWND> TopLevelWindows(DWORD processId)
{
    Collected all;
    EnumWindows(Collect, reinterpret_cast<LPARAM>(&all));
    std::vector<HWND> found;
    for (HWND window : all.Windows()) {
        if (ProcessOf(window) == processId && IsWindowVisible(window))
            found.push_back(window);
    }
    return found;
}

// File names as Windows compares them: without regard to case.
bool SameName(const std::string& a, const std::string& b)
{
    const std::wstring wideA = Utf16(a);
    const std::wstring wideB = Utf16(b);
    return CompareStringOrdinal(wideA.c_str(), static_cast<int>(wideA.size()), wideB.c_str(),
                                static_cast<int>(wideB.size()), TRUE) == CSTR_EQUAL;
}

// When the process began, in the system's ticks of 100 ns; 0 when unknown.
ULONGLONG CreationTime(HANDLE process)
{
    FILETIME created = {}, ended, kernel, user;
    GetProcessTimes(process, &created, &ended, &kernel, &user);
    return static_cast<ULONGLONG>(created.dwHighDateTime) << 32 | created.dwLowDateTime;
}

} // namespace

std::vector<HWND> ChildWindows(HWND parent)
{
    Collected all;
    EnumChildWindows(parent, Collect, reinterpret_cast<LPARAM>(&all));
    return all.Windows();
}

bool WaitUntil(const std::function<bool()>& condition, Milliseconds timeout)
{
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    for (;;) {
        if (condition())
            return true;
        if (std::chrono::steady_clock::now() >= deadline)
            return false;
        std::this_thread::sleep_for(kPollInterval);
    }
}

bool AllEnded(const std::vector<UniqueHandle>& processes, Milliseconds timeout)
{
    return WaitUntil(
        [&] {
            return std::all_of(processes.begin(), processes.end(), [](const UniqueHandle& process) {
                return WaitForSingleObject(process.Get(), 0) == WAIT_OBJECT_0;
            });
        },
        timeout);
}

Program::Program(const std::string& executable)
{
    const std::wstring path = Utf16(executable);
    const std::wstring folder = path.substr(0, path.find_last_of(L'\\'));
    std::wstring line = L'"' + path + L'"';
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION started = {};
    if (!CreateProcessW(path.c_str(), line.data(), nullptr, nullptr, FALSE, 0, nullptr, folder.c_str(), &startup,
                        &started))
        ThrowSystemError<std::runtime_error>("cannot start ", executable);
    UniqueHandle thread(started.hThread);
    process_.Reset(started.hProcess);
    id_ = started.dwProcessId;
}

Program::~Program()
{
    if (process_.Valid() && !Ended(Milliseconds(0))) {
        TerminateProcess(process_.Get(), 1);
        WaitForSingleObject(process_.Get(), kAnswerTimeoutMs);
    }
}

bool Program::Ended(Milliseconds timeout) const
{
    return WaitForSingleObject(process_.Get(), static_cast<DWORD>(timeout.count())) == WAIT_OBJECT_0;
}

std::vector<UniqueHandle> Program::Descendants(const std::vector<std::string>& executables) const
{
    const UniqueHandle snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
    if (!snapshot.Valid())
        ThrowSystemError<std::runtime_error>("cannot list the processes");
    std::vector<PROCESSENTRY32W> entries;
    PROCESSENTRY32W entry = {};
    entry.dwSize = sizeof entry;
    for (BOOL more = Process32FirstW(snapshot.Get(), &entry); more; more = Process32NextW(snapshot.Get(), &entry))
        entries.push_back(entry);
    struct Found {
        DWORD id;
        ULONGLONG created;
    };
    // Each process found is looked up as a parent in turn.
    std::vector<Found> found = {{id_, CreationTime(process_.Get())}};
    std::vector<UniqueHandle> processes;
    for (std::size_t parent = 0; parent < found.size(); ++parent) {
        for (const PROCESSENTRY32W& child : entries) {
            if (child.th32ParentProcessID != found[parent].id)
                continue;
            UniqueHandle process(
                OpenProcess(SYNCHRONIZE | PROCESS_QUERY_LIMITED_INFORMATION, FALSE, child.th32ProcessID));
            // The parent's id may have been a process that has ended, its id
            // given since to this parent: its children are older than it.
            const ULONGLONG created = process.Valid() ? CreationTime(process.Get()) : 0;
            if (!process.Valid() || created < found[parent].created)
                continue;
            found.push_back({child.th32ProcessID, created});
            const std::string name = Utf8(child.szExeFile);
            if (std::any_of(executables.begin(), executables.end(),
                            [&](const std::string& executable) { return SameName(name, executable); }))
                processes.push_back(std::move(process));
        }
    }
    return processes;
}

std::optional<ProgramWindow> ProgramWindow::Find(DWORD processId, Milliseconds timeout)
{
    HWND found = nullptr;
    WaitUntil(
        [&] {
            for (HWND window : TopLevelWindows(processId)) {
                if (ClassName(window) == VACIALLENA_WINDOW_CLASS &&
                    WindowText(window) == texts::kWindowCaption)
                    found = window;
            }
            return found != nullptr;
        },
        timeout);
    if (!found)
        return std::nullopt;
    return ProgramWindow(found, processId);
}

RECT ProgramWindow::Rectangle() const
{
    RECT rect = {};
    if (!GetWindowRect(window_, &rect))
        ThrowSystemError<std::runtime_error>("the window has no rectangle");
    return rect;
}

HWND ProgramWindow::Control(ControlId id) const
{
    if (id == kIdWindow)
        return window_;
    // The controls sit inside frames: every descendant is looked at.
    for (HWND child : ChildWindows(window_)) {
        if (GetDlgCtrlID(child) == id)
            return child;
    }
    throw std::runtime_error("the window has no control " + std::to_string(id));
}

LRESULT ProgramWindow::Send(HWND target, UINT message, WPARAM wParam, LPARAM lParam) const
{
    DWORD_PTR result = 0;
    if (!SendMessageTimeoutW(target, message, wParam, lParam, SMTO_NORMAL, kAnswerTimeoutMs, &result))
        ThrowSystemError<std::runtime_error>("the window does not answer");
    return static_cast<LRESULT>(result);
}

std::string ProgramWindow::Text(ControlId id) const
{
    const HWND control = Control(id);
    std::wstring text(static_cast<std::size_t>(Send(control, WM_GETTEXTLENGTH, 0, 0)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(
        Send(control, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()))));
    return Utf8(text);
}

bool ProgramWindow::Enabled(ControlId id) const
{
    for (HWND window = Control(id);; window = GetParent(window)) {
        if (!IsWindowEnabled(window))
            return false;
        if (window == window_)
            return true;
    }
}

bool ProgramWindow::Visible(ControlId id) const
{
    return IsWindowVisible(Control(id)) != FALSE;
}

bool ProgramWindow::Checked(ControlId id) const
{
    return Send(Control(id), BM_GETCHECK, 0, 0) == BST_CHECKED;
}

std::vector<std::string> ProgramWindow::Items(ControlId id) const
{
    const HWND list = Control(id);
    const bool dropDown = lstrcmpiW(ClassName(list).c_str(), L"ComboBox") == 0;
    const UINT countMessage = dropDown ? CB_GETCOUNT : LB_GETCOUNT;
    const UINT lengthMessage = dropDown ? CB_GETLBTEXTLEN : LB_GETTEXTLEN;
    const UINT textMessage = dropDown ? CB_GETLBTEXT : LB_GETTEXT;
    std::vector<std::string> items;
    const LRESULT count = Send(list, countMessage, 0, 0);
    for (LRESULT i = 0; i < count; ++i) {
        const auto index = static_cast<WPARAM>(i);
        std::wstring text(static_cast<std::size_t>(Send(list, lengthMessage, index, 0)) + 1, L'\0');
        text.resize(static_cast<std::size_t>(Send(list, textMessage, index, reinterpret_cast<LPARAM>(text.data()))));
        items.push_back(Utf8(text));
    }
    return items;
}

void ProgramWindow::SetText(ControlId id, const std::string& text) const
{
    const std::wstring wide = Utf16(text);
    Send(Control(id), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(wide.c_str()));
}

void ProgramWindow::Click(ControlId id) const
{
    if (!Enabled(id))
        throw std::runtime_error("control " + std::to_string(id) + " is disabled");
    if (!PostMessageW(Control(id), BM_CLICK, 0, 0))
        ThrowSystemError<std::runtime_error>("cannot click control ", id);
}

void ProgramWindow::SetChecked(ControlId id, bool checked) const
{
    if (Checked(id) == checked)
        return;
    Click(id);
    if (!WaitUntil([&] { return Checked(id) == checked; }, kClickTimeout))
        throw std::runtime_error("check box " + std::to_string(id) + " did not change");
}

void ProgramWindow::Close() const
{
    if (!PostMessageW(window_, WM_SYSCOMMAND, SC_CLOSE, 0))
        ThrowSystemError<std::runtime_error>("cannot close the window");
}

void ProgramWindow::PostClicks(ControlId button, int count) const
{
    const HWND control = Control(button);
    for (int i = 0; i < count; ++i) {
        if (!PostMessageW(window_, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED), reinterpret_cast<LPARAM>(control)))
            ThrowSystemError<std::runtime_error>("cannot click control ", button);
    }
}

void ProgramWindow::PressKey(WPARAM key) const
{
    GUITHREADINFO input = {};
    input.cbSize = sizeof input;
    if (!GetGUIThreadInfo(GetWindowThreadProcessId(window_, nullptr), &input))
        ThrowSystemError<std::runtime_error>("cannot find the program's keyboard focus");
    // With no control focused, keys go to the active window.
    const HWND target = input.hwndFocus ? input.hwndFocus : input.hwndActive ? input.hwndActive : window_;
    if (!PostMessageW(target, WM_KEYDOWN, key, 1) || !PostMessageW(target, WM_KEYUP, key, 0xC0000001))
        ThrowSystemError<std::runtime_error>("cannot press a key");
}

void ProgramWindow::WaitUntilHandled() const
{
    // The program handles its posted messages in order: a mark posted now
    // is set only after everything posted before. Text3's modified flag is
    // the mark; the program never reads it.
    const HWND mark = Control(kIdText3);
    Send(mark, EM_SETMODIFY, FALSE, 0);
    if (!PostMessageW(mark, EM_SETMODIFY, TRUE, 0))
        ThrowSystemError<std::runtime_error>("cannot post to the window");
    if (!WaitUntil([&] { return Send(mark, EM_GETMODIFY, 0, 0) != 0; }, kClickTimeout))
        throw std::runtime_error("the window does not handle what is posted to it");
}

void ProgramWindow::ChooseFolder(ControlId button, const std::string& folder) const
{
    OpenPicker(button);
    OpenFolder(folder);
    SelectPickedFolder();
}

void ProgramWindow::OpenPicker(ControlId button) const
{
    Click(button);
    if (!WaitUntil([this] { return Visible(kIdFrame3); }, kClickTimeout))
        throw std::runtime_error("the folder picker did not open");
}

void ProgramWindow::ChooseDrive(char letter) const
{
    // Drives are listed as Explorer names them: "Disco local (C:)".
    const std::string suffix = std::string(" (") + letter + ":)";
    const std::vector<std::string> drives = Items(kIdDrive1);
    const auto found = std::find_if(drives.begin(), drives.end(), [&](const std::string& drive) {
        return drive.size() >= suffix.size() && SameName(drive.substr(drive.size() - suffix.size()), suffix);
    });
    if (found == drives.end())
        throw std::runtime_error("the drive list has no drive " + std::string(1, letter));
    const HWND list = Control(kIdDrive1);
    Send(list, CB_SETCURSEL, static_cast<WPARAM>(found - drives.begin()), 0);
    // Choosing with the mouse tells the window; setting the choice does not.
    Send(window_, WM_COMMAND, MAKEWPARAM(kIdDrive1, CBN_SELCHANGE), reinterpret_cast<LPARAM>(list));
}

void ProgramWindow::OpenFolder(const std::string& folder) const
{
    if (folder.size() < 3 || folder[1] != ':' || folder[2] != '\\')
        throw std::runtime_error("not a folder on a drive: " + folder);
    const std::string root = folder.substr(0, 3);
    if (!SameName(Text(kIdText3).substr(0, 2), folder.substr(0, 2)))
        ChooseDrive(folder[0]);
    // The folder list begins with the chain from the root down to the folder
    // it shows, and its sub-folders follow: the last line of a name is the
    // sub-folder.
    OpenDir1Line(0, root);
    std::string reached = root;
    for (std::size_t start = root.size(); start < folder.size();) {
        const std::size_t end = std::min(folder.find('\\', start), folder.size());
        const std::string name = folder.substr(start, end - start);
        start = end + 1;
        if (name.empty())
            continue;
        const std::vector<std::string> lines = Items(kIdDir1);
        const auto found =
            std::find_if(lines.rbegin(), lines.rend(), [&](const std::string& line) { return SameName(line, name); });
        if (found == lines.rend())
            throw std::runtime_error("the folder list of " + reached + " has no " + name);
        reached += (reached.back() == '\\' ? "" : "\\") + name;
        OpenDir1Line(static_cast<std::size_t>(lines.rend() - found - 1), reached);
    }
}

void ProgramWindow::OpenDir1Line(std::size_t line, const std::string& folder) const
{
    const HWND list = Control(kIdDir1);
    Send(list, LB_SETCURSEL, line, 0);
    // A double click tells the window; selecting the line does not.
    Send(window_, WM_COMMAND, MAKEWPARAM(kIdDir1, LBN_DBLCLK), reinterpret_cast<LPARAM>(list));
    if (!WaitUntil([&] { return SameName(Text(kIdText3), folder); }, kClickTimeout))
        throw std::runtime_error("the folder picker did not open " + folder);
}

void ProgramWindow::SelectPickedFolder() const
{
    Click(kIdSeleccion);
    if (!WaitUntil([this] { return !Visible(kIdFrame3); }, kClickTimeout))
        throw std::runtime_error("the folder picker stays open");
}

std::vector<MessageBoxShown> ProgramWindow::MessageBoxes() const
{
    std::vector<MessageBoxShown> boxes;
    for (HWND window : TopLevelWindows(processId_)) {
        if (ClassName(window) != kMessageBoxClass)
            continue;
        MessageBoxShown box;
        box.window = window;
        box.title = WindowText(window);
        // The box's text is its static control 0xFFFF.
        wchar_t text[4096];
        const HWND textControl = GetDlgItem(window, 0xFFFF);
        if (textControl && Send(textControl, WM_GETTEXT, 4096, reinterpret_cast<LPARAM>(text)))
            box.text = Utf8(text);
        boxes.insert(boxes.begin(), box);
    }
    return boxes;
}

std::optional<MessageBoxShown> ProgramWindow::WaitForMessageBox(Milliseconds timeout) const
{
    std::vector<MessageBoxShown> boxes;
    if (!WaitUntil([&] { return !(boxes = MessageBoxes()).empty(); }, timeout))
        return std::nullopt;
    return boxes.back();
}

void ProgramWindow::Answer(const MessageBoxShown& box, int button) const
{
    if (!PostMessageW(box.window, WM_COMMAND, static_cast<WPARAM>(button), 0))
        ThrowSystemError<std::runtime_error>("cannot answer the message box ", box.title);
    if (!WaitUntil([&] { return !IsWindow(box.window); }, kClickTimeout))
        throw std::runtime_error("the message box " + box.title + " stays open");
}

} // namespace window_driver
