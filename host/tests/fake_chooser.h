#pragma once

#include <QWidget>
#include <map>
#include <string>
#include <vector>

#include "platform/outlook/outlook.h"

class QStandardItem;
class QStandardItemModel;
class QStringListModel;
class QTabWidget;
class QTreeView;

namespace host_test {

// A stand-in folder chooser with the controls the add-in's dialogs carry,
// found by the same names: the search variant's two tabs, or a modal
// variant's single page. Its tree loads each level when expanded, under a
// placeholder node, and it records each decision it is given.
class FakeChooser : public QWidget {
  public:
    struct Setup {
        int variant = 4;
        // Stores left out of the tree; their folders are only on the search tab.
        std::vector<std::string> storesNotInTree{};
        // Buttons that record but leave the chooser open.
        bool stubborn = false;
    };
    FakeChooser(outlook::NameSpacePtr ns, Setup setup);

    // Shows it on its search tab; a modal variant waits until it is answered.
    void ShowIt();

    // "ok:<path of the selected node>", "search:<selected line>", "cancel", "delete".
    std::vector<std::string> decisions;

  private:
    void AddFolder(QStandardItem* parent, const outlook::FolderPtr& folder);
    void Decide(const std::string& decision);
    void Filter(const QString& text);

    Setup setup_;
    QStandardItemModel* tree_;
    QTreeView* view_;
    QStringListModel* lines_;
    QTabWidget* tabs_ = nullptr;
    std::vector<std::string> paths_;
    std::map<QStandardItem*, outlook::FolderPtr> folders_;
};

}  // namespace host_test
