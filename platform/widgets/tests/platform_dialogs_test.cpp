#include "platform/widgets/platform_dialogs.h"

#include <gtest/gtest.h>
#include <QApplication>
#include <QDialogButtonBox>
#include <QFont>
#include <QFontMetrics>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QScrollBar>
#include <QStyle>
#include <QTimer>
#include <QTreeWidget>
#include <functional>
#include <memory>

#include "platform/testkit/profile_kit.h"
#include "platform/testkit/testkit.h"

namespace {

class DialogsTest : public testkit::HomeTest {
  protected:
    static void SetUpTestSuite() {
        static int argc = 1;
        static char name[] = "widgets_tests";
        static char* argv[] = {name, nullptr};
        if (!QApplication::instance()) {
            new QApplication(argc, argv);
        }
    }

    void SetUp() override {
        kit.Demo();
        app = outlook::CreateApplication(kit.Profile(), "11.0.8217");
        ns = app->GetNamespace("MAPI");
        platform::widgets::InstallQtDialogs();
    }
    void TearDown() override {
        outlook::InstallPickFolderHook(nullptr);
        mirelink::InstallAddressBookHook(nullptr);
    }

    // Runs `answer` on the modal dialog as soon as it shows.
    template <typename Dialog, typename Fn>
    void Answer(Fn answer) {
        QTimer::singleShot(0, [answer] {
            auto* dialog = dynamic_cast<Dialog*>(QApplication::activeModalWidget());
            ASSERT_TRUE(dialog);
            answer(*dialog);
        });
    }

    outlook::FolderPtr PathFolder(const std::string& path) {
        return outlook::PickFolderAt(path)(ns);
    }

    testkit::ProfileBuilder kit;
    outlook::ApplicationPtr app;
    outlook::NameSpacePtr ns;
};

TEST_F(DialogsTest, PickFolderShowsTheTreeAndGivesTheChoice) {
    Answer<platform::widgets::PickFolderDialog>([](platform::widgets::PickFolderDialog& d) {
        EXPECT_FALSE(d.SelectPath("\\\\Personal Folders\\Nowhere"));
        EXPECT_TRUE(d.SelectPath("\\\\Personal Folders\\Projects\\Zephyr"));
        d.accept();
    });
    auto folder = ns->PickFolder();
    ASSERT_TRUE(folder);
    EXPECT_EQ(folder->FolderPath(), "\\\\Personal Folders\\Projects\\Zephyr");

    Answer<platform::widgets::PickFolderDialog>(
        [](platform::widgets::PickFolderDialog& d) { d.reject(); });
    EXPECT_EQ(ns->PickFolder(), nullptr);
}

// The dialog says what its caller asks, opens over the caller's window and
// starts on the caller's folder, else a default folder the caller names,
// else the explorer's current folder, else the default store's Inbox.
TEST_F(DialogsTest, PickFolderAsksWhatTheCallerChoosesOverItsWindow) {
    using platform::widgets::FolderRequest;
    struct Case {
        const char* what;
        std::string path;
        int defaultFolder;
        const char* explorerOn;  // nothing: no explorer open
        std::string selected;
    };
    const Case cases[] = {
        {"the caller's folder", "Personal Folders\\Projects\\Zephyr", outlook::olFolderSentMail,
         "\\\\Personal Folders\\Clients", "\\\\Personal Folders\\Projects\\Zephyr"},
        {"a default folder when the caller's is gone", "\\\\Personal Folders\\Nowhere",
         outlook::olFolderSentMail, "\\\\Personal Folders\\Clients",
         "\\\\Personal Folders\\Sent Items"},
        {"the explorer's folder", "", 0, "\\\\Mailbox - Team Desk\\Inbox",
         "\\\\Mailbox - Team Desk\\Inbox"},
        {"the default store's Inbox", "", 0, nullptr, "\\\\Personal Folders\\Inbox"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        QWidget window;
        auto* button = new QPushButton(&window);
        window.show();
        outlook::ExplorerPtr explorer;
        if (c.explorerOn) {
            explorer = app->OpenExplorer(PathFolder(c.explorerOn));
        }
        const platform::widgets::ScopedFolderRequest request(
            {.prompt = "Choose the folder for this test.",
             .owner = button,
             .path = c.path,
             .defaultFolder = c.defaultFolder});
        Answer<platform::widgets::PickFolderDialog>([&](platform::widgets::PickFolderDialog& d) {
            EXPECT_EQ(d.windowTitle(), "Select Folder");
            EXPECT_EQ(d.findChild<QLabel*>("lblPrompt")->text(),
                      "Choose the folder for this test.");
            EXPECT_EQ(d.parentWidget(), &window);
            EXPECT_TRUE(d.findChild<QDialogButtonBox*>("buttonBox")
                            ->button(QDialogButtonBox::Ok)
                            ->isEnabled());
            d.accept();
        });
        auto folder = ns->PickFolder();
        ASSERT_TRUE(folder);
        EXPECT_EQ(folder->FolderPath(), c.selected);
        if (explorer) {
            explorer->Close();
        }
    }
}

// Whatever the font, as a user's display settings make it.
TEST_F(DialogsTest, PickFolderShowsADozenFoldersWithoutScrolling) {
    struct ScopedFont {
        QFont previous = QApplication::font();
        ~ScopedFont() { QApplication::setFont(previous); }
    } font;
    QFont large = font.previous;
    large.setPixelSize(24);
    QApplication::setFont(large);
    platform::widgets::PickFolderDialog dialog(ns);
    dialog.show();
    QApplication::processEvents();
    auto* tree = dialog.findChild<QTreeWidget*>("treeFolders");
    ASSERT_TRUE(tree);
    QModelIndex row = tree->model()->index(0, 0);
    for (int shown = 1; shown <= 12; ++shown) {
        ASSERT_TRUE(row.isValid()) << "the demo profile shows fewer than a dozen folders";
        EXPECT_TRUE(tree->viewport()->rect().contains(tree->visualRect(row))) << "folder " << shown;
        row = tree->indexBelow(row);
    }
    EXPECT_EQ(tree->verticalScrollBar()->value(), 0);
}

// The window that asked goes while the dialog waits: the dialog goes with
// it, and the answer is nothing.
TEST_F(DialogsTest, PickFolderGivesNothingWhenItsOwnerGoes) {
    auto* window = new QWidget;
    window->show();
    const platform::widgets::ScopedFolderRequest request({.owner = window});
    Answer<platform::widgets::PickFolderDialog>([window](platform::widgets::PickFolderDialog& d) {
        EXPECT_EQ(d.parentWidget(), window);
        delete window;
    });
    EXPECT_EQ(ns->PickFolder(), nullptr);
}

TEST_F(DialogsTest, FolderRequestScopesPutThePreviousBack) {
    using platform::widgets::CurrentFolderRequest;
    {
        const platform::widgets::ScopedFolderRequest outer({.prompt = "outer"});
        {
            const platform::widgets::ScopedFolderRequest inner({.prompt = "inner"});
            EXPECT_EQ(CurrentFolderRequest().prompt, "inner");
        }
        EXPECT_EQ(CurrentFolderRequest().prompt, "outer");
    }
    EXPECT_EQ(CurrentFolderRequest().prompt, "");
}

TEST_F(DialogsTest, AddressBookGivesThePickedEntries) {
    auto utils = mirelink::CreateMAPIUtils();
    utils->SetMAPIOBJECT(ns->MAPIOBJECT());
    mirelink::AddressBookRequest request{.title = "Select addresses to associate",
                                         .toLabel = "Add"};
    Answer<platform::widgets::AddressBookDialog>([](platform::widgets::AddressBookDialog& d) {
        EXPECT_EQ(d.windowTitle(), "Select addresses to associate");
        // Its title and every entry show whole: the title beside the title
        // bar's icon and buttons, the entries without scrolling sideways.
        const int titleBar = d.style()->pixelMetric(QStyle::PM_TitleBarHeight);
        QFont bold = QApplication::font();
        bold.setBold(true);
        EXPECT_GE(d.width(), QFontMetrics(bold).horizontalAdvance(d.windowTitle()) + 4 * titleBar);
        auto* entries = d.findChild<QListWidget*>("lstEntries");
        ASSERT_TRUE(entries);
        EXPECT_EQ(entries->horizontalScrollBar()->maximum(), 0);
        d.SelectEntries({"team@example.com", "contact@acme.example"});
        d.AddSelected(1);
        d.accept();
    });
    auto picked = utils->AddressBook(request);
    ASSERT_TRUE(picked);
    ASSERT_EQ(picked->Count(), 2);
    EXPECT_EQ(picked->Item(1)->Name(), "Team Desk");
    EXPECT_EQ(picked->Item(2)->Name(), "Acme Contact");

    Answer<platform::widgets::AddressBookDialog>(
        [](platform::widgets::AddressBookDialog& d) { d.reject(); });
    EXPECT_EQ(utils->AddressBook(request), nullptr);
}

}  // namespace
