#pragma once

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QWidget>

namespace testkit {

// The shown top-level window of that name, or nothing.
inline QWidget* ShownWindow(const char* name) {
    for (QWidget* window : QApplication::topLevelWidgets()) {
        if (window->objectName() == name && window->isVisible()) {
            return window;
        }
    }
    return nullptr;
}

// Presses a button of a window by name; fails the test when there is none.
inline void Press(QWidget& window, const char* name) {
    auto* button = window.findChild<QAbstractButton*>(name);
    ASSERT_TRUE(button) << "no button " << name;
    button->click();
}

}  // namespace testkit
