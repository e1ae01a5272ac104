#pragma once

#include <string>
#include <utility>
#include <vector>

#include "platform/mailstore/profile.h"

namespace testkit {

// An item for ProfileBuilder::Add. Addresses are resolved against the
// address book as the mail client resolves them when a mail is composed.
struct ItemSpec {
    std::string subject{};
    std::string body{};
    std::string to{};  // addresses parted by ";"
    std::string cc{};
    std::string bcc{};
    int itemClass = mailstore::item_class::kMail;
    std::string messageClass{};  // empty: the class's usual one
    bool sent = true;
    std::string from{};  // SMTP address of the sending mailbox; empty: the default store's owner
    std::string billing{};
    std::vector<std::pair<std::string, std::string>> properties{};
};

// Full paths of the demo layout's folders, as the mail client writes them.
struct DemoPaths {
    static constexpr const char* kPersonal = "\\\\Personal Folders";
    static constexpr const char* kInbox = "\\\\Personal Folders\\Inbox";
    static constexpr const char* kSentItems = "\\\\Personal Folders\\Sent Items";
    static constexpr const char* kDeleted = "\\\\Personal Folders\\Deleted Items";
    static constexpr const char* kDrafts = "\\\\Personal Folders\\Drafts";
    static constexpr const char* kClients = "\\\\Personal Folders\\Clients";
    static constexpr const char* kAcme = "\\\\Personal Folders\\Clients\\Acme";
    static constexpr const char* kGlobex = "\\\\Personal Folders\\Clients\\Globex";
    static constexpr const char* kProjects = "\\\\Personal Folders\\Projects";
    static constexpr const char* kApollo = "\\\\Personal Folders\\Projects\\Apollo";
    static constexpr const char* kZephyr = "\\\\Personal Folders\\Projects\\Zephyr";
    static constexpr const char* kArchive = "\\\\Personal Folders\\Archive\\2026";
    static constexpr const char* kTeamInbox = "\\\\Mailbox - Team Desk\\Inbox";
};

// Builds a profile under the current OSTREVANE_HOME in a few lines:
//
//   testkit::ProfileBuilder kit;                  // profile "Default"
//   kit.Store("Mailbox - A", "A", "a@example.com")
//      .Folder("\\\\Mailbox - A\\Inbox", 0, mailstore::role::kInbox)
//      .Folder("\\\\Mailbox - A\\Clients\\Acme");  // missing levels are made
//   auto id = kit.Add("\\\\Mailbox - A\\Inbox", {.subject = "Hello", .to = "b@example.com"});
//
// or testkit::ProfileBuilder().Demo() for the demo layout.
class ProfileBuilder {
  public:
    explicit ProfileBuilder(const std::string& name = "Default");

    ProfileBuilder& Demo();
    ProfileBuilder& Store(const std::string& name, const std::string& ownerName = "",
                          const std::string& ownerSmtp = "",
                          mailstore::StoreKind kind = mailstore::StoreKind::Personal,
                          bool isDefault = false);
    // A folder at that path; levels that are missing become mail folders.
    ProfileBuilder& Folder(const std::string& path, int itemType = 0,
                           int folderRole = mailstore::role::kNone,
                           mailstore::FolderKind kind = mailstore::FolderKind::Generic);
    ProfileBuilder& Entry(const std::string& name, const std::string& type,
                          const std::string& address, const std::string& smtp);
    ProfileBuilder& Item(const std::string& folderPath, const ItemSpec& spec);
    // Writes past the profile's own checks, as another program could: a
    // chain of `levels` folders below the folder at `parentPath` ("F1" holds
    // "F2", and so on), a folder's parent set to another folder, or a
    // folder's name set to one the profile refuses.
    ProfileBuilder& NestedChain(const std::string& parentPath, int levels);
    ProfileBuilder& SetParent(const std::string& path, const std::string& parentPath);
    ProfileBuilder& SetName(const std::string& path, const std::string& name);
    // Runs a statement on the file, as another program could.
    ProfileBuilder& Write(const std::string& statement);
    // The same as Item, giving the new item's id.
    mailstore::Id Add(const std::string& folderPath, const ItemSpec& spec);

    mailstore::ProfilePtr Profile() const { return profile_; }
    // The folder at a path; fails the test when there is none.
    mailstore::Id FolderId(const std::string& path) const;

  private:
    mailstore::ProfilePtr profile_;
};

// The items that lie in no folder, read past the profile's own calls.
std::vector<mailstore::Id> ItemsInNoFolder(const mailstore::Profile& profile);

// The folder ids in which items of this Internet message id lie.
std::vector<mailstore::Id> FoldersHolding(mailstore::Profile& profile,
                                          const std::string& internetMessageId);

// The paths of the folders that hold an item of this subject, in order,
// one path for each such item.
std::vector<std::string> FolderPathsOfSubject(mailstore::Profile& profile,
                                              const std::string& subject);

}  // namespace testkit
