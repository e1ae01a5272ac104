#include "common/index_row.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <string>
#include <vector>

#include "platform/ado/recordset.h"
#include "platform/ado/replace_file.h"
#include "platform/testkit/testkit.h"

namespace {

using platform::ado::Recordset;

TEST(IndexRowTest, RowsCarryEscapedNameAndPath) {
    EXPECT_EQ(common::IndexRow("Tom's R&D", "\\\\Mailbox\\Tom's R&D"),
              "\r\n\t<z:row FullName='TomChr$(39)s R&amp;D' "
              "FolderPath='\\\\Mailbox\\TomChr$(39)s R&amp;D' "
              "rs:forcenull='InternetCodepage'/>");
    std::string rows;
    common::AppendIndexRow(rows, "a", "\\\\S\\a");
    common::AppendIndexRow(rows, "b", "\\\\S\\b");
    EXPECT_EQ(rows,
              "\t<z:row FullName='a' FolderPath='\\\\S\\a' rs:forcenull='InternetCodepage'/>\r\n"
              "\t<z:row FullName='b' FolderPath='\\\\S\\b' rs:forcenull='InternetCodepage'/>\r\n");
}

TEST(IndexRowTest, EscapingCoversWhatXmlNeeds) {
    struct Case {
        std::string text;
        std::string escaped;
    };
    const std::vector<Case> cases = {
        {"a<b>c", "a&lt;b>c"},
        {"tab\there", "tab&#9;here"},
        {"line\r\nend", "line&#13;&#10;end"},
        {std::string("bell\x07", 5), "bell&#7;"},
        {"say \"hi\"", "say \"hi\""},
        {"Chr$(39)", "Chr$(39)"},
        {"&amp;", "&amp;amp;"},
        {"Zürich", "Zürich"},
        {"smile \xF0\x9F\x98\x80", "smile \xF0\x9F\x98\x80"},
        // What is no UTF-8 becomes U+FFFD, a byte at a time.
        {"caf\xE9 & co", "caf\xEF\xBF\xBD &amp; co"},
        {"cut \xC3", "cut \xEF\xBF\xBD"},
        {"\xC0\xAF overlong", "\xEF\xBF\xBD\xEF\xBF\xBD overlong"},
        {"half \xED\xA0\x80", "half \xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD"},
        {"no char \xEF\xBF\xBE", "no char \xEF\xBF\xBD"},
        {"***myFullPath***", "***myFullPath***"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(common::EscapeIndexText(c.text), c.escaped) << c.text;
    }
    // A placeholder's text in a name is not filled in again.
    EXPECT_EQ(common::IndexRow("***myFullPath***", "p"),
              "\r\n\t<z:row FullName='***myFullPath***' FolderPath='p' "
              "rs:forcenull='InternetCodepage'/>");
}

TEST(IndexRowTest, SearchFilterUsesTheStoredApostrophe) {
    EXPECT_EQ(common::IndexSearchFilter(""), "");
    EXPECT_EQ(common::IndexSearchFilter("Tom's R&D"), "FullName LIKE *TomChr$(39)s R&D*");
}

TEST(IndexRowTest, TemplateWithoutMarkerIsRefused) {
    const std::string good = "<rs:insert>\r\n*** My Folder List ***\r\n</rs:insert>";
    EXPECT_EQ(common::FillIndexTemplate(good, "ROWS"), "<rs:insert>\r\nROWS\r\n</rs:insert>");
    // A template with LF line ends gives the rows' CR LF all through.
    EXPECT_EQ(common::FillIndexTemplate("<rs:insert>\n*** My Folder List ***\n</rs:insert>\n",
                                        "\tROW\r\n"),
              "<rs:insert>\r\n\tROW\r\n\r\n</rs:insert>\r\n");
    // The rows are put in as they are, even when they hold the marker.
    EXPECT_EQ(common::FillIndexTemplate(good, "*** My Folder List ***"), good);
    EXPECT_THROW(common::FillIndexTemplate("", "ROWS"), std::runtime_error);
    EXPECT_THROW(common::FillIndexTemplate("<rs:data/>", "ROWS"), std::runtime_error);
    EXPECT_THROW(common::FillIndexTemplate("*** My Folder List ***", "ROWS"), std::runtime_error);
}

std::string ShippedTemplate() {
    const auto folder = std::filesystem::read_symlink("/proc/self/exe").parent_path();
    std::ifstream in(folder / "FolderList.xml", std::ios::binary);
    EXPECT_TRUE(in) << "FolderList.xml is missing beside the test program";
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

class IndexRoundTripTest : public testkit::HomeTest {};

// Names written by the builder and by the upkeep, read back through the
// recordset and the readers' unescaping.
TEST_F(IndexRoundTripTest, NamesReadBackUnchanged) {
    struct Case {
        std::string name;
        std::string readBack;
    };
    const std::vector<Case> cases = {
        {"Tom's", "Tom's"},
        {"R&D", "R&D"},
        {"a<b>c", "a<b>c"},
        {"'&'<'", "'&'<'"},
        {"Zürich Ünïcödé", "Zürich Ünïcödé"},
        {"日本語のフォルダ", "日本語のフォルダ"},
        {"tab\tand\r\nbreak", "tab\tand\r\nbreak"},
        {"  spaced  ", "  spaced  "},
        {"say \"hi\"", "say \"hi\""},
        {"*** My Folder List ***", "*** My Folder List ***"},
        // The stored apostrophe is the text "Chr$(39)": a name holding that
        // text reads back with an apostrophe in its place, as it always has.
        {"Chr$(39)", "'"},
    };
    const std::string templateText = ShippedTemplate();
    std::string rows;
    for (const auto& c : cases) {
        common::AppendIndexRow(rows, c.name, "\\\\Mailbox\\" + c.name);
    }
    std::string index = common::FillIndexTemplate(templateText, rows);
    // One more row as the upkeep inserts it: first in the file.
    const std::string upkeep = "Upkeep's <new> & " + std::string("\xC3\xA9");
    index.insert(index.find(common::kIndexInsertTag) + common::kIndexInsertTag.size(),
                 common::IndexRow(upkeep, "\\\\Mailbox\\" + upkeep));
    const auto file = home.Path() / "MyFolderList.xml";
    platform::ReplaceFile(file, index + "\r\n");

    Recordset rs;
    rs.Open(file.string(), "Provider=MSPersist;", 3, 1, -1);
    ASSERT_EQ(rs.RecordCount(), static_cast<long>(cases.size() + 1));
    EXPECT_EQ(common::UnescapeIndexValue(rs.Fields("FullName").Value()), upkeep);
    rs.MoveNext();
    for (const auto& c : cases) {
        ASSERT_FALSE(rs.Eof());
        EXPECT_EQ(common::UnescapeIndexValue(rs.Fields("FullName").Value()), c.readBack);
        EXPECT_EQ(common::UnescapeIndexValue(rs.Fields("FolderPath").Value()),
                  "\\\\Mailbox\\" + c.readBack);
        EXPECT_TRUE(rs.Fields("InternetCodepage").IsNull());
        rs.MoveNext();
    }
    EXPECT_TRUE(rs.Eof());

    // The search finds each name, typed in another case.
    for (const auto& c : cases) {
        std::string typed = c.name;
        for (char& ch : typed) {
            ch = static_cast<char>(std::toupper(static_cast<unsigned char>(ch)));
        }
        rs.Filter(common::IndexSearchFilter(typed));
        bool found = false;
        for (; !rs.Eof(); rs.MoveNext()) {
            found =
                found || common::UnescapeIndexValue(rs.Fields("FullName").Value()) == c.readBack;
        }
        EXPECT_TRUE(found) << c.name;
    }
}

TEST_F(IndexRoundTripTest, TemplateAloneIsAnEmptyRecordset) {
    const auto file = home.Path() / "FolderList.xml";
    platform::ReplaceFile(file, ShippedTemplate());
    Recordset rs;
    rs.Open(file.string(), "Provider=MSPersist;", 3, 1, -1);
    EXPECT_EQ(rs.RecordCount(), 0);
    EXPECT_TRUE(rs.Eof());
}

}  // namespace
