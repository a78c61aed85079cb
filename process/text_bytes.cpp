#include "text_bytes.h"

#include <cstdint>

namespace {

constexpr char32_t kReplacement = 0xFFFD;

void AppendUtf8(std::string& text, char32_t c)
{
    if (c < 0x80) {
        text += static_cast<char>(c);
    } else if (c < 0x800) {
        text += static_cast<char>(0xC0 | (c >> 6));
        text += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        text += static_cast<char>(0xE0 | (c >> 12));
        text += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        text += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        text += static_cast<char>(0xF0 | (c >> 18));
        text += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        text += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        text += static_cast<char>(0x80 | (c & 0x3F));
    }
}

// The length of the character that starts at bytes[at], or 0 when none
// valid starts there.
std::size_t Utf8CharLength(std::string_view bytes, std::size_t at)
{
    const auto byte = [&](std::size_t i) { return static_cast<std::uint8_t>(bytes[i]); };
    const std::uint8_t lead = byte(at);
    if (lead < 0x80)
        return 1;
    std::size_t length = 0;
    char32_t c = 0;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
        c = lead & 0x1F;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        c = lead & 0x0F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        c = lead & 0x07;
    } else {
        return 0;
    }
    if (bytes.size() - at < length)
        return 0;
    for (std::size_t i = 1; i < length; ++i) {
        if ((byte(at + i) & 0xC0) != 0x80)
            return 0;
        c = (c << 6) | (byte(at + i) & 0x3F);
    }
    const bool overlong = (length == 3 && c < 0x800) || (length == 4 && c < 0x10000);
    if (overlong || (c >= 0xD800 && c <= 0xDFFF) || c > 0x10FFFF)
        return 0;
    return length;
}

std::string Utf8FromUtf16(std::string_view bytes, bool bigEndian)
{
    const auto unit = [&](std::size_t i) -> char32_t {
        const auto first = static_cast<std::uint8_t>(bytes[2 * i]);
        const auto second = static_cast<std::uint8_t>(bytes[2 * i + 1]);
        return bigEndian ? (first << 8 | second) : (second << 8 | first);
    };
    const std::size_t units = bytes.size() / 2;
    std::string text;
    text.reserve(bytes.size());
    for (std::size_t i = 0; i < units; ++i) {
        const char32_t c = unit(i);
        if (c >= 0xD800 && c <= 0xDBFF && i + 1 < units && unit(i + 1) >= 0xDC00 && unit(i + 1) <= 0xDFFF) {
            AppendUtf8(text, 0x10000 + ((c - 0xD800) << 10) + (unit(i + 1) - 0xDC00));
            ++i;
        } else {
            AppendUtf8(text, c >= 0xD800 && c <= 0xDFFF ? kReplacement : c);
        }
    }
    if (bytes.size() % 2 != 0)
        AppendUtf8(text, kReplacement);
    return text;
}

std::string CleanUtf8(std::string_view bytes)
{
    std::string text;
    text.reserve(bytes.size());
    for (std::size_t at = 0; at < bytes.size();) {
        const std::size_t length = Utf8CharLength(bytes, at);
        if (length == 0) {
            AppendUtf8(text, kReplacement);
            ++at;
        } else {
            text.append(bytes.substr(at, length));
            at += length;
        }
    }
    return text;
}

} // namespace

bool IsUtf8(std::string_view bytes)
{
    for (std::size_t at = 0; at < bytes.size();) {
        const std::size_t length = Utf8CharLength(bytes, at);
        if (length == 0)
            return false;
        at += length;
    }
    return true;
}

std::string TextFileToUtf8(std::string_view bytes, const LegacyDecoder& fromLegacy)
{
    if (bytes.starts_with("\xEF\xBB\xBF"))
        return CleanUtf8(bytes.substr(3));
    if (bytes.starts_with("\xFF\xFE"))
        return Utf8FromUtf16(bytes.substr(2), false);
    if (bytes.starts_with("\xFE\xFF"))
        return Utf8FromUtf16(bytes.substr(2), true);
    return fromLegacy(std::string(bytes));
}
