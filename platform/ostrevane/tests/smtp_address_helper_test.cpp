#include <gtest/gtest.h>

#include "platform/error.h"
#include "platform/ostrevane/smtp_address_helper.h"

namespace mirelink {
// Only the test makes one; the helper passes entries along untouched.
class RDOAddressEntry {};
}  // namespace mirelink

namespace {

TEST(SmtpAddressHelperTest, LookupGetsTheItemAndTheEntry) {
    auto entry = std::make_shared<mirelink::RDOAddressEntry>();
    const mirelink::RDOAddressEntry* seen = nullptr;
    auto previous = ostrevane::InstallSmtpLookup(
        [&](const outlook::ItemPtr& item, const mirelink::AddressEntryPtr& e) {
            seen = e.get();
            return item ? std::string("with item") : std::string("bob@example.com");
        });
    ostrevane::SmtpAddressHelper helper;
    EXPECT_EQ(helper.GetSMTPAddress(entry), "bob@example.com");
    EXPECT_EQ(seen, entry.get());
    EXPECT_EQ(helper.GetSMTPAddress(nullptr), "");
    ostrevane::InstallSmtpLookup(previous);
}

TEST(SmtpAddressHelperTest, WithoutLookupAnEntryRaises) {
    auto previous = ostrevane::InstallSmtpLookup(nullptr);
    ostrevane::SmtpAddressHelper helper;
    EXPECT_THROW(helper.GetSMTPAddress(std::make_shared<mirelink::RDOAddressEntry>()),
                 platform::Error);
    EXPECT_EQ(helper.GetSMTPAddress(nullptr), "");
    ostrevane::InstallSmtpLookup(previous);
}

}  // namespace
