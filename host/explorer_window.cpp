#include "host/explorer_window.h"

#include <QCloseEvent>
#include <QHeaderView>
#include <QMenuBar>
#include <QRegularExpression>
#include <QSplitter>
#include <QStatusBar>
#include <QTableView>
#include <QTreeView>

#include "host/folder_tree_model.h"
#include "host/inspector_window.h"
#include "host/item_list_model.h"
#include "host/options_dialog.h"
#include "host/window_sink.h"
#include "platform/widgets/controls.h"
#include "platform/widgets/message_box.h"
#include "platform/widgets/owner_window.h"

namespace host {

namespace {

using platform::widgets::MakeControl;

constexpr int kReportShownMs = 15000;

}  // namespace

ExplorerWindow::ExplorerWindow(ModuleHost& modules, outlook::ExplorerPtr explorer, QWidget* parent)
    : QMainWindow(parent), modules_(modules), explorer_(std::move(explorer)) {
    setObjectName("explorer");
    auto application = modules_.Engine()->GetOutlookApplication();
    auto ns = application->GetNamespace("MAPI");
    folders_ = new FolderTreeModel(ns, this);
    items_ = new ItemListModel(ns->MAPIOBJECT(), this);

    auto* split = new QSplitter(this);
    tree_ = MakeControl<QTreeView>(split, "treeFolders");
    tree_->setHeaderHidden(true);
    // Connected before the view's selection model is, which would move the
    // selection to a sibling, or drop it without a word when a folder above
    // the selected one goes.
    QObject::connect(
        folders_, &QAbstractItemModel::rowsAboutToBeRemoved, this,
        [this](const QModelIndex& parent, int first, int last) { LeaveRows(parent, first, last); });
    QObject::connect(folders_, &QAbstractItemModel::dataChanged, this,
                     [this](const QModelIndex& topLeft, const QModelIndex& bottomRight) {
                         QModelIndex current = tree_->currentIndex();
                         if (current.isValid() && current.parent() == topLeft.parent() &&
                             current.row() >= topLeft.row() && current.row() <= bottomRight.row()) {
                             ShowTitle(current);
                         }
                     });
    tree_->setModel(folders_);
    list_ = MakeControl<QTableView>(split, "lstItems");
    list_->setModel(items_);
    list_->setSelectionBehavior(QAbstractItemView::SelectRows);
    list_->setSelectionMode(QAbstractItemView::SingleSelection);
    list_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    list_->verticalHeader()->hide();
    list_->horizontalHeader()->setStretchLastSection(true);
    list_->setColumnWidth(ItemListModel::kSubject, 260);
    list_->setColumnWidth(ItemListModel::kTo, 200);
    split->addWidget(tree_);
    split->addWidget(list_);
    split->setStretchFactor(1, 1);
    split->setSizes({240, 600});
    setCentralWidget(split);

    auto* file = menuBar()->addMenu("&File");
    file->setObjectName("menuFile");
    auto* newMail = file->addAction("&New Mail");
    newMail->setObjectName("actNewMail");
    newMail->setShortcut(QKeySequence::New);
    file->addSeparator();
    auto* exit = file->addAction("E&xit");
    exit->setObjectName("actExit");
    auto* tools = menuBar()->addMenu("&Tools");
    tools->setObjectName("menuTools");
    auto* options = tools->addAction("&Options...");
    options->setObjectName("actOptions");
    statusBar()->setObjectName("statusBar");
    QObject::connect(statusBar(), &QStatusBar::messageChanged, this, [this](const QString& shown) {
        if (shown.isEmpty()) {
            statusBar()->setToolTip({});
        }
    });

    QObject::connect(newMail, &QAction::triggered, this, [this] {
        if (auto* window = NewMail()) {
            platform::widgets::CentreOver(window, this);
            window->show();
        }
    });
    QObject::connect(exit, &QAction::triggered, this, &QWidget::close);
    QObject::connect(options, &QAction::triggered, this, [this] { ShowOptions(); });
    QObject::connect(tree_->selectionModel(), &QItemSelectionModel::currentChanged, this,
                     [this](const QModelIndex& current) { Select(current); });
    resize(900, 560);

    modules_.ExplorerOpen(explorer_);
    try {
        if (auto folder = explorer_->CurrentFolder()) {
            ShowFolder(folder->FolderPath());
        }
    } catch (const std::exception& e) {
        ostrevane::Deliver(ostrevane::Report{e.what(), 1, "Ostrevane.Explorer"});
    }
}

ExplorerWindow::~ExplorerWindow() = default;

InspectorWindow* ExplorerWindow::NewMail() {
    try {
        auto application = modules_.Engine()->GetOutlookApplication();
        auto* window = new InspectorWindow(modules_, application->CreateItem(outlook::olMailItem));
        window->setAttribute(Qt::WA_DeleteOnClose);
        inspectors_.emplace_back(window);
        return window;
    } catch (const std::exception& e) {
        ostrevane::Deliver(ostrevane::Report{e.what(), 1, "Ostrevane.Explorer"});
        return nullptr;
    }
}

OptionsDialog* ExplorerWindow::ShowOptions() {
    if (!options_) {
        auto* dialog = new OptionsDialog(modules_.Engine()->GetOutlookApplication(), this);
        dialog->setAttribute(Qt::WA_DeleteOnClose);
        if (dialog->AddRegisteredPages(pageLoader_) == 0) {
            delete dialog;
            platform::widgets::MsgBox(
                "No property page is registered; register one with 'ostrevane module install'.",
                platform::widgets::vbOKOnly, "Options", this);
            return nullptr;
        }
        options_ = dialog;
    }
    // Shown without a modal loop, so that the windows its pages open stay usable.
    options_->show();
    options_->raise();
    return options_;
}

bool ExplorerWindow::ShowFolder(const std::string& path) {
    QModelIndex index = folders_->IndexOfPath(path);
    if (!index.isValid()) {
        return false;
    }
    tree_->scrollTo(index);
    tree_->setCurrentIndex(index);
    return true;
}

void ExplorerWindow::Select(const QModelIndex& index) {
    auto folder = folders_->Folder(index);
    items_->SetFolder(folder);
    if (folder) {
        explorer_->SetCurrentFolder(folder);
        ShowTitle(index);
    }
}

void ExplorerWindow::ShowTitle(const QModelIndex& index) {
    setWindowTitle(index.data().toString() + " - Ostrevane");
}

void ExplorerWindow::LeaveRows(const QModelIndex& parent, int first, int last) {
    for (QModelIndex at = tree_->currentIndex(); at.isValid(); at = at.parent()) {
        if (at.parent() == parent && at.row() >= first && at.row() <= last) {
            // A store has no folder above it: the store before it, else the
            // one after it, else none.
            tree_->setCurrentIndex(
                parent.isValid() ? parent : folders_->index(first > 0 ? first - 1 : last + 1, 0));
            return;
        }
    }
}

void ExplorerWindow::ShowReport(const ostrevane::Report& report) {
    const QString text = QString::fromStdString(ShownText(report));
    // One line in the bar; the whole note in its tooltip while it shows.
    statusBar()->showMessage(text.left(text.indexOf(QRegularExpression("[\r\n]"))), kReportShownMs);
    statusBar()->setToolTip(text);
}

void ExplorerWindow::closeEvent(QCloseEvent* event) {
    // Each mail window may ask to save its changes; Cancel stops the exit.
    for (auto& inspector : inspectors_) {
        if (inspector && !inspector->close()) {
            event->ignore();
            return;
        }
    }
    inspectors_.clear();
    if (options_) {
        options_->close();
    }
    if (!closed_) {
        closed_ = true;
        modules_.ExplorerClose(explorer_);
        explorer_->Close();
    }
    event->accept();
    if (onClosed_) {
        onClosed_();
    }
}

ScopedWindowSink NotesInStatusBar(ExplorerWindow& window) {
    // Errors are the message window's.
    return {&window, [](const ostrevane::Report& report) { return report.code == 0; },
            [&window](const ostrevane::Report& report) { window.ShowReport(report); }};
}

}  // namespace host
