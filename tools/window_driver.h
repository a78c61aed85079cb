#pragma once

#include <chrono>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include <windows.h>

#include "control_ids.h"
#include "win32_handle.h"

// Drives Vaciallena from another process the way a person does: it finds the
// window and its controls, reads what they show, types into fields, clicks
// and answers the message boxes. The program runs its commands inside the
// click on "&Aceptar", so nothing here ever waits on the program's thread:
// clicks and answers are posted, reads give up after a few seconds.
namespace window_driver {

using Milliseconds = std::chrono::milliseconds;

// Asks until condition holds or timeout has passed; says which.
bool WaitUntil(const std::function<bool()>& condition, Milliseconds timeout);

// Every window inside parent, at any depth, in Windows' order.
std::vector<HWND> ChildWindows(HWND parent);

// True once every one of the processes has ended, waiting up to timeout.
bool AllEnded(const std::vector<UniqueHandle>& processes, Milliseconds timeout);

// A program started from its executable, in the executable's folder as a
// double click would, with this process's environment. One still running
// when this is destroyed is ended, so that its files can be removed.
class Program {
  public:
    explicit Program(const std::string& executable);
    Program(Program&&) = default;
    Program& operator=(Program&&) = default;
    ~Program();

    DWORD Id() const { return id_; }
    // True once the process has ended, waiting for it up to timeout.
    bool Ended(Milliseconds timeout) const;
    // The processes it started that still run, and theirs, opened so that
    // one can wait for them after the program has gone. Only those running
    // one of executables (file names) are taken: Wine starts helpers of its
    // own, such as explorer.exe, from a program, and they outlive it.
    std::vector<UniqueHandle> Descendants(const std::vector<std::string>& executables) const;

  private:
    UniqueHandle process_;
    DWORD id_ = 0;
};

struct MessageBoxShown {
    HWND window = nullptr;
    std::string title;
    std::string text;
};

// The main window of one running program. Reads throw std::runtime_error
// when the window no longer answers.
class ProgramWindow {
  public:
    // Waits for the window of the process processId to be shown.
    static std::optional<ProgramWindow> Find(DWORD processId, Milliseconds timeout);

    HWND Handle() const { return window_; }
    bool Exists() const { return IsWindow(window_) != FALSE; }
    RECT Rectangle() const;

    // kIdWindow is the window itself.
    HWND Control(ControlId id) const;
    std::string Text(ControlId id) const;
    // As the user can use it: the control and every frame around it enabled.
    bool Enabled(ControlId id) const;
    bool Visible(ControlId id) const;
    bool Checked(ControlId id) const;
    // The lines of a list or a drop-down list.
    std::vector<std::string> Items(ControlId id) const;

    void SetText(ControlId id, const std::string& text) const;
    // Throws when the control is disabled: nobody can click it then.
    void Click(ControlId id) const;
    // Clicks a check box when it is not as wanted and waits until it is.
    void SetChecked(ControlId id, bool checked) const;
    // The close box of the window's frame.
    void Close() const;
    // Posts the notifications of count clicks on a button back to back, as
    // a double click or a bouncing mouse queues them before the program has
    // handled the first; whether the button is enabled is not looked at.
    void PostClicks(ControlId button, int count) const;
    // A key pressed and let go where the program's keyboard focus is, in
    // the window or in a message box of it.
    void PressKey(WPARAM key) const;
    // Waits until the program has handled every message posted to it so far.
    void WaitUntilHandled() const;

    // The folder picker, used as a person does. ChooseFolder fills the field
    // of a folder button with a folder on a drive (X:\...): it opens the
    // picker, goes to the folder and selects it. The steps are there too.
    void ChooseFolder(ControlId button, const std::string& folder) const;
    void OpenPicker(ControlId button) const;
    // Picks the drive of that letter in Drive1.
    void ChooseDrive(char letter) const;
    // Picks the folder's drive in Drive1 unless the picker is on it, then in
    // Dir1 opens the drive's root and each folder down from there.
    void OpenFolder(const std::string& folder) const;
    // "&Seleccion de Ruta".
    void SelectPickedFolder() const;

    // The message boxes the program shows now, the one on top last.
    std::vector<MessageBoxShown> MessageBoxes() const;
    std::optional<MessageBoxShown> WaitForMessageBox(Milliseconds timeout) const;
    // Presses IDOK or IDCANCEL and waits for the box to go away.
    void Answer(const MessageBoxShown& box, int button) const;

  private:
    ProgramWindow(HWND window, DWORD processId) : window_(window), processId_(processId) {}
    LRESULT Send(HWND target, UINT message, WPARAM wParam, LPARAM lParam) const;
    void OpenDir1Line(std::size_t line, const std::string& folder) const;

    HWND window_;
    DWORD processId_;
};

} // namespace window_driver
