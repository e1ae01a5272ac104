#pragma once

#include <QPointer>
#include <QWidget>
#include <memory>
#include <vector>

#include "host/window_sink.h"
#include "platform/ostrevane/sink.h"

class QListView;
class QPushButton;
class QStringListModel;
class QWindow;

namespace host {

// The host's one window for errors: it lists every error reported since it
// was last closed, the newest in view, and stands above the active window
// (but a modal dialog opened while it shows), beside it where the screen
// has room.
// It is never modal, and showing it takes neither the focus nor the keyboard
// from that window, even a modal dialog; its list scrolls, and a click in
// it gives it the keys to copy the selected errors with Ctrl+C, also under
// a modal dialog. Closing it clears the list.
class MessageWindow : public QWidget {
  public:
    MessageWindow();

    // Adds the error to the list and shows the window above the active
    // one, without activating it.
    void Add(const ostrevane::Report& report);

  protected:
    void closeEvent(QCloseEvent* event) override;
    // Hands the activation back to the window in front, where the window
    // system gave it to this one all the same.
    void changeEvent(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    // The window the user works in: the active one, or, where that has just
    // closed, the one active before it.
    QWidget* WindowInFront() const;
    void StandAbove(QWidget* front);
    // Keeps the order in which the windows were activated; while shown, it
    // stays above whichever window of the host is active.
    void Activated(QWindow* active);
    // The selected errors, one a line, to the clipboard.
    void CopySelected();
    // Takes the keys no more until the next click in the list.
    void GiveKeysBack();

    // The window it was last shown above.
    QPointer<QWidget> front_;
    // The host's windows in the order they were last activated, the latest
    // last.
    std::vector<QPointer<QWidget>> activated_;
    // The windows shown as it opened: a modal dialog not among them opened
    // while it shows.
    std::vector<QPointer<QWidget>> shownWith_;
    // Set by a click in the list until the window is no longer active.
    bool takesKeys_ = false;
    // Whether the list shows its last row.
    bool atEnd_ = true;
    QStringListModel* errors_;
    QListView* lstErrors_;
    QPushButton* cmdClose_;
};

// While it lives, each error reported while a window of the host is shown
// goes to its message window as well; every report still goes to the sink
// that was installed before, which it puts back at its end.
class ScopedMessageWindow {
  public:
    ScopedMessageWindow();
    ~ScopedMessageWindow();
    ScopedMessageWindow(const ScopedMessageWindow&) = delete;
    ScopedMessageWindow& operator=(const ScopedMessageWindow&) = delete;

    MessageWindow& Window() { return *window_; }

  private:
    std::unique_ptr<MessageWindow> window_;
    ScopedWindowSink errors_;
};

}  // namespace host
