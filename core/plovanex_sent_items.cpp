// Items that arrive in Sent Items: the deferred copy and automatic filing.

#include <optional>

#include "common/error_text.h"
#include "common/settings_keys.h"
#include "common/vb_convert.h"
#include "core/copy_suffix.h"
#include "core/globals.h"
#include "core/plovanex_state.h"

namespace plovanex {

namespace keys = common::keys;

void CPlovanex::State::ItemEvent(outlook::ItemPtr& item) {
    bool handled = false;
    auto& mail = Need(item);
    if (mail.TypeName() == "MailItem" &&
        vb::ToInteger(GetSetting(keys::MoveWanted, int{keys::MoveWantedDefault})) == 0) {
        LogToEngine("QvItemEvent", "Copy wanted for another folder");
        auto billing = mail.BillingInformation();
        if (auto suffix = SplitCopySuffix(billing)) {
            mail.SetBillingInformation(suffix->billing);
            const auto& values = Library();
            // A copy into Sent Items itself would only arrive here again.
            if (suffix->entryId != values.sentItemsEntryId ||
                suffix->storeId != values.sentItemsStoreId) {
                auto processor = std::make_shared<CProcessOneSentItem>();
                processor->SetolApp(Application());
                std::string who = "QvItemEvent";
                if (!processor->MoveIt(item, suffix->entryId, suffix->storeId, who)) {
                    LogToEngine("QvItemEvent",
                                "Error occurred.  Could not move/copy item to desired folder.");
                }
            }
            handled = true;
        }
    }
    if (!handled && vb::ToInteger(GetSetting(keys::OverrideSendButton,
                                             int{keys::OverrideSendButtonDefault})) != 0) {
        ProcessSentItem(item);
    }
}

bool CPlovanex::State::ProcessSentItem(outlook::ItemPtr& item) {
    const std::string procedure = "ProcessSentItem";
    return Trapped({common::Source(procedure)}, [&](long& step) {
        step = 20;
        auto& mail = Need(item);
        bool wanted = true;
        int reason = 0;
        LogToEngine(procedure, "Subject: " + mail.Subject());
        step = 22;
        auto type = mail.TypeName();
        if (type == "MeetingItem") {
            wanted = false;
            reason = 1;
        }
        const auto& values = Library();
        // Read once: the text does not change while the item is looked at.
        std::optional<std::string> saveIn;
        if (type == "MailItem") {
            LogToEngine(procedure, "Typename: " + type);
            step = 24;
            saveIn = mail.SaveSentMessageFolderText();
            if (!saveIn->empty()) {
                wanted = false;
                reason = 2;
            }
            step = 26;
            if (saveIn == values.sentItemsName) {
                wanted = true;
            }
        }
        step = 28;
        if (GetSetting(keys::RunNow, keys::RunNowDefault) == keys::OnText) {
            wanted = false;
            reason = 3;
        }
        step = 30;
        LogToEngine(procedure, "ProcessingWanted: " + vb::BooleanText(wanted));
        if (!wanted) {
            LogToEngine(procedure, "Reasoning: " + vb::NumberText(reason));
        }
        if (!saveIn) {
            saveIn = mail.SaveSentMessageFolderText();
        }
        LogToEngine(procedure, "SaveSentMessageFolder: " + *saveIn);
        LogToEngine(procedure, "SaveSentMessageFolderName: " + values.sentItemsName);
        step = 32;
        if (wanted) {
            if (!processor) {
                auto made = std::make_shared<CProcessOneSentItem>();
                made->SetolApp(Application());
                processor = made;
            }
            LogToEngine(procedure, "Processing one item");
            processor->processOneSentItem(item);
        }
        LogToEngine(procedure, "Leaving");
        return true;
    });
}

std::string CPlovanex::State::GetSenderNTUserName(outlook::ItemPtr& item) {
    const std::string procedure = "GetSenderNTUserName";
    return Trapped({common::Source(procedure)}, [&](long& step) -> std::string {
        step = 2;
        auto properties = Need(item).ItemProperties();
        step = 4;
        auto property = Need(properties).Item("NTLoginName");
        step = 6;
        if (!property) {
            LogToEngine(procedure, "Warning: Could not find property 'NTLoginName'");
            return "";
        }
        LogToEngine(procedure, "myItemProperty.Value = " + property->Value());
        step = 8;
        return property->Value();
    });
}

}  // namespace plovanex
