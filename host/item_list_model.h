#pragma once

#include <QAbstractTableModel>
#include <QTimer>
#include <optional>
#include <vector>

#include "platform/mailstore/profile.h"
#include "platform/outlook/fwd.h"

namespace host {

// The items of the folder an explorer shows: subject, To and sent time, in
// arrival order. It follows the folder: an item that arrives through this
// process shows at once; what leaves the folder, and what other processes
// change, shows at the next look, one a second.
class ItemListModel : public QAbstractTableModel {
  public:
    enum Column { kSubject, kTo, kSent, kColumns };

    explicit ItemListModel(mailstore::ProfilePtr profile, QObject* parent = nullptr);
    ~ItemListModel() override;

    // Shows the items of that folder, or none.
    void SetFolder(const outlook::FolderPtr& folder);
    // Brings the rows in line with the folder.
    void Refresh();
    // The EntryID of the item of a row.
    std::string EntryId(int row) const;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

  private:
    struct Row {
        mailstore::Id id = 0;
        std::string entryId;
        QString subject, to, sent;
    };
    Row ReadRow(mailstore::Id id) const;
    void QueueRefresh();

    mailstore::ProfilePtr profile_;
    std::optional<mailstore::Id> folder_;
    std::vector<Row> rows_;
    mailstore::Subscription arrivals_;
    QTimer poll_;
    bool queued_ = false;
};

}  // namespace host
