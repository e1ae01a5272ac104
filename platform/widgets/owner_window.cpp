#include "platform/widgets/owner_window.h"

#include <QApplication>
#include <QLayout>
#include <QScreen>
#include <QWidget>
#include <algorithm>

namespace platform::widgets {

QWidget* OwnerWindow(QWidget* asked) {
    if (asked) {
        return asked->window();
    }
    if (!qobject_cast<QApplication*>(QCoreApplication::instance())) {
        return nullptr;
    }
    if (QWidget* modal = QApplication::activeModalWidget()) {
        return modal;
    }
    return QApplication::activeWindow();
}

void CentreOver(QWidget* window, QWidget* over) {
    if (!over || over == window) {
        return;
    }
    QWidget* owner = over->window();
    if (owner == window) {
        return;
    }
    // The size it shows at, its layout's least size applied.
    window->ensurePolished();
    if (QLayout* layout = window->layout()) {
        layout->activate();
    }
    // Its frame is not known before it shows: it gets one as its owner's.
    const QRect ownerFrame = owner->frameGeometry();
    const QRect ownerInside = owner->geometry();
    const QSize frameExtra = ownerFrame.size() - ownerInside.size();
    QRect placed(QPoint(), window->size() + frameExtra);
    placed.moveCenter(ownerFrame.center());
    if (const QScreen* screen = owner->screen()) {
        const QRect room = screen->availableGeometry();
        placed.moveLeft(std::clamp(placed.left(), room.left(),
                                   std::max(room.left(), room.right() - placed.width() + 1)));
        placed.moveTop(std::clamp(placed.top(), room.top(),
                                  std::max(room.top(), room.bottom() - placed.height() + 1)));
    }
    window->move(placed.topLeft());
}

void ShowInFront(QWidget* window, QWidget* over) {
    CentreOver(window, over);
    window->show();
    window->raise();
    window->activateWindow();
}

void ShowWithoutActivating(QWidget* window) {
    window->setAttribute(Qt::WA_ShowWithoutActivating);
}

}  // namespace platform::widgets
