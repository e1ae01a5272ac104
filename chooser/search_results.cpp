#include "chooser/search_results.h"

#include "common/index_row.h"
#include "platform/ado/recordset.h"

namespace plovanex::chooser {

void SearchResults::Clear() {
    beginResetModel();
    text_.clear();
    ends_.clear();
    endResetModel();
}

void SearchResults::Fill(platform::ado::Recordset& records) {
    // The lines go into the buffers of the last fill, which keep their
    // room: a keystroke allocates nothing once the list has been long.
    beginResetModel();
    text_.clear();
    ends_.clear();
    try {
        const long count = records.RecordCount();
        ends_.reserve(static_cast<std::size_t>(count));
        for (long i = 1; i <= count; ++i) {
            text_.append(records.Fields("FolderPath").Text());
            ends_.push_back(static_cast<std::uint32_t>(text_.size()));
            records.MoveNext();
        }
    } catch (...) {
        endResetModel();
        throw;
    }
    endResetModel();
}

std::string SearchResults::Line(int row) const {
    if (row < 0 || row >= Count()) {
        return {};
    }
    const auto at = static_cast<std::size_t>(row);
    const std::uint32_t start = at == 0 ? 0 : ends_[at - 1];
    return common::UnescapeIndexValue(std::string_view(text_).substr(start, ends_[at] - start));
}

int SearchResults::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : Count();
}

QVariant SearchResults::data(const QModelIndex& index, int role) const {
    if (role != Qt::DisplayRole || index.parent().isValid() || index.column() != 0) {
        return {};
    }
    return QString::fromStdString(Line(index.row()));
}

}  // namespace plovanex::chooser
