// Shows Vaciallena at work without a person at the screen: it starts the
// program and uses it as the administrator would, taking screenshots on the
// way. `./run demo` and `./run screenshot` call it under a virtual screen.
//
//   demo_driver screenshot PROGRAM.exe SHOT.bmp
//       opens the program, saves a picture of its window and closes it
//   demo_driver run PROGRAM.exe SOURCE DESTINATION DUMP_FILES SHOTS_FOLDER
//       fills in the folders, ticks Descarga, Carga and Procesar
//       Transacciones, clicks Aceptar, saves pictures while it works and at
//       its end, then leaves through Cancelar
//
// Exit code 0 when every step was seen to happen and no error was shown.

#include <iostream>
#include <stdexcept>
#include <string>
#include <vector>

#include "screen_capture.h"
#include "win32_text.h"
#include "window_driver.h"

using namespace window_driver;

namespace {

const Milliseconds kStartTimeout{30000};
const Milliseconds kStepTimeout{10000};
const Milliseconds kRunTimeout{180000};
const std::size_t kDotsToShow = 2;

void Say(const std::string& text)
{
    std::cout << text << std::endl;
}

void Require(bool done, const std::string& what)
{
    if (!done)
        throw std::runtime_error(what);
}

std::size_t TrailingDots(const std::string& text)
{
    const auto last = text.find_last_not_of('.');
    return last == std::string::npos ? text.size() : text.size() - last - 1;
}

ProgramWindow OpenWindow(const Program& program)
{
    const auto window = ProgramWindow::Find(program.Id(), kStartTimeout);
    Require(window.has_value(), "the program's window did not appear");
    // Activation proposes the DLC folders: after it the window is complete.
    Require(WaitUntil([&] { return !window->Text(kIdText5).empty(); }, kStepTimeout),
            "the window never proposed a DLC folder");
    RedrawWindow(window->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    return *window;
}

void Capture(const ProgramWindow& window, const std::string& path)
{
    SaveScreenBitmap(window.Rectangle(), path);
    Say("  screenshot " + path);
}

// Waits for the status line to show caption and grow a few dots, then
// takes its picture.
void CaptureWhileShowing(const ProgramWindow& window, const std::string& caption, const std::string& path)
{
    Require(WaitUntil(
                [&] {
                    for (const MessageBoxShown& box : window.MessageBoxes())
                        throw std::runtime_error("the program says \"" + box.title + "\": " + box.text);
                    const std::string status = window.Text(kIdLabel5);
                    return status.rfind(caption, 0) == 0 && TrailingDots(status) >= kDotsToShow;
                },
                kRunTimeout),
            "the status line never showed \"" + caption + "\" with its dots");
    Say("  status line: " + window.Text(kIdLabel5) + "   " + window.Text(kIdLabel4));
    Capture(window, path);
}

int Screenshot(const std::string& programPath, const std::string& shot)
{
    Program program(programPath);
    const ProgramWindow window = OpenWindow(program);
    const RECT rect = window.Rectangle();
    Say("window at " + std::to_string(rect.left) + "," + std::to_string(rect.top) + ", " +
        std::to_string(rect.right - rect.left) + "x" + std::to_string(rect.bottom - rect.top));
    Capture(window, shot);
    window.Close();
    Require(program.Ended(kStepTimeout), "the program did not end when its window was closed");
    return 0;
}

int Demo(const std::string& programPath, const std::string& source, const std::string& destination,
         const std::string& dumpFiles, const std::string& shots)
{
    Say("Starting " + programPath);
    Program program(programPath);
    const ProgramWindow window = OpenWindow(program);
    Say("  proposed DLC folders: " + window.Text(kIdText5) + " | " + window.Text(kIdText6));

    Say("Filling in the folders and ticking Descarga, Carga and Procesar Transacciones");
    window.SetChecked(kIdCheck2, true);
    window.SetText(kIdText1, source);
    window.SetChecked(kIdCheck3, true);
    window.SetText(kIdText2, destination);
    window.SetText(kIdText4, dumpFiles);
    window.SetChecked(kIdCheck1, true);
    Capture(window, shots + "\\1-filled-in.bmp");

    Say("Clicking Aceptar");
    window.Click(kIdAceptar);
    Require(WaitUntil([&] { return !window.Enabled(kIdAceptar); }, kStepTimeout), "the run did not start");
    CaptureWhileShowing(window, "Procesando Descarga", shots + "\\2-dumping.bmp");
    CaptureWhileShowing(window, "Procesando Carga", shots + "\\3-loading.bmp");

    bool errorShown = false;
    Require(WaitUntil(
                [&] {
                    for (const MessageBoxShown& box : window.MessageBoxes()) {
                        Say("  message \"" + box.title + "\": " + box.text);
                        errorShown = true;
                        window.Answer(box, IDOK);
                    }
                    return window.Enabled(kIdAceptar) && window.Text(kIdLabel5).empty();
                },
                kRunTimeout),
            "the run did not end");
    Say("The run has ended" + std::string(errorShown ? ", with errors" : " without messages"));
    Capture(window, shots + "\\4-done.bmp");

    Say("Leaving through Cancelar");
    window.Click(kIdCancelar);
    const auto confirmation = window.WaitForMessageBox(kStepTimeout);
    Require(confirmation.has_value(), "Cancelar asked nothing");
    Say("  message \"" + confirmation->title + "\": " + confirmation->text + "  -> Aceptar");
    window.Answer(*confirmation, IDOK);
    Require(program.Ended(kStepTimeout), "the program did not end");
    return errorShown ? 1 : 0;
}

int Usage()
{
    std::cerr << "usage: demo_driver screenshot PROGRAM.exe SHOT.bmp\n"
                 "       demo_driver run PROGRAM.exe SOURCE DESTINATION DUMP_FILES SHOTS_FOLDER\n";
    return 2;
}

} // namespace

int wmain(int argc, wchar_t** argv)
{
    std::vector<std::string> args;
    for (int i = 1; i < argc; ++i)
        args.push_back(Utf8(argv[i]));
    try {
        if (args.size() == 3 && args[0] == "screenshot")
            return Screenshot(args[1], args[2]);
        if (args.size() == 6 && args[0] == "run")
            return Demo(args[1], args[2], args[3], args[4], args[5]);
        return Usage();
    } catch (const std::exception& error) {
        std::cerr << "demo_driver: " << error.what() << std::endl;
        return 1;
    }
}
