#include "window_driver.h"

#include <algorithm>
#include <stdexcept>
#include <thread>
#include <vector>

#include "win32_text.h"

namespace window_driver {

namespace {

const wchar_t kWindowCaption[] = L"Descarga - Carga de una Base de Datos Progress";
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

// The shown top-level windows of one process, topmost first.
std::vector<HWND> TopLevelWindows(DWORD processId)
{
    struct Search {
        DWORD processId;
        std::vector<HWND> found;
    } search{processId, {}};
    EnumWindows(
        [](HWND window, LPARAM lParam) -> BOOL {
            auto& search = *reinterpret_cast<Search*>(lParam);
            if (ProcessOf(window) == search.processId && IsWindowVisible(window))
                search.found.push_back(window);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

std::string ErrorText(const std::string& what)
{
    return what + ": " + SystemErrorText(GetLastError());
}

} // namespace

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
        throw std::runtime_error(ErrorText("cannot start " + executable));
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

std::optional<ProgramWindow> ProgramWindow::Find(DWORD processId, Milliseconds timeout)
{
    HWND found = nullptr;
    WaitUntil(
        [&] {
            for (HWND window : TopLevelWindows(processId)) {
                wchar_t caption[64];
                GetWindowTextW(window, caption, 64);
                if (ClassName(window) == VACIALLENA_WINDOW_CLASS && std::wstring(caption) == kWindowCaption)
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
        throw std::runtime_error(ErrorText("the window has no rectangle"));
    return rect;
}

HWND ProgramWindow::Control(ControlId id) const
{
    if (id == kIdWindow)
        return window_;
    struct Search {
        int id;
        HWND found;
    } search{id, nullptr};
    // The controls sit inside frames: every descendant is looked at.
    EnumChildWindows(
        window_,
        [](HWND child, LPARAM lParam) -> BOOL {
            auto& search = *reinterpret_cast<Search*>(lParam);
            if (GetDlgCtrlID(child) != search.id)
                return TRUE;
            search.found = child;
            return FALSE;
        },
        reinterpret_cast<LPARAM>(&search));
    if (!search.found)
        throw std::runtime_error("the window has no control " + std::to_string(id));
    return search.found;
}

LRESULT ProgramWindow::Send(HWND target, UINT message, WPARAM wParam, LPARAM lParam) const
{
    DWORD_PTR result = 0;
    if (!SendMessageTimeoutW(target, message, wParam, lParam, SMTO_NORMAL, kAnswerTimeoutMs, &result))
        throw std::runtime_error(ErrorText("the window does not answer"));
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

void ProgramWindow::SetText(ControlId id, const std::string& text) const
{
    const std::wstring wide = Utf16(text);
    Send(Control(id), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(wide.c_str()));
}

void ProgramWindow::Click(ControlId id) const
{
    if (!PostMessageW(Control(id), BM_CLICK, 0, 0))
        throw std::runtime_error(ErrorText("cannot click control " + std::to_string(id)));
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
        throw std::runtime_error(ErrorText("cannot close the window"));
}

std::vector<MessageBoxShown> ProgramWindow::MessageBoxes() const
{
    std::vector<MessageBoxShown> boxes;
    for (HWND window : TopLevelWindows(processId_)) {
        if (ClassName(window) != kMessageBoxClass)
            continue;
        MessageBoxShown box;
        box.window = window;
        wchar_t text[4096];
        GetWindowTextW(window, text, 4096);
        box.title = Utf8(text);
        // The box's text is its static control 0xFFFF.
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
        throw std::runtime_error(ErrorText("cannot answer the message box " + box.title));
    if (!WaitUntil([&] { return !IsWindow(box.window); }, kClickTimeout))
        throw std::runtime_error("the message box " + box.title + " stays open");
}

} // namespace window_driver
