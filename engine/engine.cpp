#include "engine.h"

#include "run.h"
#include "run_log.h"
#include "texts.h"

Engine::Engine(WindowOps& window, Platform& platform)
    : window_(window), platform_(platform), log_(std::make_unique<RunLog>(platform))
{
}

Engine::~Engine() = default;

void Engine::Aceptar_Click()
{
    // A click queued before the button was disabled is handled by the run's
    // own event processing, in the middle of the run.
    if (run_)
        return;
    Request request = ReadRequest(window_);
    if (!request.dump && !request.load) {
        window_.ShowMessage(texts::kChooseAction, texts::kChooseActionTitle, kStyleInformation);
        return;
    }
    if (request.dumpFolder.empty()) {
        window_.ShowMessage(texts::kNoDumpFolder, texts::kNoDumpFolderTitle, kStyleInformation);
        return;
    }

    Run run(window_, platform_, *log_, *this, std::move(request));
    run_ = &run;
    platform_.KeepAwake(true);
    // However the run ends, the machine gets its sleep back and the window
    // its taskbar button.
    struct RunEnd {
        Engine& engine;
        ~RunEnd()
        {
            engine.platform_.KeepAwake(false);
            engine.window_.RunFinished();
            engine.run_ = nullptr;
        }
    } runEnd{*this};
    run.Go();
}

void Engine::EndedByUser()
{
    if (run_)
        run_->EndedByUser();
}
