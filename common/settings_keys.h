#pragma once

// The catalogue of the settings store: application names, sections, key
// names, the values the first run writes and the default each reader passes.
// Every value is text; a reader's default keeps the type the reader passes
// (a 16-bit integer, a text or a Boolean) and the store turns it into text.

#include <cstdint>
#include <string>

namespace common::keys {

// Application names and sections. The system's own keys lie under the
// application name that SettingsHelper::SettingsAppName gives.
inline constexpr char AppHalvoxSoftware[] = "HalvoxSoftware";
inline constexpr char SectionPlovanex[] = "Plovanex";
inline constexpr char SectionHalvoxSoftware[] = "HalvoxSoftware";

// Value forms.
inline constexpr char TrueText[] = "True";
inline constexpr char FalseText[] = "False";
inline constexpr char OnText[] = "On";
inline constexpr char OffText[] = "Off";
inline constexpr char Unchecked[] = "0";
inline constexpr char Checked[] = "1";

// Filing slots 1 to 4: the mode of each slot, "0" to "3".
inline constexpr int OrderCount = 4;
inline std::string Order(int n) {
    return "Order" + std::to_string(n);
}
inline constexpr int ModeNone = 0;
inline constexpr int ModeConfirmation = 1;
inline constexpr int ModeKeyword = 2;
inline constexpr int ModeContact = 3;
inline constexpr char Order1FirstRun[] = "1";
inline constexpr char OrderOtherFirstRun[] = "0";
// The add-in's first-run test reads Order1 with this default; the processor
// reads every slot with it.
inline constexpr std::int16_t OrderDefaultAddIn = -1;
inline constexpr std::int16_t OrderDefaultProcessor = -1;
inline constexpr std::int16_t OrderDefaultOptionsPage = 0;

inline constexpr char PromptOutlookFolder[] = "PromptOutlookFolder";
inline constexpr char PromptOutlookFolderFirstRun[] = "False";
inline constexpr bool PromptOutlookFolderDefaultProcessor = false;
inline constexpr char PromptOutlookFolderDefaultOptionsPage[] = "True";

// Written by the options page only; nothing reads them.
inline constexpr char FolderChoice[] = "FolderChoice";
inline constexpr char Initialized[] = "Initialized";

// The user's default folder. First run: Sent Items' path text and ids.
inline constexpr char MoveToFolderName[] = "MoveToFolderName";
inline constexpr char MoveToFolderEntryId[] = "MoveToFolderEntryId";
inline constexpr char MoveToFolderStoreId[] = "MoveToFolderStoreId";
inline constexpr char MoveToFolderDefault[] = "";

inline constexpr char SharedDefaults[] = "SharedDefaults";
inline constexpr char SharedDefaultsFirstRun[] = "1";
inline constexpr char SharedDefaultsDefaultProcessor[] = "1";
inline constexpr std::int16_t SharedDefaultsDefaultOptionsPage = 1;

inline constexpr char IgnoreCC[] = "IgnoreCC";
inline constexpr std::int16_t IgnoreCCDefault = 0;

inline constexpr char MoveWanted[] = "MoveWanted";
inline constexpr char MoveWantedFirstRun[] = "1";
inline constexpr std::int16_t MoveWantedDefault = 1;

inline constexpr char OverrideSendButton[] = "OverrideSendButton";
inline constexpr char OverrideSendButtonFirstRun[] = "1";
inline constexpr std::int16_t OverrideSendButtonDefault = 1;

// The first run writes "1", but an absent value reads as 0.
inline constexpr char IndexPublicFoldersWanted[] = "IndexPublicFoldersWanted";
inline constexpr char IndexPublicFoldersWantedFirstRun[] = "1";
inline constexpr std::int16_t IndexPublicFoldersWantedDefault = 0;

inline constexpr char ProcessPriority[] = "ProcessPriority";
inline constexpr char PriorityIdle[] = "Idle";
inline constexpr char PriorityLow[] = "Low";
inline constexpr char PriorityNormal[] = "Normal";
inline constexpr char PriorityHigh[] = "High";
inline constexpr char ProcessPriorityFirstRun[] = "Idle";
inline constexpr char ProcessPriorityDefault[] = "Idle";

// Milliseconds.
inline constexpr char DelayLength[] = "DelayLength";
inline constexpr char DelayLengthFirstRun[] = "1000";
inline constexpr std::int16_t DelayLengthDefaultIndexBuilder = 1000;
inline constexpr char DelayLengthDefaultAdvancedOptions[] = "1000";

// "On" only while Run Now files a folder; "Off" at every explorer open.
inline constexpr char RunNow[] = "RunNow";
inline constexpr char RunNowFirstRun[] = "Off";
inline constexpr char RunNowDefault[] = "Off";

// "1" from the add-in's explorer open to its shutdown, which writes "0".
inline constexpr char KeepGoingWanted[] = "KeepGoingWanted";
inline constexpr char KeepGoingWantedFirstRun[] = "1";
inline constexpr char KeepGoingWantedAtShutdown[] = "0";
inline constexpr std::int16_t KeepGoingWantedDefault = 0;

inline constexpr char KestruneVisible[] = "KestruneVisible";
inline constexpr std::int16_t KestruneVisibleDefault = 0;

inline constexpr char RebuildingIndexStatus[] = "RebuildingIndexStatus";
inline constexpr std::int16_t RebuildingIndexStatusDefault = 0;

inline constexpr char LoadRefreshWanted[] = "LoadRefreshWanted";
inline constexpr std::int16_t LoadRefreshWantedDefault = 0;

inline constexpr char ShowRightsWanted[] = "ShowRightsWanted";
inline constexpr std::int16_t ShowRightsWantedDefault = 0;

inline constexpr char LastFolderTabShown[] = "LastFolderTabShown";
inline constexpr std::int16_t LastFolderTabShownDefault = 1;

// The recently used folders, n = 1 to 15, most recent first.
inline constexpr int MRUCount = 15;
inline std::string MRUFolder(int n) {
    return "MRUFolder" + std::to_string(n);
}
inline std::string MRUEntryId(int n) {
    return "MRUEntryId" + std::to_string(n);
}
inline std::string MRUStoreId(int n) {
    return "MRUStoreId" + std::to_string(n);
}
inline constexpr char MRUDefault[] = "";

// Account overrides, n = 1 to 5.
inline constexpr int FromAccountCount = 5;
inline std::string FromAccount(int n) {
    return "FromAccount" + std::to_string(n);
}
inline std::string FromOutlookFolderName(int n) {
    return "FromOutlookFolderName" + std::to_string(n);
}
inline std::string FromOutlookFolderEntryId(int n) {
    return "FromOutlookFolderEntryId" + std::to_string(n);
}
inline std::string FromOutlookFolderStoreId(int n) {
    return "FromOutlookFolderStoreId" + std::to_string(n);
}
inline constexpr char FromAccountDefault[] = "";

// Section HalvoxSoftware. Non-zero: the chooser uses the mail client's own
// folder picker. Nothing in the system writes it.
inline constexpr char UseNativeOutlookPickFolders[] = "UseNativeOutlookPickFolders";
inline constexpr std::int16_t UseNativeOutlookPickFoldersDefault = 0;

// Section HalvoxSoftware. True: the chooser drops its cached tree once.
inline constexpr char FlushOutlookFolderCachePlovanex[] = "FlushOutlookFolderCachePlovanex";
inline constexpr bool FlushOutlookFolderCachePlovanexDefault = false;

// Application and section HalvoxSoftware: the prefix, then the profile name.
inline constexpr char CurrentProfile[] = "CurrentProfile";
inline constexpr char CurrentProfilePrefix[] = "HalvoxSoftware - ";
inline constexpr char CurrentProfileDefault[] = "";

// Rules: each value name is the rule key in decimal, a stem, and for list
// entries the entry's index from 1. Rule keys run from 1 to 999999.
inline constexpr int RuleKeyMin = 1;
inline constexpr int RuleKeyMax = 999999;
inline constexpr char KeywordStem[] = "Keyword";
inline constexpr char AssocStem[] = "Assoc";
inline constexpr char Keywords[] = "Keywords";
inline constexpr char KeywordFolderCount[] = "KeywordFolderCount";
inline constexpr char KeywordFolderName[] = "KeywordFolderName";
inline constexpr char KeywordFolderEntryId[] = "KeywordFolderEntryId";
inline constexpr char KeywordFolderStoreId[] = "KeywordFolderStoreId";
inline constexpr char AssocContactCount[] = "AssocContactCount";
inline constexpr char AssocContactName[] = "AssocContactName";
inline constexpr char AssocContactTag[] = "AssocContactTag";
inline constexpr char AssocFolderCount[] = "AssocFolderCount";
inline constexpr char AssocFolderName[] = "AssocFolderName";
inline constexpr char AssocFolderEntryId[] = "AssocFolderEntryId";
inline constexpr char AssocFolderStoreId[] = "AssocFolderStoreId";
inline std::string RuleValueName(int ruleKey, const std::string& stem) {
    return std::to_string(ruleKey) + stem;
}
inline std::string RuleValueName(int ruleKey, const std::string& stem, int index) {
    return std::to_string(ruleKey) + stem + std::to_string(index);
}

}  // namespace common::keys
