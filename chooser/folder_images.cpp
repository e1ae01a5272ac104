#include "chooser/folder_images.h"

#include "core/install_folder.h"
#include "platform/mirelink/mirelink.h"
#include "platform/outlook/outlook.h"

namespace plovanex::chooser {

// "MailItems" and "Inbox" share a picture; "PostItems" and "Subfolders" use
// two files whose names differ only in the case of one letter.
const FolderImage kFolderImages[16] = {
    {"-Inbox.bmp", "MailItems"},
    {"-Subfolders.bmp", "PostItems"},
    {"-Calendar.bmp", "CalendarItems"},
    {"-Contacts.bmp", "ContactItems"},
    {"-DeletedItems.bmp", "DeletedItems"},
    {"-Inbox.bmp", "Inbox"},
    {"-Drafts.bmp", "Drafts"},
    {"-Journal.bmp", "JournalItems"},
    {"-JunkEmail.bmp", "JunkEmail"},
    {"-Notes.bmp", "NoteItems"},
    {"-Outbox.bmp", "Outbox"},
    {"-PersonalFolders.bmp", "PersonalFolders"},
    {"-SentItems.bmp", "SentItems"},
    {"-SubFolders.bmp", "Subfolders"},
    {"-Tasks.bmp", "TaskItems"},
    {"-TopLevelFolders.bmp", "TopLevelFolders"},
};

std::string IconSetPrefix(const std::string& olAppVersion) {
    if (olAppVersion == "9") {
        return "OL2000";
    }
    if (olAppVersion == "10") {
        return "OL2002";
    }
    return "OL2003";
}

std::filesystem::path ToolbarImagesFolder() {
    return InstallFolder() / "images" / "Toolbars";
}

void LoadFolderImages(platform::widgets::ImageList& images, const std::string& olAppVersion,
                      const std::filesystem::path& folder) {
    // A load that failed half-way must not leave its first keys behind:
    // the next load would fail on them forever.
    images.Clear();
    images.SetImageWidth(18);
    images.SetImageHeight(18);
    const std::string prefix = IconSetPrefix(olAppVersion);
    try {
        for (const auto& image : kFolderImages) {
            images.Add(image.key, folder / (prefix + image.suffix));
        }
    } catch (...) {
        images.Clear();
        throw;
    }
}

std::string FolderImageKey(const std::string& name, int defaultItemType) {
    static const std::pair<const char*, const char*> kByName[] = {
        {"Deleted Items", "DeletedItems"}, {"Inbox", "Inbox"},   {"Drafts", "Drafts"},
        {"Junk E-mail", "JunkEmail"},      {"Outbox", "Outbox"}, {"Sent Items", "SentItems"},
    };
    for (const auto& [folderName, key] : kByName) {
        if (name == folderName) {
            return key;
        }
    }
    switch (defaultItemType) {
        case outlook::olAppointmentItem:
            return "CalendarItems";
        case outlook::olContactItem:
        case outlook::olDistributionListItem:
            return "ContactItems";
        case outlook::olJournalItem:
            return "JournalItems";
        case outlook::olNoteItem:
            return "NoteItems";
        case outlook::olTaskItem:
            return "TaskItems";
        default:
            return "Subfolders";
    }
}

std::string FolderImageKey(mirelink::RDOFolder& folder) {
    return FolderImageKey(folder.Name(), folder.DefaultItemType());
}

std::string FolderImageKey(outlook::MAPIFolder& folder) {
    return FolderImageKey(folder.Name(), folder.DefaultItemType());
}

}  // namespace plovanex::chooser
