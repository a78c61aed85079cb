#include "quoting.h"

#include <algorithm>

namespace {

bool IsControl(char c)
{
    const auto u = static_cast<unsigned char>(c);
    return u < 0x20 || u == 0x7f;
}

#ifdef _WIN32
// cmd.exe reads these outside quotes; ",;=" also split arguments for some
// programs. Everything else, letters beyond ASCII included, passes bare.
bool IsSpecial(char c)
{
    static const std::string special = " \t&|<>^(),;=!'`+[]{}~";
    return special.find(c) != std::string::npos;
}
#else
bool IsSpecial(char c)
{
    const auto u = static_cast<unsigned char>(c);
    if (u >= 0x80)
        return false;
    if ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9'))
        return false;
    static const std::string safe = "_./:@%+,=-";
    return safe.find(c) == std::string::npos;
}
#endif

} // namespace

bool CanPassIntact(const std::string& text)
{
#ifdef _WIN32
    if (text.find_first_of("\"%") != std::string::npos)
        return false;
#endif
    return std::none_of(text.begin(), text.end(), IsControl);
}

std::string QuoteArgument(const std::string& text)
{
    if (std::none_of(text.begin(), text.end(), IsSpecial))
        return text;
#ifdef _WIN32
    return '"' + text + '"';
#else
    std::string quoted = "'";
    for (char c : text) {
        if (c == '\'')
            quoted += "'\\''";
        else
            quoted += c;
    }
    return quoted + "'";
#endif
}
