#include "progress_dots.h"

#include <algorithm>

#include "text_chars.h"

namespace {

const std::int16_t kDotsPerCycle = 10;
// The same for every caption, so captions of other lengths keep a few dots
// after the cut: the row never empties completely on them.
const std::size_t kCutLength = 29;

} // namespace

std::string TickDots(const std::string& line, std::int16_t& contador, const std::string& caption)
{
    if (contador >= kDotsPerCycle) {
        contador = 0;
        return FirstCharacters(line, std::max(kCutLength, CharacterCount(caption)));
    }
    ++contador;
    return line + ".";
}
