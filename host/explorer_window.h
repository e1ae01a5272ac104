#pragma once

#include <QMainWindow>
#include <QPointer>
#include <functional>
#include <string>
#include <vector>

#include "host/engine.h"
#include "host/window_sink.h"
#include "platform/ostrevane/module_loader.h"
#include "platform/ostrevane/sink.h"
#include "platform/outlook/outlook.h"

class QAction;
class QTableView;
class QTreeView;

namespace host {

class FolderTreeModel;
class InspectorWindow;
class ItemListModel;
class OptionsDialog;

// The mail client's main window on the explorer object: the folder tree of
// every store beside the items of the selected folder, File > New Mail and
// Exit, and Tools > Options with the registered property pages. It tells the
// modules when it opens and closes.
class ExplorerWindow : public QMainWindow {
  public:
    ExplorerWindow(ModuleHost& modules, outlook::ExplorerPtr explorer, QWidget* parent = nullptr);
    ~ExplorerWindow() override;

    // Opens an item window on a new mail.
    InspectorWindow* NewMail();
    // Shows the options dialog with every registered property page, or the
    // one already open; nothing when no page is registered.
    OptionsDialog* ShowOptions();
    // Selects the folder at the path in the tree and lists its items; false
    // when there is none.
    bool ShowFolder(const std::string& path);
    // Shows a report in the status bar.
    void ShowReport(const ostrevane::Report& report);
    // Runs when the window has closed.
    void OnClosed(std::function<void()> fn) { onClosed_ = std::move(fn); }

    ItemListModel& Items() { return *items_; }

  protected:
    void closeEvent(QCloseEvent* event) override;

  private:
    void Select(const QModelIndex& index);
    void ShowTitle(const QModelIndex& index);
    // Before the rows go from the tree: when they hold the current folder or
    // one inside it, the folder above them becomes current.
    void LeaveRows(const QModelIndex& parent, int first, int last);

    ModuleHost& modules_;
    outlook::ExplorerPtr explorer_;
    FolderTreeModel* folders_;
    ItemListModel* items_;
    QTreeView* tree_;
    QTableView* list_;
    std::vector<QPointer<InspectorWindow>> inspectors_;
    // The property pages' libraries, for as long as the window lives.
    ostrevane::ModuleLoader pageLoader_;
    QPointer<OptionsDialog> options_;
    std::function<void()> onClosed_;
    bool closed_ = false;
};

// While it lives, notes are also shown in the window's status bar; errors
// are left to the message window.
ScopedWindowSink NotesInStatusBar(ExplorerWindow& window);

}  // namespace host
