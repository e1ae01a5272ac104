#pragma once

// What the chooser dialogs share beyond the tree, the images and the
// recently used list: the version text, the MAPI session of a call, the
// settings of section "HalvoxSoftware", the mail client's own picker and the
// folder lookups through the mail client.

#include <QWidget>
#include <string>

#include "platform/mirelink/mirelink.h"
#include "platform/ostrevane/folder_record.h"
#include "platform/outlook/outlook.h"
#include "platform/widgets/tree_view.h"

namespace plovanex::chooser {

// The caption every variant starts with.
inline constexpr char kChooserCaption[] = "Plovanex: Choose Where To File The Email";
// The caption that several-folder mode gives.
inline constexpr char kSeveralFoldersCaption[] = "Choose Folder(s)";
// The title of the dialogs' message boxes.
inline constexpr char kMessageTitle[] = "Plovanex";

// The Outlook major version as the dialogs keep it: "9" for a version that
// begins with "9", else its first two characters.
std::string OutlookVersionText(const std::string& version);

// A new MAPI session for one call: on Outlook 9 it logs on by itself, on
// later versions it takes the namespace's own session. Raises on failure.
mirelink::SessionPtr NewSession(const std::string& olAppVersion,
                                const outlook::NameSpacePtr& olNameSpace);

// Section "HalvoxSoftware" under the settings application name.
std::string GetHalvoxSetting(const std::string& key, int defaultNumber);
std::string GetHalvoxSetting(const std::string& key, bool defaultFlag);
void SaveHalvoxSetting(const std::string& key, const std::string& value);

// FlushOutlookFolderCachePlovanex read as a Boolean; "False" is written back
// at every read, whatever it held.
bool TakeFlushRequest();

ostrevane::FolderRecordPtr NewRecord(const std::string& folderName, const std::string& entryId,
                                     const std::string& storeId);

// SingleFolderOnly written: the tree's settings for one folder (True) or
// several (False); False also gives the form the caption "Choose Folder(s)".
void ApplySingleFolderOnly(platform::widgets::TreeView& tree, QWidget& form, bool value);

// Outlook's own folder dialog. A pick replaces folderList by a new list of
// one record and gives True; a cancel leaves it and gives False. Errors are
// reported (source "Plovanex.NativePickFolder") and give False.
bool NativePickFolder(const outlook::NameSpacePtr& olNameSpace,
                      ostrevane::FolderListPtr& folderList);
// The same pick, its errors left to the caller.
bool PickWithNativePicker(const outlook::NameSpacePtr& olNameSpace,
                          ostrevane::FolderListPtr& folderList);

// The list of one record that Delete The Email gives: the default Deleted
// Items folder of the session.
ostrevane::FolderListPtr DeletedItemsList(const mirelink::SessionPtr& session);

// The mail client's folder of these ids: by the EntryID alone, then with the
// StoreID; nothing when neither finds it. Never raises.
outlook::FolderPtr GetOutlookFolderFromID(const outlook::NameSpacePtr& olNameSpace,
                                          const std::string& entryId, const std::string& storeId);

// The path text of a folder of the mail client: on Outlook 2000 built from
// the names up to the store, later from FolderPath without its leading
// backslashes; the name alone for an object that is not a folder. Errors are
// reported (source "Plovanex.FolderPath").
std::string FolderPath(const std::string& olAppVersion, const outlook::ObjectPtr& folder);

// Counts the chooser forms alive, while it lives as a member of one: the
// library must stay loaded until the last is gone.
class CountedForm {
  public:
    CountedForm();
    ~CountedForm();
    CountedForm(const CountedForm&) = delete;
    CountedForm& operator=(const CountedForm&) = delete;
    static int Alive();
};

}  // namespace plovanex::chooser
