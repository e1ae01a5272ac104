#pragma once

#include <functional>
#include <memory>
#include <string>

#include "platform/ostrevane/folder_record.h"
#include "platform/outlook/fwd.h"

namespace plovanex {

// The public interface that the three folder chooser variants share.
class IChooseOutlookFolders {
  public:
    virtual ~IChooseOutlookFolders() = default;

    virtual void SetApplication(outlook::ApplicationPtr application) = 0;
    virtual bool ErrorOccurred() const = 0;
    virtual ostrevane::FolderListPtr folderList() const = 0;
    virtual void SetFolderList(ostrevane::FolderListPtr list) = 0;
    virtual std::string LastFolderChosen() const = 0;
    virtual void SetLastFolderChosen(const std::string& value) = 0;
    virtual std::string emailTo() const = 0;
    virtual void SetEmailTo(const std::string& value) = 0;
    virtual std::string emailSubject() const = 0;
    virtual void SetEmailSubject(const std::string& value) = 0;
    virtual bool SingleFolderOnly() const = 0;
    virtual void SetSingleFolderOnly(bool value) = 0;
    virtual void HideIt() = 0;
    virtual void Terminate() = 0;
    virtual bool ShowIt() = 0;
    // Unloads the form; the owner drops its reference afterwards.
    virtual void Unload() = 0;
};

// The search variant: modeless, it answers through FoldersChosen.
class IChooseOutlookFoldersWithSearch : public IChooseOutlookFolders {
  public:
    using FoldersChosenHandler = std::function<void(ostrevane::FolderListPtr& folderList)>;

    virtual bool ReloadFolderList() = 0;
    // The owner's handler of the event; raised once per decision, before the
    // dialog hides. The list is nothing after a failed show.
    virtual void SetFoldersChosenHandler(FoldersChosenHandler handler) = 0;
    // True while the dialog is shown and its decision is still to come. An
    // owner whose ShowIt returned True asks it to learn whether an answer
    // will follow; a show that ended without FoldersChosen reads False.
    virtual bool Showing() const = 0;
};

enum class ChooserVariant { WholeTree = 2, LazyModal = 3, Search = 4 };

// Creates the chooser forms. The deliverable installs the factory that makes
// the real dialogs; without one, creating a form raises platform::Error.
using ChooserFactory = std::function<std::shared_ptr<IChooseOutlookFolders>(ChooserVariant)>;
void InstallChooserFactory(ChooserFactory factory);
std::shared_ptr<IChooseOutlookFolders> CreateChooser(ChooserVariant variant);
std::shared_ptr<IChooseOutlookFoldersWithSearch> CreateSearchChooser();

}  // namespace plovanex
