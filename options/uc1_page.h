#pragma once

// The page's controls, its own state and its procedures, shared by the
// files that implement UC1.

#include <QObject>
#include <QPointer>
#include <array>
#include <memory>
#include <string>
#include <vector>

#include "options/uc1.h"
#include "platform/ostrevane/settings_helper.h"

class QAction;
class QCheckBox;
class QComboBox;
class QFrame;
class QGroupBox;
class QLabel;
class QLineEdit;
class QMenu;
class QMouseEvent;
class QProgressBar;
class QPushButton;
class QRadioButton;
class QTabWidget;
class QTableView;

namespace plovanex {

class CProcessOneSentItem;
class RuleGridModel;

struct UC1::Page : public QObject {
    Page();
    ~Page() override;

    // The page's control, built when there is none.
    QWidget* Control();
    bool eventFilter(QObject* watched, QEvent* event) override;

    // Contract and lifecycle (uc1.cpp).
    void Build();
    void UserControl_Show();
    void SetEnabled(bool enabled);

    // General settings (uc1_general.cpp).
    void Apply();
    void LoadValues();
    void optSentFilter_Click(int index);
    void cmdChooseFolder_Click();
    void cmdAdvancedSettings_Click();
    void cmdManageOverrides_Click();
    void cmdBuildIndex_Click();

    // Run Now (uc1_run_now.cpp).
    void cmdRunNow_Click();

    // Rule grids (uc1_grids.cpp).
    void InitGrids();
    void FillGrid();
    void GridMouseDown(QMouseEvent* event);
    void mnuAdd_Click();
    void mnuEdit_Click();
    void mnuDelete_Click();
    void EditKeywordRow();
    void EditAssociateRow();
    void DeleteKeywords();
    void DeleteAssociate();

    // Hot help (uc1_hot_help.cpp).
    void BuildHotHelp();
    void ShowHotHelp(std::string& name);

    // The page's own state.
    std::string lastHotHelpName;
    std::string hotHelpCaption;
    ostrevane::HelpTexts helpTexts;
    std::string defaultFolderEntryId;
    std::string defaultFolderStoreId;
    bool KeepGoing = false;
    // The processor of the last run. It stays until the next run or the
    // page's end, so that a question it put to the chooser can still be
    // answered and the item filed.
    std::unique_ptr<CProcessOneSentItem> runNowProcessor;
    // False once the page is gone; a Run Now that lets events run checks it.
    std::shared_ptr<bool> alive = std::make_shared<bool>(true);

    QPointer<QWidget> control;
    // Every control, in the order made: Enabled walks them.
    std::vector<QWidget*> controls;
    // The name each control's pointer moves send to ShowHotHelp.
    std::vector<std::pair<QObject*, std::string>> hotHelpNames;

    QTabWidget* vsFlexGridTab = nullptr;
    // General Settings.
    QGroupBox* frameSettings = nullptr;
    QLabel* Label5 = nullptr;
    std::array<QLabel*, 4> orderLabels{};  // Label8 to Label11
    std::array<QComboBox*, 4> cboOrder{};  // cboOrder1 to cboOrder4
    QGroupBox* Frame1 = nullptr;
    QPushButton* cmdAdvancedSettings = nullptr;
    QGroupBox* Frame2 = nullptr;
    QLabel* Label12 = nullptr;
    QPushButton* cmdRunNow = nullptr;
    QProgressBar* OrganizeProgressBar = nullptr;
    QLabel* Label2 = nullptr;
    QLabel* lblSubject = nullptr;
    QWidget* regularExpressions = nullptr;
    // Confirmation Mode.
    QGroupBox* frameConfirmationModeSettings = nullptr;
    QLabel* Label1 = nullptr;
    std::array<QRadioButton*, 2> optSentFilter{};
    QLineEdit* txtSaveToFolder = nullptr;
    QPushButton* cmdChooseFolder = nullptr;
    QPushButton* cmdBuildIndex = nullptr;
    QGroupBox* frameFromAccount = nullptr;
    QLabel* lblFromInstructions = nullptr;
    QCheckBox* chkSharedDefaults = nullptr;
    QLabel* lblManageOverrides = nullptr;
    QPushButton* cmdManageOverrides = nullptr;
    std::array<QFrame*, 4> lines{};  // Line4, Line6, Line7, Line8
    // Keyword Mode.
    QGroupBox* frameKeywordModeSettings = nullptr;
    QLabel* Label6 = nullptr;
    QLabel* Label3 = nullptr;
    QTableView* grdKeywords = nullptr;
    RuleGridModel* keywordGrid = nullptr;
    // Associate Contacts Mode.
    QGroupBox* AssocFrame1 = nullptr;
    QLabel* Label7 = nullptr;
    QLabel* Label4 = nullptr;
    QTableView* vsFlexGridAssociate = nullptr;
    RuleGridModel* contactGrid = nullptr;
    QCheckBox* chkIgnoreCC = nullptr;
    // The grids' right-button menu.
    QMenu* mnuPopup = nullptr;
    QAction* mnuAdd = nullptr;
    QAction* mnuEdit = nullptr;
    QAction* mnuDelete = nullptr;
};

// The window the page's message boxes open over: the window of `inPage` (any
// control of the page) while it is shown, else nothing, so that they open
// over the window in front.
QWidget* PageWindow(const QWidget& inPage);
// The message boxes of the page: an OK button and the title "Plovanex".
void PageMessage(const QWidget& inPage, const std::string& text);

}  // namespace plovanex
