#pragma once

#include <string>

#include "message.h"
#include "platform.h"
#include "run_log.h"
#include "run_plan.h"
#include "texts.h"
#include "window_ops.h"

// What the works of a database reach of the run they are part of.
class RunServices {
  public:
    virtual ~RunServices() = default;

    virtual RunLog& Log() = 0;
    virtual Platform& System() = 0;
    // The status lines: a database's work begins a part that the status
    // line names, then works on a table of its list, or on none.
    virtual void ShowStatus(const DatabaseName& database, const std::string& caption) = 0;
    virtual void ShowTable(const DatabaseName& database, const std::string& table) = 0;
    // Window events between two commands.
    virtual void DoEvents() = 0;
    // The run has failed: its outcome, and the taskbar's error state.
    virtual void MarkRunFailed() = 0;
    virtual void Tell(const DatabaseName& database, Message message) = 0;
    // The figures of a pass of a database, in the run's summary from its
    // start, so that a run the user leaves half-way still sums up its work.
    virtual PassFigures& BeginPass(const char* pass, const DatabaseName& database) = 0;
    virtual void EndPass(PassFigures& figures) = 0;

    // An error of the program's own that fails the run: logged when it
    // happens, told with the database's other messages.
    void ReportError(const DatabaseName& database, const std::string& text)
    {
        Log().Error(text);
        Tell(database, {text, texts::kProgramTitle, kStylePlain});
        MarkRunFailed();
    }
    // The last paragraph of a failure message: where the details are.
    std::string DetailsNote() { return Log().DetailsNote(); }
};
