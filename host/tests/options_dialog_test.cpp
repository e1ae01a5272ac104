// The host's options dialog around the options page: the tab, OK, Cancel
// and Apply, the help area, the pages a module registers, and a rule added
// through the page that files a mail the host then sends.

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QTabWidget>
#include <QTest>
#include <QTimer>
#include <QTreeView>
#include <filesystem>
#include <fstream>
#include <functional>

#include "host/engine.h"
#include "host/options_dialog.h"
#include "indexer/global.h"
#include "options/uc1.h"
#include "platform/ostrevane/settings_helper.h"
#include "platform/outlook/outlook.h"
#include "platform/settings/settings_store.h"
#include "platform/testkit/profile_kit.h"
#include "platform/testkit/qt_application.h"
#include "platform/testkit/qt_windows.h"
#include "platform/testkit/testkit.h"

namespace {

namespace fs = std::filesystem;

const std::string kAcme = "\\\\Personal Folders\\Clients\\Acme";

fs::path BinFolder() {
    return fs::path(OSTREVANE_BIN).parent_path();
}

class ScopedPickFolder {
  public:
    explicit ScopedPickFolder(const std::string& path)
        : previous_(outlook::InstallPickFolderHook(outlook::PickFolderAt(path))) {}
    ~ScopedPickFolder() { outlook::InstallPickFolderHook(std::move(previous_)); }

  private:
    outlook::PickFolderHook previous_;
};

void Press(QWidget& window, const char* name) {
    testkit::Press(window, name);
    QApplication::processEvents();
}

void MoveOver(QWidget* control) {
    QMouseEvent move(QEvent::MouseMove, QPointF(1, 1), control->mapToGlobal(QPointF(1, 1)),
                     Qt::NoButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(control, &move);
}

std::string Stored(const std::string& section, const std::string& key) {
    return platform::settings::Default()
        .Find(ostrevane::SettingsHelper().SettingsAppName(), section, key)
        .value_or("<absent>");
}

class OptionsDialogTest : public testkit::HomeTest {
  protected:
    static void SetUpTestSuite() { testkit::EnsureQtApplication(); }
    void SetUp() override {
        kit.Demo();
        app = outlook::CreateApplication(kit.Profile(), "11.0.8217");
        dialog = std::make_unique<host::OptionsDialog>(app);
    }
    void TearDown() override {
        dialog.reset();
        for (QWidget* window : QApplication::topLevelWidgets()) {
            window->deleteLater();
        }
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    template <class T>
    T* Find(const char* name) {
        auto* found = dialog->findChild<T*>(name);
        EXPECT_TRUE(found) << name;
        return found;
    }
    void PickOrder(int mode) {
        auto* order = Find<QComboBox>("cboOrder1");
        order->setCurrentIndex(mode);
        emit order->activated(mode);
    }
    std::string Help() { return Find<QLabel>("lblHotHelp")->text().toStdString(); }

    testkit::ProfileBuilder kit;
    outlook::ApplicationPtr app;
    std::unique_ptr<host::OptionsDialog> dialog;
};

TEST_F(OptionsDialogTest, ApplyOkAndCancel) {
    dialog->AddPage(std::make_shared<plovanex::UC1>());
    dialog->show();
    QApplication::processEvents();
    auto* tabs = Find<QTabWidget>("tabPages");
    ASSERT_EQ(tabs->count(), 1);
    EXPECT_EQ(tabs->tabText(0), "Plovanex");
    auto* apply = Find<QAbstractButton>("cmdApply");
    EXPECT_FALSE(apply->isEnabled());

    PickOrder(2);
    EXPECT_TRUE(apply->isEnabled());
    Press(*dialog, "cmdApply");
    EXPECT_EQ(Stored("Plovanex", "Order1"), "2");
    EXPECT_FALSE(apply->isEnabled());
    EXPECT_FALSE(dialog->Pages()[0]->Dirty());

    PickOrder(3);
    Press(*dialog, "cmdCancel");
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_EQ(Stored("Plovanex", "Order1"), "2");

    dialog->show();
    QApplication::processEvents();
    EXPECT_EQ(Find<QComboBox>("cboOrder1")->currentIndex(), 2);
    PickOrder(1);
    Press(*dialog, "cmdOK");
    EXPECT_EQ(dialog->result(), QDialog::Accepted);
    EXPECT_EQ(Stored("Plovanex", "Order1"), "1");
}

// However the dialog closes, the window that opened it is active again, even
// where the window manager hands the activation to another window shown
// meanwhile (the builder's).
TEST_F(OptionsDialogTest, ClosingGivesTheActivationBackToTheOpener) {
    QWidget opener;
    opener.setObjectName("explorer");
    opener.show();
    opener.activateWindow();
    QWidget builder;
    builder.setObjectName("builder");
    builder.setAttribute(Qt::WA_ShowWithoutActivating);
    builder.show();
    // What the window manager does as the dialog goes.
    struct HandsOn : QObject {
        QWidget* to;
        explicit HandsOn(QWidget* next) : to(next) {}
        bool eventFilter(QObject*, QEvent* event) override {
            if (event->type() == QEvent::Hide) {
                to->activateWindow();
            }
            return false;
        }
    } handsOn(&builder);
    dialog->installEventFilter(&handsOn);
    dialog->AddPage(std::make_shared<plovanex::UC1>());
    struct Case {
        const char* how;
        std::function<void()> close;
    };
    const Case cases[] = {
        {"OK", [this] { Press(*dialog, "cmdOK"); }},
        {"Cancel", [this] { Press(*dialog, "cmdCancel"); }},
        {"the title bar", [this] { dialog->close(); }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.how);
        opener.activateWindow();
        QApplication::processEvents();
        ASSERT_EQ(QApplication::activeWindow(), &opener);
        dialog->show();
        dialog->activateWindow();
        QApplication::processEvents();
        ASSERT_EQ(QApplication::activeWindow(), dialog.get());
        c.close();
        QApplication::processEvents();
        EXPECT_FALSE(dialog->isVisible());
        EXPECT_EQ(QApplication::activeWindow(), &opener);
    }
    dialog->removeEventFilter(&handsOn);
}

// The page's hot help shows under it; leaving the page or changing the tab
// clears it, and the page then sends the same text again.
TEST_F(OptionsDialogTest, HelpAreaShowsThePagesHotHelp) {
    dialog->AddPage(std::make_shared<plovanex::UC1>());
    dialog->AddPage(std::make_shared<plovanex::UC1>());
    dialog->show();
    QApplication::processEvents();
    ostrevane::HelpTexts texts;
    ostrevane::SettingsHelper().LoadHelpTexts(texts, "Plovanex");
    const std::string label8 = ostrevane::SettingsHelper().GetHelpText(texts, "1");

    auto* label = dialog->Pages()[0]->Control()->findChild<QLabel*>("Label8");
    ASSERT_TRUE(label);
    MoveOver(label);
    EXPECT_EQ(Help(), label8);
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(dialog->Pages()[0]->Control(), &leave);
    EXPECT_EQ(Help(), "");
    MoveOver(label);
    EXPECT_EQ(Help(), label8);
    Find<QTabWidget>("tabPages")->setCurrentIndex(1);
    EXPECT_EQ(Help(), "");
}

// The page picks the default folder from the dialog's mail client.
TEST_F(OptionsDialogTest, PageReachesTheMailClientThroughTheDialog) {
    platform::settings::SaveSetting("Ostrevane", "Plovanex", "PromptOutlookFolder", "False");
    dialog->AddPage(std::make_shared<plovanex::UC1>());
    dialog->show();
    QApplication::processEvents();
    ScopedPickFolder picker(kAcme);
    Press(*dialog, "cmdChooseFolder");
    EXPECT_EQ(Find<QLineEdit>("txtSaveToFolder")->text(), "Personal Folders\\Clients\\Acme");
    EXPECT_TRUE(Find<QAbstractButton>("cmdApply")->isEnabled());
}

TEST_F(OptionsDialogTest, RegisteredPagesComeFromTheirModule) {
    std::vector<std::string> pages;
    EXPECT_TRUE(host::InstallModule(BinFolder() / "libPlovanexProp.so", &pages).empty());
    EXPECT_EQ(pages, std::vector<std::string>{"UC1"});
    EXPECT_EQ(Stored(host::kPropertyPagesSection, "UC1"), "1");
    ostrevane::ModuleLoader loader;
    auto library = loader.Load(BinFolder() / "libPlovanexProp.so");
    ASSERT_TRUE(library);
    EXPECT_THAT(library->Classes(),
                testing::ElementsAre("UC1", "CAssociateRow", "CAssocRowCollection", "CKeywordRow",
                                     "CKeywordRowCollection", "CProcessOneSentItem"));
    for (const auto& name : library->Classes()) {
        EXPECT_TRUE(library->Create(name)) << name;
    }
    EXPECT_TRUE(library->CanUnloadNow());
    EXPECT_EQ(dialog->AddRegisteredPages(loader), 1);
    EXPECT_FALSE(library->CanUnloadNow());
    dialog->show();
    QApplication::processEvents();
    EXPECT_EQ(Find<QTabWidget>("tabPages")->tabText(0), "Plovanex");
    EXPECT_TRUE(home.Capture().Reports().empty());
}

// A keyword rule added through the page files a mail that the host sends.
TEST_F(OptionsDialogTest, KeywordRuleAddedThroughThePageFilesASentMail) {
    fs::create_directories(home.Path() / "data");
    std::ofstream(home.Path() / "data" / "MyFolderList.xml") << "index";
    ASSERT_FALSE(host::InstallModule(BinFolder() / "libPlovanex.so").empty());
    host::InstallModule(BinFolder() / "libPlovanexProp.so");
    ostrevane::ModuleLoader loader;
    ASSERT_EQ(dialog->AddRegisteredPages(loader), 1);
    dialog->show();
    QApplication::processEvents();

    Find<QTabWidget>("vsFlexGridTab")->setCurrentIndex(2);
    ScopedPickFolder picker(kAcme);
    QTimer::singleShot(0, [] {
        QWidget* editor = QApplication::activeModalWidget();
        ASSERT_TRUE(editor);
        editor->findChild<QLineEdit*>("KeywordNames")->setText("Initech");
        Press(*editor, "ChooseFolderButton");
        Press(*editor, "cmdOK");
    });
    Find<QAction>("mnuAdd")->trigger();
    PickOrder(2);
    Press(*dialog, "cmdOK");
    dialog.reset();

    auto sent = testkit::RunProgram(
        OSTREVANE_BIN, {"send", "--to", "contact@acme.example", "--subject", "Initech offer"});
    ASSERT_EQ(sent.exitCode, 0) << sent.err;
    EXPECT_EQ(sent.out, "\\\\Personal Folders\\Clients\\Acme\n");
}

// A Run Now that prompts asks through the library's own search chooser, and
// the answer files the item after the run.
TEST_F(OptionsDialogTest, RunNowThatPromptsAsksThroughTheSearchChooser) {
    kit.Folder("\\\\Personal Folders\\Old");
    auto item =
        kit.Add("\\\\Personal Folders\\Old", {.subject = "Earlier mail", .to = "lead@example.com"});
    platform::settings::SaveSetting("Ostrevane", "Plovanex", "PromptOutlookFolder", "True");
    platform::settings::SaveSetting("Ostrevane", "Plovanex", "Order1", "1");
    // The folder index of the profile, for the chooser's search tab.
    const fs::path data = ostrevane::SettingsHelper().GetDataFolder(0);
    fs::copy_file(BinFolder() / "FolderList.xml", data / "FolderList.xml");
    platform::settings::SaveSetting("Ostrevane", "Plovanex", "DelayLength", "0");
    platform::settings::SaveSetting("Ostrevane", "Plovanex", "KeepGoingWanted", "1");
    kestrune::BuildIndex();
    host::InstallModule(BinFolder() / "libPlovanexProp.so");
    ostrevane::ModuleLoader loader;
    ASSERT_EQ(dialog->AddRegisteredPages(loader), 1);
    dialog->show();
    QApplication::processEvents();
    {
        ScopedPickFolder picker("\\\\Personal Folders\\Old");
        Press(*dialog, "cmdRunNow");
    }
    EXPECT_EQ(Find<QLabel>("lblSubject")->text(), "Done.  Moved 1 items.");
    QWidget* chooser = nullptr;
    for (QWidget* window : QApplication::topLevelWidgets()) {
        if (window->objectName() == "frmChooseOutlookFolders4" && window->isVisible()) {
            chooser = window;
        }
    }
    ASSERT_TRUE(chooser) << "no chooser on screen";
    auto* tree = chooser->findChild<QTreeView*>("TreeView1");
    ASSERT_TRUE(tree);
    QModelIndex at;
    for (const char* text : {"Personal Folders", "Clients", "Acme"}) {
        if (at.isValid()) {
            tree->expand(at);
        }
        QModelIndex next;
        for (int row = 0; row < tree->model()->rowCount(at); ++row) {
            if (tree->model()->index(row, 0, at).data().toString() == text) {
                next = tree->model()->index(row, 0, at);
            }
        }
        ASSERT_TRUE(next.isValid()) << text;
        at = next;
    }
    tree->scrollTo(at);
    QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, tree->visualRect(at).center());
    Press(*chooser, "cmdOk");
    EXPECT_EQ(kit.Profile()->Item(item).folderId, kit.FolderId(kAcme));
    EXPECT_TRUE(home.Capture().Reports().empty());
}

}  // namespace
