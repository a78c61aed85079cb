#include <gtest/gtest.h>

#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include <windows.h>
#include <commctrl.h>
// Before the window's own headers, so that a name of theirs that one of its
// macros (DeleteFont, SelectBitmap, ...) takes breaks the build here.
#include <windowsx.h>

#include "form_layout.h"
#include "message_box_answerer.h"
#include "request.h"
#include "report_files.h"
#include "run_report.h"
#include "sample_databases.h"
#include "system_helpers.h"
#include "texts.h"
#include "win32_text.h"
#include "window_driver.h"
#include "window_fixture.h"

namespace {

// The real system, which hands the test the window while each command
// runs, in the middle of the run, with the run's own event processing.
class SystemWatchingCommands : public SystemWithListsIn {
  public:
    using SystemWithListsIn::SystemWithListsIn;
    std::function<void(const std::function<void()>& processEvents)> atEachCommand;

    std::optional<std::size_t> WaitForCommands(const std::vector<StartedCommand*>& commands,
                                               std::optional<std::chrono::milliseconds> timeout,
                                               const std::function<void()>& whileWaiting) override
    {
        if (atEachCommand && !commands.empty())
            atEachCommand(whileWaiting);
        return SystemWithListsIn::WaitForCommands(commands, timeout, whileWaiting);
    }
};

class MainWindowTest : public MainWindowFixture {
  protected:
    TempFolder root{"vaciallena ventana ñ"};
    std::string installation = root.Make("korv");
    std::string programFolder = root.Make(JoinPath("korv", "programas"));
    SystemWatchingCommands system{programFolder};
    int endRequests = 0;
    std::string statusAtEnd;

    void SetUp() override
    {
        OpenWindow(system, [this] {
            ++endRequests;
            statusAtEnd = Caption(kIdLabel5);
        });
    }

    // A key as Windows queues it for the control with the focus.
    void Press(UINT message, WPARAM key) const
    {
        PostMessageW(GetFocus() ? GetFocus() : window->Handle(), message, key, 0);
        window->DoEvents();
    }

    RECT RectInContainer(ControlId id) const
    {
        RECT rect;
        GetWindowRect(Hwnd(id), &rect);
        MapWindowPoints(nullptr, GetParent(Hwnd(id)), reinterpret_cast<POINT*>(&rect), 2);
        return rect;
    }

    void ExpectLaidOutAt(int dpi) const
    {
        for (const ControlLayout& control : FormLayout()) {
            const RECT rect = RectInContainer(control.id);
            EXPECT_EQ(rect.left, TwipsToPixels(control.left, dpi)) << control.id << " at " << dpi;
            EXPECT_EQ(rect.top, TwipsToPixels(control.top, dpi)) << control.id << " at " << dpi;
            EXPECT_EQ(rect.right - rect.left, TwipsToPixels(control.width, dpi)) << control.id << " at " << dpi;
            if (control.kind != ControlKind::DriveList) {
                EXPECT_EQ(rect.bottom - rect.top, TwipsToPixels(control.height, dpi)) << control.id;
            }
        }
        RECT client;
        GetClientRect(window->Handle(), &client);
        EXPECT_EQ(client.right, TwipsToPixels(kClientWidthTwips, dpi));
        EXPECT_EQ(client.bottom, TwipsToPixels(kClientHeightTwips, dpi));
    }
};

TEST_F(MainWindowTest, OpensWithItsCaptionsAndOnlyTheDumpFileFieldsUsable)
{
    wchar_t title[256];
    GetWindowTextW(window->Handle(), title, 256);
    EXPECT_EQ(Utf8(title), "Descarga - Carga de una Base de Datos Progress");
    // The text fields start empty; activation has filled the DLC folders and
    // Text3. The drive list shows the drive it starts at.
    for (const ControlLayout& control : FormLayout()) {
        if (control.kind != ControlKind::TextField && control.kind != ControlKind::DriveList) {
            EXPECT_EQ(Caption(control.id), control.caption) << control.id;
        }
    }
    for (ControlId field : {kIdText1, kIdText2, kIdText4})
        EXPECT_EQ(Caption(field), "") << field;
    EXPECT_EQ(Caption(kIdLabel3_0), "Ruta  DLC");
    EXPECT_EQ(Caption(kIdAceptar), "&Aceptar");

    const std::vector<ControlId> usable = {kIdFrame1, kIdFrame2, kIdFrame4,  kIdFrame5,   kIdFrame6,   kIdCheck1,
                                           kIdCheck2, kIdCheck3, kIdCheck4,  kIdCheck5,   kIdText4,    kIdBuscar4,
                                           kIdLabel3_1, kIdAceptar, kIdCancelar, kIdLabel4, kIdLabel5};
    for (const ControlLayout& control : FormLayout()) {
        const bool inPicker = control.id == kIdFrame3 || control.container == kIdFrame3 ||
                              control.container == kIdFrame7;
        const bool expected = std::find(usable.begin(), usable.end(), control.id) != usable.end();
        if (!inPicker) {
            EXPECT_EQ(Usable(control.id), expected) << control.id;
        }
    }
    EXPECT_FALSE(IsWindowVisible(Hwnd(kIdFrame3)));
    EXPECT_FALSE(IsWindowVisible(Hwnd(kIdDir1)));
    for (ControlId box : {kIdCheck1, kIdCheck2, kIdCheck3})
        EXPECT_EQ(Button_GetCheck(Hwnd(box)), BST_UNCHECKED);
    EXPECT_EQ(GetFocus(), Hwnd(kIdAceptar));
    ExpectLaidOutAt(96);
}

TEST_F(MainWindowTest, LaysItselfOutAgainOnAMonitorOfAnotherDpi)
{
    RECT suggested = {10, 20, 1000, 800};
    SendMessageW(window->Handle(), WM_DPICHANGED, MAKEWPARAM(144, 144), reinterpret_cast<LPARAM>(&suggested));
    ExpectLaidOutAt(144);
    RECT placed;
    GetWindowRect(window->Handle(), &placed);
    EXPECT_EQ(placed.left, 10);
    EXPECT_EQ(placed.top, 20);
    // The text grows with the dpi too.
    LOGFONTW font;
    GetObjectW(GetWindowFont(Hwnd(kIdText1)), sizeof font, &font);
    EXPECT_EQ(font.lfHeight, -17);
    GetObjectW(GetWindowFont(Hwnd(kIdLabel5)), sizeof font, &font);
    EXPECT_EQ(font.lfWeight, FW_BOLD);
}

TEST_F(MainWindowTest, DescargaAndCargaSwitchTheirGroupsAndKeepTheTexts)
{
    const std::vector<ControlId> dumpGroup = {kIdLabel1, kIdLabel3_0, kIdText1, kIdText5, kIdBuscar, kIdBuscar1};
    const std::vector<ControlId> loadGroup = {kIdLabel2, kIdLabel3_2, kIdText2, kIdText6, kIdBuscar2, kIdBuscar3};

    Click(kIdCheck2);
    for (ControlId id : dumpGroup)
        EXPECT_TRUE(Usable(id)) << id;
    for (ControlId id : loadGroup)
        EXPECT_FALSE(Usable(id)) << id;
    Type(kIdText1, "D:\\bd origen");
    Click(kIdCheck2);
    for (ControlId id : dumpGroup)
        EXPECT_FALSE(Usable(id)) << id;
    EXPECT_EQ(Caption(kIdText1), "D:\\bd origen");
    // The dump-file folder is not the dump group's.
    EXPECT_TRUE(Usable(kIdText4));

    Click(kIdCheck3);
    for (ControlId id : loadGroup)
        EXPECT_TRUE(Usable(id)) << id;
    Click(kIdCheck3);
    for (ControlId id : loadGroup)
        EXPECT_FALSE(Usable(id)) << id;
    // Carga takes the dump-file folder with it, but not its folder button.
    EXPECT_FALSE(Usable(kIdText4));
    EXPECT_TRUE(Usable(kIdBuscar4));
    Click(kIdCheck2);
    EXPECT_FALSE(Usable(kIdText4));
    Click(kIdCheck3);
    EXPECT_TRUE(Usable(kIdText4));
}

TEST_F(MainWindowTest, ActivationProposesTheInstallationsDlcFolderOnce)
{
    const std::string dlc = JoinPath(installation, "dlc\\bin");
    EXPECT_EQ(Caption(kIdText5), dlc);
    EXPECT_EQ(Caption(kIdText6), dlc);
    EXPECT_EQ(window->RutaDLC, dlc);
    wchar_t current[MAX_PATH];
    GetCurrentDirectoryW(MAX_PATH, current);
    EXPECT_EQ(Caption(kIdText3), Utf8(current));

    // Coming back from another program keeps what the user typed.
    Type(kIdText5, "E:\\otra\\dlc\\bin");
    SendMessageW(window->Handle(), WM_ACTIVATE, WA_INACTIVE, 0);
    SendMessageW(window->Handle(), WM_ACTIVATE, WA_ACTIVE, 0);
    EXPECT_EQ(Caption(kIdText5), "E:\\otra\\dlc\\bin");
}

TEST_F(MainWindowTest, ExitAsksFirstAndOnlyOkEndsTheProgram)
{
    MessageBoxAnswerer answerer([](const MessageBoxAnswerer::Box&) { return IDCANCEL; });
    Click(kIdCancelar);
    ASSERT_EQ(answerer.boxes.size(), 1u);
    const MessageBoxAnswerer::Box& box = answerer.boxes[0];
    EXPECT_EQ(box.text, "¿Está seguro de querer salir del Programa de Brandemar?");
    EXPECT_EQ(box.title, "Salir del Programa");
    EXPECT_TRUE(box.hasOk && box.hasCancel && box.okIsDefault);
    EXPECT_EQ(box.icon, LoadIconW(nullptr, IDI_QUESTION));
    EXPECT_EQ(endRequests, 0);
    EXPECT_EQ(window->Respuesta, 2);

    MessageBoxAnswerer ok([](const MessageBoxAnswerer::Box&) { return IDOK; });
    Click(kIdCancelar);
    EXPECT_EQ(endRequests, 1);
    EXPECT_EQ(window->Respuesta, 1);
}

TEST_F(MainWindowTest, TheCloseBoxEndsTheProgramWithoutAsking)
{
    MessageBoxAnswerer answerer([](const MessageBoxAnswerer::Box&) { return IDCANCEL; });
    SendMessageW(window->Handle(), WM_SYSCOMMAND, SC_CLOSE, 0);
    EXPECT_EQ(endRequests, 1);
    EXPECT_TRUE(answerer.boxes.empty());
}

TEST_F(MainWindowTest, KeyboardFollowsTheWindowsFocusOrderAndAccessKeys)
{
    ASSERT_EQ(GetFocus(), Hwnd(kIdAceptar));
    Press(WM_KEYDOWN, VK_TAB);
    EXPECT_EQ(GetFocus(), Hwnd(kIdCancelar));
    // The picker is hidden and the dump fields disabled: next comes Descarga.
    Press(WM_KEYDOWN, VK_TAB);
    EXPECT_EQ(GetFocus(), Hwnd(kIdCheck2));
    Click(kIdCheck2);
    Press(WM_KEYDOWN, VK_TAB);
    EXPECT_EQ(GetFocus(), Hwnd(kIdText1));

    MessageBoxAnswerer answerer([](const MessageBoxAnswerer::Box&) { return IDCANCEL; });
    Press(WM_SYSCHAR, L'c');
    ASSERT_EQ(answerer.boxes.size(), 1u);
    EXPECT_EQ(answerer.boxes[0].title, "Salir del Programa");
    Press(WM_SYSCHAR, L'A');
    ASSERT_EQ(answerer.boxes.size(), 2u);
    EXPECT_EQ(answerer.boxes[1].title, "Informar ruta ficheros .bd");
}

TEST_F(MainWindowTest, ComprobarRegistrosFollowsProcesarTransaccionesTickedAndLockedWithItsFrame)
{
    EXPECT_EQ(GetParent(Hwnd(kIdCheck4)), Hwnd(kIdFrame6));
    EXPECT_EQ(RectInContainer(kIdCheck4).top, RectInContainer(kIdCheck1).top);
    EXPECT_GT(RectInContainer(kIdCheck4).left, RectInContainer(kIdCheck1).right);
    EXPECT_EQ(window->Value(CheckBox::Check4), BST_CHECKED);

    Press(WM_SYSCHAR, L'r');
    EXPECT_EQ(GetFocus(), Hwnd(kIdCheck4));
    EXPECT_EQ(window->Value(CheckBox::Check4), BST_UNCHECKED);
    SetFocus(Hwnd(kIdCheck1));
    Press(WM_KEYDOWN, VK_TAB);
    EXPECT_EQ(GetFocus(), Hwnd(kIdCheck4));

    window->Enable(Control::Frame6, false);
    EXPECT_FALSE(Usable(kIdCheck4));
}

// Side by side the table line names up to three tables: while the engine
// says such a run goes on it has a row of its own, as wide as the status
// line's.
TEST_F(MainWindowTest, TheTableLineTakesARowOfItsOwnWhileTheDatabasesGoSideBySide)
{
    const RECT row = RectInContainer(kIdLabel4);
    window->ShowSideBySide(true);
    EXPECT_GE(RectInContainer(kIdLabel4).top, RectInContainer(kIdLabel5).bottom);
    EXPECT_EQ(RectInContainer(kIdLabel4).right - RectInContainer(kIdLabel4).left,
              RectInContainer(kIdLabel5).right - RectInContainer(kIdLabel5).left);
    window->ShowSideBySide(false);
    EXPECT_EQ(RectInContainer(kIdLabel4).top, row.top);
}

// Wine's progress control keeps no state (PBM_GETSTATE always says normal):
// the test hears what the window asks of it instead.
LRESULT CALLBACK RecordBarState(HWND bar, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR state)
{
    if (message == PBM_SETSTATE)
        *reinterpret_cast<WPARAM*>(state) = wParam;
    return DefSubclassProc(bar, message, wParam, lParam);
}

// Between the buttons, only while a run shows its progress: the idle window
// is as it has always been.
TEST_F(MainWindowTest, TheBarAndTheTimeLeftShowOnlyWhileARunShowsItsProgress)
{
    HWND bar = Hwnd(kIdProgressBar1);
    WPARAM state = 0;
    SetWindowSubclass(bar, RecordBarState, 0, reinterpret_cast<DWORD_PTR>(&state));
    const auto shown = [&] { return IsWindowVisible(bar) && IsWindowVisible(Hwnd(kIdLabel6)); };
    EXPECT_FALSE(IsWindowVisible(bar) || IsWindowVisible(Hwnd(kIdLabel6)));

    const RunProgress progress{3, 4, false, true, std::chrono::minutes(42), false};
    window->ShowProgress(progress);
    EXPECT_TRUE(shown());
    EXPECT_EQ(SendMessageW(bar, PBM_GETPOS, 0, 0), 7500);
    EXPECT_EQ(Caption(kIdLabel6), texts::TimeLeft(progress));

    window->ShowProgress({4, 5, true, false, {}, false});
    EXPECT_EQ(state, static_cast<WPARAM>(PBST_ERROR));

    // The next run starts empty, and not failed.
    window->RunFinished();
    EXPECT_FALSE(IsWindowVisible(bar) || IsWindowVisible(Hwnd(kIdLabel6)));
    EXPECT_EQ(SendMessageW(bar, PBM_GETPOS, 0, 0), 0);
    EXPECT_EQ(state, static_cast<WPARAM>(PBST_NORMAL));
    RemoveWindowSubclass(bar, RecordBarState, 0);
}

TEST_F(MainWindowTest, ProcesarEnParaleloFollowsComprobarRegistrosClearAndLockedWithItsFrame)
{
    EXPECT_EQ(GetParent(Hwnd(kIdCheck5)), Hwnd(kIdFrame6));
    EXPECT_EQ(RectInContainer(kIdCheck5).top, RectInContainer(kIdCheck4).top);
    EXPECT_GT(RectInContainer(kIdCheck5).left, RectInContainer(kIdCheck4).right);
    EXPECT_FALSE(ReadRequest(*window).parallel);

    Press(WM_SYSCHAR, L'p');
    EXPECT_EQ(GetFocus(), Hwnd(kIdCheck5));
    EXPECT_TRUE(ReadRequest(*window).parallel);
    SetFocus(Hwnd(kIdCheck4));
    Press(WM_KEYDOWN, VK_TAB);
    EXPECT_EQ(GetFocus(), Hwnd(kIdCheck5));

    window->Enable(Control::Frame6, false);
    EXPECT_FALSE(Usable(kIdCheck5));
}

// The system with a fault nobody foresaw, met as the window is activated.
class SystemWithAFault : public SystemServices {
  public:
    std::string ProgramFolder() override { throw std::out_of_range("índice fuera de rango"); }
};

class MainWindowFaultTest : public MainWindowFixture {
  protected:
    SystemWithAFault system;
};

TEST_F(MainWindowFaultTest, AnUnforeseenExceptionIsShownAndTheWindowGoesOn)
{
    MessageBoxAnswerer answerer([](const MessageBoxAnswerer::Box&) { return IDOK; });
    OpenWindow(system, [] {});
    ASSERT_EQ(answerer.boxes.size(), 1u);
    const MessageBoxAnswerer::Box& box = answerer.boxes[0];
    EXPECT_EQ(box.text, "índice fuera de rango");
    EXPECT_EQ(box.title, "Vaciallena");
    EXPECT_TRUE(box.hasOk && !box.hasCancel);
    EXPECT_EQ(box.icon, LoadIconW(nullptr, IDI_ERROR));

    Click(kIdCheck2);
    EXPECT_TRUE(Usable(kIdText1));
}

class MainWindowRunTest : public MainWindowTest {
  protected:
    // Every window inside the main window, found by walking the windows
    // themselves, not from any list of the program's.
    std::vector<HWND> AllControls() const
    {
        return window_driver::ChildWindows(window->Handle());
    }

    // Whether the user could change a folder or a tick, or start a run,
    // through it: any input control but the one that leaves the program.
    static bool CouldChangeTheRun(HWND control)
    {
        wchar_t name[32];
        GetClassNameW(control, name, 32);
        if (lstrcmpiW(name, L"Edit") == 0)
            return (GetWindowLongW(control, GWL_STYLE) & ES_READONLY) == 0;
        const bool input =
            lstrcmpiW(name, L"Button") == 0 || lstrcmpiW(name, L"ComboBox") == 0 || lstrcmpiW(name, L"ListBox") == 0;
        return input && GetDlgCtrlID(control) != kIdCancelar;
    }
};

struct Sample {
    std::vector<int> unlocked;  // controls of CouldChangeTheRun still usable
    std::string status;
    std::string table;
    bool barShown;
    LRESULT barPosition;
};

bool HasDots(const std::string& status, const std::string& caption)
{
    return status.size() > caption.size() && status.compare(0, caption.size(), caption) == 0 &&
           status.find_first_not_of('.', caption.size()) == std::string::npos;
}

TEST_F(MainWindowRunTest, AWholeRunLocksTheWindowShowsItsProgressAndSurvivesAnExitQuestion)
{
    const std::string source = root.Make("bd origen");
    const std::string destination = root.Make("bd destino");
    const std::string dumpFolder = root.Make("ficheros bd");
    WriteSampleDatabases(source, destination, programFolder);
    Type(kIdText1, source);
    Type(kIdText2, destination);
    Type(kIdText4, dumpFolder);
    Type(kIdText5, StandinFolder());
    Type(kIdText6, StandinFolder());
    Click(kIdCheck2);
    Click(kIdCheck3);
    // A picker left open cannot change a folder while the run reads them.
    Click(kIdBuscar4);
    // Where Windows has a taskbar object (Wine's does nothing), the run
    // shows its progress there as well.
    SendMessageW(window->Handle(), RegisterWindowMessageW(L"TaskbarButtonCreated"), 0, 0);
    const std::vector<HWND> controls = AllControls();
    ASSERT_EQ(controls.size(), FormLayout().size());
    std::vector<bool> usableBefore;
    for (HWND control : controls)
        usableBefore.push_back(Usable(control));

    // The user asks to leave twice during the run: first thinks better of
    // it, then confirms (the test's endProgram only counts). At each command
    // the timer ticks once more.
    int exitQuestions = 0;
    MessageBoxAnswerer answerer([&](const MessageBoxAnswerer::Box& box) {
        if (box.title != "Salir del Programa")
            return IDOK;
        return ++exitQuestions == 1 ? IDCANCEL : IDOK;
    });
    const RunReport report([&] { return BoxLines(answerer.boxes); },
                           [&] { return JoinPath(dumpFolder, kLogFileName); });
    std::vector<Sample> samples;
    bool askedDuringDump = false;
    bool askedDuringLoad = false;
    system.atEachCommand = [&](const std::function<void()>& processEvents) {
        const auto askOnceIn = [&](bool& asked, const std::string& pass) {
            if (!asked && Caption(kIdLabel5).rfind(pass, 0) == 0) {
                asked = true;
                PostMessageW(Hwnd(kIdCancelar), BM_CLICK, 0, 0);
            }
        };
        askOnceIn(askedDuringDump, "Procesando Descarga Korvane1");
        askOnceIn(askedDuringLoad, "Procesando Carga Korvane2");
        PostMessageW(window->Handle(), WM_TIMER, kIdTimer1, 0);
        processEvents();
        Sample sample{{}, Caption(kIdLabel5), Caption(kIdLabel4), IsWindowVisible(Hwnd(kIdProgressBar1)) != FALSE,
                      SendMessageW(Hwnd(kIdProgressBar1), PBM_GETPOS, 0, 0)};
        for (HWND control : AllControls()) {
            if (CouldChangeTheRun(control) && Usable(control))
                sample.unlocked.push_back(GetDlgCtrlID(control));
        }
        samples.push_back(sample);
    };
    Click(kIdAceptar);

    ASSERT_EQ(answerer.boxes.size(), 2u);
    EXPECT_EQ(endRequests, 1);
    EXPECT_EQ(statusAtEnd.rfind("Procesando Carga Korvane2 ", 0), 0u) << statusAtEnd;
    EXPECT_NE(ReadTextFile(JoinPath(dumpFolder, kLogFileName)).find("interrumpida por el usuario"), std::string::npos);
    // Without "Procesar Transacciones" the transactions stay behind.
    for (int i = 0; i < 3; ++i) {
        standin::Database expected = SourceDatabase(i);
        expected.Find("gmtrans")->records.clear();
        EXPECT_EQ(standin::ReadDatabase(DatabasePath(destination, i)), expected) << i;
    }

    ASSERT_FALSE(samples.empty());
    bool dots = false;
    bool tableShown = false;
    for (const Sample& sample : samples) {
        EXPECT_EQ(sample.unlocked, std::vector<int>()) << sample.status;
        EXPECT_TRUE(sample.barShown) << sample.status;
        dots = dots || HasDots(sample.status, "Procesando Descarga Korvane ") ||
               HasDots(sample.status, "Procesando Carga Korvane1 ");
        tableShown = tableShown || sample.table == "Tabla: factura";
    }
    EXPECT_TRUE(dots);
    EXPECT_TRUE(tableShown);
    EXPECT_GT(samples.back().barPosition, samples.front().barPosition);

    // Unlocked, with both status lines empty, and the clock stopped.
    EXPECT_EQ(Caption(kIdLabel5), "");
    EXPECT_EQ(Caption(kIdLabel4), "");
    for (std::size_t i = 0; i < controls.size(); ++i)
        EXPECT_EQ(Usable(controls[i]), usableBefore[i]) << GetDlgCtrlID(controls[i]);
    SendMessageW(window->Handle(), WM_TIMER, kIdTimer1, 0);
    EXPECT_EQ(Caption(kIdLabel5), "");
}

} // namespace
