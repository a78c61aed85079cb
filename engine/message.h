#pragma once

#include <string>

// A message box for the user. A work's messages wait until no command of
// its phase runs, so that no box stands over commands going on unseen.
struct Message {
    std::string text;
    std::string title;
    int style;
};
