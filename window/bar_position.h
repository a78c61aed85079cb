#pragma once

#include "window_ops.h"

// The scale of the run's bar and of its taskbar button. The work is
// counted in bytes, past what a progress control's 32 bits hold, so both
// show it as a share of this.
inline constexpr int kBarRange = 10000;

// How far along the bar the run is, from 0 to kBarRange: 0 while the whole
// is unknown, full once the work done reaches it (or passes it, as when a
// table has grown since it was weighed).
int BarPosition(const RunProgress& progress);
