// Mode 2 of the processor: filing by keyword rules.

#include <exception>
#include <string>

#include "common/error_text.h"
#include "common/settings_keys.h"
#include "common/vb_convert.h"
#include "common/vb_strings.h"
#include "core/globals.h"
#include "core/keyword_match.h"
#include "core/process_one_sent_item.h"
#include "core/processor_state.h"
#include "platform/mirelink/mirelink.h"
#include "platform/ostrevane/string_list.h"

namespace plovanex {

namespace keys = common::keys;

namespace {

constexpr char kSource[] = "ScanForKeywords";

constexpr RuleFolderStems kKeywordFolders = {keys::KeywordFolderCount, keys::KeywordFolderName,
                                             keys::KeywordFolderEntryId, keys::KeywordFolderStoreId,
                                             "KeywordsMoveToFolder"};

bool KeywordsMoveToFolder(CProcessOneSentItem& processor, const std::string& prefix,
                          outlook::ItemPtr& olItem) {
    return MoveToRuleFolders(processor, prefix, olItem, kKeywordFolders);
}

}  // namespace

bool MoveToRuleFolders(CProcessOneSentItem& processor, const std::string& prefix,
                       outlook::ItemPtr& olItem, const RuleFolderStems& stems) {
    constexpr char kRuleDefault[] = "0";
    bool result = false;
    Trapped({common::Source(stems.procedure)}, [&](long& step) {
        step = 2;
        const int count = vb::ToInteger(GetSetting(prefix + stems.count, kRuleDefault));
        for (int j = 1; j <= count; ++j) {
            step = 2;
            const std::string index = std::to_string(j);
            GetSetting(prefix + stems.name + index, kRuleDefault);
            std::string entryId = GetSetting(prefix + stems.entryId + index, kRuleDefault);
            std::string storeId = GetSetting(prefix + stems.storeId + index, kRuleDefault);
            step = 4;
            std::string who = stems.procedure;
            result = processor.MoveIt(olItem, entryId, storeId, who);
        }
    });
    return result;
}

bool CProcessOneSentItem::ScanForKeywords(outlook::ItemPtr& olItem) {
    return Trapped({common::Source(kSource), 1, false}, [&](long&) {
        const auto all = GetAllSettings();
        // The item's texts are read at the first rule and kept for the
        // others: filing by a rule changes neither.
        bool read = false;
        std::size_t bodyLength = 0;
        std::string text;
        for (const auto& [key, value] : *all) {
            const auto pos = key.find(keys::Keywords);
            if (pos == std::string::npos) {
                continue;
            }
            const std::string prefix = key.substr(0, pos);
            ostrevane::StringList pieces;
            pieces.SetText(value);
            pieces.SetDelimiter(",");
            if (!read) {
                auto safe = mirelink::CreateSafeMailItem();
                safe->SetItem(olItem);
                const std::string body = safe->Body();
                text = safe->Subject() + " " + body;
                bodyLength = vb::Len(body);
                read = true;
            }
            WriteLogLine(common::LogSource(kSource),
                         "Len(email.body): " + std::to_string(bodyLength));
            const int count = pieces.Count();
            for (int i = 1; i <= count; ++i) {
                const std::string keyword = pieces.Item(i);
                const long found = FindRegularExpressionMatch(text, keyword);
                WriteLogLine(common::LogSource(kSource),
                             "Looking for '" + keyword + "'; Result: " + std::to_string(found));
                if (found != 0 && KeywordsMoveToFolder(*this, prefix, olItem)) {
                    return true;
                }
            }
        }
        return false;
    });
}

}  // namespace plovanex
