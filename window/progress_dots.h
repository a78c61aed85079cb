#pragma once

#include <cstdint>
#include <string>

// One tick of the progress indicator: the status line grows by a dot, and
// every eleventh tick it is cut back to its first 29 characters, or to the
// caption it began with when that is longer (the databases worked on side
// by side are named there). contador counts the dots added since the last
// cut (0 to 10).
std::string TickDots(const std::string& line, std::int16_t& contador, const std::string& caption = {});
