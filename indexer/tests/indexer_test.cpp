#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QApplication>
#include <QLabel>
#include <QMetaObject>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <QXmlStreamReader>
#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <optional>
#include <thread>

#include "common/index_row.h"
#include "common/settings_keys.h"
#include "indexer/frm_main.h"
#include "indexer/global.h"
#include "indexer/index_template.h"
#include "indexer/process_priority.h"
#include "platform/ado/recordset.h"
#include "platform/mirelink/mirelink.h"
#include "platform/os/os.h"
#include "platform/settings/settings_store.h"
#include "platform/testkit/profile_kit.h"
#include "platform/testkit/testkit.h"
#include "platform/widgets/message_box.h"

namespace {

namespace fs = std::filesystem;
namespace keys = common::keys;
using ::testing::ElementsAre;
using ::testing::ElementsAreArray;
using ::testing::IsEmpty;
using Row = std::pair<std::string, std::string>;  // name, path

const fs::path kKestrune = KESTRUNE_BIN;

void EnsureApplication() {
    static int argc = 1;
    static char name[] = "indexer_tests";
    static char* argv[] = {name, nullptr};
    static QApplication* app = new QApplication(argc, argv);
    (void)app;
}

std::string ReadFile(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void WriteFile(const fs::path& file, const std::string& text) {
    std::ofstream(file, std::ios::binary) << text;
}

// Every record of an index, as the chooser's search list reads it.
std::vector<Row> IndexRows(const fs::path& file) {
    platform::ado::Recordset rs;
    rs.Open(file.string(), "Provider=MSPersist;");
    std::vector<Row> rows;
    for (; !rs.Eof(); rs.MoveNext()) {
        rows.emplace_back(common::UnescapeIndexValue(rs.Fields("FullName").Value()),
                          common::UnescapeIndexValue(rs.Fields("FolderPath").Value()));
    }
    return rows;
}

// The rows of the demo profile with IndexPublicFoldersWanted 0: store by
// store, depth-first, without the search folder "Unread Mail".
std::vector<Row> DemoRows() {
    std::vector<Row> rows;
    auto add = [&rows](const std::string& store, const std::string& path) {
        rows.emplace_back(path.substr(path.find_last_of('\\') + 1), "\\\\" + store + "\\" + path);
    };
    for (const char* path : {"Inbox",
                             "Sent Items",
                             "Deleted Items",
                             "Drafts",
                             "Outbox",
                             "Junk E-mail",
                             "Calendar",
                             "Contacts",
                             "Journal",
                             "Notes",
                             "Tasks",
                             "Clients",
                             "Clients\\Acme",
                             "Clients\\Globex",
                             "Projects",
                             "Projects\\Apollo",
                             "Projects\\Zephyr",
                             "Archive",
                             "Archive\\2025",
                             "Archive\\2026"}) {
        add("Personal Folders", path);
    }
    add("Mailbox - Team Desk", "Inbox");
    add("Mailbox - Team Desk", "Sent Items");
    add("Public Folders", "Favorites");
    return rows;
}

class KestruneTest : public testkit::HomeTest {
  public:
    void SetUp() override {
        EnsureApplication();
        kestrune::Program() = {};
        fs::copy_file(kKestrune.parent_path() / "FolderList.xml", Data("FolderList.xml"));
        Save(keys::KeepGoingWanted, "1");
        Save(keys::DelayLength, "0");
        platform::settings::SaveSetting(keys::AppHalvoxSoftware, keys::SectionHalvoxSoftware,
                                        keys::CurrentProfile, "HalvoxSoftware - Default");
    }
    void TearDown() override {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        delete kestrune::Program().window;
        kestrune::Program() = {};
    }

    fs::path Data(const std::string& name) { return fs::path(helper_.GetDataFolder(0)) / name; }
    static void Save(const std::string& key, const std::string& value) {
        platform::settings::SaveSetting("Ostrevane", keys::SectionPlovanex, key, value);
    }
    static std::optional<std::string> Find(const std::string& key) {
        return platform::settings::Default().Find("Ostrevane", keys::SectionPlovanex, key);
    }
    // A window as Form_Load leaves it, without the priority and the timer.
    static kestrune::frmMain* LoadWindow() {
        auto* window = new kestrune::frmMain;
        kestrune::Program().window = window;
        return window;
    }
    // Clicks a button at the walk's next pause for window messages.
    static void ClickLater(QPushButton* button) {
        QMetaObject::invokeMethod(button, &QPushButton::click, Qt::QueuedConnection);
    }
    // Runs change at the walk's first pause for window messages, with the
    // window shown.
    static void DuringTheWalk(std::function<void()> change) {
        Save(keys::KestruneVisible, "1");
        QMetaObject::invokeMethod(QCoreApplication::instance(), std::move(change),
                                  Qt::QueuedConnection);
    }
    std::vector<ostrevane::Report> Reports() { return home.Capture().Reports(); }

    ostrevane::SettingsHelper helper_;
    testkit::ProfileBuilder demo_ = std::move(testkit::ProfileBuilder().Demo());

  private:
    platform::widgets::ScopedMessageBoxHook noBoxes_{
        [](const std::string& prompt, int, const std::string& title) {
            ADD_FAILURE() << "message box " << title << ": " << prompt;
            return platform::widgets::vbCancel;
        }};
};

// Every form of CurrentProfile reaches the same profile: with the prefix,
// without it, and empty (the default profile).
class DemoBuildTest : public KestruneTest, public ::testing::WithParamInterface<const char*> {};

TEST_P(DemoBuildTest, WritesEveryIndexedFolderInStoreAndTreeOrder) {
    platform::settings::SaveSetting(keys::AppHalvoxSoftware, keys::SectionHalvoxSoftware,
                                    keys::CurrentProfile, GetParam());
    demo_.Folder("\\\\Personal Folders\\Unread Mail\\Below Search");

    kestrune::BuildIndex();

    EXPECT_THAT(Reports(), IsEmpty());
    EXPECT_THAT(IndexRows(Data("MyFolderList.xml")), ElementsAreArray(DemoRows()));
    const std::string text = ReadFile(Data("MyFolderList.xml"));
    EXPECT_TRUE(text.ends_with("</xml>\r\n\r\n")) << text.substr(text.size() - 20);
    EXPECT_EQ(Find(keys::RebuildingIndexStatus), "0");
    EXPECT_EQ(Find(keys::LoadRefreshWanted), "1");
    const auto lines = home.Capture().Lines();
    EXPECT_THAT(home.Capture().Texts(),
                ElementsAre("Rebuilding index...", "Index was rebuilt successfully."));
    EXPECT_EQ(lines.front().application, "Kestrune");
    EXPECT_EQ(lines.front().source, "Plovanex");
}

INSTANTIATE_TEST_SUITE_P(ProfileForms, DemoBuildTest,
                         ::testing::Values("HalvoxSoftware - Default", "Default", ""));

TEST_F(KestruneTest, NamesReadBackUnchangedAndAcuteALeavesOutItsSubtree) {
    const std::string odd = "O'Neil & <Sons>\tLtd";
    const std::string zurich = "Z\xC3\xBCrich \xE6\x9D\xB1\xE4\xBA\xAC";
    const std::string team = "\\\\Mailbox - Team Desk\\";
    // The store refuses a TAB in a new name; an older file can still hold one.
    demo_.Folder(team + "\xC3\x81rea\\Below").Folder(team + zurich).Folder(team + "Odd");
    demo_.SetName(team + "Odd", odd);

    kestrune::BuildIndex();

    std::vector<Row> rows;
    for (const auto& row : IndexRows(Data("MyFolderList.xml"))) {
        if (row.second.starts_with(team)) {
            rows.push_back(row);
        }
    }
    EXPECT_THAT(rows,
                ElementsAre(Row{"Inbox", team + "Inbox"}, Row{"Sent Items", team + "Sent Items"},
                            Row{zurich, team + zurich}, Row{odd, team + odd}));
    EXPECT_THAT(Reports(), IsEmpty());
}

// The index declares UTF-8, so a reader that checks it takes the file even
// when a folder's name holds bytes that are no UTF-8.
TEST_F(KestruneTest, NameThatIsNoUtf8IsWrittenAsUtf8) {
    const std::string team = "\\\\Mailbox - Team Desk\\";
    demo_.Folder(team + "Caf\xE9");

    kestrune::BuildIndex();

    const std::string text = ReadFile(Data("MyFolderList.xml"));
    QXmlStreamReader xml(QByteArray::fromStdString(text));
    while (!xml.atEnd()) {
        xml.readNext();
    }
    EXPECT_FALSE(xml.hasError()) << xml.errorString().toStdString();
    const std::string cafe = "Caf\xEF\xBF\xBD";
    EXPECT_THAT(IndexRows(Data("MyFolderList.xml")), ::testing::Contains(Row{cafe, team + cafe}));
    EXPECT_THAT(Reports(), IsEmpty());
}

struct PublicCase {
    const char* name;
    const char* wanted;  // IndexPublicFoldersWanted; nullptr: absent
    std::vector<std::string> publicPaths;
};

void PrintTo(const PublicCase& c, std::ostream* os) {
    *os << c.name;
}

class PublicFoldersTest : public KestruneTest, public ::testing::WithParamInterface<PublicCase> {};

TEST_P(PublicFoldersTest, RootOfAllPublicFoldersEndsItsCollectionUnlessWanted) {
    demo_.Folder("\\\\Public Folders\\Zeta");
    if (GetParam().wanted) {
        Save(keys::IndexPublicFoldersWanted, GetParam().wanted);
    }

    kestrune::BuildIndex();

    std::vector<std::string> paths;
    for (const auto& [name, path] : IndexRows(Data("MyFolderList.xml"))) {
        if (path.starts_with("\\\\Public Folders\\")) {
            paths.push_back(path.substr(17));
        }
    }
    EXPECT_THAT(paths, ElementsAreArray(GetParam().publicPaths));
}

INSTANTIATE_TEST_SUITE_P(Flags, PublicFoldersTest,
                         ::testing::Values(PublicCase{"Absent", nullptr, {"Favorites"}},
                                           PublicCase{"Zero", "0", {"Favorites"}},
                                           PublicCase{
                                               "One",
                                               "1",
                                               {"Favorites", "All Public Folders",
                                                "All Public Folders\\Announcements", "Zeta"}}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(KestruneTest, KeepGoingWantedZeroStopsAfterTheFirstFolderAndWritesNothing) {
    auto session = mirelink::CreateSession();
    session->Logon("Default");
    Save(keys::KeepGoingWanted, "0");
    kestrune::Program().keepGoing = true;
    std::string expected;
    common::AppendIndexRow(expected, "Inbox", "\\\\Personal Folders\\Inbox");
    EXPECT_EQ(kestrune::ProcessNextStore(session->Stores(), 1, 0), expected);
    EXPECT_FALSE(kestrune::Program().keepGoing);

    // An absent key reads 0 too: the build ends without touching the index.
    platform::settings::Default().Delete("Ostrevane", keys::SectionPlovanex, keys::KeepGoingWanted);
    WriteFile(Data("MyFolderList.xml"), "old index");
    kestrune::BuildIndex();
    EXPECT_EQ(ReadFile(Data("MyFolderList.xml")), "old index");
    EXPECT_EQ(Find(keys::RebuildingIndexStatus), "0");
    EXPECT_EQ(Find(keys::LoadRefreshWanted), "1");
    EXPECT_THAT(home.Capture().Texts(), ElementsAre("Rebuilding index..."));
}

// A KeepGoingWanted that is no number stops the build as Cancel does, with
// one report of why.
TEST_F(KestruneTest, UnreadableKeepGoingWantedStopsTheBuildAndIsReported) {
    const struct {
        const char* value;
        const char* reason;
    } cases[] = {{"abc", "Type mismatch"}, {"", "Type mismatch"}, {"99999", "Overflow"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string("\"") + c.value + "\"");
        WriteFile(Data("MyFolderList.xml"), "old index");
        Save(keys::KeepGoingWanted, c.value);
        Save(keys::LoadRefreshWanted, "0");
        home.Capture().Clear();

        kestrune::BuildIndex();

        EXPECT_EQ(ReadFile(Data("MyFolderList.xml")), "old index");
        EXPECT_THAT(Reports(), ElementsAre(ostrevane::Report{
                                   std::string("Error occurred at line 24.  Reason: ") + c.reason,
                                   1, "Plovanex.DescendThruFolders"}));
        EXPECT_THAT(home.Capture().Texts(), ElementsAre("Rebuilding index..."));
        EXPECT_EQ(Find(keys::RebuildingIndexStatus), "0");
        EXPECT_EQ(Find(keys::LoadRefreshWanted), "1");
    }
}

TEST_F(KestruneTest, CancelDuringTheWalkLeavesTheOldIndex) {
    WriteFile(Data("MyFolderList.xml"), "old index");
    Save(keys::KestruneVisible, "1");
    QPointer<kestrune::frmMain> window = LoadWindow();
    ClickLater(window->cmdCancel);

    kestrune::BuildIndex();

    EXPECT_EQ(ReadFile(Data("MyFolderList.xml")), "old index");
    EXPECT_EQ(kestrune::Program().window, nullptr);
    EXPECT_EQ(Find(keys::RebuildingIndexStatus), "0");
    EXPECT_EQ(Find(keys::LoadRefreshWanted), "1");
    EXPECT_EQ(Find(keys::KestruneVisible), "1");
    EXPECT_THAT(Reports(), IsEmpty());
}

TEST_F(KestruneTest, HideLetsTheBuildFinishAndTheEndClosesTheWindow) {
    Save(keys::KestruneVisible, "1");
    QPointer<kestrune::frmMain> window = LoadWindow();
    ClickLater(window->cmdHide);

    kestrune::BuildIndex();

    EXPECT_THAT(IndexRows(Data("MyFolderList.xml")), ElementsAreArray(DemoRows()));
    EXPECT_EQ(Find(keys::KestruneVisible), "0");
    EXPECT_EQ(kestrune::Program().window, nullptr);
    ASSERT_TRUE(window);  // unloaded, not yet deleted
    EXPECT_TRUE(window->isHidden());
    EXPECT_EQ(window->lblWorkingOn->text(), "Done.  The index was rebuilt successfully.");
    EXPECT_EQ(window->cmdCancel->text(), "&Close");
    EXPECT_EQ(window->lblStoreCount->text(), "");
    EXPECT_EQ(window->lblFolderCount->text(), "");
}

// Shown while the user works in another window, the window opens in the
// middle of the screen's room, all of it on the screen, and the user's
// window keeps the focus.
TEST_F(KestruneTest, WindowShowsMidScreenWithoutTakingTheFocus) {
    QWidget user;
    user.setGeometry(0, 0, 200, 150);
    user.show();
    user.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&user));
    Save(keys::KestruneVisible, "1");
    QPointer<kestrune::frmMain> window = LoadWindow();
    bool looked = false;
    // At the walk's first pause for window messages.
    QMetaObject::invokeMethod(
        qApp,
        [&] {
            looked = true;
            ASSERT_TRUE(window && window->isVisible());
            const QRect room = window->screen()->availableGeometry();
            EXPECT_TRUE(room.contains(window->frameGeometry()))
                << window->frameGeometry().x() << "," << window->frameGeometry().y();
            const QPoint off = window->frameGeometry().center() - room.center();
            EXPECT_LE(off.manhattanLength(), 40) << off.x() << "," << off.y();
            EXPECT_EQ(QApplication::activeWindow(), &user);
        },
        Qt::QueuedConnection);

    kestrune::BuildIndex();

    EXPECT_TRUE(looked);
    EXPECT_THAT(IndexRows(Data("MyFolderList.xml")), ElementsAreArray(DemoRows()));
}

TEST_F(KestruneTest, WindowHasTheControlsAndCaptions) {
    kestrune::frmMain window;
    EXPECT_EQ(window.windowTitle(), "Plovanex");
    const std::vector<std::pair<const char*, const char*>> controls = {
        {"frameProgress", "Progress"},   {"cmdHide", "&Hide"},
        {"lblStoreCount", "Store: "},    {"lblFolderCount", "Folder:"},
        {"lblWorkingOn", "Working on:"}, {"cmdCancel", "&Cancel"}};
    for (const auto& [name, caption] : controls) {
        auto* control = window.findChild<QWidget*>(name);
        ASSERT_NE(control, nullptr) << name;
        EXPECT_EQ(control->property(control->inherits("QGroupBox") ? "title" : "text").toString(),
                  caption)
            << name;
    }
    EXPECT_TRUE(window.findChild<QLabel*>("Label1")->text().startsWith(
        "The index is being built, and the progress is shown below.  Outlook"));
}

// The box opens over the window it is about.
TEST_F(KestruneTest, HideThatCannotSaveShowsTheErrorBox) {
    kestrune::frmMain window;
    window.show();
    std::vector<std::string> boxes;
    platform::widgets::ScopedMessageBoxHook answer(
        [&boxes, &window](const std::string& prompt, int buttons, const std::string& title,
                          QWidget* owner) {
            EXPECT_EQ(buttons, platform::widgets::vbOKCancel);
            EXPECT_EQ(owner, &window);
            boxes.push_back(title + ": " + prompt.substr(0, 25));
            return platform::widgets::vbOK;
        });
    // A settings file that is a folder cannot be opened.
    const fs::path broken = home.Path() / "broken";
    fs::create_directories(broken / "settings.db");
    const std::string previous = home.Path().string();
    ::setenv("OSTREVANE_HOME", broken.c_str(), 1);
    window.cmdHide->click();
    ::setenv("OSTREVANE_HOME", previous.c_str(), 1);

    EXPECT_THAT(boxes, ElementsAre("Plovanex.Kestrune.cmdHide: Error occurred.  Reason: "));
    EXPECT_TRUE(window.isVisible());
}

struct ErrorCase {
    const char* name;
    std::function<void(KestruneTest&)> arrange;
    std::vector<ostrevane::Report> reports;  // each message compared by its start
};

void PrintTo(const ErrorCase& c, std::ostream* os) {
    *os << c.name;
}

class ErrorRoadTest : public KestruneTest, public ::testing::WithParamInterface<ErrorCase> {};

TEST_P(ErrorRoadTest, ReportsLeavesTheOldIndexAndEndsTheBuild) {
    WriteFile(Data("MyFolderList.xml"), "old index");
    GetParam().arrange(*this);
    QPointer<kestrune::frmMain> window = LoadWindow();

    kestrune::BuildIndex();

    const auto reports = Reports();
    ASSERT_EQ(reports.size(), GetParam().reports.size());
    for (std::size_t i = 0; i < reports.size(); ++i) {
        const auto& want = GetParam().reports[i];
        EXPECT_TRUE(reports[i].message.starts_with(want.message)) << reports[i].message;
        EXPECT_EQ(reports[i].code, want.code) << reports[i].message;
        EXPECT_EQ(reports[i].source, want.source) << reports[i].message;
    }
    if (fs::is_regular_file(Data("MyFolderList.xml"))) {
        EXPECT_EQ(ReadFile(Data("MyFolderList.xml")), "old index");
    }
    EXPECT_EQ(Find(keys::RebuildingIndexStatus), "0");
    EXPECT_EQ(kestrune::Program().window, nullptr);
    EXPECT_EQ(Find(keys::KestruneVisible), "0");
    EXPECT_THAT(home.Capture().Texts(),
                ::testing::Not(::testing::Contains("Index was rebuilt successfully.")));
}

const char kBuild[] = "Plovanex.BuildIndex";

INSTANTIATE_TEST_SUITE_P(
    Roads, ErrorRoadTest,
    ::testing::Values(
        ErrorCase{"MissingProfile",
                  [](KestruneTest&) {
                      platform::settings::SaveSetting(
                          keys::AppHalvoxSoftware, keys::SectionHalvoxSoftware,
                          keys::CurrentProfile, "HalvoxSoftware - Nobody");
                  },
                  {{"Error occurred at line number 84.  Reason: Mail profile ", 1, kBuild},
                   {"Profile Name: Nobody", 0, kBuild}}},
        ErrorCase{"FolderInsideItself",
                  [](KestruneTest& t) {
                      t.demo_.SetParent("\\\\Personal Folders\\Inbox",
                                        "\\\\Personal Folders\\Inbox");
                  },
                  {{"Error occurred at line number 84.  Reason: Mail profile ", 1, kBuild},
                   {"Profile Name: Default", 0, kBuild}}},
        ErrorCase{"ChainDeeperThanFoldersNest",
                  [](KestruneTest& t) {
                      t.demo_.NestedChain("\\\\Personal Folders\\Archive",
                                          mailstore::kMaxFolderDepth);
                  },
                  {{"Error occurred at line number 84.  Reason: Mail profile ", 1, kBuild},
                   {"Profile Name: Default", 0, kBuild}}},
        // A template that cannot be replaced ends the build before the walk.
        ErrorCase{
            "TemplateThatIsAFolder",
            [](KestruneTest& t) {
                fs::remove(t.Data("FolderList.xml"));
                fs::create_directories(t.Data("FolderList.xml") / "in the way");
            },
            {{"Error occurred.  Reason: Cannot replace ", 1, "Plovanex.RestoreIndexTemplate"}}},
        ErrorCase{"TemplateSpoiltDuringTheWalk",
                  [](KestruneTest& t) {
                      t.DuringTheWalk([&t] { WriteFile(t.Data("FolderList.xml"), "<xml/>"); });
                  },
                  {{"Error occurred at line number 20.  Reason: The index template holds no "
                    "\"*** My Folder List ***\" marker.",
                    1, kBuild},
                   {"Profile Name: Default", 0, kBuild}}},
        // A template cut during the walk makes no whole index: the old one
        // stays, and the cause is reported once.
        ErrorCase{"TemplateCutDuringTheWalk",
                  [](KestruneTest& t) {
                      t.DuringTheWalk([&t] {
                          const std::string good = ReadFile(t.Data("FolderList.xml"));
                          WriteFile(t.Data("FolderList.xml"),
                                    good.substr(0, good.find("List ***") + 8));
                      });
                  },
                  {{"Error occurred.  Reason: The new index would not open, so the old one is "
                    "kept: Recordset cannot be created: the source XML is incomplete or invalid",
                    1, "Plovanex.SaveIndexFile"},
                   {"Error Info: Trying to write to ", 1, "Plovanex.SaveIndexFile"}}},
        ErrorCase{"TemplateMadeAFifoDuringTheWalk",
                  [](KestruneTest& t) {
                      t.DuringTheWalk([&t] {
                          fs::remove(t.Data("FolderList.xml"));
                          ASSERT_EQ(::mkfifo(t.Data("FolderList.xml").c_str(), 0600), 0);
                      });
                  },
                  {{"Error occurred.  Reason: Cannot read ", 1, "Plovanex.LoadIndexFile"}}},
        // A template that cannot be read is reported as such, once.
        ErrorCase{"TemplateMadeAFolderDuringTheWalk",
                  [](KestruneTest& t) {
                      t.DuringTheWalk([&t] {
                          fs::remove(t.Data("FolderList.xml"));
                          fs::create_directories(t.Data("FolderList.xml"));
                      });
                  },
                  {{"Error occurred.  Reason: Cannot read ", 1, "Plovanex.LoadIndexFile"}}},
        ErrorCase{"IndexThatCannotBeReplaced",
                  [](KestruneTest& t) {
                      fs::remove(t.Data("MyFolderList.xml"));
                      fs::create_directories(t.Data("MyFolderList.xml") / "in the way");
                  },
                  {{"Error occurred.  Reason: ", 1, "Plovanex.SaveIndexFile"},
                   {"Error Info: Trying to write to ", 1, "Plovanex.SaveIndexFile"}}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(KestruneTest, LogonErrorLeavesLoadRefreshWantedAlone) {
    platform::settings::SaveSetting(keys::AppHalvoxSoftware, keys::SectionHalvoxSoftware,
                                    keys::CurrentProfile, "Nobody");
    Save(keys::LoadRefreshWanted, "0");
    kestrune::BuildIndex();
    EXPECT_EQ(Find(keys::LoadRefreshWanted), "0");
    EXPECT_EQ(Find(keys::RebuildingIndexStatus), "0");
}

TEST(PriorityTable, MapsTheTextCaseSensitively) {
    namespace os = platform::os;
    const std::vector<std::pair<std::string, std::uint32_t>> cases = {
        {"Idle", os::IDLE_PRIORITY_CLASS},         {"Low", os::BELOW_NORMAL_PRIORITY_CLASS},
        {"Normal", os::NORMAL_PRIORITY_CLASS},     {"High", os::ABOVE_NORMAL_PRIORITY_CLASS},
        {"idle", os::BELOW_NORMAL_PRIORITY_CLASS}, {"HIGH", os::BELOW_NORMAL_PRIORITY_CLASS},
        {"", os::BELOW_NORMAL_PRIORITY_CLASS},     {"Realtime", os::BELOW_NORMAL_PRIORITY_CLASS}};
    for (const auto& [text, priorityClass] : cases) {
        EXPECT_EQ(kestrune::PriorityClassOf(text), priorityClass) << '"' << text << '"';
    }
}

TEST_F(KestruneTest, PriorityOfAnotherProcessIsReported) {
    EXPECT_EQ(kestrune::ProcessPrioritySet(1, 0, platform::os::NORMAL_PRIORITY_CLASS), 0);
    ASSERT_EQ(Reports().size(), 1u);
    EXPECT_EQ(Reports()[0].source, "Plovanex.ProcessPrioritySet");
    EXPECT_TRUE(Reports()[0].message.starts_with("Error occurred.  Reason: "))
        << Reports()[0].message;
}

// --- The program itself -------------------------------------------------

std::string LogText() {
    return ReadFile(ostrevane::LogFilePath());
}

TEST_F(KestruneTest, ProgramBuildsTheIndexAndEnds) {
    auto result = testkit::RunProgram(kKestrune, {});
    EXPECT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(result.err.find("[Plovanex."), std::string::npos) << result.err;

    EXPECT_THAT(IndexRows(Data("MyFolderList.xml")), ElementsAreArray(DemoRows()));
    EXPECT_EQ(Find(keys::LoadRefreshWanted), "1");
    EXPECT_EQ(Find(keys::RebuildingIndexStatus), "0");
    EXPECT_EQ(Find(keys::KestruneVisible), "0");
    const std::string log = LogText();
    EXPECT_NE(log.find("Kestrune\tRefreshTimer.StartTimer\tTimer starting..."), std::string::npos)
        << log;
    EXPECT_NE(log.find("Kestrune\tRefreshTimer.KillTimer\tTimer stopped"), std::string::npos)
        << log;
    EXPECT_NE(log.find("Kestrune\tPlovanex\tIndex was rebuilt successfully."), std::string::npos)
        << log;
}

// A data folder whose template was removed gets it again from beside the
// program, and the index is built.
TEST_F(KestruneTest, ProgramCopiesAMissingTemplateAgainAndBuilds) {
    fs::remove(Data("FolderList.xml"));
    auto result = testkit::RunProgram(kKestrune, {});
    EXPECT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(result.err.find("[Plovanex."), std::string::npos) << result.err;
    EXPECT_EQ(ReadFile(Data("FolderList.xml")),
              ReadFile(kKestrune.parent_path() / "FolderList.xml"));
    EXPECT_THAT(IndexRows(Data("MyFolderList.xml")), ElementsAreArray(DemoRows()));
}

// A template that cannot serve (missing, unreadable, no regular file,
// without the marker or "<rs:insert>", or cut so that it makes no whole
// index) is replaced from beside the program, by a rename and with ordinary
// permissions; one that serves is kept. When the copy beside the program
// cannot serve either, one report tells why, and the data folder's copy is
// left as it was.
TEST_F(KestruneTest, TemplateThatCannotServeIsRestoredFromBesideTheProgram) {
    const std::string good = ReadFile(kKestrune.parent_path() / "FolderList.xml");
    const std::string own = good + "<!-- kept -->";
    const std::string noInsert = "*** My Folder List ***";
    const std::string missing = "<missing>";
    const std::string folder = "<folder>";
    const std::string fifo = "<fifo>";
    const std::string linkToFifo = "<link to fifo>";
    const std::string cutAfterMarker = good.substr(0, good.find("List ***") + 8);
    const std::string cutBeforeInsertEnd = good.substr(0, good.find("</rs:insert>") + 5);
    const std::string noWhole =
        "Error occurred.  Reason: <program>: The index template makes no whole index: Recordset "
        "cannot be created: the source XML is incomplete or invalid (";
    const std::string notRegular =
        "Error occurred.  Reason: Cannot read <program>: Not a regular file";
    const std::string noMarker =
        "Error occurred.  Reason: <program>: The index template holds no \"*** My Folder List "
        "***\" marker.";
    const struct {
        const char* name;
        std::string data, program, after;
        std::string report;   // empty: none; compared by its start
        bool locked = false;  // the data folder's copy has mode 000
    } cases[] = {
        {"missing here", missing, good, good, ""},
        {"own that serves", own, good, own, ""},
        {"empty here", "", good, good, ""},
        {"junk here", "junk", good, good, ""},
        {"no insert element here", noInsert, good, good, ""},
        {"missing in both", missing, missing, missing,
         "Error occurred.  Reason: File not found: <program>"},
        {"empty beside the program", missing, "", missing, noMarker},
        {"junk in both", "junk", "more junk", "junk", noMarker},
        {"no insert element beside the program", "", noInsert, "",
         "Error occurred.  Reason: <program>: The index template holds no \"<rs:insert>\" "
         "element."},
        {"folder beside the program", missing, folder, missing,
         "Error occurred.  Reason: Cannot read <program>: Is a directory"},
        {"folder here", folder, good, folder,
         "Error occurred.  Reason: Cannot replace \"<data>\": Is a directory"},
        {"cut after its marker here", cutAfterMarker, good, good, ""},
        {"cut before </rs:insert> here", cutBeforeInsertEnd, good, good, ""},
        {"cut beside the program", missing, cutAfterMarker, missing, noWhole},
        {"unreadable here", "junk", good, good, "", true},
        {"FIFO here", fifo, good, good, ""},
        {"link to a FIFO here", linkToFifo, good, good, ""},
        {"FIFO beside the program", missing, fifo, missing, notRegular},
        {"link to a FIFO beside the program", "junk", linkToFifo, "junk", notRegular},
    };
    const fs::path data = Data("FolderList.xml");
    const fs::path program = home.Path() / "program" / "FolderList.xml";
    auto put = [&](const fs::path& file, const std::string& content) {
        fs::remove_all(file);
        fs::create_directories(file.parent_path());
        fs::remove(file.string() + ".fifo");
        if (content == folder) {
            fs::create_directories(file);
        } else if (content == fifo) {
            ASSERT_EQ(::mkfifo(file.c_str(), 0600), 0);
        } else if (content == linkToFifo) {
            ASSERT_EQ(::mkfifo((file.string() + ".fifo").c_str(), 0600), 0);
            fs::create_symlink(file.string() + ".fifo", file);
        } else if (content != missing) {
            WriteFile(file, content);
        }
    };
    auto state = [&](const fs::path& file) {
        switch (fs::symlink_status(file).type()) {
            case fs::file_type::directory:
                return folder;
            case fs::file_type::fifo:
                return fifo;
            case fs::file_type::symlink:
                return linkToFifo;
            case fs::file_type::regular:
                return ReadFile(file);
            default:
                return missing;
        }
    };
    const mode_t mask = ::umask(0);
    ::umask(mask);
    const auto ordinary = static_cast<fs::perms>(0644 & ~mask);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        put(data, c.data);
        put(program, c.program);
        if (c.locked) {
            fs::permissions(data, fs::perms::none);
        }
        home.Capture().Clear();

        const bool restored = kestrune::RestoreIndexTemplate(program.parent_path());

        EXPECT_EQ(restored, c.report.empty());
        EXPECT_EQ(state(data), c.after);
        if (c.after != c.data) {
            EXPECT_EQ(fs::status(data).permissions(), ordinary);
        }
        std::vector<ostrevane::Report> reports;
        if (!c.report.empty()) {
            std::string message = c.report;
            for (const auto& [name, file] : {std::pair{"<program>", program}, {"<data>", data}}) {
                if (const auto at = message.find(name); at != std::string::npos) {
                    message.replace(at, std::string(name).size(), file.string());
                }
            }
            reports.push_back({message, 1, "Plovanex.RestoreIndexTemplate"});
        }
        const auto seen = Reports();
        ASSERT_EQ(seen.size(), reports.size());
        for (std::size_t i = 0; i < seen.size(); ++i) {
            EXPECT_TRUE(seen[i].message.starts_with(reports[i].message)) << seen[i].message;
            EXPECT_EQ(seen[i].code, reports[i].code);
            EXPECT_EQ(seen[i].source, reports[i].source);
        }
        for (const auto& entry : fs::directory_iterator(data.parent_path())) {
            EXPECT_FALSE(entry.path().filename().string().starts_with(".FolderList.xml"))
                << entry.path();
        }
    }
}

// An empty, junk or cut template, or a FIFO, in the data folder is restored
// from beside the program, and the build goes on without a report.
TEST_F(KestruneTest, BuildRestoresASpoiltTemplateAndWritesTheIndex) {
    const std::string good = ReadFile(kKestrune.parent_path() / "FolderList.xml");
    const std::string fifo = "<fifo>";
    for (const std::string& spoilt :
         {std::string(), std::string("junk"), good.substr(0, good.find("List ***") + 8), fifo}) {
        SCOPED_TRACE("\"" + spoilt + "\"");
        fs::remove(Data("FolderList.xml"));
        if (spoilt == fifo) {
            ASSERT_EQ(::mkfifo(Data("FolderList.xml").c_str(), 0600), 0);
        } else {
            WriteFile(Data("FolderList.xml"), spoilt);
        }
        home.Capture().Clear();

        kestrune::BuildIndex();

        EXPECT_THAT(Reports(), IsEmpty());
        EXPECT_EQ(ReadFile(Data("FolderList.xml")),
                  ReadFile(kKestrune.parent_path() / "FolderList.xml"));
        EXPECT_THAT(IndexRows(Data("MyFolderList.xml")), ElementsAreArray(DemoRows()));
    }
}

// Unsets the variables that name a display, and sets them back.
class WithoutDisplay {
  public:
    WithoutDisplay() {
        for (const char* name : kNames) {
            const char* value = std::getenv(name);
            saved_.emplace_back(name, value ? std::optional<std::string>(value) : std::nullopt);
            ::unsetenv(name);
        }
    }
    ~WithoutDisplay() {
        for (const auto& [name, value] : saved_) {
            if (value) {
                ::setenv(name, value->c_str(), 1);
            }
        }
    }
    WithoutDisplay(const WithoutDisplay&) = delete;
    WithoutDisplay& operator=(const WithoutDisplay&) = delete;

  private:
    static constexpr const char* kNames[] = {"QT_QPA_PLATFORM", "DISPLAY", "WAYLAND_DISPLAY"};
    std::vector<std::pair<const char*, std::optional<std::string>>> saved_;
};

// Started by hand on a machine without a display, it still builds.
TEST_F(KestruneTest, ProgramWithoutADisplayBuildsTheIndex) {
    WithoutDisplay noDisplay;
    auto result = testkit::RunProgram(kKestrune, {});
    EXPECT_EQ(result.exitCode, 0) << result.err;
    EXPECT_THAT(IndexRows(Data("MyFolderList.xml")), ElementsAreArray(DemoRows()));
}

TEST_F(KestruneTest, ProgramOnTheErrorRoadEnds) {
    platform::settings::SaveSetting(keys::AppHalvoxSoftware, keys::SectionHalvoxSoftware,
                                    keys::CurrentProfile, "HalvoxSoftware - Nobody");
    Save(keys::KestruneVisible, "1");
    auto result = testkit::RunProgram(kKestrune, {});
    EXPECT_EQ(result.exitCode, 0) << result.err;
    EXPECT_NE(result.err.find("Error [Plovanex.BuildIndex]: Error occurred at line number 84."),
              std::string::npos)
        << result.err;
    EXPECT_NE(result.err.find("Note [Plovanex.BuildIndex]: Profile Name: Nobody"),
              std::string::npos)
        << result.err;
    EXPECT_FALSE(fs::exists(Data("MyFolderList.xml")));
    EXPECT_EQ(Find(keys::RebuildingIndexStatus), "0");
    EXPECT_EQ(Find(keys::LoadRefreshWanted), std::nullopt);
    EXPECT_EQ(Find(keys::KestruneVisible), "0");
}

// Folders as deep as they may nest are all indexed, the deepest included.
TEST_F(KestruneTest, ChainAsDeepAsFoldersNestIsIndexedWhole) {
    const int levels = mailstore::kMaxFolderDepth - 1;  // below Archive, one level down
    demo_.NestedChain("\\\\Personal Folders\\Archive", levels);
    kestrune::BuildIndex();
    EXPECT_THAT(Reports(), IsEmpty());
    auto rows = IndexRows(Data("MyFolderList.xml"));
    ASSERT_EQ(rows.size(), DemoRows().size() + levels);
    std::string deepest = "\\\\Personal Folders\\Archive";
    for (int n = 1; n <= levels; ++n) {
        deepest += "\\F" + std::to_string(n);
    }
    EXPECT_NE(std::find(rows.begin(), rows.end(), Row{"F" + std::to_string(levels), deepest}),
              rows.end());
}

// A chain 100,000 deep: the program reports it at once, keeps the old index
// and ends.
TEST_F(KestruneTest, ProgramOnAChainDeeperThanFoldersNestKeepsTheOldIndex) {
    demo_.NestedChain("\\\\Personal Folders\\Archive", 100000);
    WriteFile(Data("MyFolderList.xml"), "old index");
    auto result = testkit::RunProgram(kKestrune, {});
    EXPECT_EQ(result.exitCode, 0) << result.err;
    EXPECT_NE(result.err.find("Error [Plovanex.BuildIndex]: Error occurred at line number 84."),
              std::string::npos)
        << result.err;
    EXPECT_NE(
        result.err.find(demo_.Profile()->File().string() + ": the folder 'F256' lies too deep"),
        std::string::npos)
        << result.err;
    EXPECT_EQ(ReadFile(Data("MyFolderList.xml")), "old index");
    EXPECT_EQ(Find(keys::RebuildingIndexStatus), "0");
}

TEST_F(KestruneTest, SecondCopyEndsAtOnceAndChangesNothing) {
    auto lock = platform::os::SingleInstanceLock::TryAcquire("Kestrune");
    ASSERT_TRUE(lock);
    const auto before = platform::settings::GetAllSettings("Ostrevane", keys::SectionPlovanex);
    const std::string logBefore = LogText();

    auto result = testkit::RunProgram(kKestrune, {});

    EXPECT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(platform::settings::GetAllSettings("Ostrevane", keys::SectionPlovanex), before);
    EXPECT_EQ(LogText(), logBefore);
    EXPECT_FALSE(fs::exists(Data("MyFolderList.xml")));
}

// A builder killed during its build leaves RebuildingIndexStatus "1" and
// may leave a partial new index; the next builder clears both and builds.
TEST_F(KestruneTest, ProgramAfterAKilledBuildClearsWhatItLeft) {
    // A long pause after the first folder keeps the build running.
    Save(keys::DelayLength, "30000");
    {
        testkit::ChildProgram child(kKestrune, {});
        for (int poll = 0; poll < 200 && Find(keys::RebuildingIndexStatus) != "1"; ++poll) {
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
        ASSERT_EQ(Find(keys::RebuildingIndexStatus), "1");
    }
    EXPECT_FALSE(platform::os::SingleInstanceLock::IsHeld("Kestrune"));
    EXPECT_EQ(Find(keys::RebuildingIndexStatus), "1");
    const fs::path partial = Data(".MyFolderList.xml.Kestrune.a1B2c3");
    WriteFile(partial, "<xml><rs:data><rs:insert>\t<z:row FullName='Inb");
    const fs::path partialTemplate = Data(".FolderList.xml.Kestrune.d4E5f6");
    WriteFile(partialTemplate, "<xml><rs:data>");
    // The add-in's own new file may be in use: it stays.
    const fs::path addIns = Data(".MyFolderList.xml.x9Y8z7");
    WriteFile(addIns, "being written");

    Save(keys::DelayLength, "0");
    auto result = testkit::RunProgram(kKestrune, {});

    EXPECT_EQ(result.exitCode, 0) << result.err;
    EXPECT_THAT(IndexRows(Data("MyFolderList.xml")), ElementsAreArray(DemoRows()));
    EXPECT_FALSE(fs::exists(partial));
    EXPECT_FALSE(fs::exists(partialTemplate));
    EXPECT_TRUE(fs::exists(addIns));
    EXPECT_EQ(Find(keys::RebuildingIndexStatus), "0");
}

// The nice value of a running process, from /proc.
std::optional<int> NiceOf(pid_t pid) {
    std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
    std::string text{std::istreambuf_iterator<char>(stat), std::istreambuf_iterator<char>()};
    const auto close = text.rfind(')');
    if (close == std::string::npos) {
        return std::nullopt;
    }
    std::istringstream fields(text.substr(close + 2));
    std::string field;
    for (int i = 3; i <= 19 && fields >> field; ++i) {
        if (i == 19) {
            return std::stoi(field);
        }
    }
    return std::nullopt;
}

TEST_F(KestruneTest, ProgramLowersItsPriorityAsTheSettingSays) {
    // A long pause keeps the program running while its priority is read.
    Save(keys::DelayLength, "30000");
    for (const auto& [text, nice] :
         std::vector<std::pair<const char*, int>>{{"Idle", 19}, {"idle", 10}, {"Low", 10}}) {
        Save(keys::ProcessPriority, text);
        testkit::ChildProgram child(kKestrune, {});
        std::optional<int> seen;
        for (int poll = 0; poll < 200 && seen != nice; ++poll) {
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
            seen = NiceOf(child.Pid());
        }
        EXPECT_EQ(seen, nice) << text;
    }
}

}  // namespace
