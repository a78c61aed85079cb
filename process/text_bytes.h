#pragma once

#include <functional>
#include <string>
#include <string_view>

// Turns bytes in the system's own 8-bit code page into UTF-8.
using LegacyDecoder = std::function<std::string(const std::string&)>;

// A text file's bytes as UTF-8: UTF-8 or UTF-16 (either byte order) when
// they start with that byte order mark, which is dropped; otherwise
// fromLegacy decides. What cannot be decoded becomes U+FFFD.
std::string TextFileToUtf8(std::string_view bytes, const LegacyDecoder& fromLegacy);
