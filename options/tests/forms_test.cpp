// Hot help, the advanced options form and the account overrides form.

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QMouseEvent>
#include <QRadioButton>
#include <QTabWidget>
#include <QTableView>

#include "common/settings_keys.h"
#include "core/globals.h"
#include "options/prop_library.h"
#include "options/tests/page_fixture.h"
#include "platform/error.h"
#include "platform/ostrevane/settings_helper.h"

namespace options_test {
namespace {

namespace keys = common::keys;
using Texts = std::vector<std::string>;

void MovePointerOver(QWidget* control) {
    QMouseEvent move(QEvent::MouseMove, QPointF(2, 2), control->mapToGlobal(QPointF(2, 2)),
                     Qt::NoButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(control, &move);
}

class HotHelpTest : public PageTest {
  protected:
    void SetUp() override {
        PageTest::SetUp();
        Store({{"PromptOutlookFolder", "False"}});
        Show();
        plovanex::Helper().LoadHelpTexts(texts, "Plovanex");
        host->Clear();
    }
    void Over(const char* name) { MovePointerOver(Find<QWidget>(name)); }
    std::string Text(int number) {
        return plovanex::Helper().GetHelpText(texts, std::to_string(number));
    }
    ostrevane::HelpTexts texts;
};

TEST_F(HotHelpTest, EachControlsTextIsSentOncePerChange) {
    Over("Label8");
    Over("Label8");
    EXPECT_EQ(host->helpTexts, Texts{Text(1)});
    Over("Label9");
    Over("Label8");
    EXPECT_EQ(host->helpTexts, (Texts{Text(1), Text(2), Text(1)}));
    MovePointerOver(Find<QTableView>("grdKeywords")->viewport());
    MovePointerOver(Find<QTableView>("vsFlexGridAssociate")->viewport());
    Over("chkIgnoreCC");
    EXPECT_EQ(host->helpTexts, (Texts{Text(1), Text(2), Text(1), Text(13), Text(15), Text(29)}));
    EXPECT_FALSE(Text(13).empty());
}

TEST_F(HotHelpTest, OptionsOfOneNameHaveTextsOfTheirOwn) {
    for (auto* option : page->Control()->findChildren<QRadioButton*>("optSentFilter")) {
        MovePointerOver(option);
    }
    EXPECT_EQ(host->helpTexts, (Texts{Text(9), Text(25)}));
}

// A control without a help number sends the empty text.
TEST_F(HotHelpTest, ControlWithoutANumberSendsNothingToRead) {
    Find<QTabWidget>("vsFlexGridTab")->setCurrentIndex(3);
    Over("AssocFrame1");
    EXPECT_EQ(host->helpTexts, Texts{""});
}

TEST_F(HotHelpTest, ResetSendsTheSameTextAgain) {
    Over("cmdRunNow");
    page->ResetHotHelp();
    Over("cmdRunNow");
    std::string data = "unused";
    for (const char* message : {"rEsEtHeLpTeXt", "Something else"}) {
        std::string text = message;
        EXPECT_EQ(page->SendPropMessage(text, data), "ok");
        Over("cmdRunNow");
    }
    EXPECT_EQ(host->helpTexts, Texts(3, Text(5)));
}

TEST_F(HotHelpTest, WithoutAHostNothingIsSent) {
    plovanex::Prop().host.reset();
    Over("Label8");
    EXPECT_TRUE(host->calls.empty());
    EXPECT_TRUE(Reports().empty());
}

class AdvancedOptionsTest : public PageTest {
  protected:
    QWidget* Open() {
        Show();
        Click("cmdAdvancedSettings");
        QWidget* form = Window("frmAdvancedOptions");
        EXPECT_TRUE(form);
        return form;
    }
    static QCheckBox* CheckBox(QWidget* form, const char* name) {
        return form->findChild<QCheckBox*>(name);
    }
    static QLineEdit* Delay(QWidget* form) { return form->findChild<QLineEdit*>("txtDelayLength"); }
    Texts Written() {
        Texts values;
        for (const char* key :
             {keys::OverrideSendButton, keys::MoveWanted, keys::IndexPublicFoldersWanted,
              keys::ProcessPriority, keys::DelayLength}) {
            values.push_back(Stored(key));
        }
        return values;
    }
};

TEST_F(AdvancedOptionsTest, EmptyStoreShowsTheDefaultsAndOkWritesThem) {
    QWidget* form = Open();
    ASSERT_TRUE(form);
    EXPECT_EQ(form->windowTitle(), "Advanced Options");
    EXPECT_TRUE(CheckBox(form, "chkOverrideSendButton")->isChecked());
    EXPECT_TRUE(CheckBox(form, "chkMoveWanted")->isChecked());
    EXPECT_FALSE(CheckBox(form, "chkIndexPublicFoldersWanted")->isChecked());
    auto* priority = form->findChild<QComboBox*>("cboPriority");
    EXPECT_EQ(priority->currentText(), "Idle");
    EXPECT_EQ(priority->count(), 4);
    EXPECT_EQ(Delay(form)->text(), "1000");
    Click("cmdOk", form);
    EXPECT_EQ(Written(), (Texts{"1", "1", "0", "Idle", "1000"}));
    EXPECT_FALSE(Window("frmAdvancedOptions"));
    EXPECT_FALSE(page->Dirty());
}

TEST_F(AdvancedOptionsTest, OkWritesTheChangesAndCancelNothing) {
    Store({{keys::MoveWanted, "0"}, {keys::ProcessPriority, "High"}});
    QWidget* form = Open();
    ASSERT_TRUE(form);
    EXPECT_FALSE(CheckBox(form, "chkMoveWanted")->isChecked());
    EXPECT_EQ(form->findChild<QComboBox*>("cboPriority")->currentText(), "High");
    Delay(form)->setText("250");
    CheckBox(form, "chkIndexPublicFoldersWanted")->click();
    Click("cmdCancel", form);
    EXPECT_EQ(Written(), (Texts{"<absent>", "0", "<absent>", "High", "<absent>"}));

    form = Open();
    ASSERT_TRUE(form);
    Delay(form)->setText("250");
    CheckBox(form, "chkOverrideSendButton")->click();
    Click("cmdOk", form);
    EXPECT_EQ(Written(), (Texts{"0", "0", "0", "High", "250"}));
}

class OverridesTest : public PageTest {
  protected:
    QWidget* Open() {
        Store({{"PromptOutlookFolder", "False"}});
        Show();
        Click("cmdManageOverrides");
        QWidget* form = Window("frmOverrides");
        EXPECT_TRUE(form);
        return form;
    }
    static QLineEdit* Box(QWidget* form, const char* stem, int n) {
        return form->findChild<QLineEdit*>((stem + std::to_string(n)).c_str());
    }
    void Pick(QWidget* form, int n, const std::string& path) {
        ScopedPickFolder picker(path);
        Click(("cmdFromChooseOutlook" + std::to_string(n)).c_str(), form);
    }
    Texts Row(int n) {
        return {Stored(keys::FromAccount(n)), Stored(keys::FromOutlookFolderName(n)),
                Stored(keys::FromOutlookFolderEntryId(n)),
                Stored(keys::FromOutlookFolderStoreId(n))};
    }
    Texts RowOf(const std::string& account, const std::string& path) {
        const auto ids = IdsOf(path);
        return {account, path.substr(2), ids.entryId, ids.storeId};
    }
};

TEST_F(OverridesTest, OkSavesEveryRowTrimmed) {
    const auto globex = IdsOf(kGlobex);
    Store({{keys::FromAccount(2), "old@example.com"},
           {keys::FromOutlookFolderName(2), "Personal Folders\\Clients\\Globex"},
           {keys::FromOutlookFolderEntryId(2), globex.entryId},
           {keys::FromOutlookFolderStoreId(2), globex.storeId},
           {keys::FromAccount(4), "gone@example.com"},
           {keys::FromOutlookFolderName(4), "Somewhere"}});
    QWidget* form = Open();
    ASSERT_TRUE(form);
    EXPECT_EQ(form->windowTitle(), "Manage Overrides");
    EXPECT_EQ(Box(form, "txtFromAccount", 2)->text(), "old@example.com");
    EXPECT_EQ(Box(form, "txtFromOutlookFolder", 2)->text(), "Personal Folders\\Clients\\Globex");

    Box(form, "txtFromAccount", 1)->setText("  team@example.com; desk@example.com  ");
    Pick(form, 1, kAcme);
    EXPECT_TRUE(page->Dirty());
    Box(form, "txtFromAccount", 3)->setText("   ");
    Pick(form, 3, kApollo);
    Box(form, "txtFromAccount", 4)->setText("");
    Box(form, "txtFromAccount", 5)->setText("nofolder@example.com");
    Click("cmdOk", form);

    EXPECT_EQ(Row(1), RowOf("team@example.com; desk@example.com", kAcme));
    EXPECT_EQ(Row(2), RowOf("old@example.com", kGlobex));
    EXPECT_EQ(Row(3), RowOf("", kApollo));
    EXPECT_EQ(Row(4), (Texts{"", "", "", ""}));
    EXPECT_EQ(Row(5), (Texts{"nofolder@example.com", "", "", ""}));
    EXPECT_FALSE(Window("frmOverrides"));
}

TEST_F(OverridesTest, CancelAfterPickingSavesNothing) {
    QWidget* form = Open();
    ASSERT_TRUE(form);
    Box(form, "txtFromAccount", 1)->setText("team@example.com");
    Pick(form, 1, kAcme);
    Click("cmdCancel", form);
    EXPECT_EQ(Row(1), (Texts{"<absent>", "<absent>", "<absent>", "<absent>"}));
}

// The folder box takes no typing; Backspace shortens the box, and the saved
// path is the picked one.
TEST_F(OverridesTest, FolderBoxOnlyShortens) {
    QWidget* form = Open();
    ASSERT_TRUE(form);
    Box(form, "txtFromAccount", 1)->setText("team@example.com");
    Pick(form, 1, kGlobex);
    auto* folder = Box(form, "txtFromOutlookFolder", 1);
    folder->setFocus();
    folder->end(false);
    Type(folder, Qt::Key_A, "a");
    Type(folder, Qt::Key_Backspace);
    Type(folder, Qt::Key_Backspace);
    EXPECT_EQ(folder->text(), "Personal Folders\\Clients\\Glob");
    Click("cmdOk", form);
    EXPECT_EQ(Row(1), RowOf("team@example.com", kGlobex));
}

TEST_F(OverridesTest, FailedPickIsReportedAndChangesNothing) {
    QWidget* form = Open();
    ASSERT_TRUE(form);
    ScopedPickFolder picker(
        [](outlook::NameSpacePtr) -> outlook::FolderPtr { throw platform::Error("No folders"); });
    Click("cmdFromChooseOutlook2", form);
    EXPECT_EQ(Reports(), (std::vector<ostrevane::Report>{{"Error occurred.  Reason: No folders", 0,
                                                          "Plovanex.cmdFromOutlookFolder2"}}));
    EXPECT_EQ(Box(form, "txtFromOutlookFolder", 2)->text(), "");
    EXPECT_TRUE(Window("frmOverrides"));
}

}  // namespace
}  // namespace options_test
