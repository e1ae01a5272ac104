#include "platform/widgets/platform_dialogs.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QScopeGuard>
#include <QStyle>
#include <QTreeWidget>
#include <QTreeWidgetItemIterator>
#include <QVBoxLayout>
#include <algorithm>
#include <functional>
#include <utility>

#include "platform/error.h"
#include "platform/widgets/controls.h"
#include "platform/widgets/owner_window.h"

namespace platform::widgets {

namespace {

constexpr int kEntryIdRole = Qt::UserRole;
constexpr int kStoreIdRole = Qt::UserRole + 1;

QDialogButtonBox* AddButtons(QDialog* dialog, QLayout* layout) {
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, dialog);
    buttons->setObjectName("buttonBox");
    QObject::connect(buttons, &QDialogButtonBox::accepted, dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, dialog, &QDialog::reject);
    layout->addWidget(buttons);
    return buttons;
}

// The dialog's width, and the folders its tree shows without scrolling.
constexpr int kWidth = 400;
constexpr int kRowsShown = 12;
constexpr const char* kNoPrompt = "Choose a folder:";
// What a list row adds around its text, and the room the title bar's icon
// and buttons take, in title bar heights.
constexpr int kItemPadding = 8;
constexpr int kTitleBarButtons = 5;

FolderRequest& Request() {
    static FolderRequest request;
    return request;
}

void RequireApplication() {
    if (!qobject_cast<QApplication*>(QCoreApplication::instance())) {
        throw platform::Error("The dialog cannot be shown: the program has no windows");
    }
}

}  // namespace

ScopedFolderRequest::ScopedFolderRequest(FolderRequest request)
    : previous_(std::exchange(Request(), std::move(request))) {}

ScopedFolderRequest::~ScopedFolderRequest() {
    Request() = std::move(previous_);
}

const FolderRequest& CurrentFolderRequest() {
    return Request();
}

PickFolderDialog::PickFolderDialog(outlook::NameSpacePtr ns, const FolderRequest& request)
    : QDialog(OwnerWindow(request.owner)),
      ns_(std::move(ns)),
      prompt_(MakeControl<QLabel>(this, "lblPrompt")),
      tree_(MakeControl<QTreeWidget>(this, "treeFolders")) {
    NameForm(this, "PickFolderDialog", "Select Folder");
    prompt_->setText(QString::fromStdString(request.prompt.empty() ? kNoPrompt : request.prompt));
    prompt_->setWordWrap(true);
    tree_->setHeaderHidden(true);
    AddFolders();
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(prompt_);
    layout->addWidget(tree_);
    ok_ = AddButtons(this, layout)->button(QDialogButtonBox::Ok);
    connect(tree_, &QTreeWidget::itemDoubleClicked, this, &QDialog::accept);
    connect(tree_, &QTreeWidget::currentItemChanged, this,
            [this](QTreeWidgetItem* current) { ok_->setEnabled(current != nullptr); });
    ok_->setEnabled(false);
    SelectStart(request);

    tree_->ensurePolished();
    int row = tree_->topLevelItemCount() > 0 ? tree_->sizeHintForRow(0) : 0;
    if (row <= 0) {
        row = tree_->fontMetrics().height() + 4;
    }
    tree_->setMinimumHeight(kRowsShown * row + 2 * tree_->frameWidth());
    resize(std::max(kWidth, sizeHint().width()), sizeHint().height());
}

void PickFolderDialog::AddFolders() {
    std::function<void(outlook::FolderPtr, QTreeWidgetItem*)> add =
        [&](outlook::FolderPtr folder, QTreeWidgetItem* parentItem) {
            auto* node = parentItem ? new QTreeWidgetItem(parentItem) : new QTreeWidgetItem(tree_);
            node->setText(0, QString::fromStdString(folder->Name()));
            node->setData(0, kEntryIdRole, QString::fromStdString(folder->EntryID()));
            node->setData(0, kStoreIdRole, QString::fromStdString(folder->StoreID()));
            auto subs = folder->Folders();
            for (int i = 1; i <= subs->Count(); ++i) {
                add(subs->Item(i), node);
            }
        };
    auto stores = ns_->Folders();
    for (int i = 1; i <= stores->Count(); ++i) {
        add(stores->Item(i), nullptr);
    }
    for (int i = 0; i < tree_->topLevelItemCount(); ++i) {
        tree_->topLevelItem(i)->setExpanded(true);
    }
}

void PickFolderDialog::SelectStart(const FolderRequest& request) {
    // Each candidate may be missing or unreadable: the next one is tried.
    const auto found = [](const std::function<outlook::FolderPtr()>& find) {
        try {
            return find();
        } catch (const std::exception&) {
            return outlook::FolderPtr();
        }
    };
    if (!request.path.empty() && SelectPath(request.path)) {
        return;
    }
    if (request.defaultFolder != 0 &&
        SelectFolder(found([&] { return ns_->GetDefaultFolder(request.defaultFolder); }))) {
        return;
    }
    if (SelectFolder(found([&] {
            auto explorer = ns_->Application()->ActiveExplorer();
            return explorer ? explorer->CurrentFolder() : nullptr;
        }))) {
        return;
    }
    SelectFolder(found([&] { return ns_->GetDefaultFolder(outlook::olFolderInbox); }));
}

bool PickFolderDialog::SelectFolder(const outlook::FolderPtr& folder) {
    if (!folder) {
        return false;
    }
    const QString entryId = QString::fromStdString(folder->EntryID());
    const QString storeId = QString::fromStdString(folder->StoreID());
    for (QTreeWidgetItemIterator it(tree_); *it; ++it) {
        if ((*it)->data(0, kEntryIdRole).toString() == entryId &&
            (*it)->data(0, kStoreIdRole).toString() == storeId) {
            Select(*it);
            return true;
        }
    }
    return false;
}

void PickFolderDialog::Select(QTreeWidgetItem* node) {
    for (auto* above = node->parent(); above; above = above->parent()) {
        above->setExpanded(true);
    }
    // Brought into view when the tree shows, at its full height.
    tree_->setCurrentItem(node);
}

outlook::FolderPtr PickFolderDialog::SelectedFolder() const {
    auto* node = tree_->currentItem();
    if (!node) {
        return nullptr;
    }
    return ns_->GetFolderFromID(node->data(0, kEntryIdRole).toString().toStdString(),
                                node->data(0, kStoreIdRole).toString().toStdString());
}

bool PickFolderDialog::SelectPath(const std::string& path) {
    auto parts = QString::fromStdString(path).split('\\', Qt::SkipEmptyParts);
    QTreeWidgetItem* node = nullptr;
    for (const auto& part : parts) {
        QTreeWidgetItem* next = nullptr;
        int count = node ? node->childCount() : tree_->topLevelItemCount();
        for (int i = 0; i < count && !next; ++i) {
            auto* candidate = node ? node->child(i) : tree_->topLevelItem(i);
            if (candidate->text(0).compare(part, Qt::CaseInsensitive) == 0) {
                next = candidate;
            }
        }
        if (!next) {
            return false;
        }
        node = next;
    }
    if (node) {
        Select(node);
    }
    return node != nullptr;
}

AddressBookDialog::AddressBookDialog(const mirelink::AddressBookRequest& request,
                                     std::vector<mirelink::AddressEntryPtr> entries,
                                     QWidget* parent)
    : QDialog(parent),
      entries_(std::move(entries)),
      list_(new QListWidget(this)),
      chosen_(new QListWidget(this)) {
    setObjectName("AddressBookDialog");
    setWindowTitle(QString::fromStdString(request.title));
    list_->setObjectName("lstEntries");
    list_->setSelectionMode(request.oneAddress ? QAbstractItemView::SingleSelection
                                               : QAbstractItemView::ExtendedSelection);
    chosen_->setObjectName("lstChosen");
    for (const auto& e : entries_) {
        list_->addItem(QString::fromStdString(e->Name() + " <" + e->SMTPAddress() + ">"));
    }
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(list_);
    auto* row = new QHBoxLayout;
    const std::string labels[] = {request.toLabel.empty() ? "To" : request.toLabel,
                                  request.ccLabel.empty() ? "Cc" : request.ccLabel,
                                  request.bccLabel.empty() ? "Bcc" : request.bccLabel};
    for (int type = 1; type <= std::clamp(request.recipLists, 1, 3); ++type) {
        auto* button = new QPushButton(QString::fromStdString(labels[type - 1]), this);
        button->setObjectName(QString("cmdList%1").arg(type));
        connect(button, &QPushButton::clicked, this, [this, type] { AddSelected(type); });
        row->addWidget(button);
    }
    layout->addLayout(row);
    layout->addWidget(chosen_);
    AddButtons(this, layout);

    // Wide enough for its longest entry and for its title beside the title
    // bar's icon and buttons.
    ensurePolished();
    const QStyle* look = style();
    int widest = 0;
    for (int i = 0; i < list_->count(); ++i) {
        widest = std::max(widest, list_->fontMetrics().horizontalAdvance(list_->item(i)->text()));
    }
    const QMargins margins = layout->contentsMargins();
    const int forEntries = widest + 2 * list_->frameWidth() +
                           look->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, list_) +
                           2 * look->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, list_) +
                           kItemPadding + margins.left() + margins.right();
    // Title bars mostly show their text in bold.
    QFont titleFont = QApplication::font();
    titleFont.setBold(true);
    const int title =
        QFontMetrics(titleFont).horizontalAdvance(windowTitle()) +
        kTitleBarButtons * look->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, this);
    resize(std::max({sizeHint().width(), forEntries, title}), sizeHint().height());
}

void AddressBookDialog::SelectEntries(const std::vector<std::string>& smtpAddresses) {
    list_->clearSelection();
    for (size_t i = 0; i < entries_.size(); ++i) {
        for (const auto& a : smtpAddresses) {
            if (QString::fromStdString(entries_[i]->SMTPAddress())
                    .compare(QString::fromStdString(a), Qt::CaseInsensitive) == 0) {
                list_->item(static_cast<int>(i))->setSelected(true);
            }
        }
    }
}

void AddressBookDialog::AddSelected(int type) {
    for (int i = 0; i < list_->count(); ++i) {
        if (list_->item(i)->isSelected()) {
            picks_.push_back({entries_[static_cast<size_t>(i)], type});
            chosen_->addItem(list_->item(i)->text());
        }
    }
}

void InstallQtDialogs() {
    outlook::InstallPickFolderHook([](outlook::NameSpacePtr ns) -> outlook::FolderPtr {
        RequireApplication();
        // The owner may go while the dialog waits, and the dialog with it.
        QPointer<PickFolderDialog> dialog = new PickFolderDialog(ns, CurrentFolderRequest());
        const auto drop = qScopeGuard([&dialog] { delete dialog.data(); });
        return dialog->exec() == QDialog::Accepted && dialog ? dialog->SelectedFolder() : nullptr;
    });
    mirelink::InstallAddressBookHook([](const mirelink::AddressBookRequest& request,
                                        const std::vector<mirelink::AddressEntryPtr>& entries)
                                         -> std::optional<std::vector<mirelink::AddressBookPick>> {
        RequireApplication();
        QPointer<AddressBookDialog> dialog = new AddressBookDialog(request, entries, OwnerWindow());
        const auto drop = qScopeGuard([&dialog] { delete dialog.data(); });
        if (dialog->exec() != QDialog::Accepted || !dialog) {
            return std::nullopt;
        }
        return dialog->Picks();
    });
}

}  // namespace platform::widgets
