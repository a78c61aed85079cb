#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "platform.h"
#include "text_bytes.h"

// Collects what a command prints in order, holding at most its first and
// its last kOutputKeptBytes bytes however much it prints: the bytes between
// them are only counted.
class OutputKeeper {
  public:
    void Add(std::string_view bytes);
    // Bytes that lie between what was added so far and what is added next,
    // counted without being read.
    void Skip(std::uint64_t count);
    // Fills output, outputLeftOut and outputEnd. Each part is cut on a
    // character boundary when it is UTF-8, and decoded by fromLegacy when it
    // is not.
    void Into(CommandResult& result, const LegacyDecoder& fromLegacy) const;

  private:
    std::string head_;
    std::string tail_;
    std::uint64_t between_ = 0;
};
