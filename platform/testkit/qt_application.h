#pragma once

#include <QApplication>

namespace testkit {

// The one QApplication of a test program, made at the first call and kept
// to the end (widgets must not outlive it).
inline void EnsureQtApplication() {
    static int argc = 1;
    static char name[] = "plovanex_tests";
    static char* argv[] = {name, nullptr};
    if (!QApplication::instance()) {
        new QApplication(argc, argv);
    }
}

}  // namespace testkit
