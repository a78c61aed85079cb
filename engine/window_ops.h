#pragma once

#include <chrono>
#include <optional>
#include <string>

// What the engine needs from the main window. The real window implements
// it on Win32; the tests implement it with a recorder.

enum class Field { Text1, Text2, Text4, Text5, Text6 };
// Check1 "Procesar Transacciones", Check2 "Descarga", Check3 "Carga",
// Check4 "Comprobar registros", Check5 "Procesar en paralelo".
enum class CheckBox { Check1, Check2, Check3, Check4, Check5 };
enum class Caption { Label4, Label5 };
enum class Control { Aceptar, Frame4, Frame5, Frame6, Timer1 };

// What a run disables before its first command and enables again at its end,
// in this order; the window adds what lies over or inside these.
inline constexpr Control kLockedDuringRun[] = {Control::Aceptar, Control::Frame4, Control::Frame5, Control::Frame6};

// Message box styles and answers, numbered as Windows numbers them.
enum MessageStyle : int {
    kStylePlain = 0,          // OK button, no icon
    kStyleError = 16,         // error icon, OK button
    kStyleInformation = 64,   // information icon, OK button
    kStyleQuestion = 33,      // question icon, OK and Cancel
    kStyleWarningNoFirst = 308,  // warning icon 48, Yes and No 4, No the default 256
};
enum MessageAnswer : int { kAnswerOk = 1, kAnswerCancel = 2, kAnswerYes = 6, kAnswerNo = 7 };

// How far a run has got: the window's bar, its taskbar button and the time
// left beside the bar.
struct RunProgress {
    // The work done out of the run's whole: the bytes its commands go
    // through plus a start for each, or its commands when the tables'
    // sizes are not known.
    long long done = 0;
    long long total = 0;
    // A command's failure has failed the run so far.
    bool failed = false;
    // Whether the run weighs its work by the tables' sizes, or will once it
    // has counted them: only then is there a time left to show.
    bool weighed = false;
    // Once a command of the run has been measured.
    std::optional<std::chrono::seconds> left;
    // A kind of command still to come has not run yet: its rate is borrowed
    // from those that have.
    bool approximate = false;
};

class WindowOps {
  public:
    virtual ~WindowOps() = default;

    // Fields are read as typed, at the moment of use.
    virtual std::string Text(Field field) = 0;
    // 0 clear, 1 ticked, 2 greyed.
    virtual int Value(CheckBox box) = 0;
    virtual void SetCaption(Caption label, const std::string& caption) = 0;
    virtual void Enable(Control control, bool enabled) = 0;
    // Modal; returns the button pressed.
    virtual int ShowMessage(const std::string& text, const std::string& title, int style) = 0;
    // Handles whatever input and timer ticks are pending, then returns.
    virtual void DoEvents() = 0;
    // The run's progress, in the window and on its taskbar button; shown
    // from the first call of a run.
    virtual void ShowProgress(const RunProgress& progress) = 0;
    // The run is over, however it ended: the progress is taken away and the
    // user is called when the window is not in front.
    virtual void RunFinished() = 0;
    // A run that works on the databases side by side begins (true) or ends:
    // its status lines take more room meanwhile.
    virtual void ShowSideBySide(bool sideBySide) = 0;
};
