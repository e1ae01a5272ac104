#include "host/chooser_driver.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QLineEdit>
#include <QMouseEvent>
#include <QStackedWidget>
#include <QTabWidget>
#include <QTimer>
#include <QTreeView>
#include <algorithm>
#include <initializer_list>

#include "host/listing.h"
#include "host/profile_access.h"
#include "platform/error.h"
#include "platform/mailstore/profile.h"

namespace host {

namespace {

// The folder choosers' form names, one per variant.
const char* const kChooserNames[] = {"frmChooseOutlookFolders2", "frmChooseOutlookFolders3",
                                     "frmChooseOutlookFolders4"};

// How long the windows must stay without a chooser before they count as settled.
constexpr int kQuietMs = 100;
constexpr int kTurnMs = 20;

// Lets posted events (layouts, queued calls) run.
void LetRun() {
    QCoreApplication::sendPostedEvents();
    QCoreApplication::processEvents();
}

// A path without its leading backslashes.
std::string Trimmed(const std::string& path) {
    auto first = path.find_first_not_of('\\');
    return first == std::string::npos ? "" : path.substr(first);
}

// Whether a path the chooser shows names the levels.
bool SamePath(const std::string& shown, const std::vector<std::string>& levels) {
    std::string path;
    for (const auto& level : levels) {
        path += (path.empty() ? "" : "\\") + level;
    }
    return mailstore::SameText(Trimmed(shown), path);
}

// The item view of a control: the control itself, or the view inside it.
QAbstractItemView* ViewNamed(QWidget* form, const char* name) {
    auto* control = form->findChild<QWidget*>(name);
    if (!control) {
        return nullptr;
    }
    if (auto* view = qobject_cast<QAbstractItemView*>(control)) {
        return view;
    }
    return control->findChild<QAbstractItemView*>();
}

// Brings the tab that holds the control to the front.
void ShowPageOf(QWidget* control) {
    for (QWidget* page = control; page && page->parentWidget(); page = page->parentWidget()) {
        auto* stack = qobject_cast<QStackedWidget*>(page->parentWidget());
        if (!stack) {
            continue;
        }
        if (auto* tabs = qobject_cast<QTabWidget*>(stack->parentWidget())) {
            tabs->setCurrentWidget(page);
        } else {
            stack->setCurrentWidget(page);
        }
    }
    LetRun();
}

// A left click in the middle of the index's cell, as the mouse gives it;
// where the view cannot show the cell, the index is made current instead.
void ClickIndex(QAbstractItemView* view, const QModelIndex& index) {
    view->scrollTo(index);
    LetRun();
    const QRect cell = view->visualRect(index);
    QWidget* viewport = view->viewport();
    if (cell.isValid() && viewport->isVisible()) {
        const QPointF at = cell.center();
        const QPointF global = viewport->mapToGlobal(at);
        QMouseEvent press(QEvent::MouseButtonPress, at, global, Qt::LeftButton, Qt::LeftButton,
                          Qt::NoModifier);
        QApplication::sendEvent(viewport, &press);
        QMouseEvent release(QEvent::MouseButtonRelease, at, global, Qt::LeftButton, Qt::NoButton,
                            Qt::NoModifier);
        QApplication::sendEvent(viewport, &release);
    }
    if (view->currentIndex() != index) {
        view->setCurrentIndex(index);
    }
    LetRun();
}

// Presses the first of the named buttons that the form shows, or else the
// first it has, bringing its tab to the front. False when it has none.
bool Press(QWidget* form, std::initializer_list<const char*> names) {
    QAbstractButton* chosen = nullptr;
    for (const char* name : names) {
        auto* button = form->findChild<QAbstractButton*>(name);
        if (button && button->isVisibleTo(form)) {
            chosen = button;
            break;
        }
        if (button && !chosen) {
            chosen = button;
        }
    }
    if (!chosen || !chosen->isEnabled()) {
        return false;
    }
    if (!chosen->isVisibleTo(form)) {
        ShowPageOf(chosen);
    }
    chosen->click();
    LetRun();
    return true;
}

// The node at the path, expanding the levels on the way as a person does.
QModelIndex FindNode(QAbstractItemView* view, const std::vector<std::string>& parts) {
    auto* tree = qobject_cast<QTreeView*>(view);
    QAbstractItemModel* model = view->model();
    if (!model) {
        return {};
    }
    QModelIndex at = view->rootIndex();
    for (size_t level = 0; level < parts.size(); ++level) {
        if (level > 0) {
            if (tree) {
                tree->expand(at);
                LetRun();
            }
            if (model->canFetchMore(at)) {
                model->fetchMore(at);
                LetRun();
            }
        }
        QModelIndex found;
        for (int row = 0; row < model->rowCount(at); ++row) {
            QModelIndex child = model->index(row, 0, at);
            if (mailstore::SameText(child.data().toString().toStdString(), parts[level])) {
                found = child;
                break;
            }
        }
        if (!found.isValid()) {
            return {};
        }
        at = found;
    }
    return at;
}

// Types the text into a text box, replacing what it held.
void Type(QWidget* box, const std::string& text) {
    box->setFocus();
    if (auto* edit = qobject_cast<QLineEdit*>(box)) {
        edit->selectAll();
        edit->del();
        edit->insert(QString::fromStdString(text));
    } else {
        box->setProperty("text", QString::fromStdString(text));
    }
    LetRun();
}

std::string Quoted(const std::string& path) {
    return "'" + path + "'";
}

std::string AnswerWithFolder(QWidget* chooser, const std::string& path) {
    std::vector<std::string> parts;
    try {
        parts = ParseListedPath(path);
    } catch (const platform::Error& e) {
        return e.what();
    }
    if (auto* tree = ViewNamed(chooser, "TreeView1")) {
        QModelIndex node = FindNode(tree, parts);
        if (node.isValid()) {
            ShowPageOf(tree);
            ClickIndex(tree, node);
            if (!Press(chooser, {"cmdOk"})) {
                return "the folder chooser has no OK button";
            }
            return chooser->isVisible() ? "the folder chooser did not take " + Quoted(path) : "";
        }
    }
    auto* search = chooser->findChild<QWidget*>("txtSearchFor");
    auto* results = ViewNamed(chooser, "lstSearchResults");
    if (!search || !results || !results->model()) {
        return "the folder chooser offers no folder at " + Quoted(path);
    }
    ShowPageOf(search);
    Type(search, parts.back());
    QAbstractItemModel* lines = results->model();
    for (int row = 0; row < lines->rowCount(results->rootIndex()); ++row) {
        QModelIndex line = lines->index(row, 0, results->rootIndex());
        if (SamePath(line.data().toString().toStdString(), parts)) {
            ClickIndex(results, line);
            if (!Press(chooser, {"cmdSelectedFolderOK"})) {
                return "the folder chooser has no OK button on its search tab";
            }
            return chooser->isVisible() ? "the folder chooser did not take " + Quoted(path) : "";
        }
    }
    return "the folder chooser offers no folder at " + Quoted(path) +
           ", neither in its tree nor in its search";
}

}  // namespace

ChooserAnswer ChooserAnswer::Parse(const std::string& text) {
    if (mailstore::SameText(text, "cancel")) {
        return {Kind::Cancel, ""};
    }
    if (mailstore::SameText(text, "delete")) {
        return {Kind::Delete, ""};
    }
    return {Kind::Folder, text};
}

bool IsChooser(const QWidget* window) {
    if (!window) {
        return false;
    }
    for (const char* name : kChooserNames) {
        if (window->objectName() == QLatin1String(name)) {
            return true;
        }
    }
    return false;
}

std::vector<QWidget*> OpenChoosers() {
    std::vector<QWidget*> open;
    for (QWidget* window : QApplication::topLevelWidgets()) {
        if (IsChooser(window) && window->isVisible()) {
            open.push_back(window);
        }
    }
    return open;
}

std::string AnswerChooser(QWidget* chooser, const ChooserAnswer& answer) {
    switch (answer.kind) {
        case ChooserAnswer::Kind::Folder:
            return AnswerWithFolder(chooser, answer.path);
        case ChooserAnswer::Kind::Cancel:
            return Press(chooser, {"cmdCancel", "cmdSelectedFolderCancel"})
                       ? ""
                       : "the folder chooser has no Cancel button";
        case ChooserAnswer::Kind::Delete:
            return Press(chooser, {"cmdDeleteTheEmail", "cmdDeleteTheEmail2"})
                       ? ""
                       : "the folder chooser has no Delete The Email button";
    }
    return "";
}

ChooserAnswerer::ChooserAnswerer(std::optional<ChooserAnswer> answer, Tell tell)
    : answer_(std::move(answer)), tell_(std::move(tell)) {
    qApp->installEventFilter(this);
    previousHook_ = outlook::InstallPickFolderHook(
        [this](outlook::NameSpacePtr ns) { return AnswerFolderDialog(ns); });
}

ChooserAnswerer::~ChooserAnswerer() {
    outlook::InstallPickFolderHook(std::move(previousHook_));
    qApp->removeEventFilter(this);
}

bool ChooserAnswerer::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::Show && watched->isWidgetType()) {
        auto* window = static_cast<QWidget*>(watched);
        if (window->isWindow() && IsChooser(window)) {
            // Answered once its show is over: a modal chooser is then waiting.
            waiting_.emplace_back(window);
            QTimer::singleShot(0, this, [this] { AnswerWaiting(); });
        }
    }
    return QObject::eventFilter(watched, event);
}

void ChooserAnswerer::AnswerWaiting() {
    auto waiting = std::move(waiting_);
    waiting_.clear();
    for (const auto& chooser : waiting) {
        if (chooser && chooser->isVisible()) {
            Answer(chooser);
        }
    }
}

void ChooserAnswerer::Answer(QWidget* chooser) {
    ++questions_;
    QPointer<QWidget> form(chooser);
    if (!answer_) {
        tell_("a folder chooser opened; without --choose it is answered with Cancel");
        AnswerChooser(form, ChooserAnswer{});
    } else {
        auto problem = AnswerChooser(form, *answer_);
        if (!problem.empty()) {
            failures_.push_back(problem);
        }
    }
    if (form && form->isVisible()) {
        AnswerChooser(form, ChooserAnswer{});
    }
    if (form && form->isVisible()) {
        failures_.push_back("the folder chooser could not be cancelled");
        stuck_.push_back(form);
    }
}

outlook::FolderPtr ChooserAnswerer::AnswerFolderDialog(const outlook::NameSpacePtr& ns) {
    ++questions_;
    if (!answer_) {
        tell_("the folder dialog opened; without --choose it is answered with Cancel");
        return nullptr;
    }
    switch (answer_->kind) {
        case ChooserAnswer::Kind::Cancel:
            return nullptr;
        case ChooserAnswer::Kind::Delete:
            tell_("the folder dialog has no Delete The Email; it is answered with Cancel");
            return nullptr;
        case ChooserAnswer::Kind::Folder:
            break;
    }
    try {
        auto profile = ns->MAPIOBJECT();
        auto row = profile->Folder(FolderAt(*profile, answer_->path));
        return ns->GetFolderFromID(row.entryId, profile->Store(row.storeId).entryId);
    } catch (const std::exception& e) {
        failures_.push_back(e.what());
        return nullptr;
    }
}

void ChooserAnswerer::Settle(int timeoutMs) {
    QElapsedTimer clock;
    clock.start();
    qint64 quietSince = 0;
    for (;;) {
        QEventLoop turn;
        QTimer::singleShot(kTurnMs, &turn, &QEventLoop::quit);
        turn.exec();
        // A chooser shown again while it was open has no new show event.
        for (QWidget* chooser : OpenChoosers()) {
            if (std::find(stuck_.begin(), stuck_.end(), chooser) == stuck_.end()) {
                Answer(chooser);
            }
        }
        if (!waiting_.empty() || !OpenChoosers().empty()) {
            quietSince = clock.elapsed();
        } else if (clock.elapsed() - quietSince >= kQuietMs) {
            return;
        }
        if (clock.elapsed() >= timeoutMs) {
            failures_.push_back("a folder chooser stayed open");
            return;
        }
    }
}

}  // namespace host
