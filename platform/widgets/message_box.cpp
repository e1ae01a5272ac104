#include "platform/widgets/message_box.h"

#include <QGuiApplication>
#include <QMessageBox>
#include <QString>
#include <utility>

namespace platform::widgets {

namespace {

MessageBoxHook& Hook() {
    static MessageBoxHook hook;
    return hook;
}

bool NobodyToAsk() {
    const QString platform = QGuiApplication::platformName();
    return platform == "offscreen" || platform == "minimal";
}

}  // namespace

MessageBoxHook InstallMessageBoxHook(MessageBoxHook hook) {
    std::swap(Hook(), hook);
    return hook;
}

int MsgBox(const std::string& prompt, int buttons, const std::string& title) {
    if (Hook()) {
        return Hook()(prompt, buttons, title);
    }
    if (NobodyToAsk()) {
        return vbCancel;
    }
    const auto shown = buttons == vbOKCancel ? QMessageBox::Ok | QMessageBox::Cancel
                                             : QMessageBox::StandardButtons(QMessageBox::Ok);
    const auto answer = QMessageBox::warning(nullptr, QString::fromStdString(title),
                                             QString::fromStdString(prompt), shown);
    return answer == QMessageBox::Ok ? vbOK : vbCancel;
}

}  // namespace platform::widgets
