#pragma once

#include <array>
#include <cstddef>

#include "control_ids.h"
#include "window_ops.h"

// The window's controls behind the names the engine gives them, in the
// order of the engine's enums.

inline ControlId IdOf(Field field)
{
    constexpr std::array<ControlId, 5> ids = {kIdText1, kIdText2, kIdText4, kIdText5, kIdText6};
    return ids.at(static_cast<std::size_t>(field));
}

inline ControlId IdOf(CheckBox box)
{
    constexpr std::array<ControlId, 5> ids = {kIdCheck1, kIdCheck2, kIdCheck3, kIdCheck4, kIdCheck5};
    return ids.at(static_cast<std::size_t>(box));
}

// Timer1 is no control but the window's timer: it has none, and asking for
// it throws std::out_of_range.
inline ControlId IdOf(Control control)
{
    constexpr std::array<ControlId, 4> ids = {kIdAceptar, kIdFrame4, kIdFrame5, kIdFrame6};
    return ids.at(static_cast<std::size_t>(control));
}
