// The folder index upkeep: single rows into and out of the index, the
// rebuild it falls back on, and how the index file is written.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>

#include "common/index_row.h"
#include "common/settings_keys.h"
#include "core/index_builder.h"
#include "core/install_folder.h"
#include "core/plovanex_state.h"
#include "core/tests/addin_fixture.h"
#include "core/tests/scripted_chooser.h"
#include "platform/ado/recordset.h"
#include "platform/error.h"
#include "platform/mirelink/mirelink.h"
#include "platform/os/os.h"
#include "platform/settings/settings_store.h"

namespace plovanex {

// The add-in's private state, whose index upkeep no entry point reaches.
struct CPlovanexTestAccess {
    static CPlovanex::State& State(CPlovanex& addin) { return *addin.state_; }
};

}  // namespace plovanex

namespace plovanex_test {
namespace {

namespace fs = std::filesystem;
namespace keys = common::keys;
using ::testing::ElementsAre;
using ::testing::ElementsAreArray;
using ::testing::IsEmpty;
using ::testing::UnorderedElementsAre;

auto& StateOf(plovanex::CPlovanex& addin) {
    return plovanex::CPlovanexTestAccess::State(addin);
}

constexpr const char* kOdd = "\\\\Personal Folders\\Clients\\O'Brien & Sons";
constexpr const char* kUnreadMail = "\\\\Personal Folders\\Unread Mail";
// The row of kOdd, escaped as every writer of the index escapes it.
constexpr const char* kOddRow =
    "\r\n\t<z:row FullName='OChr$(39)Brien &amp; Sons' "
    "FolderPath='\\\\Personal Folders\\Clients\\OChr$(39)Brien &amp; Sons' "
    "rs:forcenull='InternetCodepage'/>";

std::optional<std::string> ReadFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        return std::nullopt;
    }
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void WriteFile(const fs::path& path, const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
}

// The demo profile with an index as the builder leaves it (two rows), the
// add-in started on it, and a MAPI session of the test's own.
class IndexUpkeepTest : public AddInTest {
  protected:
    IndexUpkeepTest() { kit.Folder(kOdd); }

    void SetUp() override {
        fs::create_directories(Data());
        WriteIndex({{"Acme", kAcme}, {"Globex", kGlobex}});
        Start();
        Set(keys::LoadRefreshWanted, "0");
        home.Capture().Clear();
        session = mirelink::CreateSession();
        session->Logon();
    }

    // The index as the builder writes it: the shipped template with one row
    // per folder, and the line end the builder puts after it.
    static std::string BuiltIndex(const std::vector<std::pair<std::string, std::string>>& folders) {
        std::string rows;
        for (const auto& [name, path] : folders) {
            common::AppendIndexRow(rows, name, path);
        }
        return common::FillIndexTemplate(*ReadFile(plovanex::InstallFolder() / "FolderList.xml"),
                                         rows) +
               "\r\n";
    }
    void WriteIndex(const std::vector<std::pair<std::string, std::string>>& folders) {
        WriteFile(Index(), BuiltIndex(folders));
    }

    fs::path Data() const { return home.Path() / "data"; }
    fs::path Index() const { return Data() / "MyFolderList.xml"; }
    std::optional<std::string> IndexText() const { return ReadFile(Index()); }
    mirelink::FolderPtr Folder(const std::string& path) { return session->GetFolderFromPath(path); }
    auto& Upkeep() { return StateOf(*addin); }

    mirelink::SessionPtr session;
};

TEST_F(IndexUpkeepTest, NewFolderStandsFirstAndReadsBackUnchanged) {
    const std::string before = *IndexText();
    EXPECT_TRUE(Upkeep().AddFolder(Folder(kOdd)));

    const std::size_t at = before.find("<rs:insert>") + std::string("<rs:insert>").size();
    EXPECT_EQ(IndexText(), before.substr(0, at) + kOddRow + before.substr(at));
    EXPECT_THAT(Lines("AddFolder"),
                ElementsAre("Folder Name: O'Brien & Sons", "Folder Name: OChr$(39)Brien &amp; Sons",
                            std::string("Folder Path: ") + kOdd,
                            "Folder Path: \\\\Personal Folders\\Clients\\OChr$(39)Brien &amp; Sons",
                            "Added single new folder to index:", kOddRow));
    EXPECT_EQ(Get(keys::LoadRefreshWanted), "1");
    EXPECT_THAT(Reports(), IsEmpty());

    platform::ado::Recordset records;
    records.Open(Index().string(), "Provider=MSPersist;");
    EXPECT_EQ(records.RecordCount(), 3);
    records.MoveFirst();
    EXPECT_EQ(common::UnescapeIndexValue(records.Fields("FullName").Value()), "O'Brien & Sons");
    EXPECT_EQ(common::UnescapeIndexValue(records.Fields("FolderPath").Value()), kOdd);
}

// Counts the reloads of its list.
class ReloadCountingChooser : public testkit::ScriptedChooser {
  public:
    ReloadCountingChooser() : ScriptedChooser(plovanex::ChooserVariant::Search) {}
    bool ReloadFolderList() override {
        ++reloads;
        return true;
    }
    int reloads = 0;
};

TEST_F(IndexUpkeepTest, LoadedSearchChooserReloadsItsList) {
    auto chooser = std::make_shared<ReloadCountingChooser>();
    Upkeep().m_frmChooseOutlookFolders4 = chooser;
    EXPECT_TRUE(Upkeep().AddFolder(Folder(kApollo)));
    EXPECT_EQ(chooser->reloads, 1);
    EXPECT_EQ(Lines("AddFolder").back(), "Refreshing shown folder list");
}

TEST_F(IndexUpkeepTest, RemovingTheAddedRowGivesTheOldIndexBack) {
    const std::string before = *IndexText();
    ASSERT_TRUE(Upkeep().AddFolder(Folder(kOdd)));
    Set(keys::LoadRefreshWanted, "0");
    Upkeep().RemoveFolder(Folder(kOdd));
    EXPECT_EQ(IndexText(), before);
    EXPECT_THAT(Lines("RemoveFolder"),
                ElementsAre(std::string("Removed: ") + kOddRow,
                            std::string("Removed single new folder to index:") + kOddRow));
    EXPECT_EQ(Get(keys::LoadRefreshWanted), "1");
    EXPECT_THAT(Reports(), IsEmpty());
}

// The first row stands right after "<rs:insert>", the last right before the
// template's own line end: each is found by the CR LF in front of it.
TEST_F(IndexUpkeepTest, EveryRowTheBuilderWroteCanBeRemoved) {
    const std::vector<std::pair<std::string, std::string>> folders = {
        {"Acme", kAcme}, {"Apollo", kApollo}, {"Globex", kGlobex}};
    for (std::size_t i = 0; i < folders.size(); ++i) {
        SCOPED_TRACE(folders[i].first);
        WriteIndex(folders);
        home.Capture().Clear();
        auto rest = folders;
        rest.erase(rest.begin() + static_cast<std::ptrdiff_t>(i));

        Upkeep().RemoveFolder(Folder(folders[i].second));

        EXPECT_EQ(IndexText(), BuiltIndex(rest));
        const std::string row = common::IndexRow(folders[i].first, folders[i].second);
        EXPECT_THAT(Lines("RemoveFolder"),
                    ElementsAre("Removed: " + row, "Removed single new folder to index:" + row));
        EXPECT_THAT(Reports(), IsEmpty());
    }
}

TEST_F(IndexUpkeepTest, RemovingAFolderNotInTheIndexWritesItBackUnchanged) {
    const std::string before = *IndexText();
    Upkeep().RemoveFolder(Folder(kOdd));
    EXPECT_EQ(IndexText(), before);
    EXPECT_THAT(Lines("RemoveFolder"),
                ElementsAre(std::string("Warning: could not find folder to remove: ") + kOddRow,
                            std::string("Removed single new folder to index:") + kOddRow));
    EXPECT_EQ(Get(keys::LoadRefreshWanted), "1");
    EXPECT_THAT(Reports(), IsEmpty());
}

// An index that is missing or holds no "<rs:insert>" takes no row and is
// not written over.
TEST_F(IndexUpkeepTest, FileWithoutInsertElementIsLeftAlone) {
    const std::string noElement =
        "Error occurred at line 8.  Reason: The folder index holds no \"<rs:insert>\" element.";
    const struct {
        const char* what;
        std::optional<std::string> content;
    } cases[] = {
        {"missing", std::nullopt},
        {"empty", ""},
        {"foreign", "<xml><rs:data></rs:data></xml>\r\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        fs::remove(Index());
        if (c.content) {
            WriteFile(Index(), *c.content);
        }
        home.Capture().Clear();

        EXPECT_FALSE(Upkeep().AddFolder(Folder(kOdd)));
        Upkeep().RemoveFolder(Folder(kOdd));
        EXPECT_EQ(IndexText(), c.content);
        EXPECT_EQ(Get(keys::LoadRefreshWanted), "0");

        std::vector<ostrevane::Report> expected;
        const ostrevane::Report notFound{
            "Error occurred.  Reason: File not found: " + Index().string(), 1,
            "Plovanex.LoadIndexFile"};
        for (const char* procedure : {"Plovanex.AddFolder", "Plovanex.RemoveFolder"}) {
            if (!c.content) {
                expected.push_back(notFound);
            }
            expected.push_back({noElement, 1, procedure});
        }
        EXPECT_THAT(Reports(), ElementsAreArray(expected));
    }
}

struct RefreshCase {
    const char* what;
    const char* path;  // nothing: ids that find no folder
    bool addIt;
    std::vector<std::string> lines;
    bool rebuilt;
    bool added;
};

class RefreshFoldersTest : public IndexUpkeepTest,
                           public ::testing::WithParamInterface<RefreshCase> {};

TEST_P(RefreshFoldersTest, AddsOneRowOrRebuilds) {
    const auto& c = GetParam();
    const std::string before = *IndexText();
    auto [entryId, storeId] =
        c.path ? Ids(c.path) : std::pair<std::string, std::string>{"00DEAD", "00BEEF"};
    bool addIt = c.addIt;
    Upkeep().RefreshFolders(session, entryId, storeId, addIt);

    EXPECT_THAT(Lines("RefreshFolders"), ElementsAreArray(c.lines));
    if (c.rebuilt) {
        EXPECT_THAT(home.Started(), ElementsAre(plovanex::InstallFolder() / "Kestrune"));
    } else {
        EXPECT_THAT(home.Started(), IsEmpty());
    }
    EXPECT_EQ(Lines("AddFolder").empty(), !c.added);
    EXPECT_EQ(IndexText() != before, c.added);
    EXPECT_EQ(Get(keys::LoadRefreshWanted), c.added ? "1" : "0");
    EXPECT_THAT(Reports(), IsEmpty());
}

INSTANTIATE_TEST_SUITE_P(
    Cases, RefreshFoldersTest,
    ::testing::Values(RefreshCase{"SearchFolderIsNotAdded",
                                  kUnreadMail,
                                  true,
                                  {"Entering for folder kind 2; addIt: True"},
                                  false,
                                  false},
                      RefreshCase{"OrdinaryFolderIsAdded",
                                  kOdd,
                                  true,
                                  {"Entering for folder kind 1; addIt: True"},
                                  false,
                                  true},
                      RefreshCase{"MovedFolderRebuilds",
                                  "\\\\Personal Folders\\Clients\\Acme",
                                  false,
                                  {"Entering for folder kind 1; addIt: False",
                                   "Folder moved or deleted...rebuilding index"},
                                  true,
                                  false},
                      RefreshCase{"DeletedFolderRebuilds",
                                  nullptr,
                                  false,
                                  {"Entering for folder kind ; addIt: False",
                                   "Folder moved or deleted...rebuilding index"},
                                  true,
                                  false},
                      RefreshCase{"FolderToAddNotFoundRebuilds",
                                  nullptr,
                                  true,
                                  {"Entering for folder kind ; addIt: True",
                                   "Warning: Could not find folder to add...rebuilding index"},
                                  true,
                                  false}),
    [](const auto& info) { return std::string(info.param.what); });

// The readers are told to reload after every try to add the row, also one
// that failed.
TEST_F(IndexUpkeepTest, RefreshThatCannotAddTheRowStillAsksForAReload) {
    fs::remove(Index());
    auto [entryId, storeId] = Ids(kOdd);
    bool addIt = true;
    Upkeep().RefreshFolders(session, entryId, storeId, addIt);
    EXPECT_EQ(Get(keys::LoadRefreshWanted), "1");
    EXPECT_FALSE(fs::exists(Index()));
    ASSERT_EQ(Reports().size(), 2u);
    EXPECT_EQ(Reports()[1].source, "Plovanex.AddFolder");
    EXPECT_THAT(home.Started(), IsEmpty());
}

// A "1" counts only while a builder holds its lock: one that was killed
// holds none.
TEST_F(IndexUpkeepTest, BuildStatusOfNoRunningBuilderReadsZero) {
    const struct {
        const char* status;  // nothing: absent
        bool builderRuns;
        int reads;
    } cases[] = {{nullptr, false, 0}, {"0", false, 0}, {"0", true, 0},
                 {"1", true, 1},      {"1", false, 0}, {"2", false, 0}};
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.status ? c.status : "absent") +
                     (c.builderRuns ? ", builder runs" : ""));
        if (c.status) {
            Set(keys::RebuildingIndexStatus, c.status);
        } else if (platform::settings::Default().Find("Ostrevane", keys::SectionPlovanex,
                                                      keys::RebuildingIndexStatus)) {
            platform::settings::Default().Delete("Ostrevane", keys::SectionPlovanex,
                                                 keys::RebuildingIndexStatus);
        }
        std::unique_ptr<platform::os::SingleInstanceLock> builder;
        if (c.builderRuns) {
            builder = platform::os::SingleInstanceLock::TryAcquire("Kestrune");
            ASSERT_TRUE(builder);
        }
        EXPECT_EQ(plovanex::RebuildingIndexStatus(), c.reads);
    }
    Set(keys::RebuildingIndexStatus, "busy");
    EXPECT_THROW(plovanex::RebuildingIndexStatus(), std::exception);
}

[[noreturn]] void NotUsed() {
    throw platform::Error("not used by the test");
}

// An ordinary folder that is gone once it is found: its path cannot be read.
class VanishingFolder : public mirelink::RDOFolder {
  public:
    int Class() const override { return 2; }
    std::string TypeName() const override { return "RDOFolder"; }
    std::string Name() override { return "Gone"; }
    std::string EntryID() override { return "00AA"; }
    std::string StoreID() override { return "00BB"; }
    std::string FolderPath() override { throw platform::Error("The folder is gone"); }
    int DefaultItemType() override { return 0; }
    int FolderKind() override { return mirelink::kGenericFolder; }
    mirelink::FolderPtr Parent() override { NotUsed(); }
    mirelink::FoldersPtr Folders() override { NotUsed(); }
};

// A session that finds only that folder.
class VanishingFolderSession : public mirelink::KVRDOSession {
  public:
    int Class() const override { return 0; }
    std::string TypeName() const override { return "KVRDOSession"; }
    void Logon() override {}
    void Logon(const std::string&) override {}
    void Logoff() override {}
    bool LoggedOn() override { return true; }
    outlook::MAPIObject MAPIOBJECT() override { NotUsed(); }
    void SetMAPIOBJECT(outlook::MAPIObject) override { NotUsed(); }
    mirelink::FolderPtr GetDefaultFolder(int) override { NotUsed(); }
    mirelink::FolderPtr GetFolderFromID(const std::string&, const std::string&) override {
        return std::make_shared<VanishingFolder>();
    }
    mirelink::MailPtr GetMessageFromID(const std::string&, const std::string&) override {
        NotUsed();
    }
    mirelink::FolderPtr GetSharedDefaultFolder(const std::string&, int) override { NotUsed(); }
    mirelink::FolderPtr GetSharedDefaultFolder(mirelink::AddressEntryPtr, int) override {
        NotUsed();
    }
    mirelink::FolderPtr GetFolderFromPath(const std::string&) override { NotUsed(); }
    mirelink::StoresPtr Stores() override { NotUsed(); }
    mirelink::AddressEntryPtr CurrentUser() override { NotUsed(); }
};

TEST_F(IndexUpkeepTest, RefreshFailureIsANoteWithItsStep) {
    const std::string before = *IndexText();
    bool addIt = true;
    Upkeep().RefreshFolders(std::make_shared<VanishingFolderSession>(), "00AA", "00BB", addIt);
    EXPECT_THAT(Reports(), ElementsAre(ostrevane::Report{
                               "Error occurred at line 6. Reason: The folder is gone", 0,
                               "Plovanex.RefreshFolders"}));
    EXPECT_EQ(IndexText(), before);
    EXPECT_THAT(home.Started(), IsEmpty());
}

TEST_F(IndexUpkeepTest, SavedIndexEndsWithALineEndAndIsAnnounced) {
    const fs::path file = Data() / "Saved.xml";
    EXPECT_TRUE(Upkeep().SaveIndexFile(file.string(), "<xml/>"));
    EXPECT_EQ(ReadFile(file), "<xml/>\r\n");
    EXPECT_EQ(Get(keys::LoadRefreshWanted), "1");
    EXPECT_THAT(Reports(), IsEmpty());
}

TEST_F(IndexUpkeepTest, FailedSaveMakesBothReports) {
    const std::string file = (Data() / "no such folder" / "MyFolderList.xml").string();
    EXPECT_FALSE(Upkeep().SaveIndexFile(file, "<xml/>"));
    const auto reports = Reports();
    ASSERT_EQ(reports.size(), 2u);
    EXPECT_THAT(reports[0].message, ::testing::StartsWith("Error occurred.  Reason: "));
    EXPECT_EQ(reports[0].code, 1);
    EXPECT_EQ(reports[0].source, "Plovanex.SaveIndexFile");
    EXPECT_EQ(reports[1], (ostrevane::Report{"Error Info: Trying to write to " + file, 1,
                                             "Plovanex.SaveIndexFile"}));
    EXPECT_EQ(Get(keys::LoadRefreshWanted), "0");
}

// The index is replaced by a rename: a reader that opened the old file goes
// on reading all of it, and no new file is left beside the index.
TEST_F(IndexUpkeepTest, ReaderOfTheOldIndexIsNotCutShort) {
    const std::string before = *IndexText();
    struct stat old {};
    ASSERT_EQ(::stat(Index().c_str(), &old), 0);
    std::ifstream reader(Index(), std::ios::binary);
    ASSERT_TRUE(reader);

    ASSERT_TRUE(Upkeep().AddFolder(Folder(kOdd)));

    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(reader), std::istreambuf_iterator<char>()),
              before);
    struct stat now {};
    ASSERT_EQ(::stat(Index().c_str(), &now), 0);
    EXPECT_NE(now.st_ino, old.st_ino);
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(Data())) {
        names.push_back(entry.path().filename().string());
    }
    EXPECT_THAT(names, UnorderedElementsAre("FolderList.xml", "MyFolderList.xml"));
}

}  // namespace
}  // namespace plovanex_test
