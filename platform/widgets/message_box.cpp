#include "platform/widgets/message_box.h"

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
    const auto shown = buttons == vbOKCancel ? QMessageBox::Ok | QMessageBox::Cancel
                                             : QMessageBox::StandardButtons(QMessageBox::Ok);
    // The owner may go while the box waits; the box then goes with it.
    QPointer<QMessageBox> box = new QMessageBox(QMessageBox::Warning, QString::fromStdString(title),
                                                QString::fromStdString(prompt), shown, over);
    const int answer = box->exec();
    delete box.data();
    return answer == QMessageBox::Ok ? vbOK : vbCancel;
}

}  // namespace platform::widgets
