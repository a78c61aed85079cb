#pragma once

#include <iostream>
#include <algorithm>
#include <cstdlib>
#include <map>
#include <string>

#include "window_ops.h"

// What the benchmarks share.

// The window of a benchmark's run: its fields and boxes as the bench sets
// them. Any message box means a command failed or the request was refused:
// such a run measures something else, and the bench refuses it.
class BenchWindow : public WindowOps {
  public:
    std::map<Field, std::string> texts;
    std::map<CheckBox, int> values;
    int messages = 0;

    std::string Text(Field field) override { return texts[field]; }
    int Value(CheckBox box) override { return values[box]; }
    void SetCaption(Caption, const std::string&) override {}
    void Enable(Control, bool) override {}
    int ShowMessage(const std::string& text, const std::string& title, int) override
    {
        std::cerr << "message [" << title << "] " << text << '\n';
        ++messages;
        return kAnswerOk;
    }
    void DoEvents() override {}
    void ShowProgress(const RunProgress&) override {}
    void RunFinished() override {}
    void ShowSideBySide(bool) override {}
};

// The number of rounds asked for on the command line, or byDefault; 0,
// with the usage told, when it is no number of rounds.
inline int Rounds(int argc, char** argv, int byDefault, const char* program)
{
    const int rounds = argc > 1 ? std::atoi(argv[1]) : byDefault;
    if (rounds < 1)
        std::cerr << "usage: " << program << " [ROUNDS]\n";
    return std::max(rounds, 0);
}
