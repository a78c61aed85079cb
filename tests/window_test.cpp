#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include <windows.h>

#include "form_layout.h"
#include "message_box_answerer.h"
#include "sample_databases.h"
#include "system_helpers.h"
#include "win32_text.h"
#include "window_fixture.h"

namespace {

class MainWindowTest : public MainWindowFixture {
  protected:
    TempFolder root{"vaciallena ventana ñ"};
    std::string installation = root.Make("korv");
    std::string programFolder = root.Make(JoinPath("korv", "programas"));
    SystemWithListsIn system{programFolder};
    int endRequests = 0;
    std::string statusAtEnd;

    void SetUp() override
    {
        OpenWindow(system, [this] {
            ++endRequests;
            statusAtEnd = Caption(kIdLabel5);
        });
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

    const std::vector<ControlId> usable = {kIdFrame1, kIdFrame2, kIdFrame4, kIdFrame5, kIdFrame6, kIdCheck1,
                                           kIdCheck2, kIdCheck3, kIdText4,  kIdBuscar4, kIdLabel3_1,
                                           kIdAceptar, kIdCancelar, kIdLabel4, kIdLabel5};
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
        EXPECT_EQ(SendMessageW(Hwnd(box), BM_GETCHECK, 0, 0), BST_UNCHECKED);
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
    GetObjectW(reinterpret_cast<HFONT>(SendMessageW(Hwnd(kIdText1), WM_GETFONT, 0, 0)), sizeof font, &font);
    EXPECT_EQ(font.lfHeight, -17);
    GetObjectW(reinterpret_cast<HFONT>(SendMessageW(Hwnd(kIdLabel5), WM_GETFONT, 0, 0)), sizeof font, &font);
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
    auto press = [this](UINT message, WPARAM key) {
        PostMessageW(GetFocus() ? GetFocus() : window->Handle(), message, key, 0);
        window->DoEvents();
    };
    ASSERT_EQ(GetFocus(), Hwnd(kIdAceptar));
    press(WM_KEYDOWN, VK_TAB);
    EXPECT_EQ(GetFocus(), Hwnd(kIdCancelar));
    // The picker is hidden and the dump fields disabled: next comes Descarga.
    press(WM_KEYDOWN, VK_TAB);
    EXPECT_EQ(GetFocus(), Hwnd(kIdCheck2));
    Click(kIdCheck2);
    press(WM_KEYDOWN, VK_TAB);
    EXPECT_EQ(GetFocus(), Hwnd(kIdText1));

    MessageBoxAnswerer answerer([](const MessageBoxAnswerer::Box&) { return IDCANCEL; });
    press(WM_SYSCHAR, L'c');
    ASSERT_EQ(answerer.boxes.size(), 1u);
    EXPECT_EQ(answerer.boxes[0].title, "Salir del Programa");
    press(WM_SYSCHAR, L'A');
    ASSERT_EQ(answerer.boxes.size(), 2u);
    EXPECT_EQ(answerer.boxes[1].title, "Informar ruta ficheros .bd");
}

// Calls sample every 50 ms while the thread handles its messages: inside a
// run, that is during the waits for proutil and in message boxes.
class Sampler {
  public:
    explicit Sampler(std::function<void()> sample) : sample_(std::move(sample))
    {
        current_ = this;
        timer_ = SetTimer(nullptr, 0, 50, Tick);
    }
    Sampler(const Sampler&) = delete;
    Sampler& operator=(const Sampler&) = delete;
    ~Sampler()
    {
        KillTimer(nullptr, timer_);
        current_ = nullptr;
    }

  private:
    static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD)
    {
        if (current_)
            current_->sample_();
    }

    static inline Sampler* current_ = nullptr;
    std::function<void()> sample_;
    UINT_PTR timer_ = 0;
};

struct Sample {
    bool locked;  // Aceptar, the three field groups and the picker all unusable
    std::string status;
    std::string table;
};

bool HasDots(const std::string& status, const std::string& caption)
{
    return status.size() > caption.size() && status.compare(0, caption.size(), caption) == 0 &&
           status.find_first_not_of('.', caption.size()) == std::string::npos;
}

TEST_F(MainWindowTest, AWholeRunLocksTheWindowShowsItsProgressAndSurvivesAnExitQuestion)
{
    const std::string source = root.Make("bd origen");
    const std::string destination = root.Make("bd destino");
    const std::string dumpFolder = root.Make("ficheros bd");
    WriteSampleDatabases(source, destination, programFolder);
    ScopedEnvironment slow("PROUTIL_DELAY_MS", "250");
    Type(kIdText1, source);
    Type(kIdText2, destination);
    Type(kIdText4, dumpFolder);
    Type(kIdText5, StandinFolder());
    Type(kIdText6, StandinFolder());
    Click(kIdCheck2);
    Click(kIdCheck3);

    // The user asks to leave twice during the run: first thinks better of
    // it, then confirms (the test's endProgram only counts).
    int exitQuestions = 0;
    MessageBoxAnswerer answerer([&](const MessageBoxAnswerer::Box& box) {
        if (box.title != "Salir del Programa")
            return IDOK;
        return ++exitQuestions == 1 ? IDCANCEL : IDOK;
    });
    std::vector<Sample> samples;
    bool askedDuringDump = false;
    bool askedDuringLoad = false;
    Sampler sampler([&] {
        const std::string status = Caption(kIdLabel5);
        samples.push_back({!Usable(kIdAceptar) && !Usable(kIdFrame4) && !Usable(kIdFrame5) && !Usable(kIdFrame6) &&
                               !Usable(kIdSeleccion),
                           status, Caption(kIdLabel4)});
        if (!askedDuringDump && status.rfind("Procesando Descarga Korvane1", 0) == 0) {
            askedDuringDump = true;
            PostMessageW(Hwnd(kIdCancelar), BM_CLICK, 0, 0);
        }
        if (!askedDuringLoad && status.rfind("Procesando Carga Korvane2", 0) == 0) {
            askedDuringLoad = true;
            PostMessageW(Hwnd(kIdCancelar), BM_CLICK, 0, 0);
        }
    });
    // A picker left open cannot change a folder while the run reads them.
    Click(kIdBuscar4);
    Click(kIdAceptar);

    ASSERT_EQ(answerer.boxes.size(), 2u) << answerer.boxes.back().text;
    EXPECT_EQ(endRequests, 1);
    EXPECT_EQ(statusAtEnd.rfind("Procesando Carga Korvane2 ", 0), 0u) << statusAtEnd;
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
        EXPECT_TRUE(sample.locked) << sample.status;
        dots = dots || HasDots(sample.status, "Procesando Descarga Korvane ") ||
               HasDots(sample.status, "Procesando Carga Korvane1 ");
        tableShown = tableShown || sample.table == "Tabla: factura";
    }
    EXPECT_TRUE(dots);
    EXPECT_TRUE(tableShown);

    // Unlocked, with both status lines empty, and the clock stopped.
    EXPECT_EQ(Caption(kIdLabel5), "");
    EXPECT_EQ(Caption(kIdLabel4), "");
    for (ControlId id : {kIdAceptar, kIdFrame4, kIdFrame5, kIdFrame6, kIdText1, kIdText2, kIdSeleccion})
        EXPECT_TRUE(Usable(id)) << id;
    SendMessageW(window->Handle(), WM_TIMER, kIdTimer1, 0);
    EXPECT_EQ(Caption(kIdLabel5), "");
}

} // namespace
