// The contact and keyword rule editors, as the grids open them: what they
// write to the store, when, and the new rule's key.

#include <QLineEdit>
#include <QListWidget>

#include "common/settings_keys.h"
#include "options/associate_contact_form.h"
#include "options/folder_path.h"
#include "options/keyword_form.h"
#include "options/tests/page_fixture.h"

namespace options_test {
namespace {

namespace keys = common::keys;

struct Shown {
    bool confirmed = false;
    std::string key{};
    std::string folders{};
    std::string list{};
};

class EditorsTest : public PageTest {
  protected:
    void SetUp() override {
        PageTest::SetUp();
        Show();
    }

    // Opens the editor as the grid does and lets `use` work it.
    template <class Editor>
    Shown Open(Editor& editor, const std::string& viewType, Shown given,
               std::function<void(QWidget&)> use) {
        WhenModal(std::move(use));
        std::int16_t row = 1;
        std::string type = viewType;
        given.confirmed = editor.ShowMe(row, type, given.key, given.folders, given.list);
        return given;
    }
    Shown Contact(const std::string& viewType, Shown given, std::function<void(QWidget&)> use) {
        return Open(plovanex::ContactEditor(nullptr), viewType, std::move(given), std::move(use));
    }
    Shown Keyword(const std::string& viewType, Shown given, std::function<void(QWidget&)> use) {
        return Open(plovanex::KeywordEditor(nullptr), viewType, std::move(given), std::move(use));
    }

    static QLineEdit* BoxOf(QWidget& editor, const char* name) {
        return editor.findChild<QLineEdit*>(name);
    }
    static void Put(QWidget& editor, const char* box, const char* text) {
        BoxOf(editor, box)->setText(text);
    }
    // The names and tags stored under a rule, each "name=tag", up to index 10.
    std::vector<std::string> Contacts(const std::string& key) {
        std::vector<std::string> contacts;
        for (int i = 1; i <= 10; ++i) {
            const std::string name = Stored(key + "AssocContactName" + std::to_string(i));
            const std::string tag = Stored(key + "AssocContactTag" + std::to_string(i));
            if (name != "<absent>" || tag != "<absent>") {
                contacts.push_back(std::to_string(i) + ":" + name + "=" + tag);
            }
        }
        return contacts;
    }
    using Texts = std::vector<std::string>;
};

// The folder is written the moment it is picked, so a cancelled rule keeps
// it; the grid shows it only after the next rebuild.
TEST_F(EditorsTest, CancelledAddKeepsThePickedFolder) {
    ScopedPickFolder picker(kApollo);
    ScopedRuleKeyDraws draws({DrawFor(501), DrawFor(502)});
    auto contact = Contact("ADD", {}, [](QWidget& editor) {
        Press(editor, "ChooseFolderButton");
        Press(editor, "cmdCancel");
    });
    EXPECT_FALSE(contact.confirmed);
    EXPECT_EQ(contact.key, "501");
    EXPECT_EQ(Stored("501AssocFolderCount"), "1");
    EXPECT_EQ(Stored("501AssocFolderName1"), "Personal Folders\\Projects\\Apollo");
    EXPECT_EQ(Stored("501AssocFolderEntryId1"), IdsOf(kApollo).entryId);
    EXPECT_EQ(Stored("501AssocContactCount"), "<absent>");

    auto keyword = Keyword("ADD", {}, [](QWidget& editor) {
        Put(editor, "KeywordNames", "typed but cancelled");
        Press(editor, "ChooseFolderButton");
        editor.close();
    });
    EXPECT_FALSE(keyword.confirmed);
    EXPECT_EQ(Stored("502KeywordFolderName1"), "Personal Folders\\Projects\\Apollo");
    EXPECT_EQ(Stored("502Keywords"), "<absent>");
}

TEST_F(EditorsTest, TypedNamesAreSavedAtOk) {
    ScopedPickFolder picker(kApollo);
    ScopedRuleKeyDraws draws({DrawFor(7)});
    auto shown = Contact("ADD", {}, [](QWidget& editor) {
        Put(editor, "ContactName", "Ann;;Bob; Cy");
        Press(editor, "ChooseFolderButton");
        Press(editor, "cmdOK");
    });
    EXPECT_TRUE(shown.confirmed);
    EXPECT_EQ(shown.list, "Ann;;Bob; Cy");
    EXPECT_EQ(shown.folders, "Personal Folders\\Projects\\Apollo");
    EXPECT_EQ(Stored("7AssocContactCount"), "3");
    EXPECT_EQ(Contacts("7"), (Texts{"1:Ann=Ann", "2:Bob=Bob", "3: Cy= Cy"}));
    const auto texts = LogTexts();
    for (const char* line : {"m_chooseContactClicked: False", "ContactName.Text: Ann;;Bob; Cy",
                             "UpperVal: 3", "Name:  Cy", "Tag:  Cy"}) {
        EXPECT_NE(std::find(texts.begin(), texts.end(), line), texts.end()) << line;
    }
}

// Picks from the address book come first, the names typed before them after.
TEST_F(EditorsTest, AddressBookPicksBeforeTypedNames) {
    ScopedAddressBook book(mirelink::PickAddresses({"lead@example.com", "team@example.com"}));
    std::string tag;
    auto shown = Contact(
        "EDIT", {.key = "8", .folders = "Somewhere", .list = "Zed"}, [&tag](QWidget& editor) {
            Press(editor, "ContactButton");
            tag = BoxOf(editor, "ContactName")->property("Tag").toString().toStdString();
            Press(editor, "cmdOK");
        });
    EXPECT_TRUE(shown.confirmed);
    EXPECT_EQ(shown.list, "Zed; Project Lead; Team Desk");
    EXPECT_EQ(tag,
              "; /o=Example/ou=Site/cn=Recipients/cn=lead; "
              "/o=Example/ou=Site/cn=Recipients/cn=team");
    EXPECT_EQ(Stored("8AssocContactCount"), "3");
    EXPECT_EQ(Contacts("8"),
              (Texts{"1:Project Lead=/o=Example/ou=Site/cn=Recipients/cn=lead",
                     "2:Team Desk=/o=Example/ou=Site/cn=Recipients/cn=team", "3:Zed=Zed"}));
    const auto texts = LogTexts();
    EXPECT_NE(std::find(texts.begin(), texts.end(), "m_chooseContactClicked: True"), texts.end());
    EXPECT_EQ(std::find(texts.begin(), texts.end(), "UpperVal: 3"), texts.end());
}

TEST_F(EditorsTest, PickWithoutDisplayNameIsStoredByItsAddress) {
    kit.Entry("", "SMTP", "anon@example.com", "anon@example.com");
    ScopedAddressBook book(mirelink::PickAddresses({"anon@example.com"}));
    auto shown = Contact("EDIT", {.key = "9"}, [](QWidget& editor) {
        Press(editor, "ContactButton");
        Press(editor, "cmdOK");
    });
    EXPECT_EQ(shown.list, "anon@example.com");
    EXPECT_EQ(Contacts("9"), (Texts{"1:anon@example.com=anon@example.com"}));
}

// A cancelled address book saves nothing, and OK then saves no typed names.
TEST_F(EditorsTest, CancelledAddressBookSavesNothing) {
    ScopedAddressBook book(mirelink::PickAddresses({}));
    auto shown = Contact("EDIT", {.key = "10", .list = "Ann"}, [](QWidget& editor) {
        Press(editor, "ContactButton");
        Press(editor, "cmdOK");
    });
    EXPECT_TRUE(shown.confirmed);
    EXPECT_TRUE(Contacts("10").empty());
    EXPECT_EQ(Stored("10AssocContactCount"), "<absent>");
}

// Saving fewer contacts than the rule had removes the names and tags beyond
// the new count, so a removed contact files no more mail.
TEST_F(EditorsTest, FewerContactsLeaveNoneBehind) {
    struct Case {
        const char* how;
        std::function<void(QWidget&)> use;
        Texts left;
    };
    ScopedAddressBook book(mirelink::PickAddresses({"lead@example.com"}));
    for (const auto& c : {
             Case{"typed",
                  [](QWidget& editor) {
                      Put(editor, "ContactName", "Ann;Bob");
                      Press(editor, "cmdOK");
                  },
                  {"1:Ann=Ann", "2:Bob=Bob"}},
             Case{"picked",
                  [](QWidget& editor) {
                      Put(editor, "ContactName", "");
                      Press(editor, "ContactButton");
                      Press(editor, "cmdOK");
                  },
                  {"1:Project Lead=/o=Example/ou=Site/cn=Recipients/cn=lead"}},
         }) {
        SCOPED_TRACE(c.how);
        StoreContactRule(12, {"Ann", "Bob", "Cy"}, kApollo);
        Store({{"12AssocContactName4", "Left over"}});
        Contact("EDIT", {.key = "12", .list = "Ann;Bob;Cy"}, c.use);
        EXPECT_EQ(Stored("12AssocContactCount"), std::to_string(c.left.size()));
        EXPECT_EQ(Contacts("12"), c.left);
        EXPECT_EQ(Stored("12AssocFolderCount"), "1");
    }
}

// In EDIT the folders come from the text the grid passed, and whatever the
// box holds is saved, even nothing.
TEST_F(EditorsTest, EditTakesTheGridsTextsAndSavesAnyContent) {
    StoreContactRule(13, {"Ann"}, kApollo);
    auto contact =
        Contact("EDIT", {.key = "13", .folders = "A;;B", .list = "Ann"}, [](QWidget& editor) {
            auto* folders = editor.findChild<QListWidget*>("lstFolderNames");
            EXPECT_EQ(folders->count(), 2);
            EXPECT_EQ(folders->item(1)->text(), "B");
            EXPECT_EQ(BoxOf(editor, "ContactName")->text(), "Ann");
            Put(editor, "ContactName", "");
            Press(editor, "cmdOK");
        });
    EXPECT_TRUE(contact.confirmed);
    EXPECT_EQ(Stored("13AssocContactCount"), "0");
    EXPECT_TRUE(Contacts("13").empty());

    StoreKeywordRule(14, "old", kAcme);
    auto emptied = Keyword("EDIT", {.key = "14", .list = "old"}, [](QWidget& editor) {
        EXPECT_EQ(BoxOf(editor, "KeywordNames")->text(), "old");
        Put(editor, "KeywordNames", "");
        Press(editor, "cmdOK");
    });
    EXPECT_TRUE(emptied.confirmed);
    EXPECT_EQ(Stored("14Keywords"), "");
    auto spaced = Keyword("EDIT", {.key = "14"}, [](QWidget& editor) {
        Put(editor, "KeywordNames", "Acme, Initech");
        Press(editor, "cmdOK");
    });
    EXPECT_EQ(spaced.list, "Acme, Initech");
    EXPECT_EQ(Stored("14Keywords"), "Acme, Initech");
}

// ADD asks for a name, then for a folder, and keeps the form open.
TEST_F(EditorsTest, AddAsksForWhatIsMissing) {
    struct Case {
        const char* editor;
        const char* box;
        const char* nameMessage;
        const char* title;
    };
    for (const auto& c : {Case{"contact", "ContactName",
                               "Please enter at least one name for a contact", "PlovanexProp"},
                          Case{"keyword", "KeywordNames",
                               "Please enter at least one name for a contact.", "Plovanex"}}) {
        SCOPED_TRACE(c.editor);
        Boxes boxes;
        ScopedRuleKeyDraws draws({DrawFor(600)});
        const auto use = [&c](QWidget& editor) {
            Press(editor, "cmdOK");
            EXPECT_TRUE(editor.isVisible());
            Put(editor, c.box, "something");
            Press(editor, "cmdOK");
            EXPECT_TRUE(editor.isVisible());
            Press(editor, "cmdCancel");
        };
        auto shown =
            std::string(c.editor) == "contact" ? Contact("ADD", {}, use) : Keyword("ADD", {}, use);
        EXPECT_FALSE(shown.confirmed);
        EXPECT_EQ(boxes.Shown(),
                  (std::vector<Box>{{c.nameMessage, c.title},
                                    {"Please choose at least one folder.", c.title}}));
        EXPECT_EQ(Stored("600AssocContactCount"), "<absent>");
        EXPECT_EQ(Stored("600Keywords"), "<absent>");
    }
}

// A new rule's key is drawn again while a rule of the same kind holds it.
TEST_F(EditorsTest, NewKeyIsNotTakenByARuleOfTheSameKind) {
    StoreContactRule(42, {"Ann"}, kApollo);
    StoreKeywordRule(43, "taken", kAcme);
    struct Case {
        const char* editor;
        std::vector<int> draws;
        const char* key;
    };
    for (const auto& c : {Case{"contact", {42, 42, 43}, "43"}, Case{"keyword", {43, 42}, "42"},
                          Case{"keyword", {44}, "44"}}) {
        SCOPED_TRACE(testing::Message() << c.editor << " " << c.key);
        std::vector<double> draws;
        for (int key : c.draws) {
            draws.push_back(DrawFor(key));
        }
        ScopedRuleKeyDraws guard(draws);
        const auto cancel = [](QWidget& editor) { Press(editor, "cmdCancel"); };
        auto shown = std::string(c.editor) == "contact" ? Contact("ADD", {}, cancel)
                                                        : Keyword("ADD", {}, cancel);
        EXPECT_EQ(shown.key, c.key);
    }
    EXPECT_EQ(Contacts("42"), (Texts{"1:Ann=Ann"}));
    EXPECT_EQ(Stored("43Keywords"), "taken");
}

TEST(RandTest, SpansTheRangeFromLowToHigh) {
    EnsureApplication();
    plovanex::KeywordForm form;
    struct Case {
        double r;
        int low, high, value;
    };
    for (const auto& c : {Case{0.0, 1, 999999, 1}, Case{0.9999999999, 1, 999999, 999999},
                          Case{0.5, 1, 10, 6}, Case{0.25, -2, 1, -1}}) {
        ScopedRuleKeyDraws draws({c.r});
        EXPECT_EQ(form.Rand(c.low, c.high), c.value) << c.r;
    }
}

}  // namespace
}  // namespace options_test

namespace options_test {
namespace {

// The editors' path text: plain names on Outlook 9, the folder's own path on
// later versions, and the Name of an object that is no folder.
TEST_F(EditorsTest, FolderPathTextByVersion) {
    auto& profile = *kit.Profile();
    // A name with a backslash, as an older profile may hold.
    const auto slashedId = profile.AddFolder(kit.FolderId(kAcme), "Q1 Q2", 0);
    kit.SetName(kAcme + "\\Q1 Q2", "Q1\\Q2");
    const auto slashed = profile.Folder(slashedId);
    auto ns = app->GetNamespace("MAPI");
    outlook::ObjectPtr named = ns->GetFolderFromID(slashed.entryId, IdsOf(kAcme).storeId);
    const auto ids = IdsOf(kAcme);
    outlook::ObjectPtr acme = ns->GetFolderFromID(ids.entryId, ids.storeId);
    auto q1 = ns->GetFolderFromID(ids.entryId, ids.storeId)->Parent();
    struct Case {
        const char* version;
        outlook::ObjectPtr object;
        const char* path;
    };
    for (const auto& c : {Case{"9.0.0.3821", acme, "Personal Folders\\Clients\\Acme"},
                          Case{"11.0.8217", acme, "Personal Folders\\Clients\\Acme"},
                          Case{"9.0.0.3821", q1, "Personal Folders\\Clients"},
                          Case{"9.0.0.3821", named, "Personal Folders\\Clients\\Acme\\Q1\\Q2"}}) {
        SCOPED_TRACE(c.version);
        EXPECT_EQ(plovanex::FolderPath(c.version, c.object), c.path);
    }
    outlook::ObjectPtr item = app->CreateItem(outlook::olMailItem);
    EXPECT_EQ(plovanex::FolderPath("11.0.8217", item), "");
    EXPECT_EQ(Reports(), (std::vector<ostrevane::Report>{
                             {"Error occurred.  Reason: Object doesn't support this property or "
                              "method",
                              1, "Plovanex.FolderPath"}}));
}

}  // namespace
}  // namespace options_test
