// The page's contract with its host, its first showing, Apply and
// LoadValues, the default folder, Build Index, and stored values that the
// controls refuse.

#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QFrame>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTableView>
#include <QTest>
#include <fstream>

#include "common/index_builder.h"
#include "common/settings_keys.h"
#include "options/form_support.h"
#include "options/frm_advanced_options.h"
#include "options/prop_library.h"
#include "options/prop_routines.h"
#include "options/tests/page_fixture.h"
#include "platform/error.h"
#include "platform/os/os.h"
#include "platform/settings/settings_store.h"

namespace options_test {
namespace {

namespace keys = common::keys;
using ostrevane::Report;

QRadioButton* Option(QWidget* page, int index) {
    for (auto* option : page->findChildren<QRadioButton*>("optSentFilter")) {
        if (option->property("Index").toInt() == index) {
            return option;
        }
    }
    return nullptr;
}

class PageContractTest : public PageTest {};

TEST_F(PageContractTest, FirstShowingOnAnEmptyStore) {
    Show();
    EXPECT_EQ(Stored(keys::Initialized), "True");
    for (const char* list : {"cboOrder1", "cboOrder2", "cboOrder3", "cboOrder4"}) {
        EXPECT_EQ(Find<QComboBox>(list)->currentIndex(), 0) << list;
        EXPECT_EQ(Find<QComboBox>(list)->count(), 4) << list;
    }
    QWidget* control = page->Control();
    EXPECT_TRUE(Option(control, 0)->isChecked());
    for (const char* name :
         {"txtSaveToFolder", "cmdChooseFolder", "lblFromInstructions", "chkSharedDefaults",
          "lblManageOverrides", "cmdManageOverrides", "frameFromAccount"}) {
        EXPECT_FALSE(Find<QWidget>(name)->isEnabled()) << name;
    }
    EXPECT_TRUE(Find<QCheckBox>("chkSharedDefaults")->isChecked());
    EXPECT_FALSE(Find<QCheckBox>("chkIgnoreCC")->isChecked());
    EXPECT_EQ(Find<QLineEdit>("txtSaveToFolder")->text(), "");
    for (const char* grid : {"grdKeywords", "vsFlexGridAssociate"}) {
        auto* view = Find<QTableView>(grid);
        EXPECT_EQ(view->model()->rowCount(), 0) << grid;
        EXPECT_FALSE(view->selectionModel()->hasSelection()) << grid;
    }
    EXPECT_EQ(Find<QTabWidget>("vsFlexGridTab")->currentIndex(), 0);
    EXPECT_FALSE(page->Dirty());
    EXPECT_EQ(host->calls, std::vector<std::string>{"SetHotHelp"});
    EXPECT_EQ(host->helpTexts, std::vector<std::string>{""});
    EXPECT_TRUE(Reports().empty());
}

// Apply writes what the controls hold; LoadValues shows what the store holds.
TEST_F(PageContractTest, ApplyAndLoadValuesRoundTrip) {
    Show();
    host->Clear();
    Pick("cboOrder1", keys::ModeKeyword);
    Pick("cboOrder2", keys::ModeContact);
    Find<QComboBox>("cboOrder4")->setCurrentIndex(-1);
    Option(page->Control(), 1)->click();
    ASSERT_TRUE(page->Dirty());
    EXPECT_GE(host->Count("OnStatusChange"), 1);
    EXPECT_TRUE(Find<QWidget>("cmdChooseFolder")->isEnabled());
    {
        ScopedPickFolder picker(kArchive);
        Click("cmdChooseFolder");
    }
    EXPECT_EQ(Find<QLineEdit>("txtSaveToFolder")->text(), "Personal Folders\\Archive\\2026");
    EXPECT_EQ(host->Count("SetFocus"), 1);
    Check("chkIgnoreCC", true);
    Check("chkSharedDefaults", false);

    page->Apply();
    EXPECT_FALSE(page->Dirty());
    const auto ids = IdsOf(kArchive);
    const std::vector<std::pair<std::string, std::string>> written = {
        {"Order1", "2"},
        {"Order2", "3"},
        {"Order3", "0"},
        {"Order4", "-1"},
        {"PromptOutlookFolder", "False"},
        {"FolderChoice", "True"},
        {"MoveToFolderName", "Personal Folders\\Archive\\2026"},
        {"MoveToFolderEntryId", ids.entryId},
        {"MoveToFolderStoreId", ids.storeId},
        {"IgnoreCC", "1"},
        {"SharedDefaults", "0"}};
    for (const auto& [key, value] : written) {
        EXPECT_EQ(Stored(key), value) << key;
    }

    Store({{"Order1", "3"}, {"PromptOutlookFolder", "True"}, {"IgnoreCC", "0"}});
    host->Clear();
    page->LoadValues();
    EXPECT_EQ(Find<QComboBox>("cboOrder1")->currentIndex(), 3);
    EXPECT_EQ(Find<QComboBox>("cboOrder4")->currentIndex(), -1);
    EXPECT_TRUE(Option(page->Control(), 0)->isChecked());
    EXPECT_FALSE(Find<QWidget>("cmdChooseFolder")->isEnabled());
    EXPECT_FALSE(Find<QCheckBox>("chkIgnoreCC")->isChecked());
    EXPECT_FALSE(Find<QCheckBox>("chkSharedDefaults")->isChecked());
    EXPECT_FALSE(page->Dirty());
    EXPECT_EQ(host->calls, std::vector<std::string>{"SetHotHelp"});
    EXPECT_TRUE(Reports().empty());
}

// The folder box only shortens; the held ids stay, and the key presses
// mark nothing.
TEST_F(PageContractTest, BackspaceEmptiesTheFolderBoxButKeepsItsIds) {
    Store({{"PromptOutlookFolder", "False"}});
    Show();
    {
        ScopedPickFolder picker(kAcme);
        Click("cmdChooseFolder");
    }
    page->Apply();
    auto* box = Find<QLineEdit>("txtSaveToFolder");
    box->setFocus();
    box->end(false);
    Type(box, Qt::Key_X, "x");
    EXPECT_EQ(box->text(), "Personal Folders\\Clients\\Acme");
    // Nor can anything be pasted in by the keyboard.
    QApplication::clipboard()->setText("\\Pasted");
    for (const QKeyCombination paste : {QKeyCombination(Qt::ShiftModifier, Qt::Key_Insert),
                                        QKeyCombination(Qt::ControlModifier, Qt::Key_V)}) {
        QKeyEvent press(QEvent::KeyPress, paste.key(), paste.keyboardModifiers());
        QApplication::sendEvent(box, &press);
        EXPECT_EQ(box->text().toStdString(), "Personal Folders\\Clients\\Acme")
            << paste.toCombined();
    }
    while (!box->text().isEmpty()) {
        Type(box, Qt::Key_Backspace);
    }
    QKeyEvent undo(QEvent::KeyPress, Qt::Key_Z, Qt::ControlModifier);
    QApplication::sendEvent(box, &undo);
    EXPECT_EQ(box->text().toStdString(), "");
    EXPECT_FALSE(page->Dirty());
    page->Apply();
    EXPECT_EQ(Stored("MoveToFolderName"), "");
    EXPECT_EQ(Stored("MoveToFolderEntryId"), IdsOf(kAcme).entryId);
}

// A store that cannot be read is named in a message over the page, also
// while another window is in front, and the page still takes change notices
// afterwards.
TEST_F(PageContractTest, UnreadableStoreShowsTheProblem) {
    std::ofstream(platform::settings::DefaultFile()) << "this is no database";
    QWidget front;
    front.setObjectName("Front");
    front.show();
    front.activateWindow();
    QApplication::processEvents();
    Boxes boxes;
    Show();
    ASSERT_EQ(boxes.Shown().size(), 1u);
    EXPECT_EQ(boxes.Owners(), std::vector<std::string>{"UC1"});
    EXPECT_EQ(boxes.Shown()[0].title, "Problem Detected");
    EXPECT_TRUE(boxes.Shown()[0].prompt.starts_with(
        "Error: Halvox Software experienced a problem accessing your registry settings.\r\n"
        "Reason: "))
        << boxes.Shown()[0].prompt;
    EXPECT_TRUE(boxes.Shown()[0].prompt.ends_with(
        "\r\nPlease contact technical support for help with this problem."));
    EXPECT_FALSE(plovanex::Prop().Loading);
    Check("chkIgnoreCC", true);
    EXPECT_TRUE(page->Dirty());
}

// A failure past the refusable values ends LoadValues: it is reported at
// the step after the grids, and the page is no longer loading.
TEST_F(PageContractTest, AFailureThatEndsLoadValuesIsReportedAtItsStep) {
    class FailingHost : public RecordingHost {
      public:
        using RecordingHost::RecordingHost;
        void SetHotHelp(std::string&, std::string&) override {
            throw platform::Error("The host is gone");
        }
    };
    ostrevane::OptionsHostPtr failing = std::make_shared<FailingHost>(app);
    page->SetHost(failing);
    Show();
    EXPECT_EQ(Reports(),
              (std::vector<Report>{{"Error occurred at line 5.  Reason: The host is gone", 0,
                                    "Plovanex.LoadValues"}}));
    EXPECT_FALSE(plovanex::Prop().Loading);
    EXPECT_FALSE(QApplication::overrideCursor());
}

TEST_F(PageContractTest, CancelledPickerStillGivesTheFocusBack) {
    Store({{"PromptOutlookFolder", "False"}, {"MoveToFolderName", "Old"}});
    Show();
    host->Clear();
    ScopedPickFolder picker("");
    Click("cmdChooseFolder");
    EXPECT_EQ(picker.Asked(), 1);
    EXPECT_EQ(Find<QLineEdit>("txtSaveToFolder")->text(), "Old");
    EXPECT_FALSE(page->Dirty());
    EXPECT_EQ(host->calls, std::vector<std::string>{"SetFocus"});
}

// A picker that fails is reported as a note; the folder box keeps its text.
TEST_F(PageContractTest, AFailingPickerIsReported) {
    Store({{"PromptOutlookFolder", "False"}, {"MoveToFolderName", "Old"}});
    Show();
    {
        ScopedPickFolder picker([](outlook::NameSpacePtr) -> outlook::FolderPtr {
            throw platform::Error("The picker is gone");
        });
        Click("cmdChooseFolder");
    }
    EXPECT_EQ(Find<QLineEdit>("txtSaveToFolder")->text(), "Old");
    EXPECT_EQ(Reports(), (std::vector<Report>{{"Error occurred.  Reason: The picker is gone", 0,
                                               "Plovanex.OrganizeFolder"}}));
}

TEST_F(PageContractTest, ShowingAgainDropsEditsThatWereNotApplied) {
    Show();
    Pick("cboOrder1", keys::ModeContact);
    Check("chkIgnoreCC", true);
    ASSERT_TRUE(page->Dirty());
    Hide();
    Show();
    EXPECT_FALSE(page->Dirty());
    EXPECT_EQ(Find<QComboBox>("cboOrder1")->currentIndex(), 0);
    EXPECT_FALSE(Find<QCheckBox>("chkIgnoreCC")->isChecked());
    EXPECT_EQ(Stored("Order1"), "<absent>");
}

TEST_F(PageContractTest, DisablingLeavesThePatternControlAndTheLinesAlone) {
    Show();
    bool enabled = false;
    page->SetEnabled(enabled);
    for (const char* name : {"regularExpressions", "Line4", "Line6", "Line7", "Line8"}) {
        EXPECT_FALSE(Find<QWidget>(name)->testAttribute(Qt::WA_ForceDisabled)) << name;
    }
    for (const char* name : {"cmdRunNow", "Label5", "frameSettings", "grdKeywords", "vsFlexGridTab",
                             "cboOrder3", "chkIgnoreCC"}) {
        EXPECT_TRUE(Find<QWidget>(name)->testAttribute(Qt::WA_ForceDisabled)) << name;
    }
    enabled = true;
    page->SetEnabled(enabled);
    EXPECT_TRUE(Find<QWidget>("cmdRunNow")->isEnabled());
}

TEST_F(PageContractTest, RecipientAddressIsAlwaysEmpty) {
    outlook::ObjectPtr recipient = app->GetNamespace("MAPI")->GetDefaultFolder(6);
    EXPECT_EQ(page->GetRecipientSMTPAddress(recipient), "");
}

// The change notice: nothing while loading, no host no notice.
TEST_F(PageContractTest, ChangeNotice) {
    struct Case {
        bool loading;
        bool withHost;
        bool dirty;
        int notices;
    };
    for (const auto& c :
         {Case{true, true, false, 0}, Case{false, false, true, 0}, Case{false, true, true, 1}}) {
        SCOPED_TRACE(testing::Message() << "loading " << c.loading << ", host " << c.withHost);
        auto& library = plovanex::Prop();
        library.Loading = c.loading;
        library.Dirty = false;
        library.host = c.withHost ? host : nullptr;
        host->Clear();
        plovanex::SetDirty();
        EXPECT_EQ(library.Dirty, c.dirty);
        EXPECT_EQ(host->Count("OnStatusChange"), c.notices);
    }
}

// Only a key that changes an order list marks the page dirty: after a Run
// Now (which leaves the focus on the first list), the modifier of an access
// key, the access key itself, a key that opens the list and Tab change no
// value.
TEST_F(PageContractTest, KeysOnAnOrderList) {
    struct Case {
        Qt::Key key;
        Qt::KeyboardModifiers modifiers;
        bool dirty;
        int tab = 0;  // the tab shown after the key
    };
    Show();
    page->Control()->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(page->Control()));
    {
        ScopedPickFolder cancelled("");
        Click("cmdRunNow");
    }
    auto* list = Find<QComboBox>("cboOrder1");
    auto* tabs = Find<QTabWidget>("vsFlexGridTab");
    for (const auto& c : {
             Case{Qt::Key_Tab, Qt::NoModifier, false},
             Case{Qt::Key_Backtab, Qt::ShiftModifier, false},
             Case{Qt::Key_Shift, Qt::NoModifier, false},
             Case{Qt::Key_Alt, Qt::NoModifier, false},
             Case{Qt::Key_K, Qt::AltModifier, false, 2},
             Case{Qt::Key_F4, Qt::NoModifier, false},
             Case{Qt::Key_Down, Qt::NoModifier, true},
         }) {
        SCOPED_TRACE(QKeySequence(c.key | c.modifiers).toString().toStdString());
        tabs->setCurrentIndex(0);
        plovanex::Prop().Dirty = false;
        host->Clear();
        list->setFocus();
        QTest::keyClick(list, c.key, c.modifiers);
        EXPECT_EQ(page->Dirty(), c.dirty);
        EXPECT_EQ(host->Count("OnStatusChange"), c.dirty ? 1 : 0);
        EXPECT_EQ(tabs->currentIndex(), c.tab);
        QApplication::processEvents();
        list->hidePopup();
    }
    EXPECT_TRUE(Reports().empty());
}

TEST(SplitTokensTest, Table) {
    using Tokens = std::vector<std::string>;
    struct Case {
        const char* text;
        const char* separators;
        Tokens tokens;
    };
    for (const auto& c : {
             Case{"a,b c", nullptr, {"", "a", "b", "c"}},
             Case{", /!|  ,", nullptr, {""}},
             Case{"", nullptr, {""}},
             Case{"abc", nullptr, {"", "abc"}},
             Case{"one|two!three/four", nullptr, {"", "one", "two", "three", "four"}},
             Case{"Ann;; Bob;", ";", {"", "Ann", " Bob"}},
             Case{"a,b", ";", {"", "a,b"}},
         }) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(c.separators ? plovanex::SplitTokens(c.text, c.separators)
                               : plovanex::SplitTokens(c.text),
                  c.tokens);
    }
}

TEST_F(PageContractTest, BuildIndexStartsTheBuilderOnlyWhenNoneRuns) {
    Show();
    Click("cmdBuildIndex");
    EXPECT_EQ(Stored(keys::KestruneVisible), "1");
    ASSERT_EQ(home.Started().size(), 1u);
    EXPECT_EQ(home.Started()[0].filename(), "Kestrune");

    // A status of 1 while a builder runs; left by a builder that is gone, it
    // reads 0.
    Store({{keys::KestruneVisible, "0"}, {keys::RebuildingIndexStatus, "1"}});
    {
        auto builder = platform::os::SingleInstanceLock::TryAcquire(common::kIndexBuilderName);
        ASSERT_TRUE(builder);
        Click("cmdBuildIndex");
    }
    EXPECT_EQ(Stored(keys::KestruneVisible), "1");
    EXPECT_EQ(home.Started().size(), 1u);
    Click("cmdBuildIndex");
    EXPECT_EQ(home.Started().size(), 2u);
}

TEST_F(PageContractTest, AdvancedSettingsAndOverridesOpenBesideThePage) {
    Store({{"PromptOutlookFolder", "False"}});
    Show();
    Click("cmdAdvancedSettings");
    EXPECT_TRUE(Window("frmAdvancedOptions"));
    Click("cmdManageOverrides");
    EXPECT_TRUE(Window("frmOverrides"));
    EXPECT_FALSE(page->Dirty());
    EXPECT_TRUE(Reports().empty());
}

// Stored values that a control refuses, and typed values out of a
// control's range. A refused stored value is reported and shows as the
// control's value for an absent key; the rest of the form still loads, so an
// Apply or OK afterwards loses nothing else. A refused typed value is
// explained and nothing is written.
struct BadInput {
    std::string what;
    std::vector<std::pair<std::string, std::string>> stored;
    std::string form;     // "UC1" or "frmAdvancedOptions"
    std::string control;  // the control that shows the value
    std::string shows;
    std::string report;     // "" when nothing is reported
    std::string typed{};    // typed into the control, then OK
    std::string refusal{};  // the message that refuses it
    std::string source{};   // of the report, when not the form's own
};

void PrintTo(const BadInput& c, std::ostream* os) {
    *os << c.what;
}

// What a control shows, as text.
std::string Shown(QWidget* control) {
    if (auto* list = qobject_cast<QComboBox*>(control)) {
        return list->isEditable() || list->objectName() == "cboPriority"
                   ? list->currentText().toStdString()
                   : std::to_string(list->currentIndex());
    }
    if (auto* box = qobject_cast<QLineEdit*>(control)) {
        return box->text().toStdString();
    }
    if (auto* option = qobject_cast<QRadioButton*>(control)) {
        return option->isChecked() ? "selected" : "clear";
    }
    if (auto* check = qobject_cast<QCheckBox*>(control)) {
        return plovanex::CheckValueText(check->checkState());
    }
    if (auto* grid = qobject_cast<QTableView*>(control)) {
        std::string rows;
        for (int r = 0; r < grid->model()->rowCount(); ++r) {
            rows += (r ? "\n" : "") + grid->model()->index(r, 0).data().toString().toStdString() +
                    "|" + grid->model()->index(r, 2).data().toString().toStdString();
        }
        return rows;
    }
    return "?";
}

std::string ManyNames(int count) {
    std::string names;
    for (int i = 1; i <= count; ++i) {
        names += (i > 1 ? ";" : "") + std::string("Contact ") + std::to_string(i);
    }
    return names;
}

std::vector<BadInput> BadInputs() {
    std::vector<std::pair<std::string, std::string>> many = {{"9AssocContactCount", "500"}};
    for (int i = 1; i <= 500; ++i) {
        many.push_back({"9AssocContactName" + std::to_string(i), "Contact " + std::to_string(i)});
    }
    const std::string reportAt5 = "Error occurred at line 5.  Reason: ";
    const std::string reportForm = "Error occurred.  Reason: ";
    return {
        {"Order1 out of the list",
         {{"Order1", "7"}},
         "UC1",
         "cboOrder1",
         "0",
         reportAt5 + "Invalid property value (\"7\" stored under Order1)"},
        {"Order1 no number",
         {{"Order1", "x"}},
         "UC1",
         "cboOrder1",
         "0",
         reportAt5 + "Type mismatch (\"x\" stored under Order1)"},
        {"Order3 beyond 16 bits",
         {{"Order3", "99999"}},
         "UC1",
         "cboOrder3",
         "0",
         reportAt5 + "Overflow (\"99999\" stored under Order3)"},
        {"PromptOutlookFolder no Boolean",
         {{"PromptOutlookFolder", "Maybe"}},
         "UC1",
         "optSentFilter",
         "selected",
         reportAt5 + "Type mismatch (\"Maybe\" stored under PromptOutlookFolder)"},
        {"IgnoreCC check value",
         {{"IgnoreCC", "5"}},
         "UC1",
         "chkIgnoreCC",
         "0",
         reportAt5 + "Invalid property value (\"5\" stored under IgnoreCC)"},
        {"SharedDefaults check value",
         {{"SharedDefaults", "-1"}},
         "UC1",
         "chkSharedDefaults",
         "1",
         reportAt5 + "Invalid property value (\"-1\" stored under SharedDefaults)"},
        {"grayed check value", {{"IgnoreCC", "2"}}, "UC1", "chkIgnoreCC", "2", ""},
        {"rule keys without digits",
         {{"xAssocContactName1", "Nobody"},
          {"AssocContactName1", "Nobody"},
          {"5AssocContactCount", "1"},
          {"5AssocContactName1", "Ann"}},
         "UC1",
         "vsFlexGridAssociate",
         "5|Ann",
         ""},
        // The rules before it are shown.
        {"rule key of too many digits",
         {{"5AssocContactCount", "1"},
          {"5AssocContactName1", "Ann"},
          {"12345678901AssocContactName1", "Nobody"},
          {"6AssocContactName1", "Bob"}},
         "UC1",
         "vsFlexGridAssociate",
         "5|Ann",
         reportForm + "Overflow",
         "",
         "",
         "Plovanex.CAssociateRows.Load"},
        {"a rule with 500 contacts", many, "UC1", "vsFlexGridAssociate", "9|" + ManyNames(500), ""},
        {"DelayLength no number",
         {{"DelayLength", "abc"}},
         "frmAdvancedOptions",
         "txtDelayLength",
         "1000",
         reportForm + "Invalid property value (\"abc\" stored under DelayLength; the pause delay "
                      "is 0 to 60000 milliseconds)"},
        {"DelayLength of 50 digits",
         {{"DelayLength", std::string(50, '9')}},
         "frmAdvancedOptions",
         "txtDelayLength",
         "1000",
         reportForm + "Invalid property value (\"" + std::string(50, '9') +
             "\" stored under DelayLength; the pause delay is 0 to 60000 milliseconds)"},
        {"check value of the advanced options",
         {{"MoveWanted", "5"}},
         "frmAdvancedOptions",
         "chkMoveWanted",
         "1",
         reportForm + "Invalid property value (\"5\" stored under MoveWanted)"},
        {"unknown priority",
         {{"ProcessPriority", "Turbo"}},
         "frmAdvancedOptions",
         "cboPriority",
         "Idle",
         reportForm + "Invalid property value (\"Turbo\" stored under ProcessPriority)"},
        {"typed delay beyond the range",
         {},
         "frmAdvancedOptions",
         "txtDelayLength",
         "1000",
         "",
         "70000",
         "The pause delay must be a whole number of milliseconds from 0 to 60000."},
        {"typed delay left empty",
         {},
         "frmAdvancedOptions",
         "txtDelayLength",
         "1000",
         "",
         "",
         "The pause delay must be a whole number of milliseconds from 0 to 60000."},
    };
}

class BadInputTest : public PageTest, public testing::WithParamInterface<BadInput> {};

TEST_P(BadInputTest, Table) {
    const BadInput& c = GetParam();
    Store({{"MoveToFolderName", "Personal Folders\\Archive\\2026"}, {"Order2", "2"}});
    Store(c.stored);
    Boxes boxes;
    Show();
    QWidget* form = page->Control();
    if (c.form == "frmAdvancedOptions") {
        Click("cmdAdvancedSettings");
        form = Window("frmAdvancedOptions");
        ASSERT_TRUE(form);
    }
    QWidget* control = c.control == "optSentFilter" ? Option(form, 0)
                                                    : form->findChild<QWidget*>(c.control.c_str());
    ASSERT_TRUE(control) << c.control;
    EXPECT_EQ(Shown(control), c.shows);
    std::vector<Report> expected;
    if (!c.source.empty()) {
        expected.push_back({c.report, 0, c.source});
    } else if (!c.report.empty()) {
        expected.push_back(
            {c.report, c.form == "UC1" ? 0 : 1,
             c.form == "UC1" ? "Plovanex.LoadValues" : "Plovanex.frmAdvancedOptions.Form_Load"});
    }
    EXPECT_EQ(Reports(), expected);

    if (c.form == "UC1") {
        // The page opened whole: the values after the refused one loaded.
        EXPECT_EQ(Find<QLineEdit>("txtSaveToFolder")->text(), "Personal Folders\\Archive\\2026");
        EXPECT_EQ(Find<QComboBox>("cboOrder2")->currentIndex(), 2);
        EXPECT_FALSE(page->Dirty());
        return;
    }
    const auto before = Stored(keys::OverrideSendButton);
    if (!c.refusal.empty()) {
        auto* box = qobject_cast<QLineEdit*>(control);
        box->setText(QString::fromStdString(c.typed));
        Click("cmdOk", form);
        EXPECT_EQ(boxes.Shown(), (std::vector<Box>{{c.refusal, "Advanced Options"}}));
        EXPECT_TRUE(Window("frmAdvancedOptions"));
        EXPECT_EQ(Stored(keys::DelayLength), "<absent>");
        EXPECT_EQ(Stored(keys::OverrideSendButton), before);
        return;
    }
    // OK writes the shown value in place of the refused one, and the others
    // as they loaded.
    Click("cmdOk", form);
    EXPECT_EQ(Stored(c.control == "cboPriority"     ? keys::ProcessPriority
                     : c.control == "chkMoveWanted" ? keys::MoveWanted
                                                    : keys::DelayLength),
              c.shows);
    EXPECT_EQ(Stored(keys::OverrideSendButton), "1");
}

INSTANTIATE_TEST_SUITE_P(Cases, BadInputTest, testing::ValuesIn(BadInputs()));

}  // namespace
}  // namespace options_test
