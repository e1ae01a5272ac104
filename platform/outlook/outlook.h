#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "platform/outlook/api.h"
#include "platform/outlook/fwd.h"

// The mail client's object model. Every object reads the profile database at
// each call, so a change made through another object, the MAPI library or
// another process is seen at once. A failing call raises platform::Error.
namespace outlook {

// `Class` values.
enum OlObjectClass : int {
    olApplication = 0,
    olNamespace = 1,
    olFolder = 2,
    olRecipient = 4,
    olFolders = 15,
    olItems = 16,
    olRecipients = 17,
    olAppointment = 26,
    olExplorer = 34,
    olInspector = 35,
    olContact = 40,
    olMail = 43,
    olPost = 45,
    olReport = 46,
    olTask = 48,
    olMeetingRequest = 53,
    olItemProperties = 98,
    olItemProperty = 99,
    olAddressEntry = 8,
};

// `GetDefaultFolder` numbers.
enum OlDefaultFolders : int {
    olFolderDeletedItems = 3,
    olFolderOutbox = 4,
    olFolderSentMail = 5,
    olFolderInbox = 6,
    olFolderCalendar = 9,
    olFolderContacts = 10,
    olFolderJournal = 11,
    olFolderNotes = 12,
    olFolderTasks = 13,
    olFolderDrafts = 16,
    olPublicFoldersAllPublicFolders = 18,
    olFolderJunk = 23,
};

// `DefaultItemType` and `CreateItem` numbers.
enum OlItemType : int {
    olMailItem = 0,
    olAppointmentItem = 1,
    olContactItem = 2,
    olTaskItem = 3,
    olJournalItem = 4,
    olNoteItem = 5,
    olPostItem = 6,
    olDistributionListItem = 7,
};

// Recipient `Type`.
enum OlMailRecipientType : int { olTo = 1, olCC = 2, olBCC = 3 };

class Folders;
class Items;
class Recipients;
class Recipient;
class AddressEntry;
class ItemProperties;
class ItemProperty;
using FoldersPtr = std::shared_ptr<Folders>;
using ItemsPtr = std::shared_ptr<Items>;
using RecipientsPtr = std::shared_ptr<Recipients>;
using RecipientPtr = std::shared_ptr<Recipient>;
using AddressEntryPtr = std::shared_ptr<AddressEntry>;
using ItemPropertiesPtr = std::shared_ptr<ItemProperties>;
using ItemPropertyPtr = std::shared_ptr<ItemProperty>;

// Ends a subscription when the last copy is dropped.
using Subscription = std::shared_ptr<void>;

// Every object of the model: `Class` and the type name the language gives.
class PLATFORM_API Object {
  public:
    virtual ~Object();
    virtual int Class() const = 0;
    virtual std::string TypeName() const = 0;
};

class PLATFORM_API Application : public Object {
  public:
    // "9.0.0.3821", "11.0.8217", ...
    virtual std::string Version() const = 0;
    virtual void SetVersion(const std::string& version) = 0;
    // Only "MAPI" is known; any other name raises.
    virtual NameSpacePtr GetNamespace(const std::string& type) = 0;
    // A new unsent item of an item type (olMailItem, ...), saved in the
    // default store's folder of that type (Drafts for mail and posts), or in
    // no folder when the store has none.
    virtual ItemPtr CreateItem(int itemType) = 0;
    // The inspector shown last and not closed, or nothing.
    virtual InspectorPtr ActiveInspector() = 0;
    // The explorer opened last and not closed, or nothing.
    virtual ExplorerPtr ActiveExplorer() = 0;
    // A new explorer window on a folder; it becomes the active explorer.
    virtual ExplorerPtr OpenExplorer(FolderPtr folder) = 0;
};

class PLATFORM_API NameSpace : public Object {
  public:
    virtual ApplicationPtr Application() = 0;
    // The default store's folder of that number; 18 is the root of the
    // public folders, wherever they are. Raises when there is none.
    virtual FolderPtr GetDefaultFolder(int folderType) = 0;
    // By EntryID alone the default store is searched; with a StoreID, that
    // store. Raises when not found.
    virtual FolderPtr GetFolderFromID(const std::string& entryId,
                                      const std::string& storeId = "") = 0;
    virtual ItemPtr GetItemFromID(const std::string& entryId, const std::string& storeId = "") = 0;
    // One top folder per store.
    virtual FoldersPtr Folders() = 0;
    // The mail client's own folder dialog; nothing when the user cancels.
    virtual FolderPtr PickFolder() = 0;
    // The session's open profile, for the MAPI library.
    virtual MAPIObject MAPIOBJECT() = 0;
    // The name of the profile's owner (the default store's).
    virtual std::string CurrentUser() = 0;
};

class PLATFORM_API MAPIFolder : public Object {
  public:
    virtual std::string Name() = 0;
    virtual std::string EntryID() = 0;
    virtual std::string StoreID() = 0;
    // Two backslashes, the store's name, then a backslash and a name per level.
    virtual std::string FolderPath() = 0;
    // The namespace for a store's top folder, else the folder above.
    virtual ObjectPtr Parent() = 0;
    virtual FoldersPtr Folders() = 0;
    virtual ItemsPtr Items() = 0;
    virtual int DefaultItemType() = 0;
    // `fn` runs for every item that arrives in this folder through this
    // process, until the subscription is dropped.
    virtual Subscription OnItemAdd(std::function<void(ItemPtr)> fn) = 0;
};

class PLATFORM_API Folders : public Object {
  public:
    virtual int Count() = 0;
    // Positions count from 1; raises outside 1 to Count.
    virtual FolderPtr Item(int index) = 0;
    // By name, ignoring case; raises when there is none.
    virtual FolderPtr Item(const std::string& name) = 0;
    // A new folder as the client's New Folder makes it; the item type is
    // the parent's when left out. Raises for an empty or taken name.
    virtual FolderPtr Add(const std::string& name, int itemType = -1) = 0;
    virtual ObjectPtr Parent() = 0;
};

// The items of a folder, live: Count and Item read the folder as it is now.
class PLATFORM_API Items : public Object {
  public:
    virtual int Count() = 0;
    // Positions count from 1 in arrival order; raises outside 1 to Count.
    virtual ItemPtr Item(int index) = 0;
    virtual FolderPtr Parent() = 0;
};

// Any item. A member that the item's type lacks raises, as a late-bound
// call does ("MailItem", "MeetingItem", "ReportItem", "PostItem",
// "ContactItem", "AppointmentItem", "TaskItem").
class PLATFORM_API Item : public Object {
  public:
    virtual ApplicationPtr Application() = 0;
    virtual std::string EntryID() = 0;
    // The folder that holds the item, or nothing while it is unsaved.
    virtual FolderPtr Parent() = 0;
    virtual std::string Subject() = 0;
    virtual void SetSubject(const std::string& text) = 0;
    virtual std::string Body() = 0;
    virtual void SetBody(const std::string& text) = 0;
    virtual std::string MessageClass() = 0;
    virtual std::string BillingInformation() = 0;
    virtual void SetBillingInformation(const std::string& text) = 0;
    // Display names of the recipients of that kind, joined by "; ". Setting
    // replaces those recipients, each resolved against the address book.
    virtual std::string To() = 0;
    virtual void SetTo(const std::string& addresses) = 0;
    virtual std::string CC() = 0;
    virtual void SetCC(const std::string& addresses) = 0;
    virtual std::string BCC() = 0;
    virtual void SetBCC(const std::string& addresses) = 0;
    virtual bool Sent() = 0;
    // As the language shows a date: "3/15/2026 2:05:07 PM"; "1/1/4501" while unsent.
    virtual std::string SentOn() = 0;
    virtual std::string SenderName() = 0;
    virtual std::string SenderEmailAddress() = 0;
    // The SMTP address of the mailbox that sends it; "" for the profile owner's.
    virtual std::string SendUsingAccount() = 0;
    virtual void SetSendUsingAccount(const std::string& smtpAddress) = 0;
    // The folder the sent item is saved in, or nothing (then Sent Items).
    virtual FolderPtr SaveSentMessageFolder() = 0;
    virtual void SetSaveSentMessageFolder(FolderPtr folder) = 0;
    // The property read as text: the folder's Name, or "" when none.
    virtual std::string SaveSentMessageFolderText() = 0;
    // Sends an unsent item: Sent True, SentOn now, saved in the folder
    // SaveSentMessageFolder names, else the default store's Sent Items.
    virtual void Send() = 0;
    virtual RecipientsPtr Recipients() = 0;
    virtual ItemPropertiesPtr ItemProperties() = 0;
    // Shows the item in a new inspector, which becomes the active one.
    virtual InspectorPtr Display() = 0;
};

class PLATFORM_API Recipients : public Object {
  public:
    virtual int Count() = 0;
    virtual RecipientPtr Item(int index) = 0;  // from 1
    // A To recipient resolved against the address book.
    virtual RecipientPtr Add(const std::string& address) = 0;
};

class PLATFORM_API Recipient : public Object {
  public:
    virtual std::string Name() = 0;
    virtual std::string Address() = 0;
    virtual int Type() = 0;
    // The address-book entry, or an SMTP entry for an unknown address.
    virtual AddressEntryPtr AddressEntry() = 0;
    // Whether it names an address-book entry or an e-mail address.
    virtual bool Resolved() = 0;
};

class PLATFORM_API AddressEntry : public Object {
  public:
    virtual std::string Name() = 0;
    virtual std::string Address() = 0;
    virtual std::string Type() = 0;  // "SMTP" or "EX"
};

class PLATFORM_API ItemProperties : public Object {
  public:
    virtual int Count() = 0;
    // The named property, or nothing when the item has none.
    virtual ItemPropertyPtr Item(const std::string& name) = 0;
    virtual ItemPropertyPtr Add(const std::string& name, const std::string& value) = 0;
};

class PLATFORM_API ItemProperty : public Object {
  public:
    virtual std::string Name() = 0;
    virtual std::string Value() = 0;
    virtual void SetValue(const std::string& value) = 0;
};

class PLATFORM_API Inspector : public Object {
  public:
    virtual ItemPtr CurrentItem() = 0;
    // Makes it the active inspector.
    virtual void Activate() = 0;
    virtual void Close() = 0;
    // `fn` runs once when the inspector closes: by Close, or when its item
    // has been sent. A send that fails leaves the inspector open.
    virtual Subscription OnClose(std::function<void()> fn) = 0;
};

class PLATFORM_API Explorer : public Object {
  public:
    virtual FolderPtr CurrentFolder() = 0;
    virtual void SetCurrentFolder(FolderPtr folder) = 0;
    virtual void Close() = 0;
};

// Raises the mail client's error for the first recipient of the item that is
// neither in the address book nor an e-mail address. Send checks the same.
PLATFORM_API void CheckNames(Item& item);

// The mail client over an open profile.
PLATFORM_API ApplicationPtr CreateApplication(MAPIObject profile, const std::string& version);
// Opens the profile of that name; raises when there is none.
PLATFORM_API ApplicationPtr OpenApplication(const std::string& profileName,
                                            const std::string& version);

// Answers PickFolder: gives the chosen folder, or nothing for Cancel.
using PickFolderHook = std::function<FolderPtr(NameSpacePtr)>;
// Installs the hook PickFolder calls and gives the one it replaces. Without
// a hook PickFolder raises, so no headless run waits for a person.
PLATFORM_API PickFolderHook InstallPickFolderHook(PickFolderHook hook);
// A hook that picks the folder at a path ("\\Store\Folder"), or cancels for "".
PLATFORM_API PickFolderHook PickFolderAt(const std::string& path);

}  // namespace outlook
