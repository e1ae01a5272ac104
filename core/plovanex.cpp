#include "core/plovanex.h"

#include <cctype>
#include <exception>

#include "common/error_text.h"
#include "common/settings_keys.h"
#include "core/globals.h"
#include "core/keyword_match.h"
#include "core/outlook_path.h"
#include "core/plovanex_state.h"
#include "platform/error.h"
#include "platform/os/os.h"
#include "platform/ostrevane/host_engine.h"

#ifndef PLOVANEX_VERSION_TEXT
#define PLOVANEX_VERSION_TEXT "0.0.0"
#endif

namespace plovanex {

namespace keys = common::keys;

namespace {

constexpr char kName[] = "Plovanex";

// Runs one statement of a procedure that goes on past failures.
template <typename Fn>
void Quietly(Fn&& fn) {
    try {
        fn();
    } catch (...) {
    }
}

std::string Trim(const std::string& text) {
    auto first = text.find_first_not_of(' ');
    if (first == std::string::npos) {
        return "";
    }
    return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

}  // namespace

int MajorVersion(const std::string& version) {
    int number = 0;
    for (char c : version.substr(0, 2)) {
        if (!std::isdigit(static_cast<unsigned char>(c))) {
            break;
        }
        number = number * 10 + (c - '0');
    }
    return number;
}

ostrevane::IHostEngine& CPlovanex::State::Engine() const {
    return Need(self.m_engine);
}

outlook::ApplicationPtr CPlovanex::State::Application() const {
    auto application = Engine().GetOutlookApplication();
    Need(application);
    return application;
}

void CPlovanex::State::LogToEngine(const std::string& procedure, const std::string& message) {
    Quietly([&] {
        std::string p = procedure;
        std::string m = message;
        Engine().LogMessage(&self, p, m);
    });
}

std::string CPlovanex::State::GetWindowsUserName() {
    // The call fills a buffer of 30 characters; a longer name does not fit.
    constexpr std::size_t kBuffer = 30;
    try {
        auto name = platform::os::UserName();
        if (name.size() + 1 > kBuffer) {
            return "User";
        }
        return Trim(name);
    } catch (...) {
        return "User";
    }
}

CPlovanex::CPlovanex() : state_(std::make_unique<State>(*this)) {}

CPlovanex::~CPlovanex() = default;

void CPlovanex::RegistryName(ostrevane::ModuleResult& result) {
    result = std::string(kName);
}

void CPlovanex::FriendlyName(ostrevane::ModuleResult& result) {
    result = std::string(kName);
}

void CPlovanex::QvStartup(ostrevane::EnginePtr& engine, ostrevane::ModuleResult& result) {
    result = 0;
    Trapped({common::Source("Startup"), 0, false}, [&](long&) {
        if (!m_engine) {
            m_engine = engine;
        }
    });
}

void CPlovanex::QvShutdown(ostrevane::ModuleResult& result) {
    result = 0;
    Quietly([] { SaveSetting(keys::KeepGoingWanted, keys::KeepGoingWantedAtShutdown); });
    if (!m_engine) {
        return;
    }
    auto& s = *state_;
    Quietly([&] { s.processor.reset(); });
    Quietly([] { Library().itemQueue.reset(); });
    Quietly([] { UnloadRegularExpressionsForm(); });
    for (auto* chooser : {&s.chooser2, &s.chooser3}) {
        Quietly([&] {
            if (*chooser) {
                (*chooser)->Terminate();
                (*chooser)->Unload();
            }
        });
        chooser->reset();
    }
    Quietly([&] { s.pendingItem.reset(); });
    Quietly([&] {
        if (s.m_frmChooseOutlookFolders4) {
            s.m_frmChooseOutlookFolders4->Terminate();
            s.m_frmChooseOutlookFolders4->Unload();
        }
    });
    s.m_frmChooseOutlookFolders4.reset();
    s.LogToEngine("Shutdown", std::string(kName) + " is stopping");
    for (auto& sink : s.myRDOStore) {
        sink.store.reset();
    }
    m_email.reset();
    m_engine.reset();
}

void CPlovanex::QvSendMessage(const std::string& /*message*/, ostrevane::ModuleResult& result) {
    result = std::string("noerror");
}

void CPlovanex::QvExplorerOpen(outlook::ExplorerPtr /*explorer*/, ostrevane::ModuleResult& result) {
    result = 0;
    if (!m_engine) {
        return;
    }
    auto& s = *state_;
    Trapped({common::Source("ExplorerOpen"), 1, false}, [&](long&) {
        s.EnsureSettings();
        auto sentItems =
            s.Application()->GetNamespace("MAPI")->GetDefaultFolder(outlook::olFolderSentMail);
        auto& values = Library();
        values.sentItemsEntryId = sentItems->EntryID();
        values.sentItemsStoreId = sentItems->StoreID();
        values.sentItemsName = sentItems->Name();
        m_engine->RegisterFolder(this, 1, values.sentItemsEntryId, values.sentItemsStoreId);
        values.itemQueue = std::make_shared<std::deque<std::string>>();
        s.windowsUserName = s.GetWindowsUserName();
    });
}

void CPlovanex::QvExplorerClose(outlook::ExplorerPtr, ostrevane::ModuleResult& result) {
    result = 0;
}

void CPlovanex::QvExplorerActivate(outlook::ExplorerPtr, ostrevane::ModuleResult& result) {
    result = 0;
}

void CPlovanex::QvExplorerDeactivate(outlook::ExplorerPtr, ostrevane::ModuleResult& result) {
    result = 0;
}

void CPlovanex::QvInspectorOpen(outlook::InspectorPtr inspector, ostrevane::ModuleResult& result) {
    result = 0;
    Trapped({common::Source("QvInspectorOpen"), 0, false}, [&](long&) {
        auto& window = Need(inspector);
        bool wanted = false;
        for (const char* type : {"ReportItem", "MeetingItem", "MailItem"}) {
            // The type name of nothing ("Nothing") matches none of them.
            auto item = window.CurrentItem();
            if (item && item->TypeName() == type) {
                wanted = true;
            }
        }
        if (!wanted || Need(window.CurrentItem()).Sent()) {
            return;
        }
        ostrevane::ModuleResult name, registry;
        FriendlyName(name);
        RegistryName(registry);
        const auto& displayName = std::get<std::string>(name);
        const auto& registryName = std::get<std::string>(registry);
        auto& engine = state_->Engine();
        engine.AddInspectorButton(this, 1, 0, displayName, 0, inspector, registryName,
                                  "Send And File");
        if (MajorVersion(state_->Application()->Version()) < 12) {
            engine.AddInspectorMenuItem(this, 1, 0, displayName, "&Actions", inspector, "",
                                        registryName, "Send And File");
        }
    });
}

void CPlovanex::QvInspectorClose(outlook::InspectorPtr, ostrevane::ModuleResult& result) {
    result = 0;
}

void CPlovanex::QvInspectorActivate(outlook::InspectorPtr, ostrevane::ModuleResult& result) {
    result = 0;
}

void CPlovanex::QvInspectorDeactivate(outlook::InspectorPtr, ostrevane::ModuleResult& result) {
    result = 0;
}

void CPlovanex::QvButtonAction(std::int32_t, const std::string&, ostrevane::ModuleResult& result) {
    result = 0;
    Trapped({common::Source("QvButtonAction"), 1, false}, [&](long&) {
        auto item = Need(state_->Application()->ActiveInspector()).CurrentItem();
        state_->SendAndFileWithSearch(item);
    });
}

void CPlovanex::QvMenuAction(std::int32_t, const std::string&, ostrevane::ModuleResult& result) {
    result = 0;
}

void CPlovanex::QvHotkeyAction(std::int32_t, ostrevane::ModuleResult& result) {
    result = 0;
}

void CPlovanex::QvItemEvent(std::int32_t& kind, outlook::ItemPtr& item, bool& cancel,
                            std::string& folderEntryId, std::string& folderStoreId,
                            ostrevane::ModuleResult& result) {
    result = 0;
    cancel = false;
    const auto& values = Library();
    // The add-in's own move or copy into Sent Items is not filed again. Any
    // other arrival is a sent item, also one that comes while an earlier
    // event waits for the user.
    if (kind != 1 || folderStoreId != values.sentItemsStoreId ||
        folderEntryId != values.sentItemsEntryId || values.ownFilings > 0) {
        return;
    }
    Trapped({common::Source("QvItemEvent"), 0, false}, [&](long&) { state_->ItemEvent(item); });
}

void CPlovanex::Version(ostrevane::ModuleResult& result) {
    result = std::string(PLOVANEX_VERSION_TEXT);
}

std::string CPlovanex::GetFullOutlookPath(std::string& olAppVersion,
                                          outlook::ObjectPtr& olFolderItem) {
    return plovanex::GetFullOutlookPath(olAppVersion, olFolderItem);
}

bool CPlovanex::SendAndFileOrig(outlook::ItemPtr& item) {
    return state_->SendAndFileModal(item, ChooserVariant::WholeTree, "SendAndFileOrig");
}

bool CPlovanex::SendAndFile(outlook::ItemPtr& item) {
    return state_->SendAndFileModal(item, ChooserVariant::LazyModal, "SendAndFile");
}

}  // namespace plovanex
