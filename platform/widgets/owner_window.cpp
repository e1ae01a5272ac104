#include "platform/widgets/owner_window.h"

#include <QApplication>
#include <QLayout>
#include <QScreen>
#include <QStyle>
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

// Where a span of `length` starting at `start` lies once moved into
// [first, last], its start kept at `first` when it is too long.
int Clamped(int start, int length, int first, int last) {
    return std::clamp(start, first, std::max(first, last - length + 1));
}

QSize LeastSize(const QWidget* window) {
    return window->minimumSize().expandedTo(window->minimumSizeHint());
}

QMargins OwnFrame(const QWidget* window) {
    const QRect frame = window->frameGeometry();
    const QRect inner = window->geometry();
    return {inner.left() - frame.left(), inner.top() - frame.top(), frame.right() - inner.right(),
            frame.bottom() - inner.bottom()};
}

// The frame a window manager puts around a window before it tells its
// size: a title bar and thin borders. Where windows get no frame, none.
QMargins EstimatedFrame(const QWidget* window) {
    const QString platform = QGuiApplication::platformName();
    if (platform == "offscreen" || platform == "minimal") {
        return {};
    }
    constexpr int kBorder = 4;
    const int title = window->style()->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, window);
    return {kBorder, kBorder + title, kBorder, kBorder};
}

// The frame around a window: its own once it has one, else `like`'s, else
// that of another window shown (a window does not know its frame before it
// shows), else an estimate.
QMargins FrameOf(const QWidget* window, const QWidget* like) {
    if (const QMargins own = OwnFrame(window); !own.isNull()) {
        return own;
    }
    if (like && !OwnFrame(like).isNull()) {
        return OwnFrame(like);
    }
    for (const QWidget* other : QApplication::topLevelWidgets()) {
        if (other != window && other->isVisible() && !OwnFrame(other).isNull()) {
            return OwnFrame(other);
        }
    }
    return EstimatedFrame(window);
}

// The available geometry of the screen under `point`, else of `window`'s
// screen; empty without a screen.
QRect RoomAt(QPoint point, const QWidget* window) {
    const QScreen* screen = QGuiApplication::screenAt(point);
    if (!screen) {
        screen = window->screen();
    }
    return screen ? screen->availableGeometry() : QRect();
}

// Gives a window the frame FittedFrame makes of `frame`.
void PlaceFrame(QWidget* window, const QRect& frame, const QMargins& margins) {
    const QRect room = RoomAt(frame.center(), window);
    if (room.isEmpty()) {
        return;
    }
    const QSize least = LeastSize(window);
    const QRect fitted = FittedFrame(frame, least, margins, room);
    const QSize inner = fitted.size().shrunkBy(margins).expandedTo(least);
    if (inner != window->size()) {
        window->resize(inner);
    }
    if (fitted.topLeft() != window->pos()) {
        window->move(fitted.topLeft());
    }
}

// Every window of the program is kept on the screen as it shows.
class KeepsWindowsOnScreen : public QObject {
  public:
    using QObject::QObject;
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Show && watched->isWidgetType()) {
            auto* window = static_cast<QWidget*>(watched);
            const auto type = window->windowType();
            if (window->isWindow() && type != Qt::Popup && type != Qt::ToolTip &&
                type != Qt::Desktop) {
                // A dialog not moved yet still goes over its parent as it shows.
                const bool moved = window->testAttribute(Qt::WA_Moved);
                KeepOnScreen(window);
                window->setAttribute(Qt::WA_Moved, moved);
            }
        }
        return QObject::eventFilter(watched, event);
    }
};

void KeepWindowsOnScreen() {
    if (auto* application = qobject_cast<QApplication*>(QCoreApplication::instance())) {
        application->installEventFilter(new KeepsWindowsOnScreen(application));
    }
}
Q_COREAPP_STARTUP_FUNCTION(KeepWindowsOnScreen)

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

QRect FittedFrame(QRect frame, QSize least, const QMargins& margins, const QRect& room) {
    const QSize extra = QSize(0, 0).grownBy(margins);
    frame.setSize(frame.size().boundedTo(room.size()).expandedTo(least + extra));
    frame.moveLeft(Clamped(frame.left(), frame.width(), room.left(), room.right()));
    frame.moveTop(Clamped(frame.top(), frame.height(), room.top(), room.bottom()));
    return frame;
}

void CentreOver(QWidget* window, QWidget* over) {
    if (!over || over == window) {
        return;
    }
    QWidget* owner = over->window();
    if (owner == window) {
        return;
    }
    const QMargins margins = FrameOf(window, owner);
    QRect placed(QPoint(), ShownSize(window).grownBy(margins));
    placed.moveCenter(owner->frameGeometry().center());
    PlaceFrame(window, placed, margins);
}

QRect FrameBeside(QRect frame, QSize least, const QMargins& margins, const QRect& owner,
                  const QRect& room) {
    const QRect right(QPoint(owner.right() + 1, owner.top()), frame.size());
    const QRect left(QPoint(owner.left() - frame.width(), owner.top()), frame.size());
    const QRect below(QPoint(owner.left(), owner.bottom() + 1), frame.size());
    // Beside it, moved up or down as far as the screen needs.
    const auto upright = [&room](QRect placed) {
        placed.moveTop(Clamped(placed.top(), placed.height(), room.top(), room.bottom()));
        return placed;
    };
    const auto across = [&room](QRect placed) {
        placed.moveLeft(Clamped(placed.left(), placed.width(), room.left(), room.right()));
        return placed;
    };
    for (const QRect& placed : {upright(right), upright(left), across(below)}) {
        if (room.contains(placed)) {
            return placed;
        }
    }
    QRect over(QPoint(), frame.size());
    over.moveCenter(owner.center());
    return FittedFrame(over, least, margins, room);
}

void PlaceBeside(QWidget* window, QWidget* over) {
    if (!over || over->window() == window) {
        return;
    }
    QWidget* owner = over->window();
    const QMargins margins = FrameOf(window, owner);
    const QRect frame(QPoint(), ShownSize(window).grownBy(margins));
    const QRect room = RoomAt(owner->frameGeometry().center(), owner);
    if (room.isEmpty()) {
        return;
    }
    const QSize least = LeastSize(window);
    PlaceFrame(window, FrameBeside(frame, least, margins, owner->frameGeometry(), room), margins);
}

void CentreOnScreen(QWidget* window) {
    const QScreen* screen = window->screen();
    if (!screen) {
        return;
    }
    const QMargins margins = FrameOf(window, nullptr);
    QRect placed(QPoint(), ShownSize(window).grownBy(margins));
    placed.moveCenter(screen->availableGeometry().center());
    PlaceFrame(window, placed, margins);
}

void KeepOnScreen(QWidget* window, const QWidget* like) {
    const QMargins margins = FrameOf(window, like);
    PlaceFrame(window, QRect(window->pos(), ShownSize(window).grownBy(margins)), margins);
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
