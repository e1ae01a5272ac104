#pragma once

#include <exception>
#include <string>
#include <type_traits>
#include <utility>

#include "common/error_text.h"

namespace common {

// Where a library sends the reports of the errors its procedures trap:
// (message, code, source).
using Reporter = void (*)(const std::string& message, int code, const std::string& source);

// How a procedure reports the errors it traps: the report's source and code,
// and whether the procedure numbers its steps ("Error occurred at line
// <step>.  Reason: ...") or not ("Error occurred.  Reason: ...").
struct Trap {
    std::string source;
    int code = 1;
    bool numbered = true;
};

// A library's trap and guard: a library defines its trap, and its guard where
// it has forms, over its own report function, as constants of
// Trapper<report> and Guard<report>. The two treat an error alike: each catches every error, a
// std::exception with its what() as the description and any other with kUnknownErrorDescription,
// and reports it once through `report`. A report that itself throws is dropped, as is an error of
// the trap's onError: nothing escapes either of them.
//
// trapper(trap, body, onError) runs body(step): an error it raises is
// reported with the last step it set, after onError has run. A body that
// returns nothing gives true, or false after an error; a body that returns a
// value gives it, or the type's empty value (false, 0, "", null) after an
// error. trapper(trap, body) has no onError.
//
// guard(handlerName, handler) runs a handler that traps nothing of its own,
// as a form's controls call it: an error is reported as "Error occurred.
// Reason: ..." with code 1 and the source "Plovanex." and the handler's name.

namespace trap_detail {

// The description of a caught error.
inline std::string Description(const std::exception_ptr& error) {
    try {
        std::rethrow_exception(error);
    } catch (const std::exception& e) {
        return e.what();
    } catch (...) {
        return kUnknownErrorDescription;
    }
}

// Runs `fn`, dropping whatever it throws.
template <class Fn>
void Quietly(Fn&& fn) noexcept {
    try {
        std::forward<Fn>(fn)();
    } catch (...) {
        // Dropped: the report of the first error still goes out, or the
        // caller goes on.
    }
}

}  // namespace trap_detail

// A library's trap, reporting through `report`.
template <Reporter report>
struct Trapper {
    template <class Body, class OnError>
    auto operator()(const Trap& trap, Body&& body, OnError&& onError) const {
        using Result = std::invoke_result_t<Body&, long&>;
        long step = 0;
        try {
            if constexpr (std::is_void_v<Result>) {
                body(step);
                return true;
            } else {
                return body(step);
            }
        } catch (...) {
            const std::exception_ptr error = std::current_exception();
            trap_detail::Quietly(onError);
            trap_detail::Quietly([&] {
                const std::string description = trap_detail::Description(error);
                report(trap.numbered ? ErrorAtLine(step, description) : ErrorOccurred(description),
                       trap.code, trap.source);
            });
            if constexpr (std::is_void_v<Result>) {
                return false;
            } else {
                return Result{};
            }
        }
    }

    template <class Body>
    auto operator()(const Trap& trap, Body&& body) const {
        return (*this)(trap, std::forward<Body>(body), [] {});
    }
};

// A library's guard, reporting through `report`.
template <Reporter report>
struct Guard {
    template <class Handler>
    void operator()(const std::string& handlerName, Handler&& handler) const noexcept {
        try {
            std::forward<Handler>(handler)();
        } catch (...) {
            const std::exception_ptr error = std::current_exception();
            trap_detail::Quietly([&] {
                report(ErrorOccurred(trap_detail::Description(error)), 1, Source(handlerName));
            });
        }
    }
};

}  // namespace common
