#include "bar_position.h"

#include <algorithm>

int BarPosition(const RunProgress& progress)
{
    if (progress.total <= 0 || progress.done <= 0)
        return 0;
    if (progress.done >= progress.total)
        return kBarRange;
    // In floating point, since done × kBarRange can pass even 64 bits. The
    // share is cut, not rounded, and kept short of the end, which only the
    // whole work reaches.
    const double share = static_cast<double>(progress.done) / static_cast<double>(progress.total);
    return std::min(static_cast<int>(share * kBarRange), kBarRange - 1);
}
