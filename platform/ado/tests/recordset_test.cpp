#include "platform/ado/recordset.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

#include "platform/error.h"
#include "platform/testkit/testkit.h"

namespace {

using platform::ado::Recordset;

// The schema of a folder index with the usual prefixes; rows follow.
const std::string kHead =
    "<xml xmlns:s='uuid:BDC6E3F0-6DA3-11d1-A2A3-00AA00C14882'"
    " xmlns:dt='uuid:C2F41010-65B3-11d1-A29F-00AA00C14882'"
    " xmlns:rs='urn:schemas-microsoft-com:rowset' xmlns:z='#RowsetSchema'>"
    "<s:Schema id='RowsetSchema'><s:ElementType name='row' content='eltOnly'>"
    "<s:AttributeType name='FullName'><s:datatype dt:type='string'/></s:AttributeType>"
    "<s:AttributeType name='FolderPath'><s:datatype dt:type='string'/></s:AttributeType>"
    "<s:AttributeType name='InternetCodepage' rs:nullable='true'>"
    "<s:datatype dt:type='int'/></s:AttributeType>"
    "<s:extends type='rs:rowbase'/></s:ElementType></s:Schema><rs:data>";
const std::string kTail = "</rs:data></xml>";

using Values = std::vector<std::optional<std::string>>;  // FullName, FolderPath, InternetCodepage

class RecordsetTest : public testkit::HomeTest {
  protected:
    std::string Write(const std::string& text, const std::string& name = "index.xml") {
        const auto file = home.Path() / name;
        std::ofstream(file, std::ios::binary) << text;
        return file.string();
    }
    void OpenText(Recordset& rs, const std::string& text) {
        rs.Open(Write(text), "Provider=MSPersist;", 3, 1, -1);
    }
    static std::optional<std::string> Get(const Recordset& rs, const char* name) {
        auto field = rs.Fields(name);
        if (field.IsNull()) {
            return std::nullopt;
        }
        return field.Value();
    }
    // Every record from the current one on.
    static std::vector<Values> Walk(Recordset& rs) {
        std::vector<Values> records;
        for (; !rs.Eof(); rs.MoveNext()) {
            records.push_back(
                {Get(rs, "FullName"), Get(rs, "FolderPath"), Get(rs, "InternetCodepage")});
        }
        return records;
    }
    static std::vector<std::string> Names(Recordset& rs) {
        std::vector<std::string> names;
        for (; !rs.Eof(); rs.MoveNext()) {
            names.push_back(rs.Fields("FullName").Value());
        }
        return names;
    }
};

TEST_F(RecordsetTest, RecordsComeFromDataInsertAndUpdateButNotDelete) {
    Recordset rs;
    OpenText(rs, kHead +
                     "<z:row FullName='plain' FolderPath='p1' InternetCodepage='1252'/>"
                     "<rs:insert>"
                     "<z:row FullName='inserted' FolderPath='p2' rs:forcenull='InternetCodepage'/>"
                     "<z:row FullName='no path'/>"
                     "</rs:insert>"
                     "<rs:update><rs:original>"
                     "<z:row FullName='old' FolderPath='p3' InternetCodepage='65001'/>"
                     "</rs:original>"
                     "<z:row FullName='changed' rs:forcenull='InternetCodepage'/></rs:update>"
                     "<rs:delete><z:row FullName='deleted' FolderPath='p4'/></rs:delete>"
                     "<rs:update><rs:original><z:row FullName='kept' FolderPath='p5'/>"
                     "</rs:original><z:row FolderPath='p6'/></rs:update>" +
                     kTail);
    EXPECT_EQ(rs.State(), platform::ado::adStateOpen);
    EXPECT_EQ(rs.RecordCount(), 5);
    EXPECT_FALSE(rs.Bof());
    const std::vector<Values> expected = {
        {"plain", "p1", "1252"},
        {"inserted", "p2", std::nullopt},
        {"no path", std::nullopt, std::nullopt},
        {"changed", "p3", std::nullopt},
        {"kept", "p6", std::nullopt},
    };
    EXPECT_EQ(Walk(rs), expected);
    rs.MoveLast();
    EXPECT_EQ(Get(rs, "fullname"), "kept");
    rs.MoveFirst();
    EXPECT_EQ(Get(rs, "FULLNAME"), "plain");
}

// Namespaces are matched by their URIs, whatever the prefixes.
TEST_F(RecordsetTest, PrefixesAreBoundByUri) {
    struct Case {
        const char* what;
        std::string text;
        std::vector<std::string> names;
    };
    const std::vector<Case> cases = {
        {"other prefixes, no declaration, non-ASCII bytes and references",
         "<root xmlns:a='uuid:BDC6E3F0-6DA3-11d1-A2A3-00AA00C14882'"
         " xmlns:q='urn:schemas-microsoft-com:rowset' xmlns:r='#T'>"
         "<a:Schema id='T'><a:ElementType name='rec'>"
         "<a:AttributeType name='c1' q:name='FullName'/></a:ElementType></a:Schema>"
         "<q:data><q:insert><r:rec c1='&#x27;quoted&#39; &lt;&amp;&gt; &quot;'/>"
         "<r:rec c1='Z\xC3\xBCrich &#x65E5;&#26412;'/></q:insert></q:data></root>",
         {"'quoted' <&> \"", "Z\xC3\xBCrich \xE6\x97\xA5\xE6\x9C\xAC"}},
        {"declarations on inner elements and a default namespace for rows",
         "<xml><s:Schema xmlns:s='uuid:BDC6E3F0-6DA3-11d1-A2A3-00AA00C14882' id='RowsetSchema'>"
         "<s:ElementType name='row'><s:AttributeType name='FullName'/></s:ElementType>"
         "</s:Schema><d:data xmlns:d='urn:schemas-microsoft-com:rowset'>"
         "<row xmlns='#RowsetSchema' FullName='one'/>"
         "<z:row xmlns:z='#RowsetSchema' FullName='two'/></d:data></xml>",
         {"one", "two"}},
        {"the usual prefixes bound elsewhere are not the rowset's",
         kHead +
             "<rs:insert xmlns:rs='urn:other'><z:row FullName='not a record'/></rs:insert>"
             "<z:row xmlns:z='#Other' FullName='nor this'/>"
             "<z:row FullName='counted' xmlns:rs='urn:other' rs:forcenull='FullName'/>" +
             kTail,
         {"counted"}},
    };
    for (const auto& c : cases) {
        Recordset rs;
        OpenText(rs, c.text);
        EXPECT_EQ(Names(rs), c.names) << c.what;
    }
}

TEST_F(RecordsetTest, AttributeWhitespaceFollowsXml) {
    Recordset rs;
    OpenText(rs, kHead + "<z:row FullName='a\tb\nc&#9;d&#10;e'/>" + kTail);
    EXPECT_EQ(Get(rs, "FullName"), "a b c\td\ne");
}

TEST_F(RecordsetTest, EmptySetHasNoCurrentRecord) {
    Recordset rs;
    OpenText(rs, kHead + "<rs:insert>\n*** My Folder List ***\n</rs:insert>" + kTail);
    EXPECT_EQ(rs.RecordCount(), 0);
    EXPECT_TRUE(rs.Eof());
    EXPECT_TRUE(rs.Bof());
    EXPECT_THROW(rs.MoveLast(), platform::Error);
    EXPECT_THROW(rs.MoveFirst(), platform::Error);
    EXPECT_THROW(rs.MoveNext(), platform::Error);
    EXPECT_THROW(rs.Fields("FullName"), platform::Error);
}

TEST_F(RecordsetTest, MovesAndFieldsFailWhereAdoRaises) {
    Recordset rs;
    OpenText(rs, kHead + "<z:row FullName='only'/>" + kTail);
    EXPECT_THROW(rs.Fields("NoSuchField"), platform::Error);
    EXPECT_THROW(rs.Fields("FolderPath").Value(), platform::Error);
    rs.MoveNext();
    EXPECT_TRUE(rs.Eof());
    EXPECT_THROW(rs.MoveNext(), platform::Error);
    EXPECT_THROW(rs.Fields("FullName"), platform::Error);
    EXPECT_THROW(rs.Open(Write(kHead + kTail, "other.xml"), "Provider=MSPersist;", 3, 1),
                 platform::Error);
    rs.Close();
    EXPECT_EQ(rs.State(), platform::ado::adStateClosed);
    EXPECT_THROW(rs.Close(), platform::Error);
    EXPECT_THROW(rs.RecordCount(), platform::Error);
    EXPECT_THROW(rs.MoveFirst(), platform::Error);
    EXPECT_THROW(rs.Filter(""), platform::Error);
}

TEST_F(RecordsetTest, OpenRefusesWhatIsNoRecordset) {
    struct Case {
        const char* what;
        std::string text;  // nothing: the file is missing, or a folder
        std::string connection = "Provider=MSPersist;";
        int cursor = 3;
        int lock = 1;
        bool folder = false;
    };
    const std::string good = kHead + kTail;
    const std::vector<Case> cases = {
        {"missing file", ""},
        {"empty file", " "},
        {"not XML", "this is not xml"},
        {"cut short", kHead + "<z:row FullName='x'/>"},
        {"XML without schema", "<xml><rs:data xmlns:rs='urn:schemas-microsoft-com:rowset'/></xml>"},
        {"schema without data", kHead.substr(0, kHead.size() - 9) + "</xml>"},
        {"another provider", good, "Provider=SQLOLEDB;"},
        {"a keyset cursor", good, "Provider=MSPersist;", 1},
        {"an optimistic lock", good, "Provider=MSPersist;", 3, 3},
        {"a folder", "", "Provider=MSPersist;", 3, 1, true},
    };
    for (const auto& c : cases) {
        std::string file = c.text.empty() ? (home.Path() / "missing.xml").string() : Write(c.text);
        if (c.folder) {
            file = (home.Path() / "folder.xml").string();
            std::filesystem::create_directories(file);
        }
        Recordset rs;
        try {
            rs.Open(file, c.connection, c.cursor, c.lock);
            ADD_FAILURE() << c.what << " opened";
        } catch (const platform::Error& e) {
            EXPECT_FALSE(e.Description().empty()) << c.what;
        }
        EXPECT_EQ(rs.State(), platform::ado::adStateClosed) << c.what;
    }
}

TEST_F(RecordsetTest, FilterForms) {
    Recordset rs;
    OpenText(rs, kHead +
                     "<rs:insert>"
                     "<z:row FullName='Inbox'/>"
                     "<z:row FullName='Projects (2024)'/>"
                     "<z:row FullName='TomChr$(39)s R&amp;D'/>"
                     "<z:row FullName='Z\xC3\x9C"
                     "RICH box'/>"
                     "<z:row FullName='50% off * now'/>"
                     "<z:row FolderPath='a row without a name'/>"
                     "<z:row FullName='box'/>"
                     "<z:row FullName='it&apos;s'/>"
                     "</rs:insert>" +
                     kTail);
    struct Case {
        std::string filter;
        std::vector<std::string> names;
    };
    const std::vector<Case> cases = {
        {"FullName LIKE *box*", {"Inbox", "Z\xC3\x9CRICH box", "box"}},
        {"FullName LIKE *BOX*", {"Inbox", "Z\xC3\x9CRICH box", "box"}},
        {"FullName LIKE *z\xC3\xBCrich*", {"Z\xC3\x9CRICH box"}},
        {"FullName LIKE box*", {"box"}},
        {"FullName LIKE *box", {"Inbox", "Z\xC3\x9CRICH box", "box"}},
        {"FullName LIKE in*", {"Inbox"}},
        {"FullName LIKE INBOX", {"Inbox"}},
        {"FullName LIKE %inbox%", {"Inbox"}},
        {"fullname like *(2024)*", {"Projects (2024)"}},
        {"FullName LIKE *s (2*", {"Projects (2024)"}},
        {"FullName LIKE *Chr$(39)s R&D*", {"TomChr$(39)s R&D"}},
        {"FullName LIKE *% off * n*", {"50% off * now"}},
        {"FullName LIKE *x AND FullName LIKE y*", {}},
        {"FullName LIKE *t's*", {"it's"}},
        {"FullName LIKE 'IT''S'", {"it's"}},
        {"FullName LIKE *nothing like it*", {}},
        {"FullName LIKE '*box'", {"Inbox", "Z\xC3\x9CRICH box", "box"}},
        {"FullName = 'inbox'", {"Inbox"}},
        {"FullName=box", {"box"}},
        {"[FullName] LIKE *box", {"Inbox", "Z\xC3\x9CRICH box", "box"}},
        {"",
         {"Inbox", "Projects (2024)", "TomChr$(39)s R&D", "Z\xC3\x9CRICH box", "50% off * now",
          "box", "it's"}},
    };
    for (const auto& c : cases) {
        rs.Filter(c.filter);
        EXPECT_EQ(rs.Filter(), c.filter);
        if (c.filter.empty()) {
            EXPECT_EQ(rs.RecordCount(), 8);
            // The row without a name is there, but not in Names.
            std::vector<std::string> names;
            for (; !rs.Eof(); rs.MoveNext()) {
                if (!rs.Fields("FullName").IsNull()) {
                    names.push_back(rs.Fields("FullName").Value());
                }
            }
            EXPECT_EQ(names, c.names);
            continue;
        }
        EXPECT_EQ(rs.RecordCount(), static_cast<long>(c.names.size())) << c.filter;
        EXPECT_EQ(rs.Eof(), c.names.empty()) << c.filter;
        EXPECT_EQ(Names(rs), c.names) << c.filter;
    }
}

TEST_F(RecordsetTest, UnreadableFilterRaisesAndKeepsTheOldOne) {
    Recordset rs;
    OpenText(rs, kHead + "<z:row FullName='a'/><z:row FullName='b'/>" + kTail);
    rs.Filter("FullName LIKE b*");
    for (const std::string bad :
         {"Nonsense LIKE *a*", "FullName", "FullName LIKE", "FullName LIKE ", "FullName > a",
          "FullName LIKEa", "FullName = 'it's'", "[FullName LIKE a", "LIKE *a*",
          "FolderPaths = x"}) {
        EXPECT_THROW(rs.Filter(bad), platform::Error) << bad;
        EXPECT_EQ(rs.Filter(), "FullName LIKE b*");
        EXPECT_EQ(rs.RecordCount(), 1) << bad;
    }
    EXPECT_EQ(Names(rs), std::vector<std::string>{"b"});
}

}  // namespace
