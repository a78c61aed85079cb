#pragma once

#include <functional>
#include <iostream>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "system_helpers.h"

// "[title] text": a message box as a failed test prints it.
template <typename Box>
std::vector<std::string> BoxLines(const std::vector<Box>& boxes)
{
    std::vector<std::string> lines;
    for (const Box& box : boxes)
        lines.push_back("[" + box.title + "] " + box.text);
    return lines;
}

// Prints, as a test that ran a whole dump and load goes and only when it has
// failed, every message box the run showed and the run's log: its assertion
// says what came out wrong, these say which command failed and why.
class RunReport {
  public:
    // Both are asked only then, when the boxes and the log are complete.
    RunReport(std::function<std::vector<std::string>()> boxes, std::function<std::string()> logPath)
        : boxes_(std::move(boxes)), logPath_(std::move(logPath))
    {
    }
    RunReport(const RunReport&) = delete;
    RunReport& operator=(const RunReport&) = delete;

    ~RunReport()
    {
        if (!::testing::Test::HasFailure())
            return;
        // A report that cannot be made must not end the test program.
        try {
            const std::vector<std::string> boxes = boxes_();
            std::cout << "The run showed " << boxes.size() << " message boxes:\n";
            for (const std::string& box : boxes)
                std::cout << box << "\n";
            const std::string path = logPath_();
            std::cout << "The run's log " << path << ":\n" << ReadTextFile(path) << "\n(end of the log)\n";
        } catch (const std::exception& error) {
            std::cout << "No report of the run: " << error.what() << "\n";
        }
        std::cout << std::flush;
    }

  private:
    std::function<std::vector<std::string>()> boxes_;
    std::function<std::string()> logPath_;
};
