#include "text_bytes.h"

#include <cstdint>

#include "utf8.h"

namespace {

std::string Utf8FromUtf16Bytes(std::string_view bytes, bool bigEndian)
{
    Utf16String units;
    units.reserve(bytes.size() / 2);
    for (std::size_t i = 0; i + 1 < bytes.size(); i += 2) {
        const auto first = static_cast<std::uint8_t>(bytes[i]);
        const auto second = static_cast<std::uint8_t>(bytes[i + 1]);
        units += static_cast<Utf16Char>(bigEndian ? (first << 8 | second) : (second << 8 | first));
    }
    std::string text = Utf8(units);
    // A byte left over is half a unit: U+FFFD.
    if (bytes.size() % 2 != 0)
        text += "\xEF\xBF\xBD";
    return text;
}

} // namespace

std::string TextFileToUtf8(std::string_view bytes, const LegacyDecoder& fromLegacy)
{
    // Through UTF-16 and back, so that what is not UTF-8 becomes U+FFFD.
    if (bytes.starts_with("\xEF\xBB\xBF"))
        return Utf8(Utf16(std::string(bytes.substr(3))));
    if (bytes.starts_with("\xFF\xFE"))
        return Utf8FromUtf16Bytes(bytes.substr(2), false);
    if (bytes.starts_with("\xFE\xFF"))
        return Utf8FromUtf16Bytes(bytes.substr(2), true);
    return fromLegacy(std::string(bytes));
}
