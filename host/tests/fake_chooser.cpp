#include "host/tests/fake_chooser.h"

#include <QApplication>
#include <QEventLoop>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QStandardItemModel>
#include <QStringListModel>
#include <QTabWidget>
#include <QTimer>
#include <QTreeView>
#include <QVBoxLayout>
#include <algorithm>
#include <functional>

namespace host_test {

namespace {

constexpr int kFolderRole = Qt::UserRole + 1;
const char kPlaceholder[] = "Expanding Subfolders...";

QPushButton* Button(QWidget* page, const char* name, const char* caption) {
    auto* button = new QPushButton(caption, page);
    button->setObjectName(name);
    page->layout()->addWidget(button);
    return button;
}

std::string PathOf(const QModelIndex& index) {
    std::string path;
    for (QModelIndex at = index; at.isValid(); at = at.parent()) {
        path = at.data().toString().toStdString() + (path.empty() ? "" : "\\" + path);
    }
    return path;
}

}  // namespace

FakeChooser::FakeChooser(outlook::NameSpacePtr ns, Setup setup)
    : setup_(std::move(setup)),
      tree_(new QStandardItemModel(this)),
      view_(new QTreeView),
      lines_(new QStringListModel(this)) {
    setObjectName(QString("frmChooseOutlookFolders%1").arg(setup_.variant));
    auto* layout = new QVBoxLayout(this);
    auto* explore = new QWidget;
    explore->setLayout(new QVBoxLayout);
    view_->setObjectName("TreeView1");
    view_->setModel(tree_);
    view_->setHeaderHidden(true);
    explore->layout()->addWidget(view_);
    auto pressed = [this](const char* decision) {
        return [this, decision] {
            if (std::string(decision) == "ok") {
                auto selected = view_->selectionModel()->selectedIndexes();
                Decide("ok:" + (selected.isEmpty() ? std::string() : PathOf(selected.front())));
            } else {
                Decide(decision);
            }
        };
    };
    QObject::connect(Button(explore, "cmdOk", "&OK"), &QPushButton::clicked, this, pressed("ok"));
    QObject::connect(Button(explore, "cmdCancel", "&Cancel"), &QPushButton::clicked, this,
                     pressed("cancel"));
    QObject::connect(Button(explore, "cmdDeleteTheEmail", "&Delete The Email"),
                     &QPushButton::clicked, this, pressed("delete"));
    if (setup_.variant == 4) {
        tabs_ = new QTabWidget(this);
        tabs_->setObjectName("vsIndexTab1");
        tabs_->addTab(explore, "&Explore");
        auto* search = new QWidget;
        search->setLayout(new QVBoxLayout);
        auto* text = new QLineEdit(search);
        text->setObjectName("txtSearchFor");
        search->layout()->addWidget(text);
        auto* list = new QListView(search);
        list->setObjectName("lstSearchResults");
        list->setModel(lines_);
        search->layout()->addWidget(list);
        QObject::connect(
            Button(search, "cmdSelectedFolderOK", "&OK"), &QPushButton::clicked, this,
            [this, list] {
                Decide("search:" + list->currentIndex().data().toString().toStdString());
            });
        QObject::connect(Button(search, "cmdSelectedFolderCancel", "&Cancel"),
                         &QPushButton::clicked, this, pressed("cancel"));
        QObject::connect(Button(search, "cmdDeleteTheEmail2", "&Delete The Email"),
                         &QPushButton::clicked, this, pressed("delete"));
        tabs_->addTab(search, "&Search");
        layout->addWidget(tabs_);
        QObject::connect(text, &QLineEdit::textChanged, this,
                         [this](const QString& t) { Filter(t); });
    } else {
        explore->setParent(this);
        layout->addWidget(explore);
    }

    auto stores = ns->Folders();
    for (int i = 1; i <= stores->Count(); ++i) {
        auto store = stores->Item(i);
        std::function<void(const outlook::FolderPtr&)> index = [&](const outlook::FolderPtr& f) {
            paths_.push_back(f->FolderPath());
            auto subs = f->Folders();
            for (int j = 1; j <= subs->Count(); ++j) {
                index(subs->Item(j));
            }
        };
        index(store);
        if (std::find(setup_.storesNotInTree.begin(), setup_.storesNotInTree.end(),
                      store->Name()) == setup_.storesNotInTree.end()) {
            AddFolder(tree_->invisibleRootItem(), store);
        }
    }
    // A level is read when its node is first expanded.
    QObject::connect(view_, &QTreeView::expanded, this, [this](const QModelIndex& index) {
        QStandardItem* node = tree_->itemFromIndex(index);
        if (node->rowCount() != 1 || node->child(0)->text() != kPlaceholder) {
            return;
        }
        auto folder = folders_.at(node);
        auto subs = folder->Folders();
        for (int j = 1; j <= subs->Count(); ++j) {
            AddFolder(node, subs->Item(j));
        }
        node->removeRow(0);
    });
    Filter("");
}

void FakeChooser::AddFolder(QStandardItem* parent, const outlook::FolderPtr& folder) {
    auto* node = new QStandardItem(QString::fromStdString(folder->Name()));
    node->setEditable(false);
    folders_[node] = folder;
    if (folder->Folders()->Count() > 0) {
        auto* placeholder = new QStandardItem(kPlaceholder);
        node->appendRow(placeholder);
    }
    parent->appendRow(node);
}

void FakeChooser::Filter(const QString& text) {
    QStringList shown;
    for (const auto& path : paths_) {
        auto name = QString::fromStdString(path.substr(path.rfind('\\') + 1));
        if (name.contains(text, Qt::CaseInsensitive)) {
            shown << QString::fromStdString(path);
        }
    }
    lines_->setStringList(shown);
}

void FakeChooser::Decide(const std::string& decision) {
    decisions.push_back(decision);
    if (!setup_.stubborn) {
        hide();
    }
}

void FakeChooser::ShowIt() {
    if (tabs_) {
        tabs_->setCurrentIndex(1);
    }
    show();
    if (setup_.variant == 4) {
        return;
    }
    // The modal variants wait in a loop of their own that their answer ends.
    QEventLoop wait;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, &wait, [this, &wait] {
        if (!isVisible()) {
            wait.quit();
        }
    });
    poll.start(25);
    wait.exec();
}

}  // namespace host_test
