#pragma once

#include <span>
#include <vector>

#include "control_ids.h"

enum class ControlKind {
    Frame,
    Label,
    CentredLabel,
    TextField,
    CheckBox,
    Button,
    PictureButton,
    DriveList,
    FolderList,
    ProgressBar,
};

// One control of the main window. Positions and sizes are in twips
// (1/1440 inch), relative to the client area of the control's container.
struct ControlLayout {
    ControlId id;
    ControlId container;
    ControlKind kind;
    const char* caption;  // UTF-8; "&" marks the access key
    int left;
    int top;
    int width;
    int height;
    bool enabled;
    bool visible;
    int tabIndex;
    bool bold;
};

// The window's client area, in twips.
const int kClientWidthTwips = 9060;
const int kClientHeightTwips = 6930;

// Every control, each container before the controls it holds.
std::span<const ControlLayout> FormLayout();
const ControlLayout& LayoutOf(ControlId id);

// Where the status line (Label5) and the table line (Label4) go while a run
// works on the databases side by side: a whole row each between the
// dump-file frame and the buttons, so that the table line has room for the
// tables of three databases.
std::span<const ControlLayout> StatusLinesSideBySide();

// The controls that can take the focus, first to last.
std::vector<ControlId> FocusOrder();

bool CanTakeFocus(ControlKind kind);

// twips × dpi / 1440, rounded to the nearest pixel.
int TwipsToPixels(int twips, int dpi);
