#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/mirelink/fwd.h"
#include "platform/outlook/api.h"
#include "platform/outlook/outlook.h"

// The MAPI library over the mail profile. Its objects read the profile
// database at every call, as the mail client's objects do, so both views
// agree at once. A failing call raises platform::Error with a description.
namespace mirelink {

class RDOStores;
class RDOFolders;
class MAPITable;
class FolderTable;
class SafeRecipients;
class SafeRecipient;
using StoresPtr = std::shared_ptr<RDOStores>;
using FoldersPtr = std::shared_ptr<RDOFolders>;
using MAPITablePtr = std::shared_ptr<MAPITable>;
using FolderTablePtr = std::shared_ptr<FolderTable>;
using SafeRecipientsPtr = std::shared_ptr<SafeRecipients>;
using SafeRecipientPtr = std::shared_ptr<SafeRecipient>;
using MAPIUtilsPtr = std::shared_ptr<KVMAPIUtils>;

// Folder kinds (`FolderKind`).
enum FolderKind : int { kRootFolder = 0, kGenericFolder = 1, kSearchFolder = 2 };

class PLATFORM_API KVRDOSession : public outlook::Object {
  public:
    // The default profile: the one `CurrentProfile` names (without its
    // "HalvoxSoftware - " prefix) when that is set, else "Default".
    virtual void Logon() = 0;
    // The profile of that name; an empty name is the default profile.
    virtual void Logon(const std::string& profileName) = 0;
    virtual void Logoff() = 0;
    virtual bool LoggedOn() = 0;
    virtual outlook::MAPIObject MAPIOBJECT() = 0;
    // Takes the mail client's session (its namespace's MAPIOBJECT).
    virtual void SetMAPIOBJECT(outlook::MAPIObject profile) = 0;

    // The default store's folder of that number (18: the public folders'
    // root, wherever it is). Raises when there is none.
    virtual FolderPtr GetDefaultFolder(int folderType) = 0;
    // By EntryID alone the default store is searched; with a StoreID that
    // store. Raises when not found.
    virtual FolderPtr GetFolderFromID(const std::string& entryId,
                                      const std::string& storeId = "") = 0;
    virtual MailPtr GetMessageFromID(const std::string& entryId,
                                     const std::string& storeId = "") = 0;
    // The default folder of the mailbox whose owner is `who` (display name,
    // SMTP or X.500 address). Raises when there is none.
    virtual FolderPtr GetSharedDefaultFolder(const std::string& who, int folderType) = 0;
    virtual FolderPtr GetSharedDefaultFolder(AddressEntryPtr who, int folderType) = 0;
    // "\\Store\Folder\Sub"; raises for a path that does not resolve.
    virtual FolderPtr GetFolderFromPath(const std::string& path) = 0;
    virtual StoresPtr Stores() = 0;
    // The profile's owner: the default store's, with its address-book entry.
    virtual AddressEntryPtr CurrentUser() = 0;
};

class PLATFORM_API RDOStores : public outlook::Object {
  public:
    virtual int Count() = 0;
    virtual StorePtr Item(int index) = 0;  // from 1
    virtual StorePtr DefaultStore() = 0;
};

class PLATFORM_API RDOStore : public outlook::Object {
  public:
    virtual std::string Name() = 0;
    virtual std::string EntryID() = 0;  // the StoreID of its folders
    virtual bool Default() = 0;
    virtual FolderPtr RootFolder() = 0;
};

class PLATFORM_API RDOFolder : public outlook::Object {
  public:
    virtual std::string Name() = 0;
    virtual std::string EntryID() = 0;
    virtual std::string StoreID() = 0;
    virtual std::string FolderPath() = 0;
    virtual int DefaultItemType() = 0;
    virtual int FolderKind() = 0;
    // The folder above, or nothing for a store's root.
    virtual FolderPtr Parent() = 0;
    virtual FoldersPtr Folders() = 0;
};

class PLATFORM_API RDOFolders : public outlook::Object {
  public:
    virtual int Count() = 0;
    virtual FolderPtr Item(int index) = 0;  // from 1
    // A new mail folder (the parent's item type when left out).
    virtual FolderPtr Add(const std::string& name, int itemType = -1) = 0;
    virtual MAPITablePtr MAPITable() = 0;
};

// The folder table of a Folders collection.
class PLATFORM_API MAPITable : public outlook::Object {
  public:
    // Answers the folder-table query: SELECT FullName, EntryID, then the
    // DASL names of the store's EntryID and the child count in double
    // quotes "As StoreId" and "As ChildCount", FROM Folders. Refuses other
    // queries with an error naming the query.
    virtual FolderTablePtr ExecSQL(const std::string& sql) = 0;
};

// The answer of the folder-table query: one row per direct subfolder with
// the columns FullName, EntryID, StoreId and ChildCount.
class PLATFORM_API FolderTable {
  public:
    struct Row {
        std::string FullName;
        std::string EntryID;
        std::string StoreId;
        int ChildCount = 0;
    };
    explicit FolderTable(std::vector<Row> rows);
    int RecordCount() const;
    static const std::vector<std::string>& Columns();
    const std::vector<Row>& Rows() const;
    // A column of a row (from 0), by name ignoring case, as text; raises
    // for an unknown column or row.
    std::string Field(int row, const std::string& column) const;

  private:
    std::vector<Row> rows_;
};

class PLATFORM_API RDOMail : public outlook::Object {
  public:
    virtual std::string EntryID() = 0;
    virtual std::string Subject() = 0;
    virtual std::string MessageClass() = 0;
    // The folder that holds it.
    virtual FolderPtr Parent() = 0;
    // Moves it in one transaction; the same message, now in `folder`.
    virtual MailPtr Move(FolderPtr folder) = 0;
    // A copy in `folder`, with its own EntryID.
    virtual MailPtr CopyTo(FolderPtr folder) = 0;
};

class PLATFORM_API RDOAddressEntry : public outlook::Object {
  public:
    virtual std::string Name() = 0;
    virtual std::string Type() = 0;     // "SMTP" or "EX"
    virtual std::string Address() = 0;  // SMTP address, or X.500 text for "EX"
    virtual std::string SMTPAddress() = 0;
    std::string smtpAddress() { return SMTPAddress(); }
};

// The SMTP address of an address entry: an Exchange entry's from the address
// book, any other entry's own address.
PLATFORM_API std::string SmtpAddressOf(const AddressEntryPtr& entry);

// Wraps one mail client item; set Item first.
class PLATFORM_API KVSafeMailItem : public outlook::Object {
  public:
    virtual void SetItem(outlook::ItemPtr item) = 0;
    virtual outlook::ItemPtr Item() = 0;
    // The sending mailbox's address-book entry, or nothing while unsent.
    virtual AddressEntryPtr Sender() = 0;
    virtual std::string SenderName() = 0;
    virtual std::string SenderEmailAddress() = 0;
    virtual std::string SentOnBehalfOfName() = 0;
    virtual std::string Subject() = 0;
    virtual std::string Body() = 0;
    virtual SafeRecipientsPtr Recipients() = 0;
};

class PLATFORM_API SafeRecipients : public outlook::Object {
  public:
    virtual int Count() = 0;
    virtual SafeRecipientPtr Item(int index) = 0;  // from 1
};

class PLATFORM_API SafeRecipient : public outlook::Object {
  public:
    virtual std::string Name() = 0;
    virtual int Type() = 0;  // 1 To, 2 CC, 3 BCC
    virtual std::string Address() = 0;
    // The address-book entry; a one-off SMTP entry for an address the book
    // does not hold.
    virtual AddressEntryPtr AddressEntry() = 0;
};

// What the address-book dialog is asked to show.
struct AddressBookRequest {
    std::string title{};
    int recipLists = 1;  // how many lists: To, then CC, then BCC
    std::string toLabel{};
    std::string ccLabel{};
    std::string bccLabel{};
    bool oneAddress = false;
};

// One pick of the address-book dialog: an entry and the list it went to.
struct AddressBookPick {
    AddressEntryPtr entry;
    int type = 1;
};

// Answers the address-book dialog: the picks, or nothing for Cancel.
using AddressBookHook = std::function<std::optional<std::vector<AddressBookPick>>(
    const AddressBookRequest&, const std::vector<AddressEntryPtr>& entries)>;
// Installs the hook and gives the one it replaces. Without a hook the
// address book raises, so no headless run waits for a person.
PLATFORM_API AddressBookHook InstallAddressBookHook(AddressBookHook hook);
// A hook that picks the entries with these SMTP addresses (To), or cancels
// for an empty list.
PLATFORM_API AddressBookHook PickAddresses(std::vector<std::string> smtpAddresses);

class PLATFORM_API KVMAPIUtils : public outlook::Object {
  public:
    // The session's profile for the address book; when none is set the
    // default profile is logged on to.
    virtual void SetMAPIOBJECT(outlook::MAPIObject profile) = 0;
    // Shows the address book; the picked recipients, or nothing for Cancel.
    virtual SafeRecipientsPtr AddressBook(const AddressBookRequest& request) = 0;
    // Every entry of the address book.
    virtual std::vector<AddressEntryPtr> AddressEntries() = 0;
};

// Creates a class of the library by its name: "Mirelink.KVRDOSession",
// "Mirelink.KVSafeMailItem", "Mirelink.KVMAPIUtils" (ignoring case). Raises
// for any other name, and for every name while the library is withdrawn.
PLATFORM_API std::shared_ptr<outlook::Object> CreateObject(const std::string& className);
PLATFORM_API SessionPtr CreateSession();
PLATFORM_API SafeMailItemPtr CreateSafeMailItem();
PLATFORM_API MAPIUtilsPtr CreateMAPIUtils();

// For tests: while withdrawn, every creating call fails as when the library
// is missing. Gives the state it replaces.
PLATFORM_API bool SetLibraryWithdrawn(bool withdrawn);

}  // namespace mirelink
