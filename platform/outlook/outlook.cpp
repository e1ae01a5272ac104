#include "platform/outlook/outlook.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <map>
#include <mutex>
#include <vector>

#include "platform/error.h"
#include "platform/mailstore/profile.h"
#include "platform/outlook/date_text.h"

namespace outlook {

Object::~Object() = default;

namespace {

using mailstore::Id;

class ApplicationImpl;

// What every object of one application shares: the open profile and a weak
// link back to the application (objects outlive windows, not the reverse).
struct Session {
    mailstore::ProfilePtr profile;
    std::weak_ptr<ApplicationImpl> app;
};
using SessionPtr = std::shared_ptr<Session>;

[[noreturn]] void Raise(const std::string& text) {
    throw platform::Error(text);
}

using mailstore::SameText;

std::shared_ptr<ApplicationImpl> AppOf(const SessionPtr& s);
FolderPtr MakeFolder(const SessionPtr& s, Id id);
ItemPtr MakeItem(const SessionPtr& s, Id id);
NameSpacePtr NamespaceOf(const SessionPtr& s);

std::mutex hookMutex;
PickFolderHook pickFolderHook;

// An SMTP address: one "@" between a local part and a domain, no blanks.
bool IsMailAddress(const std::string& text) {
    auto at = text.find('@');
    return at != std::string::npos && at > 0 && at + 1 < text.size() &&
           text.find('@', at + 1) == std::string::npos &&
           std::none_of(text.begin(), text.end(),
                        [](char c) { return std::isspace(static_cast<unsigned char>(c)); });
}

// ---- address entries and recipients

class AddressEntryImpl : public AddressEntry {
  public:
    AddressEntryImpl(std::string name, std::string address, std::string type)
        : name_(std::move(name)), address_(std::move(address)), type_(std::move(type)) {}
    int Class() const override { return olAddressEntry; }
    std::string TypeName() const override { return "AddressEntry"; }
    std::string Name() override { return name_; }
    std::string Address() override { return address_; }
    std::string Type() override { return type_; }

  private:
    std::string name_, address_, type_;
};

class RecipientImpl : public Recipient {
  public:
    RecipientImpl(SessionPtr s, mailstore::RecipientRow row)
        : s_(std::move(s)), row_(std::move(row)) {}
    int Class() const override { return olRecipient; }
    std::string TypeName() const override { return "Recipient"; }
    std::string Name() override { return row_.name; }
    std::string Address() override { return row_.address; }
    int Type() override { return row_.type; }
    AddressEntryPtr AddressEntry() override {
        if (row_.entry) {
            auto e = s_->profile->AddressEntry(*row_.entry);
            return std::make_shared<AddressEntryImpl>(e.name, e.address, e.type);
        }
        return std::make_shared<AddressEntryImpl>(row_.name, row_.address, row_.addressType);
    }
    bool Resolved() override { return row_.entry.has_value() || IsMailAddress(row_.address); }

  private:
    SessionPtr s_;
    mailstore::RecipientRow row_;
};

class RecipientsImpl : public Recipients {
  public:
    RecipientsImpl(SessionPtr s, Id item) : s_(std::move(s)), item_(item) {}
    int Class() const override { return olRecipients; }
    std::string TypeName() const override { return "Recipients"; }
    int Count() override { return static_cast<int>(s_->profile->Recipients(item_).size()); }
    RecipientPtr Item(int index) override {
        auto all = s_->profile->Recipients(item_);
        if (index < 1 || index > static_cast<int>(all.size())) {
            Raise("Array index out of bounds: recipient " + std::to_string(index));
        }
        return std::make_shared<RecipientImpl>(s_, all[static_cast<size_t>(index - 1)]);
    }
    RecipientPtr Add(const std::string& address) override {
        auto row = mailstore::ResolveRecipient(*s_->profile, address, olTo);
        s_->profile->AddRecipient(item_, row);
        return std::make_shared<RecipientImpl>(s_, row);
    }

  private:
    SessionPtr s_;
    Id item_;
};

// ---- item properties

class ItemPropertyImpl : public ItemProperty {
  public:
    ItemPropertyImpl(SessionPtr s, Id item, std::string name)
        : s_(std::move(s)), item_(item), name_(std::move(name)) {}
    int Class() const override { return olItemProperty; }
    std::string TypeName() const override { return "ItemProperty"; }
    std::string Name() override { return name_; }
    std::string Value() override { return s_->profile->Property(item_, name_).value_or(""); }
    void SetValue(const std::string& value) override {
        s_->profile->SetProperty(item_, name_, value);
    }

  private:
    SessionPtr s_;
    Id item_;
    std::string name_;
};

class ItemPropertiesImpl : public ItemProperties {
  public:
    ItemPropertiesImpl(SessionPtr s, Id item) : s_(std::move(s)), item_(item) {}
    int Class() const override { return olItemProperties; }
    std::string TypeName() const override { return "ItemProperties"; }
    int Count() override { return static_cast<int>(s_->profile->Properties(item_).size()); }
    ItemPropertyPtr Item(const std::string& name) override {
        for (const auto& [key, value] : s_->profile->Properties(item_)) {
            if (SameText(key, name)) {
                return std::make_shared<ItemPropertyImpl>(s_, item_, key);
            }
        }
        return nullptr;
    }
    ItemPropertyPtr Add(const std::string& name, const std::string& value) override {
        s_->profile->SetProperty(item_, name, value);
        return Item(name);
    }

  private:
    SessionPtr s_;
    Id item_;
};

// ---- inspectors and explorers

// The handlers of an inspector's close, each run once.
class CloseHandlers {
  public:
    Subscription Add(const std::shared_ptr<CloseHandlers>& self, std::function<void()> fn) {
        std::lock_guard lock(mutex_);
        auto key = next_++;
        fns_[key] = std::move(fn);
        std::weak_ptr<CloseHandlers> weak = self;
        return Subscription(new std::uint64_t(key), [weak](void* p) {
            auto* k = static_cast<std::uint64_t*>(p);
            if (auto handlers = weak.lock()) {
                std::lock_guard lock(handlers->mutex_);
                handlers->fns_.erase(*k);
            }
            delete k;
        });
    }
    void Run() {
        std::map<std::uint64_t, std::function<void()>> fns;
        {
            std::lock_guard lock(mutex_);
            std::swap(fns, fns_);
        }
        for (auto& [key, fn] : fns) {
            fn();
        }
    }

  private:
    std::mutex mutex_;
    std::uint64_t next_ = 1;
    std::map<std::uint64_t, std::function<void()>> fns_;
};

class InspectorImpl : public Inspector {
  public:
    InspectorImpl(std::weak_ptr<ApplicationImpl> app, ItemPtr item)
        : app_(std::move(app)), item_(std::move(item)) {}
    int Class() const override { return olInspector; }
    std::string TypeName() const override { return "Inspector"; }
    ItemPtr CurrentItem() override { return item_; }
    void Activate() override;
    void Close() override;
    Subscription OnClose(std::function<void()> fn) override {
        return closers_->Add(closers_, std::move(fn));
    }
    void Closed() { closers_->Run(); }

  private:
    std::weak_ptr<ApplicationImpl> app_;
    ItemPtr item_;
    std::shared_ptr<CloseHandlers> closers_ = std::make_shared<CloseHandlers>();
};

class ExplorerImpl : public Explorer {
  public:
    ExplorerImpl(std::weak_ptr<ApplicationImpl> app, FolderPtr folder)
        : app_(std::move(app)), folder_(std::move(folder)) {}
    int Class() const override { return olExplorer; }
    std::string TypeName() const override { return "Explorer"; }
    FolderPtr CurrentFolder() override {
        std::lock_guard lock(mutex_);
        return folder_;
    }
    void SetCurrentFolder(FolderPtr folder) override {
        std::lock_guard lock(mutex_);
        folder_ = std::move(folder);
    }
    void Close() override;

  private:
    std::weak_ptr<ApplicationImpl> app_;
    std::mutex mutex_;
    FolderPtr folder_;
};

// ---- items

struct ItemKind {
    int cls;
    const char* typeName;
    bool addressed;   // To, CC, BCC, SaveSentMessageFolder, Send, SendUsingAccount
    bool transport;   // Sent, SentOn, SenderName, SenderEmailAddress
    bool recipients;  // Recipients
};

const ItemKind kKinds[] = {
    {olMail, "MailItem", true, true, true},
    {olMeetingRequest, "MeetingItem", true, true, true},
    {olReport, "ReportItem", false, true, true},
    {olPost, "PostItem", false, true, false},
    {olContact, "ContactItem", false, false, false},
    {olAppointment, "AppointmentItem", false, false, true},
    {olTask, "TaskItem", false, false, true},
};

const ItemKind& KindOf(int cls) {
    for (const auto& k : kKinds) {
        if (k.cls == cls) {
            return k;
        }
    }
    return kKinds[0];
}

class ItemImpl : public Item, public std::enable_shared_from_this<ItemImpl> {
  public:
    ItemImpl(SessionPtr s, Id id, int cls) : s_(std::move(s)), id_(id), kind_(KindOf(cls)) {}

    int Class() const override { return kind_.cls; }
    std::string TypeName() const override { return kind_.typeName; }
    ApplicationPtr Application() override;
    std::string EntryID() override { return Row().entryId; }
    FolderPtr Parent() override {
        auto folder = Row().folderId;
        return folder ? MakeFolder(s_, *folder) : nullptr;
    }
    std::string Subject() override { return Row().subject; }
    void SetSubject(const std::string& text) override {
        Profile().SetItemField(id_, mailstore::ItemField::Subject, text);
    }
    std::string Body() override { return Row().body; }
    void SetBody(const std::string& text) override {
        Profile().SetItemField(id_, mailstore::ItemField::Body, text);
    }
    std::string MessageClass() override { return Row().messageClass; }
    std::string BillingInformation() override { return Row().billing; }
    void SetBillingInformation(const std::string& text) override {
        Profile().SetItemField(id_, mailstore::ItemField::Billing, text);
    }
    std::string To() override { return Names(olTo, "To"); }
    void SetTo(const std::string& list) override { Replace(olTo, list, "To"); }
    std::string CC() override { return Names(olCC, "CC"); }
    void SetCC(const std::string& list) override { Replace(olCC, list, "CC"); }
    std::string BCC() override { return Names(olBCC, "BCC"); }
    void SetBCC(const std::string& list) override { Replace(olBCC, list, "BCC"); }
    bool Sent() override {
        Need(kind_.transport, "Sent");
        return Row().sent;
    }
    std::string SentOn() override {
        Need(kind_.transport, "SentOn");
        return DateText(Row().sentOn);
    }
    std::string SenderName() override {
        Need(kind_.transport, "SenderName");
        return Row().senderName;
    }
    std::string SenderEmailAddress() override {
        Need(kind_.transport, "SenderEmailAddress");
        return Row().senderAddress;
    }
    std::string SendUsingAccount() override {
        Need(kind_.addressed, "SendUsingAccount");
        return Row().sendUsing;
    }
    void SetSendUsingAccount(const std::string& smtp) override {
        Need(kind_.addressed, "SendUsingAccount");
        if (!smtp.empty()) {
            mailstore::SendingStore(Profile(), smtp);
        }
        Profile().SetItemField(id_, mailstore::ItemField::SendUsing, smtp);
    }
    FolderPtr SaveSentMessageFolder() override {
        Need(kind_.addressed, "SaveSentMessageFolder");
        auto folder = Row().saveSentFolderId;
        if (!folder || !Profile().FindFolder(*folder)) {
            return nullptr;
        }
        return MakeFolder(s_, *folder);
    }
    void SetSaveSentMessageFolder(FolderPtr folder) override;
    std::string SaveSentMessageFolderText() override {
        auto folder = SaveSentMessageFolder();
        return folder ? folder->Name() : "";
    }
    void Send() override;
    RecipientsPtr Recipients() override {
        Need(kind_.recipients, "Recipients");
        return std::make_shared<RecipientsImpl>(s_, id_);
    }
    ItemPropertiesPtr ItemProperties() override {
        return std::make_shared<ItemPropertiesImpl>(s_, id_);
    }
    InspectorPtr Display() override;

    Id RowId() const { return id_; }
    const SessionPtr& Sess() const { return s_; }

  private:
    mailstore::Profile& Profile() { return *s_->profile; }
    mailstore::ItemRow Row() { return Profile().Item(id_); }

    void Need(bool supported, const char* member) const {
        if (!supported) {
            Raise(std::string("Object doesn't support this property or method: ") + kind_.typeName +
                  "." + member);
        }
    }

    std::string Names(int type, const char* member) {
        Need(kind_.addressed, member);
        std::string out;
        for (const auto& r : Profile().Recipients(id_)) {
            if (r.type == type) {
                out += (out.empty() ? "" : "; ") + r.name;
            }
        }
        return out;
    }

    void Replace(int type, const std::string& list, const char* member) {
        Need(kind_.addressed, member);
        std::vector<mailstore::RecipientRow> keep;
        for (auto& r : Profile().Recipients(id_)) {
            if (r.type != type) {
                keep.push_back(r);
            }
        }
        auto added = mailstore::ResolveRecipients(Profile(), list, type);
        keep.insert(keep.end(), added.begin(), added.end());
        Profile().SetRecipients(id_, keep);
    }

    SessionPtr s_;
    Id id_;
    const ItemKind& kind_;
};

// ---- folders

class FolderImpl : public MAPIFolder {
  public:
    FolderImpl(SessionPtr s, Id id) : s_(std::move(s)), id_(id) {}
    int Class() const override { return olFolder; }
    std::string TypeName() const override { return "MAPIFolder"; }
    std::string Name() override { return Row().name; }
    std::string EntryID() override { return Row().entryId; }
    std::string StoreID() override { return s_->profile->Store(Row().storeId).entryId; }
    std::string FolderPath() override { return s_->profile->FolderPath(id_); }
    ObjectPtr Parent() override {
        auto parent = Row().parentId;
        if (!parent) {
            return NamespaceOf(s_);
        }
        return MakeFolder(s_, *parent);
    }
    FoldersPtr Folders() override;
    ItemsPtr Items() override;
    int DefaultItemType() override { return Row().itemType; }
    Subscription OnItemAdd(std::function<void(ItemPtr)> fn) override {
        auto s = s_;
        return s_->profile->OnItemArrived(
            id_, [s, fn = std::move(fn)](Id item) { fn(MakeItem(s, item)); });
    }

    Id RowId() const { return id_; }

  private:
    mailstore::FolderRow Row() { return s_->profile->Folder(id_); }
    SessionPtr s_;
    Id id_;
};

// The subfolders of a folder, or the stores' top folders for no parent.
class FoldersImpl : public Folders {
  public:
    FoldersImpl(SessionPtr s, std::optional<Id> parent) : s_(std::move(s)), parent_(parent) {}
    int Class() const override { return olFolders; }
    std::string TypeName() const override { return "Folders"; }
    int Count() override {
        if (parent_) {
            return s_->profile->ChildCount(*parent_);
        }
        return static_cast<int>(s_->profile->Stores().size());
    }
    FolderPtr Item(int index) override {
        auto ids = Ids();
        if (index < 1 || index > static_cast<int>(ids.size())) {
            Raise("Array index out of bounds: folder " + std::to_string(index));
        }
        return MakeFolder(s_, ids[static_cast<size_t>(index - 1)]);
    }
    FolderPtr Item(const std::string& name) override {
        for (auto id : Ids()) {
            if (SameText(s_->profile->Folder(id).name, name)) {
                return MakeFolder(s_, id);
            }
        }
        Raise("The folder '" + name + "' could not be found");
    }
    FolderPtr Add(const std::string& name, int itemType) override {
        if (!parent_) {
            Raise("A store cannot be added through Folders.Add");
        }
        if (itemType < 0) {
            itemType = s_->profile->Folder(*parent_).itemType;
        }
        return MakeFolder(s_, s_->profile->AddFolder(*parent_, name, itemType));
    }
    ObjectPtr Parent() override {
        if (parent_) {
            return MakeFolder(s_, *parent_);
        }
        return NamespaceOf(s_);
    }

  private:
    std::vector<Id> Ids() {
        std::vector<Id> ids;
        if (parent_) {
            for (const auto& f : s_->profile->Children(*parent_)) {
                ids.push_back(f.id);
            }
        } else {
            for (const auto& st : s_->profile->Stores()) {
                ids.push_back(st.rootId);
            }
        }
        return ids;
    }
    SessionPtr s_;
    std::optional<Id> parent_;
};

class ItemsImpl : public Items {
  public:
    ItemsImpl(SessionPtr s, Id folder) : s_(std::move(s)), folder_(folder) {}
    int Class() const override { return olItems; }
    std::string TypeName() const override { return "Items"; }
    int Count() override { return s_->profile->ItemCount(folder_); }
    ItemPtr Item(int index) override {
        auto id = s_->profile->ItemAt(folder_, index - 1);
        if (!id) {
            Raise("Array index out of bounds: item " + std::to_string(index));
        }
        return MakeItem(s_, *id);
    }
    FolderPtr Parent() override { return MakeFolder(s_, folder_); }

  private:
    SessionPtr s_;
    Id folder_;
};

FoldersPtr FolderImpl::Folders() {
    return std::make_shared<FoldersImpl>(s_, id_);
}
ItemsPtr FolderImpl::Items() {
    return std::make_shared<ItemsImpl>(s_, id_);
}

// ---- namespace and application

class NameSpaceImpl : public NameSpace {
  public:
    explicit NameSpaceImpl(SessionPtr s) : s_(std::move(s)) {}
    int Class() const override { return olNamespace; }
    std::string TypeName() const override { return "NameSpace"; }
    ApplicationPtr Application() override;
    FolderPtr GetDefaultFolder(int folderType) override {
        if (auto id = mailstore::DefaultFolderOf(*s_->profile, folderType)) {
            return MakeFolder(s_, *id);
        }
        Raise("The default folder " + std::to_string(folderType) + " does not exist");
    }
    FolderPtr GetFolderFromID(const std::string& entryId, const std::string& storeId) override {
        auto id = s_->profile->FolderByEntryId(entryId, storeId);
        if (!id) {
            Raise("The folder could not be found: EntryID " + entryId +
                  (storeId.empty() ? "" : ", StoreID " + storeId));
        }
        return MakeFolder(s_, *id);
    }
    ItemPtr GetItemFromID(const std::string& entryId, const std::string& storeId) override {
        auto id = s_->profile->ItemByEntryId(entryId, storeId);
        if (!id) {
            Raise("The item could not be found: EntryID " + entryId +
                  (storeId.empty() ? "" : ", StoreID " + storeId));
        }
        return MakeItem(s_, *id);
    }
    FoldersPtr Folders() override { return std::make_shared<FoldersImpl>(s_, std::nullopt); }
    FolderPtr PickFolder() override {
        PickFolderHook hook;
        {
            std::lock_guard lock(hookMutex);
            hook = pickFolderHook;
        }
        if (!hook) {
            Raise("The folder dialog cannot be shown: no dialog is installed");
        }
        return hook(NamespaceOf(s_));
    }
    MAPIObject MAPIOBJECT() override { return s_->profile; }
    std::string CurrentUser() override {
        auto store = s_->profile->DefaultStore();
        return store ? store->ownerName : "";
    }

  private:
    SessionPtr s_;
};

class ApplicationImpl : public Application, public std::enable_shared_from_this<ApplicationImpl> {
  public:
    ApplicationImpl(mailstore::ProfilePtr profile, std::string version)
        : session_(std::make_shared<Session>()), version_(std::move(version)) {
        session_->profile = std::move(profile);
    }
    void Init() {
        session_->app = weak_from_this();
        namespace_ = std::make_shared<NameSpaceImpl>(session_);
    }

    int Class() const override { return olApplication; }
    std::string TypeName() const override { return "Application"; }
    std::string Version() const override {
        std::lock_guard lock(mutex_);
        return version_;
    }
    void SetVersion(const std::string& version) override {
        std::lock_guard lock(mutex_);
        version_ = version;
    }
    NameSpacePtr GetNamespace(const std::string& type) override {
        if (!SameText(type, "MAPI")) {
            Raise("Unknown namespace '" + type + "'");
        }
        return namespace_;
    }
    // The new item is saved at once in the default folder of its type, as
    // the client saves a draft: an item that is never sent stays there for
    // the user to see, whatever ends the program.
    ItemPtr CreateItem(int itemType) override {
        static const struct {
            int type, cls;
            const char* messageClass;
            int folder;
        } kTypes[] = {
            {olMailItem, olMail, "IPM.Note", olFolderDrafts},
            {olAppointmentItem, olAppointment, "IPM.Appointment", olFolderCalendar},
            {olContactItem, olContact, "IPM.Contact", olFolderContacts},
            {olTaskItem, olTask, "IPM.Task", olFolderTasks},
            {olPostItem, olPost, "IPM.Post", olFolderDrafts},
        };
        for (const auto& t : kTypes) {
            if (t.type == itemType) {
                auto& profile = *session_->profile;
                mailstore::ItemRow row;
                row.itemClass = t.cls;
                row.messageClass = t.messageClass;
                if (auto store = profile.DefaultStore()) {
                    row.folderId = profile.DefaultFolder(store->id, t.folder);
                }
                return MakeItem(session_, profile.AddItem(row));
            }
        }
        Raise("CreateItem: item type " + std::to_string(itemType) + " is not supported");
    }
    InspectorPtr ActiveInspector() override {
        std::lock_guard lock(mutex_);
        return inspectors_.empty() ? nullptr : inspectors_.back();
    }
    ExplorerPtr ActiveExplorer() override {
        std::lock_guard lock(mutex_);
        return explorers_.empty() ? nullptr : explorers_.back();
    }
    ExplorerPtr OpenExplorer(FolderPtr folder) override {
        auto explorer = std::make_shared<ExplorerImpl>(weak_from_this(), std::move(folder));
        std::lock_guard lock(mutex_);
        explorers_.push_back(explorer);
        return explorer;
    }

    InspectorPtr OpenInspector(ItemPtr item) {
        auto inspector = std::make_shared<InspectorImpl>(weak_from_this(), std::move(item));
        std::lock_guard lock(mutex_);
        inspectors_.push_back(inspector);
        return inspector;
    }
    // Drops the window; gives whether it was open.
    bool Forget(const Object* window) {
        std::lock_guard lock(mutex_);
        return std::erase_if(inspectors_,
                             [&](const InspectorPtr& i) { return i.get() == window; }) +
                   std::erase_if(explorers_,
                                 [&](const ExplorerPtr& e) { return e.get() == window; }) >
               0;
    }
    void Activate(const Object* window) {
        std::lock_guard lock(mutex_);
        auto it = std::find_if(inspectors_.begin(), inspectors_.end(),
                               [&](const InspectorPtr& i) { return i.get() == window; });
        if (it != inspectors_.end()) {
            std::rotate(it, it + 1, inspectors_.end());
        }
    }
    // Takes every inspector that shows this item off the open ones.
    std::vector<InspectorPtr> TakeInspectorsOf(Id item) {
        std::lock_guard lock(mutex_);
        std::vector<InspectorPtr> taken;
        std::erase_if(inspectors_, [&](const InspectorPtr& i) {
            auto shown = std::dynamic_pointer_cast<ItemImpl>(i->CurrentItem());
            if (shown && shown->RowId() == item) {
                taken.push_back(i);
                return true;
            }
            return false;
        });
        return taken;
    }
    void Reopen(const std::vector<InspectorPtr>& inspectors) {
        std::lock_guard lock(mutex_);
        inspectors_.insert(inspectors_.end(), inspectors.begin(), inspectors.end());
    }
    NameSpacePtr Namespace() const { return namespace_; }

  private:
    SessionPtr session_;
    mutable std::mutex mutex_;
    std::string version_;
    NameSpacePtr namespace_;
    std::vector<InspectorPtr> inspectors_;
    std::vector<ExplorerPtr> explorers_;
};

std::shared_ptr<ApplicationImpl> AppOf(const SessionPtr& s) {
    auto app = s->app.lock();
    if (!app) {
        Raise("The mail client's application has closed");
    }
    return app;
}

NameSpacePtr NamespaceOf(const SessionPtr& s) {
    return AppOf(s)->Namespace();
}

FolderPtr MakeFolder(const SessionPtr& s, Id id) {
    return std::make_shared<FolderImpl>(s, id);
}

ItemPtr MakeItem(const SessionPtr& s, Id id) {
    return std::make_shared<ItemImpl>(s, id, s->profile->Item(id).itemClass);
}

ApplicationPtr NameSpaceImpl::Application() {
    return AppOf(s_);
}
ApplicationPtr ItemImpl::Application() {
    return AppOf(s_);
}

void InspectorImpl::Activate() {
    if (auto app = app_.lock()) {
        app->Activate(this);
    }
}

void InspectorImpl::Close() {
    auto app = app_.lock();
    if (app && app->Forget(this)) {
        Closed();
    }
}

void ExplorerImpl::Close() {
    if (auto app = app_.lock()) {
        app->Forget(this);
    }
}

InspectorPtr ItemImpl::Display() {
    return AppOf(s_)->OpenInspector(shared_from_this());
}

void ItemImpl::SetSaveSentMessageFolder(FolderPtr folder) {
    Need(kind_.addressed, "SaveSentMessageFolder");
    std::optional<Id> id;
    if (folder) {
        auto own = std::dynamic_pointer_cast<FolderImpl>(folder);
        if (own) {
            id = own->RowId();
        } else {
            // A folder of another view of the same profile: find it by its ids.
            id = Profile().FolderByEntryId(folder->EntryID(), folder->StoreID());
        }
        if (!id) {
            Raise("SaveSentMessageFolder: the folder is not in this profile");
        }
    }
    Profile().SetSaveSentFolder(id_, id);
}

void ItemImpl::Send() {
    Need(kind_.addressed, "Send");
    auto row = Row();
    if (row.sent) {
        Raise("The item has already been sent");
    }
    if (Profile().Recipients(id_).empty()) {
        Raise("There must be at least one name or distribution list in the To, Cc, or Bcc box.");
    }
    CheckNames(*this);
    auto mailbox = mailstore::SendingStore(Profile(), row.sendUsing);
    std::optional<Id> target;
    if (row.saveSentFolderId && Profile().FindFolder(*row.saveSentFolderId)) {
        target = row.saveSentFolderId;
    } else if (auto store = Profile().DefaultStore()) {
        target = Profile().DefaultFolder(store->id, olFolderSentMail);
    }
    if (!target) {
        Raise("The default store has no Sent Items folder");
    }
    // The item's windows close as it goes; a send that fails opens them again.
    auto app = s_->app.lock();
    std::vector<InspectorPtr> closing;
    if (app) {
        closing = app->TakeInspectorsOf(id_);
    }
    try {
        Profile().SendItem(id_, *target, mailstore::SenderInfo(Profile(), mailbox));
    } catch (...) {
        if (app) {
            app->Reopen(closing);
        }
        throw;
    }
    for (const auto& inspector : closing) {
        std::static_pointer_cast<InspectorImpl>(inspector)->Closed();
    }
}

}  // namespace

void CheckNames(Item& item) {
    auto recipients = item.Recipients();
    for (int i = 1; i <= recipients->Count(); ++i) {
        auto recipient = recipients->Item(i);
        if (!recipient->Resolved()) {
            throw platform::Error("The name '" + recipient->Name() +
                                  "' is not recognised: it is neither in the address book nor "
                                  "an e-mail address.");
        }
    }
}

ApplicationPtr CreateApplication(MAPIObject profile, const std::string& version) {
    if (!profile) {
        throw platform::Error("The mail client needs an open profile");
    }
    auto app = std::make_shared<ApplicationImpl>(std::move(profile), version);
    app->Init();
    return app;
}

ApplicationPtr OpenApplication(const std::string& profileName, const std::string& version) {
    return CreateApplication(mailstore::Profile::Open(profileName), version);
}

PickFolderHook InstallPickFolderHook(PickFolderHook hook) {
    std::lock_guard lock(hookMutex);
    std::swap(hook, pickFolderHook);
    return hook;
}

PickFolderHook PickFolderAt(const std::string& path) {
    return [path](NameSpacePtr ns) -> FolderPtr {
        if (path.empty()) {
            return nullptr;
        }
        auto profile = ns->MAPIOBJECT();
        auto id = profile->FolderByPath(path);
        if (!id) {
            throw platform::Error("There is no folder at " + path);
        }
        auto row = profile->Folder(*id);
        return ns->GetFolderFromID(row.entryId, profile->Store(row.storeId).entryId);
    };
}

}  // namespace outlook
