#pragma once

#include <exception>
#include <string>
#include <utility>

namespace plovanex::chooser {

// How a procedure of the dialogs reports the errors it traps: the report's
// source and code, and whether the procedure numbers its steps ("Error
// occurred at line <step>.  Reason: ...") or not ("Error occurred.  Reason:
// ...").
struct Trap {
    const char* source;
    int code = 1;
    bool numbered = true;
};

// Reports an error the trap caught at that step.
void ReportTrapped(const Trap& trap, long step, const std::string& description);

// Runs body(step) under the trap: an error it raises is reported with the
// last step it set, after onError has run, and the result is false.
template <class Body, class OnError>
bool Trapped(const Trap& trap, Body&& body, OnError&& onError) {
    long step = 0;
    try {
        std::forward<Body>(body)(step);
        return true;
    } catch (const std::exception& e) {
        try {
            onError();
        } catch (const std::exception&) {
        }
        ReportTrapped(trap, step, e.what());
        return false;
    }
}

template <class Body>
bool Trapped(const Trap& trap, Body&& body) {
    return Trapped(trap, std::forward<Body>(body), [] {});
}

// Runs a handler that traps nothing of its own, as the form's controls call
// it: an error is reported as "Error occurred.  Reason: ..." with the source
// "Plovanex." and the handler's name, and never reaches the window system.
template <class Handler>
void Guarded(const char* handlerName, Handler&& handler) {
    try {
        std::forward<Handler>(handler)();
    } catch (const std::exception& e) {
        const std::string source = std::string("Plovanex.") + handlerName;
        ReportTrapped({source.c_str(), 1, false}, 0, e.what());
    }
}

}  // namespace plovanex::chooser
