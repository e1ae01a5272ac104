#pragma once

#include <QDialog>
#include <QPointer>
#include <memory>
#include <vector>

#include "platform/ostrevane/module_loader.h"
#include "platform/ostrevane/options_host.h"
#include "platform/ostrevane/property_page.h"
#include "platform/outlook/fwd.h"

class QLabel;
class QPushButton;
class QTabWidget;

namespace host {

// The host's options dialog: one tab per property page, a help area under
// the pages that shows their hot help, and OK, Cancel and Apply. It is the
// OptionsHost of every page it holds. `ostrevane options` and the explorer's
// Tools > Options open it.
class OptionsDialog : public QDialog {
  public:
    explicit OptionsDialog(outlook::ApplicationPtr application, QWidget* parent = nullptr);
    // Takes the pages' windows out again: each page owns its own.
    ~OptionsDialog() override;

    // Adds the page as the next tab: the dialog becomes its host and the
    // page is enabled.
    void AddPage(std::shared_ptr<ostrevane::IPropertyPage> page);
    // Creates and adds every property page the settings list; a page that
    // cannot be created is reported by the loader and left out. Gives how
    // many were added.
    int AddRegisteredPages(ostrevane::ModuleLoader& loader);
    const std::vector<std::shared_ptr<ostrevane::IPropertyPage>>& Pages() const { return pages_; }

    // Applies every page that holds changes, then each reloads what it
    // applied. Apply is disabled until a page changes again.
    void ApplyPages();
    // OK: applies the pages that hold changes and closes.
    void accept() override;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    // The window active as it shows opened it: closing it makes that one
    // active again, where the window manager would hand the activation to
    // another window (another program's, even).
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

  private:
    class Host;
    void CurrentPageChanged(int index);
    void ShowHelp(const std::string& caption, const std::string& text);

    outlook::ApplicationPtr application_;
    std::shared_ptr<Host> host_;
    std::vector<std::shared_ptr<ostrevane::IPropertyPage>> pages_;
    std::vector<QPointer<QWidget>> controls_;
    QPointer<QWidget> opener_;
    QTabWidget* tabPages_;
    QLabel* lblHotHelp_;
    QPushButton* cmdOK_;
    QPushButton* cmdCancel_;
    QPushButton* cmdApply_;
};

}  // namespace host
