#pragma once

#include <exception>
#include <string>
#include <utility>

#include "texts.h"

// Windows calls some of the program's functions from its own frames: window
// and hook procedures, enumeration callbacks. No C++ exception may unwind
// through those frames: that is undefined, and 64-bit Windows swallows it in
// some callbacks, leaving the program half-changed. Such a function does its
// work inside CallbackBarrier, or, when it calls nothing but Windows' own C
// functions, says with noexcept that nothing can leave it.
//
// Returns what work returns. An exception from work stops here: stopped gets
// it and what stopped returns is returned instead. Where a function of
// Windows called the callback, stopped keeps the exception for that
// function's caller to throw again once Windows has returned. A stopped that
// throws in turn ends the program rather than let its exception into Windows.
template <typename Work, typename Stopped>
auto CallbackBarrier(Work&& work, Stopped&& stopped) noexcept -> decltype(work())
{
    try {
        return std::forward<Work>(work)();
    } catch (...) {
        return std::forward<Stopped>(stopped)(std::current_exception());
    }
}

// What an exception that was stopped says, for the user.
inline std::string ExceptionText(const std::exception_ptr& error)
{
    try {
        std::rethrow_exception(error);
    } catch (const std::exception& caught) {
        return caught.what();
    } catch (...) {
        return texts::kUnexpectedError;
    }
}
