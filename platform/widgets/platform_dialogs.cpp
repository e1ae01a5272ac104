#include "platform/widgets/platform_dialogs.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QListWidget>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <functional>

#include "platform/error.h"

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

void RequireApplication() {
    if (!qobject_cast<QApplication*>(QCoreApplication::instance())) {
        throw platform::Error("The dialog cannot be shown: the program has no windows");
    }
}

}  // namespace

PickFolderDialog::PickFolderDialog(outlook::NameSpacePtr ns, QWidget* parent)
    : QDialog(parent), ns_(std::move(ns)), tree_(new QTreeWidget(this)) {
    setObjectName("PickFolderDialog");
    setWindowTitle("Select Folder");
    tree_->setObjectName("treeFolders");
    tree_->setHeaderHidden(true);
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
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(tree_);
    AddButtons(this, layout);
    connect(tree_, &QTreeWidget::itemDoubleClicked, this, &QDialog::accept);
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
        tree_->setCurrentItem(node);
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
        PickFolderDialog dialog(ns);
        return dialog.exec() == QDialog::Accepted ? dialog.SelectedFolder() : nullptr;
    });
    mirelink::InstallAddressBookHook([](const mirelink::AddressBookRequest& request,
                                        const std::vector<mirelink::AddressEntryPtr>& entries)
                                         -> std::optional<std::vector<mirelink::AddressBookPick>> {
        RequireApplication();
        AddressBookDialog dialog(request, entries);
        if (dialog.exec() != QDialog::Accepted) {
            return std::nullopt;
        }
        return dialog.Picks();
    });
}

}  // namespace platform::widgets
