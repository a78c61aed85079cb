#pragma once

#include <cstddef>
#include <string>

// Counting in characters, not bytes: a folder may hold accented letters,
// and the window's rules ("the first N characters") are about what the user sees.

std::size_t CharacterCount(const std::string& utf8);
// The first count characters of utf8 (all of it when it is shorter).
std::string FirstCharacters(const std::string& utf8, std::size_t count);
