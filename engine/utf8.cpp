#include "utf8.h"

#include <cstdint>

namespace {

constexpr char32_t kReplacement = 0xFFFD;
// A character's first byte and at most three more.
constexpr std::size_t kLongestCharacter = 4;

std::uint8_t Byte(std::string_view text, std::size_t at)
{
    return static_cast<std::uint8_t>(text[at]);
}

// The bytes of the character whose first byte is lead; 0 when no character
// starts with it.
std::size_t LengthFromLead(std::uint8_t lead)
{
    if (lead < 0x80)
        return 1;
    if (lead >= 0xC2 && lead <= 0xDF)
        return 2;
    if (lead >= 0xE0 && lead <= 0xEF)
        return 3;
    if (lead >= 0xF0 && lead <= 0xF4)
        return 4;
    return 0;
}

bool IsSurrogate(char32_t unit)
{
    return unit >= 0xD800 && unit <= 0xDFFF;
}

struct Decoded {
    char32_t character;
    // 0 when no valid character starts where it was read.
    std::size_t length;
};

Decoded Decode(std::string_view utf8, std::size_t at)
{
    const std::size_t length = LengthFromLead(Byte(utf8, at));
    if (length == 0 || utf8.size() - at < length)
        return {kReplacement, 0};
    char32_t c = length == 1 ? Byte(utf8, at) : Byte(utf8, at) & (0x7F >> length);
    for (std::size_t i = 1; i < length; ++i) {
        if (!IsContinuationByte(utf8[at + i]))
            return {kReplacement, 0};
        c = (c << 6) | (Byte(utf8, at + i) & 0x3F);
    }
    const bool overlong = (length == 3 && c < 0x800) || (length == 4 && c < 0x10000);
    if (overlong || IsSurrogate(c) || c > 0x10FFFF)
        return {kReplacement, 0};
    return {c, length};
}

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

} // namespace

bool IsContinuationByte(char byte)
{
    return (static_cast<unsigned char>(byte) & 0xC0) == 0x80;
}

bool IsUtf8(std::string_view bytes)
{
    for (std::size_t at = 0; at < bytes.size();) {
        const std::size_t length = Decode(bytes, at).length;
        if (length == 0)
            return false;
        at += length;
    }
    return true;
}

std::size_t CharactersLength(std::string_view utf8, std::size_t count)
{
    std::size_t seen = 0;
    for (std::size_t at = 0; at < utf8.size(); ++at) {
        if (!IsContinuationByte(utf8[at]) && seen++ == count)
            return at;
    }
    return utf8.size();
}

std::size_t WholeCharactersLength(std::string_view utf8)
{
    for (std::size_t end = utf8.size(); end > 0 && utf8.size() - end < kLongestCharacter; --end) {
        if (!IsContinuationByte(utf8[end - 1])) {
            const std::size_t start = end - 1;
            return start + LengthFromLead(Byte(utf8, start)) > utf8.size() ? start : utf8.size();
        }
    }
    return utf8.size();
}

std::size_t WholeCharactersStart(std::string_view utf8)
{
    std::size_t start = 0;
    while (start < utf8.size() && start < kLongestCharacter - 1 && IsContinuationByte(utf8[start]))
        ++start;
    return start;
}

Utf16String Utf16(const std::string& utf8)
{
    Utf16String utf16;
    utf16.reserve(utf8.size());
    for (std::size_t at = 0; at < utf8.size();) {
        const Decoded decoded = Decode(utf8, at);
        at += decoded.length == 0 ? 1 : decoded.length;
        const char32_t c = decoded.character;
        if (c >= 0x10000) {
            utf16 += static_cast<Utf16Char>(0xD800 + ((c - 0x10000) >> 10));
            utf16 += static_cast<Utf16Char>(0xDC00 + ((c - 0x10000) & 0x3FF));
        } else {
            utf16 += static_cast<Utf16Char>(c);
        }
    }
    return utf16;
}

std::string Utf8(const Utf16String& utf16)
{
    std::string utf8;
    utf8.reserve(utf16.size());
    for (std::size_t i = 0; i < utf16.size(); ++i) {
        const char32_t unit = utf16[i];
        const char32_t next = i + 1 < utf16.size() ? utf16[i + 1] : 0;
        if (unit >= 0xD800 && unit <= 0xDBFF && next >= 0xDC00 && next <= 0xDFFF) {
            AppendUtf8(utf8, 0x10000 + ((unit - 0xD800) << 10) + (next - 0xDC00));
            ++i;
        } else {
            AppendUtf8(utf8, IsSurrogate(unit) ? kReplacement : unit);
        }
    }
    return utf8;
}
