#include "text_chars.h"

namespace {

bool IsContinuationByte(char c)
{
    return (static_cast<unsigned char>(c) & 0xC0) == 0x80;
}

} // namespace

std::size_t CharacterCount(const std::string& utf8)
{
    std::size_t count = 0;
    for (char c : utf8) {
        if (!IsContinuationByte(c))
            ++count;
    }
    return count;
}

std::string FirstCharacters(const std::string& utf8, std::size_t count)
{
    std::size_t seen = 0;
    for (std::size_t i = 0; i < utf8.size(); ++i) {
        if (!IsContinuationByte(utf8[i]) && seen++ == count)
            return utf8.substr(0, i);
    }
    return utf8;
}
