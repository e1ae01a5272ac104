#pragma once

#include <QString>
#include <QWidget>

namespace platform::widgets {

// Makes a control of a form: its objectName is the control's name (tests find
// it by that name) and its caption is the text it shows, as a label, button,
// check box or text box shows text and a frame its title.
template <typename Control>
Control* MakeControl(QWidget* parent, const char* name, const char* caption = nullptr) {
    auto* control = new Control(parent);
    control->setObjectName(QString::fromUtf8(name));
    if (caption) {
        const QString text = QString::fromUtf8(caption);
        if constexpr (requires { control->setTitle(text); }) {
            control->setTitle(text);
        } else if constexpr (requires { control->setText(text); }) {
            control->setText(text);
        } else {
            control->setWindowTitle(text);
        }
    }
    return control;
}

// Names a form: its objectName and its caption.
inline void NameForm(QWidget* form, const char* name, const char* caption) {
    form->setObjectName(QString::fromUtf8(name));
    form->setWindowTitle(QString::fromUtf8(caption));
}

}  // namespace platform::widgets
