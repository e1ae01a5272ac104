#include "host/message_window.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QHBoxLayout>
#include <QListView>
#include <QPushButton>
#include <QScrollBar>
#include <QStringListModel>
#include <QVBoxLayout>
#include <QWindow>
#include <algorithm>

#include "host/window_sink.h"
#include "platform/widgets/controls.h"
#include "platform/widgets/owner_window.h"

namespace host {

namespace {

using platform::widgets::MakeControl;

// Whether a window of the host other than `messages` is on show: errors go
// to the message window only then.
bool AWindowIsShown(const QWidget* messages) {
    for (const QWidget* window : QApplication::topLevelWidgets()) {
        const auto type = window->windowType();
        if (window != messages && window->isVisible() && type != Qt::Popup && type != Qt::ToolTip) {
            return true;
        }
    }
    return false;
}

// The widget whose window that is.
QWidget* WidgetOf(const QWindow* window) {
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (widget->windowHandle() == window) {
            return widget;
        }
    }
    return nullptr;
}

}  // namespace

MessageWindow::MessageWindow() : QWidget(nullptr, Qt::Tool | Qt::WindowDoesNotAcceptFocus) {
    platform::widgets::NameForm(this, "MessageWindow", "Errors - Ostrevane");
    platform::widgets::ShowWithoutActivating(this);
    errors_ = new QStringListModel(this);
    lstErrors_ = MakeControl<QListView>(this, "lstErrors");
    lstErrors_->setModel(errors_);
    lstErrors_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    lstErrors_->setWordWrap(true);
    lstErrors_->setAlternatingRowColors(true);
    lstErrors_->setSelectionMode(QAbstractItemView::ExtendedSelection);
    lstErrors_->setVerticalScrollMode(QAbstractItemView::ScrollPerPixel);
    lstErrors_->setSpacing(2);
    lstErrors_->viewport()->installEventFilter(this);
    auto* copy = new QAction("&Copy", lstErrors_);
    copy->setShortcut(QKeySequence::Copy);
    copy->setShortcutContext(Qt::WidgetShortcut);
    lstErrors_->addAction(copy);
    lstErrors_->setContextMenuPolicy(Qt::ActionsContextMenu);
    cmdClose_ = MakeControl<QPushButton>(this, "cmdClose", "&Close");
    cmdClose_->setAutoDefault(false);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(cmdClose_);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(lstErrors_, 1);
    layout->addLayout(buttons);
    // Room for ten rows of one line, with their spacing and margins.
    const int row = lstErrors_->fontMetrics().lineSpacing() + 2 * lstErrors_->spacing() + 2;
    const int list = 10 * row + 2 * lstErrors_->frameWidth();
    resize(480, list + layout->sizeHint().height() - lstErrors_->sizeHint().height());

    // The newest error stays in view while the list is at its end, also
    // when the list lays its rows out again.
    auto* bar = lstErrors_->verticalScrollBar();
    connect(bar, &QScrollBar::rangeChanged, this, [this, bar](int, int maximum) {
        if (atEnd_) {
            bar->setValue(maximum);
        }
    });
    connect(bar, &QScrollBar::valueChanged, this,
            [this, bar](int value) { atEnd_ = value == bar->maximum(); });
    connect(copy, &QAction::triggered, this, &MessageWindow::CopySelected);
    connect(cmdClose_, &QPushButton::clicked, this, &QWidget::close);
    connect(qApp, &QGuiApplication::focusWindowChanged, this, &MessageWindow::Activated);
}

void MessageWindow::Add(const ostrevane::Report& report) {
    const int row = errors_->rowCount();
    errors_->insertRows(row, 1);
    errors_->setData(errors_->index(row), QString::fromStdString(ShownText(report)));
    atEnd_ = true;
    lstErrors_->scrollToBottom();
    const bool opening = isHidden();
    if (opening) {
        shownWith_.clear();
        for (QWidget* window : QApplication::topLevelWidgets()) {
            if (window != this && window->isVisible()) {
                shownWith_.emplace_back(window);
            }
        }
    }
    StandAbove(WindowInFront());
    if (opening && front_) {
        platform::widgets::PlaceBeside(this, front_);
    }
    show();
    raise();
}

QWidget* MessageWindow::WindowInFront() const {
    const auto shown = [this](const QWidget* window) {
        return window && window != this && window->isVisible();
    };
    if (QWidget* active = QApplication::activeWindow(); shown(active)) {
        return active;
    }
    // The active window has just closed: the one active before it is next.
    for (auto it = activated_.rbegin(); it != activated_.rend(); ++it) {
        if (shown(*it)) {
            return *it;
        }
    }
    QWidget* modal = QApplication::activeModalWidget();
    return shown(modal) ? modal : nullptr;
}

// As one of the window's own, the window system keeps it above that window,
// and a modal dialog in front does not block its Close.
void MessageWindow::StandAbove(QWidget* front) {
    if (!front) {
        return;
    }
    front_ = front;
    create();
    windowHandle()->setTransientParent(front->windowHandle());
}

void MessageWindow::Activated(QWindow* active) {
    QWidget* window = WidgetOf(active);
    if (!window || window == this) {
        return;
    }
    std::erase_if(activated_, [window](const QPointer<QWidget>& w) { return !w || w == window; });
    activated_.emplace_back(window);
    // A modal dialog opened while it shows stays above it.
    const bool openedSince = window->isModal() && std::find(shownWith_.begin(), shownWith_.end(),
                                                            window) == shownWith_.end();
    if (!isHidden() && window->isVisible() && !openedSince) {
        StandAbove(window);
        raise();
    }
}

void MessageWindow::CopySelected() {
    QModelIndexList rows = lstErrors_->selectionModel()->selectedIndexes();
    std::sort(rows.begin(), rows.end(),
              [](const QModelIndex& a, const QModelIndex& b) { return a.row() < b.row(); });
    QStringList texts;
    for (const QModelIndex& row : rows) {
        texts << row.data().toString();
    }
    if (!texts.isEmpty()) {
        QApplication::clipboard()->setText(texts.join('\n'));
    }
}

// A press in the list is the user's own: only then does the window take the
// keys, so that Ctrl+C copies, also from under a modal dialog.
bool MessageWindow::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::MouseButtonPress && !isActiveWindow() && windowHandle()) {
        takesKeys_ = true;
        windowHandle()->setFlag(Qt::WindowDoesNotAcceptFocus, false);
        activateWindow();
    }
    return QWidget::eventFilter(watched, event);
}

void MessageWindow::GiveKeysBack() {
    takesKeys_ = false;
    if (windowHandle()) {
        windowHandle()->setFlag(Qt::WindowDoesNotAcceptFocus, true);
    }
}

void MessageWindow::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() != QEvent::ActivationChange) {
        return;
    }
    if (!isActiveWindow()) {
        GiveKeysBack();
    } else if (!takesKeys_ && front_ && front_->isVisible()) {
        front_->activateWindow();
    }
}

void MessageWindow::closeEvent(QCloseEvent* event) {
    errors_->setStringList({});
    GiveKeysBack();
    QWidget::closeEvent(event);
}

ScopedMessageWindow::ScopedMessageWindow()
    : window_(std::make_unique<MessageWindow>()),
      errors_(
          window_.get(), [](const ostrevane::Report& report) { return report.code != 0; },
          [window = window_.get()](const ostrevane::Report& report) {
              if (AWindowIsShown(window)) {
                  window->Add(report);
              }
          }) {}

ScopedMessageWindow::~ScopedMessageWindow() = default;

}  // namespace host
