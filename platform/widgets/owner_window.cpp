#include "platform/widgets/owner_window.h"

#include <QApplication>
#include <QLayout>
#include <QScreen>
#include <QWidget>
#include <QWindow>
#include <algorithm>

namespace platform::widgets {

namespace {

QPointer<QWidget>& Asking() {
    static QPointer<QWidget> asking;
    return asking;
}

// The size a window shows at, its layout's least size applied.
QSize ShownSize(QWidget* window) {
    window->ensurePolished();
    if (QLayout* layout = window->layout()) {
        layout->activate();
    }
    return window->size();
}

QSize OwnFrameExtra(const QWidget* window) {
    return window->frameGeometry().size() - window->geometry().size();
}

// What the frame adds to a window's size: its own frame's once it has one,
// else `like`'s, else that of another window shown (a window does not know
// its frame before it shows).
QSize FrameExtra(const QWidget* window, const QWidget* like) {
    if (const QSize own = OwnFrameExtra(window); own != QSize(0, 0)) {
        return own;
    }
    if (like) {
        return OwnFrameExtra(like);
    }
    for (const QWidget* other : QApplication::topLevelWidgets()) {
        if (other != window && other->isVisible() && OwnFrameExtra(other) != QSize(0, 0)) {
            return OwnFrameExtra(other);
        }
    }
    return {};
}

// A frame moved onto the available geometry of the screen under its middle
// (else of `window`'s screen).
QRect OnScreen(QRect frame, const QWidget* window) {
    const QScreen* screen = QGuiApplication::screenAt(frame.center());
    if (!screen) {
        screen = window->screen();
    }
    if (!screen) {
        return frame;
    }
    const QRect room = screen->availableGeometry();
    frame.moveLeft(std::clamp(frame.left(), room.left(),
                              std::max(room.left(), room.right() - frame.width() + 1)));
    frame.moveTop(std::clamp(frame.top(), room.top(),
                             std::max(room.top(), room.bottom() - frame.height() + 1)));
    return frame;
}

}  // namespace

QWidget* OwnerWindow(QWidget* asked) {
    if (asked) {
        return asked->window();
    }
    if (QWidget* asking = Asking(); asking && asking->window()->isVisible()) {
        return asking->window();
    }
    if (!qobject_cast<QApplication*>(QCoreApplication::instance())) {
        return nullptr;
    }
    if (QWidget* modal = QApplication::activeModalWidget()) {
        return modal;
    }
    return QApplication::activeWindow();
}

ScopedAskingWindow::ScopedAskingWindow(QWidget* asking) : previous_(Asking()) {
    Asking() = asking;
}

ScopedAskingWindow::~ScopedAskingWindow() {
    Asking() = previous_;
}

void CentreOver(QWidget* window, QWidget* over) {
    if (!over || over == window) {
        return;
    }
    QWidget* owner = over->window();
    if (owner == window) {
        return;
    }
    QRect placed(QPoint(), ShownSize(window) + FrameExtra(window, owner));
    placed.moveCenter(owner->frameGeometry().center());
    window->move(OnScreen(placed, owner).topLeft());
}

void CentreOnScreen(QWidget* window) {
    const QScreen* screen = window->screen();
    if (!screen) {
        return;
    }
    const QRect room = screen->availableGeometry();
    window->resize(ShownSize(window).boundedTo(room.size()));
    QRect placed(QPoint(), window->size());
    placed.moveCenter(room.center());
    window->move(placed.topLeft());
}

void KeepOnScreen(QWidget* window, const QWidget* like) {
    const QRect frame(window->pos(), ShownSize(window) + FrameExtra(window, like));
    const QRect kept = OnScreen(frame, window);
    if (kept != frame) {
        window->move(kept.topLeft());
    }
}

void ShowInFront(QWidget* window, QWidget* over) {
    QWidget* owner = over ? over->window() : nullptr;
    if (owner == window) {
        owner = nullptr;
    }
    if (owner && !window->testAttribute(Qt::WA_Moved)) {
        CentreOver(window, owner);
    }
    KeepOnScreen(window, owner);
    // The window manager keeps a window above the one it stands for.
    if (owner && !window->parentWidget()) {
        window->winId();
        if (QWindow* handle = window->windowHandle()) {
            handle->setTransientParent(owner->windowHandle());
        }
    }
    window->show();
    // Its own frame, where it is known by now.
    KeepOnScreen(window);
    window->raise();
    window->activateWindow();
}

void ShowWithoutActivating(QWidget* window) {
    window->setAttribute(Qt::WA_ShowWithoutActivating);
}

}  // namespace platform::widgets
