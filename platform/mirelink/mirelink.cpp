#include "platform/mirelink/mirelink.h"

#include <algorithm>
#include <atomic>
#include <cctype>
#include <mutex>
#include <regex>

#include "platform/error.h"
#include "platform/mailstore/profile.h"
#include "platform/ostrevane/smtp_address_helper.h"
#include "platform/settings/settings_store.h"

namespace mirelink {

namespace {

using mailstore::Id;
using mailstore::ProfilePtr;

[[noreturn]] void Raise(const std::string& text) {
    throw platform::Error(text);
}

using mailstore::SameText;

std::atomic<bool> withdrawn{false};
std::mutex hookMutex;
AddressBookHook addressBookHook;

FolderPtr MakeFolder(const ProfilePtr& p, Id id);

// ---- address entries

class AddressEntryImpl : public RDOAddressEntry {
  public:
    explicit AddressEntryImpl(mailstore::AddressEntryRow row) : row_(std::move(row)) {}
    int Class() const override { return outlook::olAddressEntry; }
    std::string TypeName() const override { return "RDOAddressEntry"; }
    std::string Name() override { return row_.name; }
    std::string Type() override { return row_.type; }
    std::string Address() override { return row_.address; }
    std::string SMTPAddress() override { return row_.type == "EX" ? row_.smtp : row_.address; }

  private:
    mailstore::AddressEntryRow row_;
};

// A one-off SMTP entry for an address the address book does not hold.
AddressEntryPtr OneOff(const std::string& name, const std::string& address) {
    mailstore::AddressEntryRow row;
    row.name = name;
    row.type = "SMTP";
    row.address = address;
    row.smtp = address;
    return std::make_shared<AddressEntryImpl>(row);
}

AddressEntryPtr EntryOf(const ProfilePtr& p, const mailstore::RecipientRow& r) {
    if (r.entry) {
        return std::make_shared<AddressEntryImpl>(p->AddressEntry(*r.entry));
    }
    return OneOff(r.name, r.address);
}

// ---- safe recipients

class SafeRecipientImpl : public SafeRecipient {
  public:
    SafeRecipientImpl(ProfilePtr p, mailstore::RecipientRow row)
        : p_(std::move(p)), row_(std::move(row)) {}
    int Class() const override { return outlook::olRecipient; }
    std::string TypeName() const override { return "SafeRecipient"; }
    std::string Name() override { return row_.name; }
    int Type() override { return row_.type; }
    std::string Address() override { return row_.address; }
    AddressEntryPtr AddressEntry() override { return EntryOf(p_, row_); }

  private:
    ProfilePtr p_;
    mailstore::RecipientRow row_;
};

class SafeRecipientsImpl : public SafeRecipients {
  public:
    SafeRecipientsImpl(ProfilePtr p, std::vector<mailstore::RecipientRow> rows)
        : p_(std::move(p)), rows_(std::move(rows)) {}
    int Class() const override { return outlook::olRecipients; }
    std::string TypeName() const override { return "SafeRecipients"; }
    int Count() override { return static_cast<int>(rows_.size()); }
    SafeRecipientPtr Item(int index) override {
        if (index < 1 || index > Count()) {
            Raise("Recipients.Item: index " + std::to_string(index) + " is out of range");
        }
        return std::make_shared<SafeRecipientImpl>(p_, rows_[static_cast<size_t>(index - 1)]);
    }

  private:
    ProfilePtr p_;
    std::vector<mailstore::RecipientRow> rows_;
};

// ---- messages

class MailImpl : public RDOMail, public std::enable_shared_from_this<MailImpl> {
  public:
    MailImpl(ProfilePtr p, Id id) : p_(std::move(p)), id_(id) {}
    int Class() const override { return p_->Item(id_).itemClass; }
    std::string TypeName() const override { return "RDOMail"; }
    std::string EntryID() override { return p_->Item(id_).entryId; }
    std::string Subject() override { return p_->Item(id_).subject; }
    std::string MessageClass() override { return p_->Item(id_).messageClass; }
    FolderPtr Parent() override {
        auto folder = p_->Item(id_).folderId;
        return folder ? MakeFolder(p_, *folder) : nullptr;
    }
    MailPtr Move(FolderPtr folder) override;
    MailPtr CopyTo(FolderPtr folder) override;

  private:
    ProfilePtr p_;
    Id id_;
};

// ---- folders

class MAPITableImpl : public MAPITable {
  public:
    MAPITableImpl(ProfilePtr p, Id folder) : p_(std::move(p)), folder_(folder) {}
    int Class() const override { return 0; }
    std::string TypeName() const override { return "MAPITable"; }
    FolderTablePtr ExecSQL(const std::string& sql) override {
        static const std::regex kQuery(
            R"(\s*SELECT\s+FullName\s*,\s*EntryID\s*,\s*)"
            R"("http://schemas\.microsoft\.com/mapi/proptag/0x0FFB0102"\s+As\s+StoreId\s*,\s*)"
            R"("http://schemas\.microsoft\.com/mapi/proptag/0x66380003"\s+As\s+ChildCount\s+)"
            R"(FROM\s+Folders\s*;?\s*)",
            std::regex::icase);
        if (!std::regex_match(sql, kQuery)) {
            Raise("MAPITable.ExecSQL: the query is not supported: " + sql);
        }
        std::vector<FolderTable::Row> rows;
        for (auto& r : p_->FolderTable(folder_)) {
            rows.push_back({r.fullName, r.entryId, r.storeId, r.childCount});
        }
        return std::make_shared<FolderTable>(std::move(rows));
    }

  private:
    ProfilePtr p_;
    Id folder_;
};

class FoldersImpl : public RDOFolders {
  public:
    FoldersImpl(ProfilePtr p, Id parent) : p_(std::move(p)), parent_(parent) {}
    int Class() const override { return outlook::olFolders; }
    std::string TypeName() const override { return "RDOFolders"; }
    int Count() override { return p_->ChildCount(parent_); }
    FolderPtr Item(int index) override {
        auto children = p_->Children(parent_);
        if (index < 1 || index > static_cast<int>(children.size())) {
            Raise("Folders.Item: index " + std::to_string(index) + " is out of range");
        }
        return MakeFolder(p_, children[static_cast<size_t>(index - 1)].id);
    }
    FolderPtr Add(const std::string& name, int itemType) override {
        if (itemType < 0) {
            itemType = p_->Folder(parent_).itemType;
        }
        return MakeFolder(p_, p_->AddFolder(parent_, name, itemType));
    }
    MAPITablePtr MAPITable() override { return std::make_shared<MAPITableImpl>(p_, parent_); }

  private:
    ProfilePtr p_;
    Id parent_;
};

class FolderImpl : public RDOFolder {
  public:
    FolderImpl(ProfilePtr p, Id id) : p_(std::move(p)), id_(id) {}
    int Class() const override { return outlook::olFolder; }
    std::string TypeName() const override { return "RDOFolder"; }
    std::string Name() override { return Row().name; }
    std::string EntryID() override { return Row().entryId; }
    std::string StoreID() override { return p_->Store(Row().storeId).entryId; }
    std::string FolderPath() override { return p_->FolderPath(id_); }
    int DefaultItemType() override { return Row().itemType; }
    int FolderKind() override { return static_cast<int>(Row().kind); }
    FolderPtr Parent() override {
        auto parent = Row().parentId;
        return parent ? MakeFolder(p_, *parent) : nullptr;
    }
    FoldersPtr Folders() override { return std::make_shared<FoldersImpl>(p_, id_); }

    Id RowId() const { return id_; }
    const ProfilePtr& Profile() const { return p_; }

  private:
    mailstore::FolderRow Row() { return p_->Folder(id_); }
    ProfilePtr p_;
    Id id_;
};

FolderPtr MakeFolder(const ProfilePtr& p, Id id) {
    return std::make_shared<FolderImpl>(p, id);
}

// The row of a folder of this profile, whichever object names it.
Id FolderRowOf(const ProfilePtr& p, const FolderPtr& folder) {
    if (!folder) {
        Raise("The target folder is nothing");
    }
    auto own = std::dynamic_pointer_cast<FolderImpl>(folder);
    if (own && own->Profile()->File() == p->File()) {
        return own->RowId();
    }
    auto id = p->FolderByEntryId(folder->EntryID(), folder->StoreID());
    if (!id) {
        Raise("The target folder is not in this profile");
    }
    return *id;
}

MailPtr MailImpl::Move(FolderPtr folder) {
    p_->MoveItem(id_, FolderRowOf(p_, folder));
    return shared_from_this();
}

MailPtr MailImpl::CopyTo(FolderPtr folder) {
    return std::make_shared<MailImpl>(p_, p_->CopyItem(id_, FolderRowOf(p_, folder)));
}

// ---- stores

class StoreImpl : public RDOStore {
  public:
    StoreImpl(ProfilePtr p, Id id) : p_(std::move(p)), id_(id) {}
    int Class() const override { return 0; }
    std::string TypeName() const override { return "RDOStore"; }
    std::string Name() override { return p_->Store(id_).name; }
    std::string EntryID() override { return p_->Store(id_).entryId; }
    bool Default() override { return p_->Store(id_).isDefault; }
    FolderPtr RootFolder() override { return MakeFolder(p_, p_->Store(id_).rootId); }

  private:
    ProfilePtr p_;
    Id id_;
};

class StoresImpl : public RDOStores {
  public:
    explicit StoresImpl(ProfilePtr p) : p_(std::move(p)) {}
    int Class() const override { return 0; }
    std::string TypeName() const override { return "RDOStores"; }
    int Count() override { return static_cast<int>(p_->Stores().size()); }
    StorePtr Item(int index) override {
        auto stores = p_->Stores();
        if (index < 1 || index > static_cast<int>(stores.size())) {
            Raise("Stores.Item: index " + std::to_string(index) + " is out of range");
        }
        return std::make_shared<StoreImpl>(p_, stores[static_cast<size_t>(index - 1)].id);
    }
    StorePtr DefaultStore() override {
        auto store = p_->DefaultStore();
        if (!store) {
            Raise("The profile has no store");
        }
        return std::make_shared<StoreImpl>(p_, store->id);
    }

  private:
    ProfilePtr p_;
};

// ---- session

std::string DefaultProfileName() {
    std::string name =
        platform::settings::GetSetting("HalvoxSoftware", "HalvoxSoftware", "CurrentProfile", "");
    const std::string prefix = "HalvoxSoftware - ";
    for (auto pos = name.find(prefix); pos != std::string::npos; pos = name.find(prefix)) {
        name.erase(pos, prefix.size());
    }
    return name.empty() ? "Default" : name;
}

class SessionImpl : public KVRDOSession {
  public:
    int Class() const override { return 0; }
    std::string TypeName() const override { return "KVRDOSession"; }
    void Logon() override { Logon(""); }
    void Logon(const std::string& profileName) override {
        profile_ =
            mailstore::Profile::Open(profileName.empty() ? DefaultProfileName() : profileName);
    }
    void Logoff() override { profile_.reset(); }
    bool LoggedOn() override { return profile_ != nullptr; }
    outlook::MAPIObject MAPIOBJECT() override { return profile_; }
    void SetMAPIOBJECT(outlook::MAPIObject profile) override {
        if (!profile) {
            Raise("MAPIOBJECT: the session given is nothing");
        }
        profile_ = std::move(profile);
    }

    FolderPtr GetDefaultFolder(int folderType) override {
        if (auto id = mailstore::DefaultFolderOf(P(), folderType)) {
            return MakeFolder(profile_, *id);
        }
        Raise("GetDefaultFolder: the default folder " + std::to_string(folderType) +
              " does not exist");
    }
    FolderPtr GetFolderFromID(const std::string& entryId, const std::string& storeId) override {
        auto id = P().FolderByEntryId(entryId, storeId);
        if (!id) {
            Raise("GetFolderFromID: no folder has the EntryID " + entryId +
                  (storeId.empty() ? "" : " in the store " + storeId));
        }
        return MakeFolder(profile_, *id);
    }
    MailPtr GetMessageFromID(const std::string& entryId, const std::string& storeId) override {
        auto id = P().ItemByEntryId(entryId, storeId);
        if (!id) {
            Raise("GetMessageFromID: no message has the EntryID " + entryId +
                  (storeId.empty() ? "" : " in the store " + storeId));
        }
        return std::make_shared<MailImpl>(profile_, *id);
    }
    FolderPtr GetSharedDefaultFolder(const std::string& who, int folderType) override {
        auto store = P().StoreOfOwner(who);
        if (!store) {
            Raise("GetSharedDefaultFolder: no mailbox of '" + who + "' is open");
        }
        auto id = P().DefaultFolder(store->id, folderType);
        if (!id) {
            Raise("GetSharedDefaultFolder: the mailbox of '" + who + "' has no default folder " +
                  std::to_string(folderType));
        }
        return MakeFolder(profile_, *id);
    }
    FolderPtr GetSharedDefaultFolder(AddressEntryPtr who, int folderType) override {
        if (!who) {
            Raise("GetSharedDefaultFolder: the address entry is nothing");
        }
        auto smtp = who->SMTPAddress();
        return GetSharedDefaultFolder(P().StoreOfOwner(smtp) ? smtp : who->Name(), folderType);
    }
    FolderPtr GetFolderFromPath(const std::string& path) override {
        auto id = P().FolderByPath(path);
        if (!id) {
            Raise("GetFolderFromPath: no folder at '" + path + "'");
        }
        return MakeFolder(profile_, *id);
    }
    StoresPtr Stores() override {
        P();
        return std::make_shared<StoresImpl>(profile_);
    }
    AddressEntryPtr CurrentUser() override {
        auto store = P().DefaultStore();
        if (!store) {
            Raise("CurrentUser: the profile has no store");
        }
        if (auto entry = P().ResolveAddress(store->ownerSmtp); entry && !store->ownerSmtp.empty()) {
            return std::make_shared<AddressEntryImpl>(*entry);
        }
        return OneOff(store->ownerName, store->ownerSmtp);
    }

  private:
    mailstore::Profile& P() {
        if (!profile_) {
            Raise("The MAPI session is not logged on");
        }
        return *profile_;
    }
    ProfilePtr profile_;
};

// ---- safe mail item

class SafeMailItemImpl : public KVSafeMailItem {
  public:
    int Class() const override { return 0; }
    std::string TypeName() const override { return "KVSafeMailItem"; }
    void SetItem(outlook::ItemPtr item) override { item_ = std::move(item); }
    outlook::ItemPtr Item() override { return item_; }
    AddressEntryPtr Sender() override {
        auto [p, row] = Row();
        if (!row.sent) {
            return nullptr;
        }
        if (row.senderEntry) {
            return std::make_shared<AddressEntryImpl>(p->AddressEntry(*row.senderEntry));
        }
        return row.senderName.empty() && row.senderAddress.empty()
                   ? nullptr
                   : OneOff(row.senderName, row.senderAddress);
    }
    std::string SenderName() override { return Row().second.senderName; }
    std::string SenderEmailAddress() override { return Row().second.senderAddress; }
    std::string SentOnBehalfOfName() override {
        auto row = Row().second;
        return row.sentOnBehalfOf.empty() ? row.senderName : row.sentOnBehalfOf;
    }
    std::string Subject() override { return Row().second.subject; }
    std::string Body() override { return Row().second.body; }
    SafeRecipientsPtr Recipients() override {
        auto [p, row] = Row();
        return std::make_shared<SafeRecipientsImpl>(p, p->Recipients(row.id));
    }

  private:
    std::pair<ProfilePtr, mailstore::ItemRow> Row() {
        if (!item_) {
            Raise("KVSafeMailItem: Item is not set");
        }
        auto p = item_->Application()->GetNamespace("MAPI")->MAPIOBJECT();
        auto parent = item_->Parent();
        auto id = p->ItemByEntryId(item_->EntryID(), parent ? parent->StoreID() : "");
        if (!id) {
            Raise("KVSafeMailItem: the item is no longer in the profile");
        }
        return {p, p->Item(*id)};
    }
    outlook::ItemPtr item_;
};

// ---- address book

class MAPIUtilsImpl : public KVMAPIUtils {
  public:
    int Class() const override { return 0; }
    std::string TypeName() const override { return "KVMAPIUtils"; }
    void SetMAPIOBJECT(outlook::MAPIObject profile) override { profile_ = std::move(profile); }
    std::vector<AddressEntryPtr> AddressEntries() override {
        std::vector<AddressEntryPtr> out;
        for (auto& row : P()->AddressBook()) {
            out.push_back(std::make_shared<AddressEntryImpl>(row));
        }
        return out;
    }
    SafeRecipientsPtr AddressBook(const AddressBookRequest& request) override {
        AddressBookHook hook;
        {
            std::lock_guard lock(hookMutex);
            hook = addressBookHook;
        }
        if (!hook) {
            Raise("The address book cannot be shown: no dialog is installed");
        }
        auto p = P();
        auto picks = hook(request, AddressEntries());
        if (!picks) {
            return nullptr;
        }
        std::vector<mailstore::RecipientRow> rows;
        for (const auto& pick : *picks) {
            if (!pick.entry) {
                continue;
            }
            auto row = mailstore::ResolveRecipient(*p, pick.entry->SMTPAddress(), pick.type);
            rows.push_back(row);
        }
        return std::make_shared<SafeRecipientsImpl>(p, std::move(rows));
    }

  private:
    const ProfilePtr& P() {
        if (!profile_) {
            profile_ = mailstore::Profile::Open(DefaultProfileName());
        }
        return profile_;
    }
    ProfilePtr profile_;
};

void RequireLibrary(const std::string& className) {
    if (withdrawn) {
        Raise("Cannot create " + className + ": the MAPI library is not available");
    }
}

}  // namespace

FolderTable::FolderTable(std::vector<Row> rows) : rows_(std::move(rows)) {}

int FolderTable::RecordCount() const {
    return static_cast<int>(rows_.size());
}

const std::vector<std::string>& FolderTable::Columns() {
    static const std::vector<std::string> kColumns{"FullName", "EntryID", "StoreId", "ChildCount"};
    return kColumns;
}

const std::vector<FolderTable::Row>& FolderTable::Rows() const {
    return rows_;
}

std::string FolderTable::Field(int row, const std::string& column) const {
    if (row < 0 || row >= RecordCount()) {
        Raise("FolderTable: row " + std::to_string(row) + " is out of range");
    }
    const auto& r = rows_[static_cast<size_t>(row)];
    if (SameText(column, "FullName")) {
        return r.FullName;
    }
    if (SameText(column, "EntryID")) {
        return r.EntryID;
    }
    if (SameText(column, "StoreId")) {
        return r.StoreId;
    }
    if (SameText(column, "ChildCount")) {
        return std::to_string(r.ChildCount);
    }
    Raise("FolderTable: no column '" + column + "'");
}

std::string SmtpAddressOf(const AddressEntryPtr& entry) {
    return entry ? entry->SMTPAddress() : "";
}

namespace {

// The host engine's SmtpAddressHelper answers from this library's address
// book as soon as the library is loaded.
const bool smtpLookupInstalled = [] {
    ostrevane::InstallSmtpLookup(
        [](const outlook::ItemPtr&, const AddressEntryPtr& entry) { return SmtpAddressOf(entry); });
    return true;
}();

}  // namespace

AddressBookHook InstallAddressBookHook(AddressBookHook hook) {
    std::lock_guard lock(hookMutex);
    std::swap(hook, addressBookHook);
    return hook;
}

AddressBookHook PickAddresses(std::vector<std::string> smtpAddresses) {
    return [smtpAddresses](const AddressBookRequest&, const std::vector<AddressEntryPtr>& entries)
               -> std::optional<std::vector<AddressBookPick>> {
        if (smtpAddresses.empty()) {
            return std::nullopt;
        }
        std::vector<AddressBookPick> picks;
        for (const auto& address : smtpAddresses) {
            for (const auto& e : entries) {
                if (SameText(e->SMTPAddress(), address)) {
                    picks.push_back({e, outlook::olTo});
                    break;
                }
            }
        }
        return picks;
    };
}

SessionPtr CreateSession() {
    RequireLibrary("Mirelink.KVRDOSession");
    return std::make_shared<SessionImpl>();
}

SafeMailItemPtr CreateSafeMailItem() {
    RequireLibrary("Mirelink.KVSafeMailItem");
    return std::make_shared<SafeMailItemImpl>();
}

MAPIUtilsPtr CreateMAPIUtils() {
    RequireLibrary("Mirelink.KVMAPIUtils");
    return std::make_shared<MAPIUtilsImpl>();
}

std::shared_ptr<outlook::Object> CreateObject(const std::string& className) {
    if (SameText(className, "Mirelink.KVRDOSession")) {
        return CreateSession();
    }
    if (SameText(className, "Mirelink.KVSafeMailItem")) {
        return CreateSafeMailItem();
    }
    if (SameText(className, "Mirelink.KVMAPIUtils")) {
        return CreateMAPIUtils();
    }
    Raise("Cannot create object: the MAPI library has no class '" + className + "'");
}

bool SetLibraryWithdrawn(bool value) {
    return withdrawn.exchange(value);
}

}  // namespace mirelink
