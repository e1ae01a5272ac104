// Where the page's forms and their message boxes open: each over the window
// it is about, as the page's own handlers open them.

#include <QLineEdit>
#include <QPointer>
#include <QTabWidget>
#include <functional>

#include "common/settings_keys.h"
#include "options/tests/page_fixture.h"

namespace options_test {
namespace {

namespace keys = common::keys;

constexpr int kKeywordTab = 2;
constexpr int kContactTab = 3;

class OwnersTest : public PageTest {
  protected:
    void SetUp() override {
        PageTest::SetUp();
        Store({{keys::PromptOutlookFolder, "False"}});
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
};

Opened OpenedAs(QWidget& form) {
    return {form.objectName().toStdString(),
            form.parentWidget() ? form.parentWidget()->window() : nullptr,
            form.frameGeometry().center()};
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

}  // namespace
}  // namespace options_test
