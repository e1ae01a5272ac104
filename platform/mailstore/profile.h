#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace mailstore {

using Id = std::int64_t;

enum class StoreKind { Personal = 0, Mailbox = 1, Public = 2 };
enum class FolderKind { Root = 0, Generic = 1, Search = 2 };

// Default-folder roles: the mail client's default folder numbers.
namespace role {
constexpr int kNone = 0;
constexpr int kDeletedItems = 3;
constexpr int kOutbox = 4;
constexpr int kSentItems = 5;
constexpr int kInbox = 6;
constexpr int kCalendar = 9;
constexpr int kContacts = 10;
constexpr int kJournal = 11;
constexpr int kNotes = 12;
constexpr int kTasks = 13;
constexpr int kDrafts = 16;
constexpr int kPublicFoldersAll = 18;
constexpr int kJunk = 23;
}  // namespace role

// Item classes: the mail client's Class numbers.
namespace item_class {
constexpr int kAppointment = 26;
constexpr int kContact = 40;
constexpr int kMail = 43;
constexpr int kPost = 45;
constexpr int kReport = 46;
constexpr int kTask = 48;
constexpr int kMeetingRequest = 53;
}  // namespace item_class

struct StoreRow {
    Id id = 0;
    std::string entryId;
    std::string name;
    StoreKind kind = StoreKind::Personal;
    bool isDefault = false;
    std::string ownerName;
    std::string ownerSmtp;
    Id rootId = 0;
};

// Folders nest at most this many levels below their store's root folder. A
// deeper folder is refused, and a profile file that holds one, or a folder
// that is its own ancestor, is refused as damaged.
inline constexpr int kMaxFolderDepth = 256;

struct FolderRow {
    Id id = 0;
    std::string entryId;
    Id storeId = 0;
    std::optional<Id> parentId;  // none for a store's root
    std::string name;
    int role = role::kNone;
    int itemType = 0;
    FolderKind kind = FolderKind::Generic;
};

struct RecipientRow {
    std::string name;
    std::string address;
    std::string addressType;  // "SMTP" or "EX"
    int type = 1;             // 1 To, 2 CC, 3 BCC
    std::optional<Id> entry;  // address-book entry

    bool operator==(const RecipientRow&) const = default;
};

struct ItemRow {
    Id id = 0;
    std::string entryId;
    std::optional<Id> folderId;  // none while unsaved
    Id storeId = 0;
    int itemClass = item_class::kMail;
    std::string messageClass = "IPM.Note";
    std::string subject;
    std::string body;
    std::string billing;
    bool sent = false;
    std::string sentOn;  // ISO 8601 local time, empty while unsent
    std::string internetMessageId;
    std::optional<Id> saveSentFolderId;
    std::string senderName;
    std::string senderAddress;
    std::optional<Id> senderEntry;
    std::string sentOnBehalfOf;
    std::string sendUsing;  // SMTP address of the sending mailbox; empty for the owner's

    bool operator==(const ItemRow&) const = default;
};

struct AddressEntryRow {
    Id id = 0;
    std::string entryId;
    std::string name;
    std::string type;     // "SMTP" or "EX"
    std::string address;  // SMTP address, or X.500 text for "EX"
    std::string smtp;
};

// One row of the folder-table query.
struct FolderTableRow {
    std::string fullName;
    std::string entryId;
    std::string storeId;
    int childCount = 0;
};

// What the profile holds of one item: its row, recipients and properties.
struct ItemSnapshot {
    ItemRow row;
    std::vector<RecipientRow> recipients;
    std::vector<std::pair<std::string, std::string>> properties;

    bool operator==(const ItemSnapshot&) const = default;
};

// What a mail window saves to its unsent mail.
struct DraftFields {
    std::string subject;
    std::string body;
    std::string sendUsing;
    std::vector<RecipientRow> recipients;
};

// Item text fields that can be written one at a time.
enum class ItemField { Subject, Body, Billing, MessageClass, SentOnBehalfOf, SendUsing };

// The state Send writes, in one transaction with the move into `folder`.
struct SentInfo {
    std::string sentOn;
    std::string internetMessageId;
    std::string senderName;
    std::string senderAddress;
    std::optional<Id> senderEntry;
};

// Ends a subscription when the last copy is dropped.
using Subscription = std::shared_ptr<void>;

// One mail profile: a SQLite file under OSTREVANE_HOME/profiles holding
// stores, folders, items, recipients, named item properties and the address
// book. Every call reads the file afresh, so what one object, view or
// process writes is seen at once by the others. Failures raise
// platform::Error naming the file.
class Profile {
  public:
    // The file of the profile of that name.
    static std::filesystem::path FileFor(const std::string& name);
    static bool Exists(const std::string& name);
    // A new, empty profile; raises when one of that name exists.
    static std::shared_ptr<Profile> Create(const std::string& name);
    // An existing profile; raises when there is none.
    static std::shared_ptr<Profile> Open(const std::string& name);

    ~Profile();
    Profile(const Profile&) = delete;
    Profile& operator=(const Profile&) = delete;

    const std::string& Name() const;
    const std::filesystem::path& File() const;
    // A number that moves on whenever the file may have changed: a write
    // through this object, another object or another process. Two calls that
    // give the same number saw the same file. While nobody writes, asking
    // reads nothing from the file in WAL mode and only its header in the
    // other journal modes.
    std::uint64_t Generation();

    // Stores. The first store added becomes the default unless another is
    // marked default. Each store gets a root folder named after it.
    Id AddStore(const std::string& name, StoreKind kind, const std::string& ownerName,
                const std::string& ownerSmtp, bool isDefault = false);
    std::vector<StoreRow> Stores();
    StoreRow Store(Id id);
    std::optional<StoreRow> DefaultStore();
    std::optional<StoreRow> StoreByEntryId(const std::string& entryId);
    // The store whose owner has this name, SMTP address or X.500 address,
    // compared without regard to case.
    std::optional<StoreRow> StoreOfOwner(const std::string& who);

    // Folders. A folder below kMaxFolderDepth levels is refused.
    Id AddFolder(Id parent, const std::string& name, int itemType = 0, int folderRole = role::kNone,
                 FolderKind kind = FolderKind::Generic);
    // A folder renamed, as the mail client's Rename does; raises for an
    // empty name or one a sibling holds.
    void RenameFolder(Id folder, const std::string& name);
    // A folder deleted for good with its subfolders and their items, in one
    // transaction; a store's root folder cannot be deleted.
    void DeleteFolder(Id folder);
    // A store taken out of the profile with everything it holds; the
    // default store cannot be removed.
    void RemoveStore(Id store);
    FolderRow Folder(Id id);
    std::optional<FolderRow> FindFolder(Id id);
    // By EntryID in the default store, or in the store of that StoreID.
    std::optional<Id> FolderByEntryId(const std::string& entryId,
                                      const std::string& storeEntryId = "");
    std::vector<FolderRow> Children(Id folder);
    int ChildCount(Id folder);
    std::optional<Id> DefaultFolder(Id store, int folderRole);
    // Two backslashes, the store's name, then a backslash and a name per level.
    std::string FolderPath(Id folder);
    // The names of a folder's levels, its store's root first.
    std::vector<std::string> FolderLevels(Id folder);
    // The folder at such a path; leading backslashes may be missing.
    std::optional<Id> FolderByPath(const std::string& path);
    // The folder at the names of its levels, its store's root first.
    std::optional<Id> FolderByLevels(const std::vector<std::string>& parts);
    std::vector<FolderTableRow> FolderTable(Id folder);

    // Items.
    Id AddItem(const ItemRow& item, const std::vector<RecipientRow>& recipients = {});
    ItemRow Item(Id id);
    std::optional<ItemRow> FindItem(Id id);
    std::optional<Id> ItemByEntryId(const std::string& entryId,
                                    const std::string& storeEntryId = "");
    int ItemCount(Id folder);
    // 0-based, in arrival order. The folder's ids are kept while it does not
    // change, and this object's own moves, copies, sends and adds keep them
    // current, so a read costs the same at any position.
    std::optional<Id> ItemAt(Id folder, int index);
    std::vector<Id> ItemsIn(Id folder);
    std::vector<Id> ItemsByMessageId(const std::string& internetMessageId);
    void SetItemField(Id item, ItemField field, const std::string& value);
    // The fields and all recipients of an unsent item written in one
    // transaction; raises when the item is gone or was sent.
    void SaveDraft(Id item, const DraftFields& fields);
    void SetSaveSentFolder(Id item, std::optional<Id> folder);
    // One transaction: the item is in exactly one folder before and after.
    void MoveItem(Id item, Id folder);
    // A new item with a new EntryID that keeps the Internet message id.
    Id CopyItem(Id item, Id folder);
    // Marks the item sent and files it in `folder`, in one transaction.
    void SendItem(Id item, Id folder, const SentInfo& info);
    // The item deleted for good with its recipients and properties, in one
    // transaction; raises when there is none.
    void DeleteItem(Id item);
    // The item as it stands; none once it is gone.
    std::optional<ItemSnapshot> Snapshot(Id item);
    // The item deleted as DeleteItem does, in the same transaction that finds
    // it exactly as `snapshot` shows it, unsent and in its store's Drafts.
    // Gives whether it was deleted; a changed item is left alone.
    bool DeleteItemIfUnchanged(const ItemSnapshot& snapshot);

    std::vector<RecipientRow> Recipients(Id item);
    void SetRecipients(Id item, const std::vector<RecipientRow>& recipients);
    void AddRecipient(Id item, const RecipientRow& recipient);

    std::optional<std::string> Property(Id item, const std::string& name);
    void SetProperty(Id item, const std::string& name, const std::string& value);
    std::vector<std::pair<std::string, std::string>> Properties(Id item);

    // Address book.
    Id AddAddressEntry(const std::string& name, const std::string& type, const std::string& address,
                       const std::string& smtp);
    std::vector<AddressEntryRow> AddressBook();
    AddressEntryRow AddressEntry(Id id);
    // The entry whose SMTP address, address or name is `text`, ignoring case.
    std::optional<AddressEntryRow> ResolveAddress(const std::string& text);

    // `fn` runs after each item that arrives in `folder` through this
    // process (add, send, move, copy), with the item's id.
    Subscription OnItemArrived(Id folder, std::function<void(Id item)> fn);

    // A new EntryID for an object of `store` (hexadecimal, upper case).
    std::string NewEntryId(Id store);

  private:
    explicit Profile(std::string name, std::filesystem::path file, bool create);
    friend struct ProfileTestAccess;  // the tests of what an object keeps
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

using ProfilePtr = std::shared_ptr<Profile>;

// The demo layout: three stores, the default folders, mail folders, a shared
// mailbox, public folders and the address book.
void BuildDemoLayout(Profile& profile);

// The default store's folder of a default-folder number; for the public
// folders' root (18) any store's.
std::optional<Id> DefaultFolderOf(Profile& profile, int folderRole);

// Whether two texts are equal, ignoring the case of ASCII letters.
bool SameText(const std::string& a, const std::string& b);

// The current local time as ISO 8601 text.
std::string NowText();

// A recipient as the mail client resolves it at compose time: a known
// address (SMTP address, X.500 address or display name) becomes that
// address-book entry; an unknown one an SMTP recipient named by the address.
RecipientRow ResolveRecipient(Profile& profile, const std::string& text, int type);

// Every recipient of a list written as the mail client writes To: addresses
// parted by ";" or ",", blanks around them ignored.
std::vector<RecipientRow> ResolveRecipients(Profile& profile, const std::string& list, int type);

// The store that sends for `smtp`: the one whose owner has that address, or
// the default store for an empty text. Raises when there is none.
StoreRow SendingStore(Profile& profile, const std::string& smtp);

// What a sent mail records of its sender: the sending mailbox's owner, with
// the X.500 address when the address book knows the owner as an Exchange
// entry, else the SMTP address; a fresh message id; the time now.
SentInfo SenderInfo(Profile& profile, const StoreRow& mailbox);

}  // namespace mailstore
