#include "host/item_list_model.h"

#include <QPointer>
#include <unordered_set>

#include "platform/ostrevane/settings_helper.h"
#include "platform/outlook/date_text.h"
#include "platform/outlook/outlook.h"

namespace host {

namespace {

constexpr int kLookIntervalMs = 1000;

void Report(const std::string& message) {
    ostrevane::SettingsHelper().ReportError(message, 1, "Ostrevane.ItemList");
}

}  // namespace

ItemListModel::ItemListModel(mailstore::ProfilePtr profile, QObject* parent)
    : QAbstractTableModel(parent), profile_(std::move(profile)) {
    poll_.setInterval(kLookIntervalMs);
    QObject::connect(&poll_, &QTimer::timeout, this, [this] { Refresh(); });
}

ItemListModel::~ItemListModel() = default;

void ItemListModel::SetFolder(const outlook::FolderPtr& folder) {
    beginResetModel();
    rows_.clear();
    folder_.reset();
    arrivals_.reset();
    poll_.stop();
    try {
        if (folder) {
            folder_ = profile_->FolderByEntryId(folder->EntryID(), folder->StoreID());
        }
        if (folder_) {
            for (auto id : profile_->ItemsIn(*folder_)) {
                rows_.push_back(ReadRow(id));
            }
        }
    } catch (const std::exception& e) {
        Report(e.what());
        rows_.clear();
    }
    endResetModel();
    if (folder_) {
        QPointer<ItemListModel> self(this);
        arrivals_ = profile_->OnItemArrived(*folder_, [self](mailstore::Id) {
            if (self) {
                self->QueueRefresh();
            }
        });
        poll_.start();
    }
}

void ItemListModel::QueueRefresh() {
    if (queued_) {
        return;
    }
    queued_ = true;
    QMetaObject::invokeMethod(
        this,
        [this] {
            queued_ = false;
            Refresh();
        },
        Qt::QueuedConnection);
}

void ItemListModel::Refresh() {
    if (!folder_) {
        return;
    }
    std::vector<mailstore::Id> now;
    try {
        now = profile_->ItemsIn(*folder_);
    } catch (const std::exception&) {
        // The folder is gone or the file busy: the rows stay until the next look.
        return;
    }
    const std::unordered_set<mailstore::Id> present(now.begin(), now.end());
    for (int row = static_cast<int>(rows_.size()) - 1; row >= 0; --row) {
        if (!present.count(rows_[static_cast<size_t>(row)].id)) {
            beginRemoveRows({}, row, row);
            rows_.erase(rows_.begin() + row);
            endRemoveRows();
        }
    }
    // What stays keeps its order; each new item goes in at its place.
    for (size_t i = 0; i < now.size(); ++i) {
        if (i < rows_.size() && rows_[i].id == now[i]) {
            continue;
        }
        Row row;
        try {
            row = ReadRow(now[i]);
        } catch (const std::exception&) {
            continue;
        }
        const int at = static_cast<int>(std::min(i, rows_.size()));
        beginInsertRows({}, at, at);
        rows_.insert(rows_.begin() + at, std::move(row));
        endInsertRows();
    }
}

ItemListModel::Row ItemListModel::ReadRow(mailstore::Id id) const {
    auto item = profile_->Item(id);
    Row row;
    row.id = id;
    row.entryId = item.entryId;
    row.subject = QString::fromStdString(item.subject);
    std::string to;
    for (const auto& r : profile_->Recipients(id)) {
        if (r.type == outlook::olTo) {
            to += (to.empty() ? "" : "; ") + r.name;
        }
    }
    row.to = QString::fromStdString(to);
    if (item.sent) {
        row.sent = QString::fromStdString(outlook::DateText(item.sentOn));
    }
    return row;
}

std::string ItemListModel::EntryId(int row) const {
    return row >= 0 && row < static_cast<int>(rows_.size())
               ? rows_[static_cast<size_t>(row)].entryId
               : "";
}

int ItemListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(rows_.size());
}

int ItemListModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : kColumns;
}

QVariant ItemListModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || role != Qt::DisplayRole || index.row() >= rowCount()) {
        return {};
    }
    const auto& row = rows_[static_cast<size_t>(index.row())];
    switch (index.column()) {
        case kSubject:
            return row.subject;
        case kTo:
            return row.to;
        case kSent:
            return row.sent;
        default:
            return {};
    }
}

QVariant ItemListModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole) {
        return {};
    }
    static const char* const kHeaders[kColumns] = {"Subject", "To", "Sent"};
    return section >= 0 && section < kColumns ? QString(kHeaders[section]) : QVariant();
}

}  // namespace host
