#include "platform/widgets/message_box.h"

#include <QAbstractButton>
#include <QGuiApplication>
#include <QMessageBox>
#include <QPointer>
#include <QString>
#include <utility>

#include "platform/widgets/owner_window.h"

namespace platform::widgets {

namespace {

OwnedMessageBoxHook& Hook() {
    static OwnedMessageBoxHook hook;
    return hook;
}

bool NobodyToAsk() {
    const QString platform = QGuiApplication::platformName();
    return platform == "offscreen" || platform == "minimal";
}

}  // namespace

OwnedMessageBoxHook InstallMessageBoxHook(OwnedMessageBoxHook hook) {
    std::swap(Hook(), hook);
    return hook;
}

int MsgBox(const std::string& prompt, int buttons, const std::string& title, QWidget* owner) {
    QWidget* over = OwnerWindow(owner);
    if (Hook()) {
        return Hook()(prompt, buttons, title, over);
    }
    if (NobodyToAsk()) {
        return vbCancel;
    }
    QMessageBox::StandardButtons shown = QMessageBox::Ok;
    auto icon = QMessageBox::Warning;
    if (buttons == vbOKCancel) {
        shown = QMessageBox::Ok | QMessageBox::Cancel;
    } else if (buttons == vbYesNoCancel) {
        shown = QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
        icon = QMessageBox::Question;
    }
    // The owner may go while the box waits; the box then goes with it.
    QPointer<QMessageBox> box = new QMessageBox(icon, QString::fromStdString(title),
                                                QString::fromStdString(prompt), shown, over);
    box->setObjectName("messageBox");
    const std::pair<QMessageBox::StandardButton, const char*> names[] = {
        {QMessageBox::Ok, "btnOK"},
        {QMessageBox::Cancel, "btnCancel"},
        {QMessageBox::Yes, "btnYes"},
        {QMessageBox::No, "btnNo"},
    };
    for (const auto& [button, name] : names) {
        if (auto* control = box->button(button)) {
            control->setObjectName(name);
        }
    }
    const int answer = box->exec();
    delete box.data();
    switch (answer) {
        case QMessageBox::Ok:
            return vbOK;
        case QMessageBox::Yes:
            return vbYes;
        case QMessageBox::No:
            return vbNo;
        default:
            return vbCancel;
    }
}

}  // namespace platform::widgets
