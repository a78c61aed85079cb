#pragma once

#include <cstdint>
#include <string>

// One tick of the progress indicator: the status line grows by a dot, and
// every eleventh tick it is cut back to its first 29 characters. contador
// counts the dots added since the last cut (0 to 10).
std::string TickDots(const std::string& caption, std::int16_t& contador);
