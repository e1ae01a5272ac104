#pragma once

#include <QAbstractTableModel>
#include <array>
#include <string>
#include <vector>

class QTableView;
class QWidget;

namespace plovanex {

// The rows of a rule grid: a hidden key column, the folder column and the
// keyword or contact column. Grid rows count as the page counts them: row 0
// is the header, rules stand from row 1 (model row 0) on.
class RuleGridModel : public QAbstractTableModel {
  public:
    RuleGridModel(std::array<const char*, 3> headers, QObject* parent);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

    // Only the header row is left.
    void Clear();
    // Appends a row from a text whose columns are parted by TAB. The last
    // column takes the rest of the text, tabs and all: a rule's text may
    // hold one.
    void AddItem(const std::string& tabSeparated);
    // The grid's number of rows, the header included.
    int Rows() const;
    // The text of a cell; row 0 is the header.
    std::string TextMatrix(int gridRow, int column) const;

  private:
    std::array<QString, 3> headers_;
    std::vector<std::array<std::string, 3>> rows_;
};

// A grid over the model, named for its control: whole rows are selected, any
// number of them, and the key column is hidden.
QTableView* MakeRuleGrid(QWidget* parent, const char* name, RuleGridModel* model);
// The key column hidden, the other two at least 1200 twips wide.
void LayOutRuleGrid(QTableView& grid);
// The grid's current row: 0 (the header) when no rule row is current.
int CurrentGridRow(const QTableView& grid);
// The selected grid rows, in the order they were selected.
std::vector<int> SelectedGridRows(const QTableView& grid);
// Makes row 1, column 1 current and selected.
void SelectFirstRule(QTableView& grid);

}  // namespace plovanex
