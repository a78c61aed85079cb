#include "text_chars.h"

#include <algorithm>

#include "utf8.h"

std::size_t CharacterCount(const std::string& utf8)
{
    return static_cast<std::size_t>(std::count_if(utf8.begin(), utf8.end(), [](char c) { return !IsContinuationByte(c); }));
}

std::string FirstCharacters(const std::string& utf8, std::size_t count)
{
    return utf8.substr(0, CharactersLength(utf8, count));
}
