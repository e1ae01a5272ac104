// Where the page's forms, their message boxes and the folder dialog open:
// each over the window it is about, as the page's own handlers open them.

#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QTabWidget>
#include <QTableView>
#include <QWindow>
#include <functional>

#include "common/settings_keys.h"
#include "options/prop_library.h"
#include "options/tests/page_fixture.h"
#include "platform/widgets/platform_dialogs.h"

namespace options_test {
namespace {

namespace keys = common::keys;

constexpr int kKeywordTab = 2;
constexpr int kContactTab = 3;

class OwnersTest : public PageTest {
  protected:
    void SetUp() override {
        PageTest::SetUp();
        Store({{keys::PromptOutlookFolder, "False"}, {keys::MoveToFolderName, kArchive.substr(2)}});
        StoreKeywordRule(41, "invoice", kAcme);
        StoreContactRule(32, {"Ann"}, kApollo);
        Show();
        // Away from the middle of the screen, where a window without an
        // owner would open, and wide enough for each form.
        page->Control()->setGeometry(10, 10, 780, 560);
        QApplication::processEvents();
    }
    QWidget* PageWindow() { return page->Control()->window(); }
    // Opens a rule editor through the grid's Edit, as the user does.
    void EditRule(int tab) {
        Find<QTabWidget>("vsFlexGridTab")->setCurrentIndex(tab);
        Click("mnuEdit");
    }
};

// Where a form opened and what owns it.
struct Opened {
    std::string name;
    QPointer<QWidget> owner;
    QPoint centre;
    // What the window manager keeps it above, and as what kind of window.
    QWindow* standsAbove = nullptr;
    Qt::WindowType type = Qt::Widget;
};

Opened OpenedAs(QWidget& form) {
    return {form.objectName().toStdString(),
            form.parentWidget() ? form.parentWidget()->window() : nullptr,
            form.frameGeometry().center(), form.windowHandle()->transientParent(),
            form.windowType()};
}

TEST_F(OwnersTest, FormsOpenedFromThePageOpenOverIt) {
    struct Case {
        const char* form;
        std::function<void()> open;
        bool modal;
    };
    const Case cases[] = {
        {"frmAdvancedOptions", [this] { Click("cmdAdvancedSettings"); }, false},
        {"frmOverrides", [this] { Click("cmdManageOverrides"); }, false},
        {"KeywordForm", [this] { EditRule(kKeywordTab); }, true},
        {"AssociateContactForm", [this] { EditRule(kContactTab); }, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.form);
        Opened opened;
        if (c.modal) {
            WhenModal([&opened](QWidget& editor) {
                opened = OpenedAs(editor);
                Press(editor, "cmdCancel");
            });
            c.open();
        } else {
            c.open();
            QWidget* form = Window(c.form);
            ASSERT_TRUE(form);
            opened = OpenedAs(*form);
            form->close();
        }
        EXPECT_EQ(opened.name, c.form);
        EXPECT_EQ(opened.owner, PageWindow());
        EXPECT_EQ(opened.centre, PageWindow()->frameGeometry().center());
        EXPECT_EQ(opened.standsAbove, PageWindow()->windowHandle());
        EXPECT_EQ(opened.type, Qt::Dialog);
    }
}

TEST_F(OwnersTest, MessageBoxesOpenOverTheFormTheyAreAbout) {
    std::vector<std::string> owners;
    platform::widgets::ScopedMessageBoxHook boxes(
        [&owners](const std::string&, int, const std::string&, QWidget* owner) {
            owners.push_back(owner ? owner->objectName().toStdString() : "<none>");
            return platform::widgets::vbOK;
        });
    // An editor's box about a new rule with nothing in it.
    const auto addEmptyRule = [this](int tab) {
        Find<QTabWidget>("vsFlexGridTab")->setCurrentIndex(tab);
        WhenModal([](QWidget& editor) {
            Press(editor, "cmdOK");
            Press(editor, "cmdCancel");
        });
        Click("mnuAdd");
    };
    struct Case {
        const char* form;
        std::function<void()> act;
    };
    const Case cases[] = {
        {"frmAdvancedOptions",
         [this] {
             Click("cmdAdvancedSettings");
             QWidget* form = Window("frmAdvancedOptions");
             ASSERT_TRUE(form);
             Find<QLineEdit>("txtDelayLength", form)->setText("");
             Click("cmdOk", form);
             form->close();
         }},
        {"KeywordForm", [&] { addEmptyRule(kKeywordTab); }},
        {"AssociateContactForm", [&] { addEmptyRule(kContactTab); }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.form);
        owners.clear();
        c.act();
        EXPECT_EQ(owners, std::vector<std::string>{c.form});
    }
}

// The page's own boxes open over the page, also while another window is in
// front; over the window in front while the page is not shown.
TEST_F(OwnersTest, PageBoxesOpenOverThePage) {
    QWidget front;
    front.setObjectName("Front");
    const std::string pageName = PageWindow()->objectName().toStdString();
    const auto runNowWhileDirty = [this] {
        plovanex::Prop().Dirty = true;
        Click("cmdRunNow");
        plovanex::Prop().Dirty = false;
    };
    // A grid's action with no row of the grid selected.
    const auto withNoRow = [this](int tab, const char* grid, const char* action) {
        return [this, tab, grid, action] {
            Find<QTabWidget>("vsFlexGridTab")->setCurrentIndex(tab);
            Find<QTableView>(grid)->clearSelection();
            Click(action);
        };
    };
    struct Case {
        const char* what;
        std::function<void()> act;
        bool pageShown;
        std::string owner;
    };
    const Case cases[] = {
        {"Run Now while dirty", runNowWhileDirty, true, pageName},
        {"Edit with no row selected", withNoRow(kKeywordTab, "grdKeywords", "mnuEdit"), true,
         pageName},
        {"Delete with no row selected", withNoRow(kContactTab, "vsFlexGridAssociate", "mnuDelete"),
         true, pageName},
        {"Run Now while dirty, the page hidden", runNowWhileDirty, false, "Front"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        page->Control()->setVisible(c.pageShown);
        front.show();
        front.activateWindow();
        QApplication::processEvents();
        Boxes boxes;
        c.act();
        EXPECT_EQ(boxes.Owners(), std::vector<std::string>{c.owner});
    }
}

// The folder dialog as a caller asked it: what it says is being chosen, the
// window it opens over and the folder it starts on.
struct Asked {
    std::string prompt;
    std::string owner;
    std::string selected;
    bool operator==(const Asked&) const = default;
};

void PrintTo(const Asked& asked, std::ostream* out) {
    *out << "{" << asked.prompt << ", " << asked.owner << ", " << asked.selected << "}";
}

TEST_F(OwnersTest, FolderDialogSaysWhatEachCallerChooses) {
    Store({{keys::FromAccount(1), "team@example.com"},
           {keys::FromOutlookFolderName(1), kGlobex.substr(2)}});
    const std::string sentItems = "\\\\Personal Folders\\Sent Items";
    std::vector<Asked> asked;
    ScopedPickFolder picker([&asked](outlook::NameSpacePtr ns) -> outlook::FolderPtr {
        platform::widgets::PickFolderDialog dialog(ns, platform::widgets::CurrentFolderRequest());
        auto folder = dialog.SelectedFolder();
        asked.push_back(
            {dialog.findChild<QLabel*>("lblPrompt")->text().toStdString(),
             dialog.parentWidget() ? dialog.parentWidget()->objectName().toStdString() : "<none>",
             folder ? folder->FolderPath() : "<none>"});
        return nullptr;
    });
    // Chooses a folder in a rule editor opened on a stored rule.
    const auto chooseForRule = [this](int tab) {
        WhenModal([](QWidget& editor) {
            Press(editor, "ChooseFolderButton");
            Press(editor, "cmdCancel");
        });
        EditRule(tab);
    };
    const std::string pageName = PageWindow()->objectName().toStdString();
    struct Case {
        const char* what;
        std::function<void()> ask;
        Asked expected;
    };
    const Case cases[] = {
        {"the default folder",
         [&] { Click("cmdChooseFolder"); },
         {"Choose the folder that sent mail is saved to.", pageName, kArchive}},
        {"Run Now",
         [&] { Click("cmdRunNow"); },
         {"Choose the folder whose mail Run Now files by your rules.", pageName, sentItems}},
        {"a keyword rule",
         [&] { chooseForRule(kKeywordTab); },
         {"Choose the folder for mail that holds these keywords.", "KeywordForm", kAcme}},
        {"a contact rule",
         [&] { chooseForRule(kContactTab); },
         {"Choose the folder for mail sent to this contact.", "AssociateContactForm", kApollo}},
        {"an account override",
         [&] {
             Click("cmdManageOverrides");
             QWidget* form = Window("frmOverrides");
             ASSERT_TRUE(form);
             Click("cmdFromChooseOutlook1", form);
             form->close();
         },
         {"Choose the folder for mail sent from \"team@example.com\".", "frmOverrides", kGlobex}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        asked.clear();
        c.ask();
        EXPECT_EQ(asked, std::vector<Asked>{c.expected});
    }
    EXPECT_TRUE(Reports().empty());
}

}  // namespace
}  // namespace options_test
