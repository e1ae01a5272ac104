#include <gtest/gtest.h>

#include <sqlite3.h>

#include <fstream>
#include <functional>
#include <optional>

#include "platform/error.h"
#include "platform/settings/settings_store.h"
#include "platform/testkit/testkit.h"

namespace {

using platform::settings::Setting;
using platform::settings::Store;

class SettingsStoreTest : public testkit::HomeTest {
  protected:
    Store& store = platform::settings::Default();
};

TEST_F(SettingsStoreTest, ReadGivesDefaultUntilWritten) {
    EXPECT_EQ(store.Read("Ostrevane", "Plovanex", "Order1", "-1"), "-1");
    store.Write("Ostrevane", "Plovanex", "Order1", "1");
    EXPECT_EQ(store.Read("Ostrevane", "Plovanex", "Order1", "-1"), "1");
}

TEST_F(SettingsStoreTest, TypedDefaultsBecomeText) {
    using platform::settings::GetSetting;
    EXPECT_EQ(GetSetting("A", "S", "K", -1), "-1");
    EXPECT_EQ(GetSetting("A", "S", "K", false), "False");
    EXPECT_EQ(GetSetting("A", "S", "K", true), "True");
    EXPECT_EQ(GetSetting("A", "S", "K", "Off"), "Off");
}

TEST_F(SettingsStoreTest, NamesIgnoreCaseAndKeepFirstCase) {
    store.Write("Ostrevane", "Plovanex", "MoveWanted", "1");
    store.Write("OSTREVANE", "plovanex", "movewanted", "0");
    EXPECT_EQ(store.Read("ostrevane", "PLOVANEX", "MOVEWANTED", "x"), "0");
    auto all = store.ReadAll("Ostrevane", "Plovanex");
    ASSERT_TRUE(all);
    EXPECT_EQ(*all, (std::vector<Setting>{{"MoveWanted", "0"}}));
}

TEST_F(SettingsStoreTest, ReadAllKeepsCreationOrder) {
    for (const char* key : {"b", "a", "c"}) {
        store.Write("App", "Sec", key, key);
    }
    store.Write("App", "Sec", "a", "rewritten");
    store.Write("App", "Other", "z", "elsewhere");
    auto all = store.ReadAll("App", "Sec");
    ASSERT_TRUE(all);
    EXPECT_EQ(*all, (std::vector<Setting>{{"b", "b"}, {"a", "rewritten"}, {"c", "c"}}));
}

// Several values at once are written as one write each would be, or, when
// one of them fails, not at all.
TEST_F(SettingsStoreTest, WriteAllWritesEveryValueOrNone) {
    store.Write("App", "Sec", "b", "old");
    store.WriteAll("App", "Sec", {{"a", "1"}, {"B", "2"}, {"c", "3"}});
    EXPECT_EQ(store.ReadAll("App", "Sec"),
              (std::vector<Setting>{{"b", "2"}, {"a", "1"}, {"c", "3"}}));

    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(store.File().c_str(), &db), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(db,
                           "CREATE TRIGGER refuse BEFORE UPDATE ON settings WHEN NEW.key='c'"
                           " BEGIN SELECT RAISE(ABORT, 'refused'); END",
                           nullptr, nullptr, nullptr),
              SQLITE_OK);
    sqlite3_close(db);
    EXPECT_THROW(store.WriteAll("App", "Sec", {{"a", "x"}, {"c", "x"}, {"d", "x"}}),
                 platform::Error);
    EXPECT_EQ(store.ReadAll("App", "Sec"),
              (std::vector<Setting>{{"b", "2"}, {"a", "1"}, {"c", "3"}}));
}

TEST_F(SettingsStoreTest, AbsentSectionGivesNothing) {
    EXPECT_FALSE(store.ReadAll("App", "Missing"));
    store.Write("App", "Sec", "k", "v");
    store.Delete("App", "Sec", "k");
    EXPECT_FALSE(store.ReadAll("App", "Sec"));
}

TEST_F(SettingsStoreTest, DeleteOfAbsentKeyRaises) {
    EXPECT_THROW(store.Delete("App", "Sec", "nothing"), platform::Error);
}

TEST_F(SettingsStoreTest, ValuesKeepEveryCharacter) {
    const std::string text = "\\\\Personal Folders\\Clients\\Ac'me & \"Co\" \xc3\xa9\ttab";
    store.Write("App", "Sec", "Path", text);
    EXPECT_EQ(store.Read("App", "Sec", "Path", ""), text);
    store.Write("App", "Sec", "Empty", "");
    EXPECT_EQ(store.Read("App", "Sec", "Empty", "default"), "");
}

TEST_F(SettingsStoreTest, SecondConnectionSeesWrites) {
    Store other(store.File());
    store.Write("App", "Sec", "k", "one");
    EXPECT_EQ(other.Read("App", "Sec", "k", ""), "one");
    other.Write("App", "Sec", "k", "two");
    EXPECT_EQ(store.Read("App", "Sec", "k", ""), "two");
}

// Values read before are kept; whatever writes the file next, through this
// connection, another one or plain SQLite, the next read sees it at once.
TEST_F(SettingsStoreTest, ReadsSeeEveryChangeAtOnce) {
    auto sql = [&](const std::string& statement) {
        sqlite3* db = nullptr;
        ASSERT_EQ(sqlite3_open(store.File().c_str(), &db), SQLITE_OK);
        sqlite3_busy_timeout(db, 5000);
        EXPECT_EQ(sqlite3_exec(db, statement.c_str(), nullptr, nullptr, nullptr), SQLITE_OK)
            << sqlite3_errmsg(db);
        sqlite3_close(db);
    };
    Store other(store.File());
    const struct {
        const char* name;
        std::optional<std::string> before;
        std::function<void()> change;
        std::optional<std::string> after;
    } cases[] = {
        {"own write", "a", [&] { store.Write("App", "Sec", "k", "b"); }, "b"},
        {"own delete", "a", [&] { store.Delete("App", "Sec", "k"); }, std::nullopt},
        {"other connection creates", std::nullopt, [&] { other.Write("App", "Sec", "k", "b"); },
         "b"},
        {"other connection rewrites", "a", [&] { other.Write("app", "SEC", "K", "b"); }, "b"},
        {"other connection deletes", "a", [&] { other.Delete("App", "Sec", "k"); }, std::nullopt},
        {"plain SQLite rewrites", "a", [&] { sql("UPDATE settings SET value='b' WHERE key='k'"); },
         "b"},
        {"plain SQLite creates", std::nullopt,
         [&] {
             sql("INSERT INTO settings (app, section, key, value) VALUES ('App','Sec','k','b')");
         },
         "b"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        if (store.Find("App", "Sec", "k")) {
            store.Delete("App", "Sec", "k");
        }
        if (c.before) {
            store.Write("App", "Sec", "k", *c.before);
        }
        // The section as read-all gives it: the one key, or nothing.
        auto section = [](const std::optional<std::string>& value) {
            return value ? std::optional(std::vector<Setting>{{"k", *value}}) : std::nullopt;
        };
        EXPECT_EQ(store.Find("App", "Sec", "k"), c.before);
        EXPECT_EQ(other.Find("App", "Sec", "k"), c.before);
        EXPECT_EQ(store.ReadAll("App", "Sec"), section(c.before));
        EXPECT_EQ(other.ReadAll("App", "Sec"), section(c.before));
        c.change();
        EXPECT_EQ(store.Find("App", "Sec", "k"), c.after);
        EXPECT_EQ(other.Find("App", "Sec", "k"), c.after);
        EXPECT_EQ(store.Read("APP", "sec", "K", "none"), c.after.value_or("none"));
        EXPECT_EQ(store.ReadAll("app", "SEC"), section(c.after));
        EXPECT_EQ(other.ReadAll("App", "Sec"), section(c.after));
    }
}

class DamagedFileTest : public testkit::HomeTest {};

TEST_F(DamagedFileTest, GarbageFileGivesErrorNamingTheFile) {
    auto file = home.Path() / "garbage.db";
    {
        std::ofstream out(file, std::ios::binary);
        out << std::string(8192, 'x');
    }
    Store store(file);
    try {
        store.Read("App", "Sec", "k", "");
        FAIL() << "no error";
    } catch (const platform::Error& e) {
        EXPECT_NE(e.Description().find(file.string()), std::string::npos) << e.Description();
    }
    EXPECT_THROW(store.Write("App", "Sec", "k", "v"), platform::Error);
    std::ifstream in(file, std::ios::binary);
    std::string content((std::istreambuf_iterator<char>(in)), {});
    EXPECT_EQ(content, std::string(8192, 'x'));
}

TEST_F(DamagedFileTest, ForeignDatabaseIsRefused) {
    auto file = home.Path() / "foreign.db";
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(file.c_str(), &db), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(db, "CREATE TABLE mail (id INTEGER)", nullptr, nullptr, nullptr),
              SQLITE_OK);
    sqlite3_close(db);
    Store store(file);
    EXPECT_THROW(store.Write("App", "Sec", "k", "v"), platform::Error);
}

TEST_F(DamagedFileTest, HomeThatIsAFileGivesErrorNamingTheDatabase) {
    auto file = home.Path() / "blocked";
    std::ofstream(file) << "a file where the home folder should be";
    setenv("OSTREVANE_HOME", file.c_str(), 1);
    try {
        platform::settings::SaveSetting("App", "Sec", "k", "v");
        ADD_FAILURE() << "no error";
    } catch (const platform::Error& e) {
        EXPECT_NE(e.Description().find((file / "settings.db").string()), std::string::npos)
            << e.Description();
    }
    setenv("OSTREVANE_HOME", home.Path().c_str(), 1);
}

}  // namespace
