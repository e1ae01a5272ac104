#pragma once

#include <filesystem>
#include <string>

#include "platform/mirelink/fwd.h"
#include "platform/outlook/fwd.h"
#include "platform/widgets/image_list.h"

namespace plovanex::chooser {

// One picture of the folder image list: its file suffix and its key.
struct FolderImage {
    const char* suffix;
    const char* key;
};
// The sixteen pictures, in index order.
extern const FolderImage kFolderImages[16];

// The icon set of a version text: "9" OL2000, "10" OL2002, else OL2003.
std::string IconSetPrefix(const std::string& olAppVersion);

// The install folder's images/Toolbars, where the pictures lie.
std::filesystem::path ToolbarImagesFolder();

// Fills the list with the sixteen 18 by 18 pictures of the version's icon
// set from the folder. A missing file raises for the caller to report; the
// list is then left empty, so that a later call starts afresh.
void LoadFolderImages(platform::widgets::ImageList& images, const std::string& olAppVersion,
                      const std::filesystem::path& folder = ToolbarImagesFolder());

// The image key of a folder: by its exact name ("Inbox", "Sent Items", ...),
// else by its item type; "Subfolders" for mail, post and anything else.
std::string FolderImageKey(const std::string& name, int defaultItemType);
std::string FolderImageKey(mirelink::RDOFolder& folder);
std::string FolderImageKey(outlook::MAPIFolder& folder);

}  // namespace plovanex::chooser
