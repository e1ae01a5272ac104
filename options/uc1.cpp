// The page's contract with its host, its control and its start and end.

#include "options/uc1.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMouseEvent>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QResizeEvent>
#include <QTabWidget>
#include <QTableView>
#include <QVBoxLayout>
#include <exception>

#include "common/error_text.h"
#include "core/globals.h"
#include "core/process_one_sent_item.h"
#include "options/form_support.h"
#include "options/prop_library.h"
#include "options/prop_routines.h"
#include "options/rule_grid.h"
#include "options/uc1_page.h"
#include "platform/widgets/controls.h"
#include "platform/widgets/message_box.h"

namespace plovanex {

namespace {

constexpr char kProduct[] = "Plovanex";

// A line control: a flat separator the page draws between its groups.
QFrame* MakeLine(QWidget* parent, const char* name) {
    auto* line = platform::widgets::MakeControl<QFrame>(parent, name);
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Sunken);
    return line;
}

// Holds one control at its own size, fixed anew whenever the holder is
// resized. A control of fixed size that changes its text repaints alone; a
// label in a layout would lay the whole page out again for every subject
// Run Now shows.
class FixedSizeHolder : public QWidget {
  public:
    explicit FixedSizeHolder(QWidget* parent) : QWidget(parent) {
        setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
        setFixedHeight(fontMetrics().height() + 4);
    }

  protected:
    void resizeEvent(QResizeEvent* event) override {
        for (auto* child : findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
            child->setFixedSize(event->size());
        }
        QWidget::resizeEvent(event);
    }
};

QLabel* Wrapped(QLabel* label) {
    label->setWordWrap(true);
    return label;
}

}  // namespace

QWidget* PageWindow(const QWidget& inPage) {
    QWidget* window = inPage.window();
    return window->isVisible() ? window : nullptr;
}

void PageMessage(const QWidget& inPage, const std::string& text) {
    platform::widgets::MsgBox(text, platform::widgets::vbOKOnly, kProduct, PageWindow(inPage));
}

// ---- UC1

UC1::UC1() : page_(std::make_unique<Page>()) {}

UC1::~UC1() {
    auto& library = Prop();
    library.contactRows.reset();
    library.keywordRows.reset();
    library.helpSource.Clear();
    page_->helpTexts.Clear();
    library.host.reset();
}

void UC1::SetHost(ostrevane::OptionsHostPtr& theHost) {
    Prop().host = theHost;
}

bool UC1::Dirty() {
    return Prop().Dirty;
}

void UC1::ResetHotHelp() {
    page_->lastHotHelpName.clear();
}

void UC1::SetEnabled(bool& newEnabled) {
    page_->Control();
    page_->SetEnabled(newEnabled);
}

void UC1::Apply() {
    page_->Control();
    page_->Apply();
}

void UC1::LoadValues() {
    page_->Control();
    page_->LoadValues();
}

std::string UC1::SendPropMessage(std::string& theMessage, std::string& /*theData*/) {
    if (SameTextIgnoringCase(theMessage, "ResetHelpText")) {
        page_->lastHotHelpName.clear();
    }
    return "ok";
}

std::string UC1::GetRecipientSMTPAddress(outlook::ObjectPtr& /*safeRecip*/) {
    return "";
}

QWidget* UC1::Control() {
    return page_->Control();
}

// ---- the page

UC1::Page::Page() = default;

UC1::Page::~Page() {
    *alive = false;
    if (control) {
        control->removeEventFilter(this);
        for (const auto& [watched, name] : hotHelpNames) {
            watched->removeEventFilter(this);
        }
        delete control.data();
    }
}

QWidget* UC1::Page::Control() {
    if (!control) {
        Build();
    }
    return control;
}

void UC1::Page::Build() {
    using platform::widgets::MakeControl;
    controls.clear();
    hotHelpNames.clear();
    auto* root = new QWidget;
    control = root;
    platform::widgets::NameForm(root, "UC1", kProduct);
    root->installEventFilter(this);
    const auto keep = [this](auto* made) {
        controls.push_back(made);
        return made;
    };
    const auto watch = [this](QWidget* watched, const std::string& name) {
        watched->setMouseTracking(true);
        watched->installEventFilter(this);
        hotHelpNames.emplace_back(watched, name);
    };

    vsFlexGridTab = keep(MakeControl<QTabWidget>(root, "vsFlexGridTab"));
    auto* general = new QWidget;
    auto* confirmation = new QWidget;
    auto* keyword = new QWidget;
    auto* contacts = new QWidget;
    vsFlexGridTab->addTab(general, "&General Settings");
    vsFlexGridTab->addTab(confirmation, "&Confirmation Mode");
    vsFlexGridTab->addTab(keyword, "&Keyword Mode");
    vsFlexGridTab->addTab(contacts, "&Associate Contacts Mode");

    // General Settings.
    frameSettings = keep(MakeControl<QGroupBox>(general, "frameSettings", "Settings"));
    Label5 = keep(MakeControl<QLabel>(frameSettings, "Label5",
                                      "Process the sent emails in the following order:"));
    auto* order = new QGridLayout;
    const char* const labelNames[] = {"Label8", "Label9", "Label10", "Label11"};
    const char* const labelTexts[] = {"1.", "2.", "3.", "4."};
    for (std::size_t n = 0; n < cboOrder.size(); ++n) {
        orderLabels[n] = keep(MakeControl<QLabel>(frameSettings, labelNames[n], labelTexts[n]));
        const std::string name = "cboOrder" + std::to_string(n + 1);
        cboOrder[n] = keep(MakeControl<QComboBox>(frameSettings, name.c_str()));
        order->addWidget(orderLabels[n], static_cast<int>(n), 0);
        order->addWidget(cboOrder[n], static_cast<int>(n), 1);
        watch(orderLabels[n], labelNames[n]);
        // Only a new value marks the page: a key that changes nothing (Alt
        // for an access key) or a pick of the shown entry does not.
        connect(cboOrder[n], &QComboBox::currentIndexChanged, this,
                [] { Guarded("cboOrder_Change", [] { SetDirty(); }); });
    }
    order->setColumnStretch(1, 1);
    auto* settings = new QVBoxLayout(frameSettings);
    settings->addWidget(Label5);
    settings->addLayout(order);

    Frame1 = keep(MakeControl<QGroupBox>(general, "Frame1", "Advanced Options"));
    cmdAdvancedSettings =
        keep(MakeControl<QPushButton>(Frame1, "cmdAdvancedSettings", "Advanced Settings..."));
    auto* advanced = new QHBoxLayout(Frame1);
    advanced->addWidget(cmdAdvancedSettings);
    advanced->addStretch();

    Frame2 = keep(MakeControl<QGroupBox>(general, "Frame2", "Organize Previously Sent Emails"));
    Label12 = keep(Wrapped(MakeControl<QLabel>(
        Frame2, "Label12",
        "Be sure that you have specified how to file the sent emails on the individual tabs "
        "above. ")));
    cmdRunNow = keep(MakeControl<QPushButton>(Frame2, "cmdRunNow", "Run Now"));
    Label2 = keep(MakeControl<QLabel>(Frame2, "Label2", "Progress"));
    OrganizeProgressBar = keep(MakeControl<QProgressBar>(Frame2, "OrganizeProgressBar"));
    OrganizeProgressBar->setTextVisible(false);
    auto* subjectLine = new FixedSizeHolder(Frame2);
    lblSubject = keep(MakeControl<QLabel>(subjectLine, "lblSubject", "Email Subject"));
    // It shows mail subjects: text as typed, never markup.
    lblSubject->setTextFormat(Qt::PlainText);
    watch(cmdRunNow, "cmdRunNow");
    watch(OrganizeProgressBar, "OrganizeProgressBar");
    watch(Label2, "Label2");
    auto* organize = new QGridLayout(Frame2);
    organize->addWidget(Label12, 0, 0, 1, 3);
    organize->addWidget(cmdRunNow, 1, 0);
    organize->addWidget(Label2, 1, 1);
    organize->addWidget(OrganizeProgressBar, 1, 2);
    organize->addWidget(subjectLine, 2, 1, 1, 2);
    organize->setColumnStretch(2, 1);

    regularExpressions = keep(MakeControl<QWidget>(general, "regularExpressions"));
    regularExpressions->hide();

    auto* generalLayout = new QVBoxLayout(general);
    generalLayout->addWidget(frameSettings);
    generalLayout->addWidget(Frame1);
    generalLayout->addWidget(Frame2);
    generalLayout->addStretch();

    // Confirmation Mode.
    frameConfirmationModeSettings = keep(MakeControl<QGroupBox>(
        confirmation, "frameConfirmationModeSettings", "Confirmation Mode Settings"));
    Label1 = keep(Wrapped(MakeControl<QLabel>(
        frameConfirmationModeSettings, "Label1",
        "When sending, clicking on the \"Send\" button will result in one of these two actions "
        "being performed.  Choose how you would like to have the add-in operate.")));
    const char* const optionTexts[] = {"Always prompt for the Outlook folder",
                                       "Always save items to this folder:"};
    for (int index = 0; index < 2; ++index) {
        auto* option = keep(MakeControl<QRadioButton>(frameConfirmationModeSettings,
                                                      "optSentFilter", optionTexts[index]));
        option->setProperty("Index", index);
        optSentFilter[static_cast<std::size_t>(index)] = option;
        watch(option, index == 0 ? "optSentFilter" : "optSentFilter-1");
        connect(option, &QRadioButton::toggled, this, [this, index](bool checked) {
            if (checked) {
                Guarded("optSentFilter_Click", [this, index] { optSentFilter_Click(index); });
            }
        });
    }
    txtSaveToFolder =
        keep(MakeControl<QLineEdit>(frameConfirmationModeSettings, "txtSaveToFolder", "Inbox"));
    TakeNoTyping(txtSaveToFolder);
    cmdChooseFolder = keep(MakeControl<QPushButton>(frameConfirmationModeSettings,
                                                    "cmdChooseFolder", "Choose Outlook Folder..."));
    cmdBuildIndex = keep(
        MakeControl<QPushButton>(frameConfirmationModeSettings, "cmdBuildIndex", "Build Index..."));
    watch(txtSaveToFolder, "txtSaveToFolder");
    watch(cmdChooseFolder, "cmdChooseFolder");
    lines[0] = keep(MakeLine(frameConfirmationModeSettings, "Line4"));
    auto* confirmationGrid = new QGridLayout(frameConfirmationModeSettings);
    confirmationGrid->addWidget(Label1, 0, 0, 1, 3);
    confirmationGrid->addWidget(optSentFilter[0], 1, 0, 1, 3);
    confirmationGrid->addWidget(optSentFilter[1], 2, 0, 1, 3);
    confirmationGrid->addWidget(txtSaveToFolder, 3, 0);
    confirmationGrid->addWidget(cmdChooseFolder, 3, 1);
    confirmationGrid->addWidget(lines[0], 4, 0, 1, 3);
    confirmationGrid->addWidget(cmdBuildIndex, 5, 1);
    confirmationGrid->setColumnStretch(0, 1);

    frameFromAccount =
        keep(MakeControl<QGroupBox>(confirmation, "frameFromAccount", "Shared Mailbox Handling"));
    lblFromInstructions = keep(Wrapped(MakeControl<QLabel>(
        frameFromAccount, "lblFromInstructions",
        "If the checkbox below is on, then emails sent from Shared Mailboxes and non default "
        "Accounts will go into their respective sent items folders.  If there are no matches, "
        "then they will go to the Outlook folder specified above.")));
    chkSharedDefaults = keep(MakeControl<QCheckBox>(
        frameFromAccount, "chkSharedDefaults",
        "Emails sent from shared mailboxes go into their respective Sent Items "));
    lines[1] = keep(MakeLine(frameFromAccount, "Line6"));
    lblManageOverrides = keep(Wrapped(MakeControl<QLabel>(
        frameFromAccount, "lblManageOverrides",
        "If you want to force emails to go into a folder other than it's associated sent items "
        "folder, then you can specify an override here.")));
    cmdManageOverrides = keep(
        MakeControl<QPushButton>(frameFromAccount, "cmdManageOverrides", "Manage Overrides..."));
    lines[2] = keep(MakeLine(frameFromAccount, "Line7"));
    watch(frameFromAccount, "frameFromAccount");
    auto* fromAccount = new QGridLayout(frameFromAccount);
    fromAccount->addWidget(lblFromInstructions, 0, 0, 1, 2);
    fromAccount->addWidget(chkSharedDefaults, 1, 0, 1, 2);
    fromAccount->addWidget(lines[1], 2, 0, 1, 2);
    fromAccount->addWidget(lblManageOverrides, 3, 0);
    fromAccount->addWidget(cmdManageOverrides, 3, 1, Qt::AlignTop);
    fromAccount->addWidget(lines[2], 4, 0, 1, 2);
    fromAccount->setColumnStretch(0, 1);
    lines[3] = keep(MakeLine(confirmation, "Line8"));

    auto* confirmationLayout = new QVBoxLayout(confirmation);
    confirmationLayout->addWidget(frameConfirmationModeSettings);
    confirmationLayout->addWidget(lines[3]);
    confirmationLayout->addWidget(frameFromAccount);
    confirmationLayout->addStretch();

    // The two rule tabs: a frame, the tab's text, the hint for the menu and
    // the grid.
    const auto ruleTab = [&](QWidget* tab, const char* frameName, const char* frameCaption,
                             const char* textName, const char* text, const char* hintName,
                             const char* gridName, std::array<const char*, 3> headers,
                             RuleGridModel*& model, QTableView*& grid, QLabel*& textLabel,
                             QLabel*& hintLabel) {
        auto* frame = keep(MakeControl<QGroupBox>(tab, frameName, frameCaption));
        textLabel = keep(Wrapped(MakeControl<QLabel>(frame, textName, text)));
        hintLabel = keep(Wrapped(MakeControl<QLabel>(
            frame, hintName,
            "Right click anywhere in the grid area to add, and right click on a row to edit or "
            "delete")));
        model = new RuleGridModel(headers, root);
        grid = keep(MakeRuleGrid(frame, gridName, model));
        grid->viewport()->installEventFilter(this);
        watch(grid->viewport(), gridName);
        auto* layout = new QVBoxLayout(frame);
        layout->addWidget(textLabel);
        layout->addWidget(hintLabel);
        layout->addWidget(grid, 1);
        (new QVBoxLayout(tab))->addWidget(frame);
        return frame;
    };
    frameKeywordModeSettings = ruleTab(
        keyword, "frameKeywordModeSettings", "Keyword Mode Settings", "Label6",
        "Here you can associate keywords like project titles, project ids, or any other keywords "
        "with different folders.  When the \"Send\" button is clicked, the email subject and body "
        "will be scanned for these keywords and placed into the corresponding folder.  ",
        "Label3", "grdKeywords", {"Id", "Folder", "Keyword"}, keywordGrid, grdKeywords, Label6,
        Label3);
    AssocFrame1 = ruleTab(
        contacts, "AssocFrame1", "Associate Contacts Mode Settings", "Label7",
        "Here you can associate email addresses and domains with different Outlook folders.  When "
        "the \"Send\" button is clicked, the recipient list is checked and if there's a match, the "
        "email is moved to the appropriate folder.",
        "Label4", "vsFlexGridAssociate", {"Key", "Folder", "Contact"}, contactGrid,
        vsFlexGridAssociate, Label7, Label4);
    chkIgnoreCC = keep(MakeControl<QCheckBox>(AssocFrame1, "chkIgnoreCC",
                                              "Ignore CC'ed recipients when examining the email"));
    watch(chkIgnoreCC, "chkIgnoreCC");
    watch(AssocFrame1, "AssocFrame1");
    static_cast<QVBoxLayout*>(AssocFrame1->layout())->addWidget(chkIgnoreCC);

    mnuPopup = new QMenu("Popup Menu", root);
    mnuPopup->setObjectName("mnuPopup");
    const auto item = [this](const char* name, const char* caption) {
        auto* action = mnuPopup->addAction(caption);
        action->setObjectName(name);
        return action;
    };
    mnuAdd = item("mnuAdd", "&Add");
    mnuEdit = item("mnuEdit", "&Edit");
    mnuDelete = item("mnuDelete", "&Delete");

    auto* rootLayout = new QVBoxLayout(root);
    rootLayout->setContentsMargins(0, 0, 0, 0);
    rootLayout->addWidget(vsFlexGridTab);
    root->resize(560, 470);

    // Handlers.
    connect(chkIgnoreCC, &QCheckBox::stateChanged, this,
            [] { Guarded("chkIgnoreCC_Click", [] { SetDirty(); }); });
    connect(chkSharedDefaults, &QCheckBox::stateChanged, this,
            [] { Guarded("chkSharedDefaults_Click", [] { SetDirty(); }); });
    connect(cmdChooseFolder, &QPushButton::clicked, this,
            [this] { Guarded("cmdChooseFolder_Click", [this] { cmdChooseFolder_Click(); }); });
    connect(cmdAdvancedSettings, &QPushButton::clicked, this, [this] {
        Guarded("cmdAdvancedSettings_Click", [this] { cmdAdvancedSettings_Click(); });
    });
    connect(cmdManageOverrides, &QPushButton::clicked, this, [this] {
        Guarded("cmdManageOverrides_Click", [this] { cmdManageOverrides_Click(); });
    });
    connect(cmdBuildIndex, &QPushButton::clicked, this,
            [this] { Guarded("cmdBuildIndex_Click", [this] { cmdBuildIndex_Click(); }); });
    connect(cmdRunNow, &QPushButton::clicked, this,
            [this] { Guarded("cmdRunNow_Click", [this] { cmdRunNow_Click(); }); });
    connect(mnuAdd, &QAction::triggered, this,
            [this] { Guarded("mnuAdd_Click", [this] { mnuAdd_Click(); }); });
    connect(mnuEdit, &QAction::triggered, this,
            [this] { Guarded("mnuEdit_Click", [this] { mnuEdit_Click(); }); });
    connect(mnuDelete, &QAction::triggered, this,
            [this] { Guarded("mnuDelete_Click", [this] { mnuDelete_Click(); }); });
}

bool UC1::Page::eventFilter(QObject* watched, QEvent* event) {
    if (!*alive) {
        return false;
    }
    switch (event->type()) {
        case QEvent::Show:
            if (watched == control && !event->spontaneous()) {
                UserControl_Show();
            }
            break;
        case QEvent::Hide:
            // A run stops with its current item when the page goes out of sight.
            if (watched == control && !event->spontaneous() && cmdRunNow->text() == "Cancel") {
                KeepGoing = false;
            }
            break;
        case QEvent::MouseButtonPress:
            if (watched == grdKeywords->viewport() || watched == vsFlexGridAssociate->viewport()) {
                auto* mouse = static_cast<QMouseEvent*>(event);
                Guarded("MouseDown", [this, mouse] { GridMouseDown(mouse); });
            }
            break;
        case QEvent::MouseMove:
            // Only the control right under the pointer, not a frame that
            // holds it.
            if (auto* widget = qobject_cast<QWidget*>(watched);
                widget && widget->childAt(static_cast<QMouseEvent*>(event)->position().toPoint())) {
                break;
            }
            for (auto& [object, name] : hotHelpNames) {
                if (object == watched) {
                    std::string hotName = name;
                    Guarded("MouseMove", [this, &hotName] { ShowHotHelp(hotName); });
                    break;
                }
            }
            break;
        default:
            break;
    }
    return QObject::eventFilter(watched, event);
}

void UC1::Page::UserControl_Show() {
    auto& library = Prop();
    Trapped({common::Source("UserControl.Show"), 1, false}, [&](long&) {
        library.Loading = true;
        vsFlexGridTab->setCurrentIndex(0);
        LoadValues();
        Helper().LoadHelpTexts(library.helpSource, kProduct);
        BuildHotHelp();
        library.Dirty = false;
        library.Loading = false;
    });
}

void UC1::Page::SetEnabled(bool enabled) {
    for (QWidget* widget : controls) {
        const bool isLine = qobject_cast<QFrame*>(widget) &&
                            static_cast<QFrame*>(widget)->frameShape() == QFrame::HLine;
        if (isLine ||
            SameTextIgnoringCase(widget->objectName().toStdString(), "regularExpressions")) {
            continue;
        }
        widget->setEnabled(enabled);
    }
}

}  // namespace plovanex
