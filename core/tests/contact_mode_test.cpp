#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "core/tests/rule_fixture.h"
#include "platform/ostrevane/smtp_address_helper.h"

namespace processor_test {
namespace {

namespace keys = common::keys;

using Contacts = std::vector<std::pair<std::string, std::string>>;

class ContactModeTest : public RuleTest {
  protected:
    void SetUp() override {
        RuleTest::SetUp();
        kit.Entry("'Quoted Person'", "SMTP", "quoted@example.com", "quoted@example.com")
            .Entry("Agent 007", "SMTP", "agent@example.com", "agent@example.com");
    }

    // A rule of (name, tag) contacts and one folder; an empty path writes a
    // folder count of 1 and no folder.
    Settings ContactRule(int key, const Contacts& contacts, const std::string& path) {
        Settings rule = {
            {keys::RuleValueName(key, keys::AssocContactCount), std::to_string(contacts.size())}};
        for (std::size_t i = 0; i < contacts.size(); ++i) {
            const int n = static_cast<int>(i) + 1;
            rule.push_back(
                {keys::RuleValueName(key, keys::AssocContactName, n), contacts[i].first});
            rule.push_back(
                {keys::RuleValueName(key, keys::AssocContactTag, n), contacts[i].second});
        }
        rule.push_back({keys::RuleValueName(key, keys::AssocFolderCount), "1"});
        return Join({rule, path.empty() ? Settings{} : RuleFolder(key, "Assoc", 1, path)});
    }
};

std::string Recips(int n) {
    return "Num of  Recips are = " + std::to_string(n);
}
std::string Display(const std::string& name) {
    return "toDisplayName = " + name;
}
std::string ByName(const std::string& stored, const std::string& name) {
    return "Reg entry: " + stored + "; Looking for name: " + name;
}
std::string Result(int match) {
    return "Result: " + std::to_string(match);
}
std::string Key(const std::string& prefix) {
    return "Key = " + prefix;
}
std::string Smtp(const std::string& address) {
    return "SMTP Address: " + address;
}
std::string ByAddress(const std::string& stored, const std::string& address) {
    return "reg entry = " + stored + "  Address = " + address;
}
std::string Filed(const std::string& verb, const std::string& folder) {
    return verb + " Item to " + folder + " by ContactMoveToFolder";
}

const std::string kLead = "lead@example.com";

TEST_F(ContactModeTest, Recipients) {
    // Two rules written interleaved, each with its own folder.
    const Settings interleaved = {
        {"1AssocContactCount", "1"},
        {"2AssocContactCount", "1"},
        {"1AssocContactName1", "Project Lead"},
        {"2AssocContactName1", "Acme Contact"},
        {"2AssocContactTag1", "contact@acme.example"},
        {"1AssocContactTag1", kLead},
        {"2AssocFolderCount", "1"},
        {"1AssocFolderCount", "1"},
    };
    struct Case {
        std::string name;
        Settings settings;
        testkit::ItemSpec item;
        Lines lines;
        std::vector<ostrevane::Report> reports;
        std::vector<std::string> holders;
    };
    const Case cases[] = {
        {"ByName",
         ContactRule(10, {{"Project Lead", kLead}}, kAcme),
         {.to = kLead},
         {Recips(1), Display("Project Lead"), ByName("Project Lead", "Project Lead"), Result(1),
          Key("10"), Filed("Moved", "Acme")},
         {},
         {kAcme}},
        {"LikeKeepsCaseThenTheExchangeRecipientsSmtpAddress",
         ContactRule(10, {{"project lead", kLead}}, kAcme),
         {.to = kLead},
         {Recips(1), Display("Project Lead"), ByName("project lead", "Project Lead"), Result(0),
          Smtp(kLead), ByAddress(kLead, kLead), Key("10"), Filed("Moved", "Acme")},
         {},
         {kAcme}},
        {"LikeWildcards",
         ContactRule(10, {{"Ag?nt [0-9]0#", "nobody"}}, kAcme),
         {.to = "agent@example.com"},
         {Recips(1), Display("Agent 007"), ByName("Ag?nt [0-9]0#", "Agent 007"), Result(1),
          Key("10"), Filed("Moved", "Acme")},
         {},
         {kAcme}},
        {"StarIsComparedIgnoringCase",
         ContactRule(10, {{"project*", "nobody"}}, kAcme),
         {.to = kLead},
         {Recips(1), Display("Project Lead"), ByName("project*", "Project Lead"), Result(-1),
          Key("10"), Filed("Moved", "Acme")},
         {},
         {kAcme}},
        {"MalformedLikePattern",
         ContactRule(10, {{"[Project", kLead}}, kAcme),
         {.to = kLead},
         {Recips(1), Display("Project Lead"), ByName("[Project", "Project Lead")},
         {Report("Error occurred at line 12.  Reason: Invalid pattern string", 1,
                 "Plovanex.LookForContacts")},
         {kSent}},
        {"IgnoreCCSkipsCopiesAndBlindCopies",
         Join({{{"IgnoreCC", "1"}}, ContactRule(10, {{"Project Lead", kLead}}, kAcme)}),
         {.cc = kLead, .bcc = "contact@acme.example"},
         {Recips(2), "Ignoring a BCC/CC recipient: Project Lead",
          "Ignoring a BCC/CC recipient: Acme Contact"},
         {},
         {kSent}},
        {"CopiesCountWithoutIgnoreCC",
         ContactRule(10, {{"Project Lead", kLead}}, kAcme),
         {.bcc = kLead},
         {Recips(1), Display("Project Lead"), ByName("Project Lead", "Project Lead"), Result(1),
          Key("10"), Filed("Moved", "Acme")},
         {},
         {kAcme}},
        {"QuotedDisplayName",
         ContactRule(10, {{"Quoted Person", "nobody"}}, kAcme),
         {.to = "quoted@example.com"},
         {Recips(1), Display("'Quoted Person'"), Display("Quoted Person"),
          ByName("Quoted Person", "Quoted Person"), Result(1), Key("10"), Filed("Moved", "Acme")},
         {},
         {kAcme}},
        {"SmtpRecipientByAddressIgnoringCase",
         ContactRule(10, {{"Someone", "SOMEONE@elsewhere.example"}}, kAcme),
         {.to = "someone@elsewhere.example"},
         {Recips(1), Display("someone@elsewhere.example"),
          ByName("Someone", "someone@elsewhere.example"), Result(0),
          Smtp("someone@elsewhere.example"),
          ByAddress("SOMEONE@elsewhere.example", "someone@elsewhere.example"), Key("10"),
          Filed("Moved", "Acme")},
         {},
         {kAcme}},
        {"OnlyKeysWithTheStemAreRules",
         {{"MRUFolder1", "AssocContactName"},
          {"MRUFolder2", "AssocContactTag"},
          {"9assoccontactname1", "Project Lead"},
          {"9assoccontacttag1", kLead}},
         {.to = kLead},
         {Recips(1), Display("Project Lead"), Smtp(kLead)},
         {},
         {kSent}},
        {"EveryMatchingRecipientFilesAgain",
         Join({{{"MoveWanted", "0"}},
               interleaved,
               RuleFolder(2, "Assoc", 1, kGlobex),
               RuleFolder(1, "Assoc", 1, kAcme)}),
         {.to = "lead@example.com; contact@acme.example"},
         {Recips(2), Display("Project Lead"), ByName("Project Lead", "Project Lead"), Result(1),
          Key("1"), Filed("Copied", "Acme"), Display("Acme Contact"),
          ByName("Project Lead", "Acme Contact"), Result(0), ByName("Acme Contact", "Acme Contact"),
          Result(1), Key("2"), Filed("Copied", "Globex")},
         {},
         {kAcme, kGlobex, kSent}},
        {"RuleWithoutFolderThenTheAddressPass",
         Join({ContactRule(3, {{"Project Lead", kLead}}, ""),
               ContactRule(4, {{"Nobody", kLead}}, kGlobex)}),
         {.to = kLead},
         {Recips(1), Display("Project Lead"), ByName("Project Lead", "Project Lead"), Result(1),
          Key("3"), kNoFolder, ByName("Nobody", "Project Lead"), Result(0), Smtp(kLead),
          ByAddress(kLead, kLead), Key("3"), kNoFolder, ByAddress(kLead, kLead), Key("4"),
          Filed("Moved", "Globex")},
         {},
         {kGlobex}},
        {"FolderCountNotANumber",
         {{"5AssocContactName1", "Project Lead"}, {"5AssocFolderCount", "x"}},
         {.to = kLead},
         {Recips(1), Display("Project Lead"), ByName("Project Lead", "Project Lead"), Result(1),
          Key("5"), Smtp(kLead)},
         {Report("Error occurred at line 2.  Reason: Type mismatch", 1,
                 "Plovanex.ContactMoveToFolder")},
         {kSent}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        auto spec = c.item;
        spec.subject = c.name;
        const auto [result, id] = Run("3", c.settings, spec);
        EXPECT_EQ(result, c.holders.front() != kSent);
        EXPECT_EQ(ModeLines("Entering Contacts Mode"), c.lines);
        EXPECT_EQ(Reports(), c.reports);
        EXPECT_EQ(Holders(id), c.holders);
        ExpectSources("LookForContacts");
    }
}

// The address book's lookup is gone: the Exchange recipient's address is
// empty and matches no tag.
TEST_F(ContactModeTest, SmtpLookupFails) {
    Apply(Join({{{"Order1", "3"}}, ContactRule(10, {{"Nobody", kLead}}, kAcme)}));
    auto item = Item({.subject = "Lookup", .to = kLead});
    Clear();
    auto lookup = ostrevane::InstallSmtpLookup(nullptr);
    EXPECT_FALSE(Process(item));
    ostrevane::InstallSmtpLookup(lookup);
    EXPECT_EQ(ModeLines("Entering Contacts Mode"),
              (Lines{Recips(1), Display("Project Lead"), ByName("Nobody", "Project Lead"),
                     Result(0), Smtp(""), ByAddress(kLead, "")}));
    EXPECT_EQ(Reports(), (std::vector<ostrevane::Report>{
                             Report("Error occurred.  Reason: SmtpAddressHelper: no address book "
                                    "is open",
                                    1, "Plovanex.GetRecipientSMTPAddress")}));
}

}  // namespace
}  // namespace processor_test
