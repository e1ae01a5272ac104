#include "options/rule_grid.h"

#include <QHeaderView>
#include <QItemSelectionModel>
#include <QTableView>

#include "platform/widgets/controls.h"

namespace plovanex {

namespace {

constexpr int kColumnWidthPixels = 1200 / 15;

}  // namespace

RuleGridModel::RuleGridModel(std::array<const char*, 3> headers, QObject* parent)
    : QAbstractTableModel(parent) {
    for (std::size_t i = 0; i < headers.size(); ++i) {
        headers_[i] = QString::fromUtf8(headers[i]);
    }
}

int RuleGridModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(rows_.size());
}

int RuleGridModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : 3;
}

QVariant RuleGridModel::data(const QModelIndex& index, int role) const {
    if (!checkIndex(index, CheckIndexOption::IndexIsValid) ||
        (role != Qt::DisplayRole && role != Qt::ToolTipRole)) {
        return {};
    }
    return QString::fromStdString(
        rows_[static_cast<std::size_t>(index.row())][static_cast<std::size_t>(index.column())]);
}

QVariant RuleGridModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 || section > 2) {
        return {};
    }
    return headers_[static_cast<std::size_t>(section)];
}

void RuleGridModel::Clear() {
    beginResetModel();
    rows_.clear();
    endResetModel();
}

void RuleGridModel::AddItem(const std::string& tabSeparated) {
    std::array<std::string, 3> row;
    std::size_t column = 0;
    for (char c : tabSeparated) {
        if (c == '\t' && column + 1 < row.size()) {
            ++column;
        } else {
            row[column] += c;
        }
    }
    const int at = static_cast<int>(rows_.size());
    beginInsertRows({}, at, at);
    rows_.push_back(std::move(row));
    endInsertRows();
}

int RuleGridModel::Rows() const {
    return static_cast<int>(rows_.size()) + 1;
}

std::string RuleGridModel::TextMatrix(int gridRow, int column) const {
    if (column < 0 || column > 2 || gridRow < 0 || gridRow >= Rows()) {
        return "";
    }
    if (gridRow == 0) {
        return headers_[static_cast<std::size_t>(column)].toStdString();
    }
    return rows_[static_cast<std::size_t>(gridRow - 1)][static_cast<std::size_t>(column)];
}

QTableView* MakeRuleGrid(QWidget* parent, const char* name, RuleGridModel* model) {
    auto* grid = platform::widgets::MakeControl<QTableView>(parent, name);
    grid->setModel(model);
    grid->setSelectionBehavior(QAbstractItemView::SelectRows);
    grid->setSelectionMode(QAbstractItemView::ExtendedSelection);
    grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    // The folder and list columns share the grid's width; 1200 twips is the
    // least each keeps.
    grid->horizontalHeader()->setMinimumSectionSize(kColumnWidthPixels);
    grid->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    grid->verticalHeader()->setVisible(false);
    grid->setWordWrap(false);
    LayOutRuleGrid(*grid);
    return grid;
}

void LayOutRuleGrid(QTableView& grid) {
    grid.setColumnHidden(0, true);
    for (int column = 1; column <= 2; ++column) {
        if (grid.columnWidth(column) < kColumnWidthPixels) {
            grid.setColumnWidth(column, kColumnWidthPixels);
        }
    }
}

int CurrentGridRow(const QTableView& grid) {
    const QModelIndex current = grid.currentIndex();
    return current.isValid() ? current.row() + 1 : 0;
}

std::vector<int> SelectedGridRows(const QTableView& grid) {
    std::vector<int> rows;
    if (!grid.selectionModel()) {
        return rows;
    }
    for (const QModelIndex& index : grid.selectionModel()->selectedRows()) {
        rows.push_back(index.row() + 1);
    }
    return rows;
}

void SelectFirstRule(QTableView& grid) {
    const QModelIndex first = grid.model()->index(0, 1);
    grid.selectionModel()->setCurrentIndex(
        first, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
}

}  // namespace plovanex
