// Mode 3 of the processor: filing by contact-association rules.

#include <exception>
#include <string>
#include <vector>

#include "common/error_text.h"
#include "common/settings_keys.h"
#include "common/vb_convert.h"
#include "common/vb_like.h"
#include "core/globals.h"
#include "core/process_one_sent_item.h"
#include "core/processor_state.h"
#include "core/rdo_lookup.h"
#include "platform/mirelink/mirelink.h"
#include "platform/ostrevane/smtp_address_helper.h"

namespace plovanex {

namespace keys = common::keys;

namespace {

constexpr char kSource[] = "LookForContacts";

void Log(const std::string& text) {
    WriteLogLine(common::LogSource(kSource), text);
}

// The text without its first and last characters (whole UTF-8 sequences).
std::string WithoutEnds(const std::string& text) {
    if (text.size() < 2) {
        return "";
    }
    std::size_t end = text.size() - 1;
    while (end > 1 && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80) {
        --end;
    }
    return text.substr(1, end - 1);
}

std::string GetRecipientSMTPAddress(const mirelink::SafeRecipientPtr& recipient) {
    std::string result;
    Trapped({common::Source("GetRecipientSMTPAddress"), 1, false}, [&](long&) {
        auto entry = Need(recipient).AddressEntry();
        if (!entry) {
            result = recipient->Address();
        } else if (entry->Type() == "EX") {
            result = ostrevane::SmtpAddressHelper().GetSMTPAddress(entry);
        } else {
            result = recipient->Address();
            if (result.empty()) {
                result = entry->Address();
            }
        }
    });
    return result;
}

constexpr RuleFolderStems kContactFolders = {keys::AssocFolderCount, keys::AssocFolderName,
                                             keys::AssocFolderEntryId, keys::AssocFolderStoreId,
                                             "ContactMoveToFolder"};

bool ContactMoveToFolder(CProcessOneSentItem& processor, const std::string& prefix,
                         outlook::ItemPtr& olItem) {
    return MoveToRuleFolders(processor, prefix, olItem, kContactFolders);
}

// Walks the values whose key holds the stem, in store order. Each value that
// matches files the item by its rule; filed takes that result, and the walk
// ends at the first filing. `step` is the walk's; the filing's is 2 more.
template <class Matches>
void FileByRules(CProcessOneSentItem& processor,
                 const std::vector<platform::settings::Setting>& all, const std::string& stem,
                 outlook::ItemPtr& olItem, long& step, bool& filed, Matches matches) {
    const long walkStep = step;
    for (const auto& [key, value] : all) {
        const auto pos = key.find(stem);
        if (pos == std::string::npos || !matches(value)) {
            continue;
        }
        const std::string prefix = key.substr(0, pos);
        Log("Key = " + prefix);
        step = walkStep + 2;
        filed = ContactMoveToFolder(processor, prefix, olItem);
        step = walkStep;
        if (filed) {
            return;
        }
    }
}

}  // namespace

bool CProcessOneSentItem::LookForContacts(outlook::ItemPtr& olItem) {
    bool filed = false;
    Trapped({common::Source(kSource)}, [&](long& step) {
        step = 2;
        auto safe = mirelink::CreateSafeMailItem();
        safe->SetItem(olItem);
        step = 4;
        auto recipients = safe->Recipients();
        const int count = Need(recipients).Count();
        Log("Num of  Recips are = " + std::to_string(count));
        step = 6;
        const int ignoreCC = vb::ToInteger(GetSetting(keys::IgnoreCC, keys::IgnoreCCDefault));
        for (int i = 1; i <= count; ++i) {
            step = 8;
            auto recipient = recipients->Item(i);
            const int type = Need(recipient).Type();
            if (ignoreCC != 0 && (type == outlook::olCC || type == outlook::olBCC)) {
                Log("Ignoring a BCC/CC recipient: " + recipient->Name());
                continue;
            }
            step = 10;
            std::string name = recipient->Name();
            Log("toDisplayName = " + name);
            if (name.starts_with('\'')) {
                name = WithoutEnds(name);
                Log("toDisplayName = " + name);
            }

            // By display name.
            auto all = GetAllSettings();
            step = 12;
            FileByRules(*this, *all, keys::AssocContactName, olItem, step, filed,
                        [&](const std::string& stored) {
                            Log("Reg entry: " + stored + "; Looking for name: " + name);
                            int match = 0;
                            if (stored.find('*') != std::string::npos) {
                                match = Helper().TextMatches(name, stored) ? -1 : 0;
                            } else {
                                match = vb::Like(name, stored) ? 1 : 0;
                            }
                            Log("Result: " + std::to_string(match));
                            return match != 0;
                        });

            // By SMTP address.
            if (!filed) {
                step = 16;
                const std::string address = GetRecipientSMTPAddress(recipient);
                Log("SMTP Address: " + address);
                all = GetAllSettings();
                step = 18;
                FileByRules(*this, *all, keys::AssocContactTag, olItem, step, filed,
                            [&](const std::string& stored) {
                                Log("reg entry = " + stored + "  Address = " + address);
                                return Helper().TextMatches(address, stored);
                            });
                if (filed) {
                    return;
                }
            }
        }
    });
    return filed;
}

}  // namespace plovanex
