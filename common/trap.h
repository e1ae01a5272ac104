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

// A library's trap, reporting through `report`. Trapped(trap, body, onError)
// runs body(step): an error it raises is reported with the last step it set,
// after onError has run (an error of onError itself is dropped). A body that
// returns nothing gives true, or false after an error; a body that returns a
// value gives it, or the type's empty value (false, 0, "", null) after an
// error.
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
        } catch (const std::exception& e) {
            try {
                onError();
            } catch (const std::exception&) {
                // The report still goes out.
            }
            report(trap.numbered ? ErrorAtLine(step, e.what()) : ErrorOccurred(e.what()), trap.code,
                   trap.source);
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

// A library's guard, reporting through `report`. Guarded(handlerName,
// handler) runs a handler that traps nothing of its own, as a form's controls
// call it: an error is reported as "Error occurred.  Reason: ..." with code 1
// and the source "Plovanex." and the handler's name. Neither the error nor a
// report that cannot be made reaches the window system.
template <Reporter report>
struct Guard {
    template <class Handler>
    void operator()(const std::string& handlerName, Handler&& handler) const noexcept {
        try {
            std::forward<Handler>(handler)();
        } catch (const std::exception& e) {
            try {
                report(ErrorOccurred(e.what()), 1, Source(handlerName));
            } catch (...) {
                // A report that cannot be made is dropped: the window goes on.
            }
        }
    }
};

}  // namespace common
