#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <string>

#include <windows.h>

#include <shobjidl.h>

#include "com_owners.h"
#include "control_ids.h"
#include "directory_picker.h"
#include "engine.h"
#include "gdi_handles.h"
#include "platform.h"
#include "window_ops.h"

// The program's one window, frmVaciallena: the folders and ticks of a run,
// its status lines, the folder picker and the exit confirmation. It owns the
// engine and is the engine's window.
class MainWindow : public WindowOps {
  public:
    // endProgram ends the process at once, without returning: the exit
    // confirmation and the window's close box call it.
    MainWindow(HINSTANCE instance, Platform& platform, std::function<void()> endProgram);
    ~MainWindow() override;
    MainWindow(const MainWindow&) = delete;
    MainWindow& operator=(const MainWindow&) = delete;

    HWND Handle() const { return window_; }
    HWND ControlWindow(ControlId id) const;

    // Keyboard handling of the window (focus order, access keys); true when
    // the message was used up. Every message loop of the program calls it.
    bool PreTranslate(const MSG& message);

    // WindowOps, for the engine.
    std::string Text(Field field) override;
    int Value(CheckBox box) override;
    void SetCaption(Caption label, const std::string& caption) override;
    void Enable(Control control, bool enabled) override;
    int ShowMessage(const std::string& text, const std::string& title, int style) override;
    void DoEvents() override;
    void ShowProgress(const RunProgress& progress) override;
    void RunFinished() override;
    void ShowSideBySide(bool sideBySide) override;

    // The answer of the last exit confirmation, once asked.
    std::optional<std::int32_t> Respuesta;
    std::string RutaDLC;
    int Posicion = 0;
    // The field the folder picker fills: 0 Text1, 1 Text5, 2 Text2, 3 Text6,
    // 4 Text4. Unset until a folder button is clicked.
    std::optional<std::int16_t> CampoRuta;

  private:
    static LRESULT WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam);
    void Command(int id, int notification);

    void Form_Activate();
    void Check2_Click();
    void Check3_Click();
    void Aceptar_Click();
    void Cancelar_Click();
    void Timer1_Timer();
    void RunTimer1(bool running);
    // The user ends the program: the run in progress, if any, is ended in its log first.
    void EndProgram();
    void TaskbarButtonCreated();
    void ShowRunProgress(bool shown);

    void Buscar_Click(std::int16_t campo);
    // Which field a folder button fills, as CampoRuta counts them.
    static std::optional<std::int16_t> CampoOf(ControlId button);
    // "Selección" of the folder picker.
    void FolderChosen(const std::string& folder);
    void FocusAfterPicker();

    void CreateControls();
    void LayOut(int dpi);
    // The status lines where the run in progress needs them.
    void PlaceStatusLines(int dpi);
    void DpiChanged(int dpi, const RECT& suggested);

    std::string ControlText(ControlId id) const;
    void SetControlText(ControlId id, const std::string& text);
    void SetEnabled(ControlId id, bool enabled);
    // Every control enabled as its own state and its containers' say.
    void ShowEnabling();
    bool EnabledWithContainers(ControlId id) const;
    bool Usable(ControlId id) const;
    ControlId FocusedControl() const;
    void MoveFocus(bool forward);
    bool PressAccessKey(wchar_t key);

    // Joined first and left last: the taskbar object lives in this thread's apartment.
    UniqueComApartment comApartment_ = JoinComApartment();
    Engine engine_;
    Platform& platform_;
    std::function<void()> endProgram_;
    HINSTANCE instance_;
    HWND window_ = nullptr;
    std::map<ControlId, HWND> controls_;
    // Each control's own enabled state; what Windows shows also depends on
    // the frames around it.
    std::map<ControlId, bool> enabled_;
    UniqueFont font_;
    UniqueFont boldFont_;
    UniqueIcon icon_;
    UniqueIcon smallIcon_;
    UniqueIcon folderPicture_;
    // Made once its controls are.
    std::optional<DirectoryPicker> picker_;
    bool timerRunning_ = false;
    // The status line as the engine set it, before any dots.
    std::string statusCaption_;
    // A run works on the databases side by side.
    bool sideBySide_ = false;
    // Sent when the window's taskbar button exists, again after Explorer restarts.
    UINT taskbarButtonCreated_ = RegisterWindowMessageW(L"TaskbarButtonCreated");
    // Empty until the taskbar button exists, and where the system has no such object.
    UniqueCom<ITaskbarList3> taskbar_;
    bool activated_ = false;
    HWND focusOnDeactivation_ = nullptr;
};
