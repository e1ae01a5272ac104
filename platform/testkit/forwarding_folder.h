#pragma once

#include <functional>
#include <memory>
#include <string>
#include <utility>

#include "platform/outlook/outlook.h"

namespace testkit {

// A folder of the mail client's model that passes every call on to another
// folder. A test's decorator derives from it and overrides only the calls it
// changes.
class ForwardingFolder : public outlook::MAPIFolder {
  public:
    explicit ForwardingFolder(outlook::FolderPtr folder) : folder_(std::move(folder)) {}
    int Class() const override { return folder_->Class(); }
    std::string TypeName() const override { return folder_->TypeName(); }
    std::string Name() override { return folder_->Name(); }
    std::string EntryID() override { return folder_->EntryID(); }
    std::string StoreID() override { return folder_->StoreID(); }
    std::string FolderPath() override { return folder_->FolderPath(); }
    outlook::ObjectPtr Parent() override { return folder_->Parent(); }
    outlook::FoldersPtr Folders() override { return folder_->Folders(); }
    outlook::ItemsPtr Items() override { return folder_->Items(); }
    int DefaultItemType() override { return folder_->DefaultItemType(); }
    outlook::Subscription OnItemAdd(std::function<void(outlook::ItemPtr)> fn) override {
        return folder_->OnItemAdd(std::move(fn));
    }

  protected:
    // The folder the calls go to.
    outlook::MAPIFolder& Inner() const { return *folder_; }

  private:
    outlook::FolderPtr folder_;
};

}  // namespace testkit
