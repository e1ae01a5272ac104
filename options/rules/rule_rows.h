#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace plovanex {

// A Collection of texts, held by reference: a Set shares it, never copies.
using StringCollection = std::shared_ptr<std::vector<std::string>>;
inline StringCollection NewStringCollection() {
    return std::make_shared<std::vector<std::string>>();
}

// What both kinds of rule hold: the key, the target folders and a contact
// count.
class RuleRow {
  public:
    std::int32_t Key() const { return key_; }
    void SetKey(std::int32_t value) { key_ = value; }
    std::int32_t ContactCount() const { return contactCount_; }
    void SetContactCount(std::int32_t value) { contactCount_ = value; }
    StringCollection FolderStoreIds() const { return folderStoreIds_; }
    void SetFolderStoreIds(StringCollection value) { folderStoreIds_ = std::move(value); }
    StringCollection FolderNames() const { return folderNames_; }
    void SetFolderNames(StringCollection value) { folderNames_ = std::move(value); }
    StringCollection FolderEntryIds() const { return folderEntryIds_; }
    void SetFolderEntryIds(StringCollection value) { folderEntryIds_ = std::move(value); }
    std::int32_t folderCount() const { return folderCount_; }
    void SetFolderCount(std::int32_t value) { folderCount_ = value; }

  private:
    std::int32_t key_ = 0;
    std::int32_t contactCount_ = 0;
    StringCollection folderStoreIds_ = NewStringCollection();
    StringCollection folderNames_ = NewStringCollection();
    StringCollection folderEntryIds_ = NewStringCollection();
    std::int32_t folderCount_ = 0;
};

// One contact rule.
class CAssociateRow : public RuleRow {
  public:
    StringCollection ContactTags() const { return contactTags_; }
    void SetContactTags(StringCollection value) { contactTags_ = std::move(value); }
    StringCollection ContactNames() const { return contactNames_; }
    void SetContactNames(StringCollection value) { contactNames_ = std::move(value); }

  private:
    StringCollection contactTags_ = NewStringCollection();
    StringCollection contactNames_ = NewStringCollection();
};

// One keyword rule. ContactCount is carried; no reader uses it.
class CKeywordRow : public RuleRow {
  public:
    const std::string& keywords() const { return keywords_; }
    void SetKeywords(std::string value) { keywords_ = std::move(value); }

  private:
    std::string keywords_;
};

}  // namespace plovanex
