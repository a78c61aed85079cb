#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <type_traits>

// The program's text is UTF-8; these are its rules, in one place. Nothing
// here asks the system, so the same rules hold in every build.

// A byte that goes on with a character rather than starting one.
bool IsContinuationByte(char byte);

// Strict: no overlong forms, no surrogates, nothing above U+10FFFF.
bool IsUtf8(std::string_view bytes);

// Cuts that tear no character. How many bytes the first count characters
// take (all of utf8 when it has fewer).
std::size_t CharactersLength(std::string_view utf8, std::size_t count);
// Where utf8 ends without a last character that is missing bytes, as the
// beginning of a longer text cut at a byte count may end.
std::size_t WholeCharactersLength(std::string_view utf8);
// Where utf8 starts after the bytes of a character torn at its beginning,
// as the end of a longer text cut at a byte count may start.
std::size_t WholeCharactersStart(std::string_view utf8);

// UTF-16 as the wide strings of Windows hold it; elsewhere, where wchar_t
// has 32 bits, in char16_t.
using Utf16Char = std::conditional_t<sizeof(wchar_t) == 2, wchar_t, char16_t>;
using Utf16String = std::basic_string<Utf16Char>;

// Bytes that are not UTF-8, and halves of a surrogate pair found alone,
// become U+FFFD.
Utf16String Utf16(const std::string& utf8);
std::string Utf8(const Utf16String& utf16);
