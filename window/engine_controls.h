#pragma once

#include <stdexcept>

#include "control_ids.h"
#include "window_ops.h"

// The window's controls behind the names the engine gives them. Each
// switch names every value of its enum, so that one added there and
// forgotten here is a warning.

inline ControlId IdOf(Field field)
{
    switch (field) {
    case Field::Text1:
        return kIdText1;
    case Field::Text2:
        return kIdText2;
    case Field::Text4:
        return kIdText4;
    case Field::Text5:
        return kIdText5;
    case Field::Text6:
        return kIdText6;
    }
    throw std::out_of_range("no such field");
}

inline ControlId IdOf(CheckBox box)
{
    switch (box) {
    case CheckBox::Check1:
        return kIdCheck1;
    case CheckBox::Check2:
        return kIdCheck2;
    case CheckBox::Check3:
        return kIdCheck3;
    case CheckBox::Check4:
        return kIdCheck4;
    case CheckBox::Check5:
        return kIdCheck5;
    }
    throw std::out_of_range("no such check box");
}

// Timer1 is no control but the window's timer: it has none, and asking for
// it throws std::out_of_range.
inline ControlId IdOf(Control control)
{
    switch (control) {
    case Control::Aceptar:
        return kIdAceptar;
    case Control::Frame4:
        return kIdFrame4;
    case Control::Frame5:
        return kIdFrame5;
    case Control::Frame6:
        return kIdFrame6;
    case Control::Timer1:
        break;
    }
    throw std::out_of_range("the timer is no control");
}
