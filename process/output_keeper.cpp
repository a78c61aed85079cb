#include "output_keeper.h"

#include <algorithm>
#include <cstddef>

#include "utf8.h"

namespace {

// The beginning without a character torn at its end, when it is UTF-8.
std::string_view CutEnd(std::string_view part)
{
    const std::string_view whole = part.substr(0, WholeCharactersLength(part));
    return IsUtf8(whole) ? whole : part;
}

// The end without a character torn at its beginning, when the rest is UTF-8.
std::string_view CutStart(std::string_view part)
{
    const std::string_view whole = part.substr(WholeCharactersStart(part));
    return IsUtf8(whole) ? whole : part;
}

std::string Decode(std::string_view part, const LegacyDecoder& fromLegacy)
{
    return IsUtf8(part) ? std::string(part) : fromLegacy(std::string(part));
}

} // namespace

void OutputKeeper::Add(std::string_view bytes)
{
    const std::size_t toHead = between_ == 0 && tail_.empty() ? std::min(bytes.size(), kOutputKeptBytes - head_.size()) : 0;
    head_.append(bytes.substr(0, toHead));
    tail_.append(bytes.substr(toHead));
    // Trimmed in large steps, so that a long output costs no more than
    // copying it once.
    if (tail_.size() > 2 * kOutputKeptBytes) {
        const std::size_t dropped = tail_.size() - kOutputKeptBytes;
        tail_.erase(0, dropped);
        between_ += dropped;
    }
}

void OutputKeeper::Skip(std::uint64_t count)
{
    between_ += count;
}

void OutputKeeper::Into(CommandResult& result, const LegacyDecoder& fromLegacy) const
{
    if (between_ == 0 && head_.size() + tail_.size() <= 2 * kOutputKeptBytes) {
        result.output = Decode(head_ + tail_, fromLegacy);
        result.outputLeftOut = 0;
        result.outputEnd.clear();
        return;
    }
    const std::string_view whole(tail_);
    const std::string_view head = CutEnd(head_);
    const std::string_view end = CutStart(whole.substr(whole.size() - std::min(whole.size(), kOutputKeptBytes)));
    result.output = Decode(head, fromLegacy);
    result.outputEnd = Decode(end, fromLegacy);
    result.outputLeftOut = between_ + (head_.size() - head.size()) + (tail_.size() - end.size());
}
