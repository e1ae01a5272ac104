#pragma once

#include <QAbstractListModel>
#include <cstdint>
#include <string>
#include <vector>

namespace platform::ado {
class Recordset;
}

namespace plovanex::chooser {

// The lines of the search list: the FolderPath of each record, kept as one
// block of text so that a keystroke over 100,000 records refills the list
// without an item per record. A line is shown with its index escapes undone.
class SearchResults : public QAbstractListModel {
  public:
    using QAbstractListModel::QAbstractListModel;

    void Clear();
    // Lists RecordCount records from the current one on, moving through
    // them. An error stops it with the lines read so far listed, and goes on
    // to the caller.
    void Fill(platform::ado::Recordset& records);
    int Count() const { return static_cast<int>(ends_.size()); }
    // The line at a row from 0, as shown; empty outside the list.
    std::string Line(int row) const;

    int rowCount(const QModelIndex& parent) const override;
    QVariant data(const QModelIndex& index, int role) const override;

  private:
    std::string text_;
    std::vector<std::uint32_t> ends_;
};

}  // namespace plovanex::chooser
