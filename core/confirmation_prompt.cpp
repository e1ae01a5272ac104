// The confirmation prompt: the questions through the chooser dialogs, the
// answer of the search chooser and the queue of item ids.

#include <exception>
#include <string>

#include "common/error_text.h"
#include "core/globals.h"
#include "core/process_one_sent_item.h"
#include "core/processor_state.h"
#include "core/rdo_lookup.h"
#include "platform/outlook/outlook.h"

namespace plovanex {

namespace {

// Sets a form up for one question, in the order the chooser expects.
void SetUpQuestion(IChooseOutlookFolders& form, const outlook::ApplicationPtr& olApp, bool multiple,
                   const ostrevane::FolderListPtr& folderList, const std::string& emailTo,
                   const std::string& emailSubject) {
    form.SetApplication(olApp);
    form.SetSingleFolderOnly(!multiple);
    form.SetFolderList(folderList ? folderList : std::make_shared<ostrevane::FolderList>());
    form.SetEmailTo(emailTo);
    form.SetEmailSubject(emailSubject);
}

}  // namespace

bool CProcessOneSentItem::StartQuestion(bool search) {
    if (QuestionOpen()) {
        Library().askedWhileBusy = true;
        return false;
    }
    state_->busy = true;
    state_->searchQuestion = search;
    Library().askedWhileBusy = false;
    return true;
}

bool CProcessOneSentItem::QuestionOpen() {
    auto& s = *state_;
    // A search question whose dialog went away without FoldersChosen will
    // never be answered; it must not keep the processor busy.
    if (s.busy && s.searchQuestion && !s.showing &&
        (!s.m_frmChooseOutlookFolders4 || !s.m_frmChooseOutlookFolders4->Showing())) {
        EndQuestion();
    }
    return s.busy;
}

void CProcessOneSentItem::EndQuestion() {
    state_->busy = false;
    state_->searchQuestion = false;
    state_->rememberedItem.reset();
}

bool CProcessOneSentItem::PickOutlookFolders4(outlook::ApplicationPtr& olApp, bool& multiple,
                                              ostrevane::FolderListPtr& folderList,
                                              std::string& emailTo, std::string& emailSubject) {
    auto& s = *state_;
    long step = 0;
    bool asked = false;
    try {
        step = 2;
        if (!StartQuestion(true)) {
            return false;
        }
        asked = true;

        step = 4;
        if (!s.m_frmChooseOutlookFolders4) {
            auto form = CreateSearchChooser();
            form->SetFoldersChosenHandler([this](ostrevane::FolderListPtr& list) {
                m_frmChooseOutlookFolders4_FoldersChosen(list);
            });
            s.m_frmChooseOutlookFolders4 = std::move(form);
        }
        auto& form = *s.m_frmChooseOutlookFolders4;

        step = 6;
        SetUpQuestion(form, olApp, multiple, folderList, emailTo, emailSubject);

        step = 8;
        s.answered = false;
        s.showing = true;
        bool result = false;
        try {
            result = form.ShowIt();
        } catch (...) {
            s.showing = false;
            throw;
        }
        s.showing = false;
        folderList.reset();
        // A show that failed, or that returned without a dialog and without
        // an answer, leaves no question open.
        if (!s.answered && (!result || !form.Showing())) {
            EndQuestion();
            result = false;
        }
        return result;
    } catch (const std::exception& e) {
        if (asked && !s.answered) {
            EndQuestion();
        }
        ReportError(common::ErrorAtLine(step, e.what()), 1, common::Source("PickOutlookFolders4"));
        return false;
    }
}

void CProcessOneSentItem::m_frmChooseOutlookFolders4_FoldersChosen(
    ostrevane::FolderListPtr& folderList) {
    constexpr char kSource[] = "SendAndFileWithSearch4";
    state_->answered = true;
    // The question ends with its answer, whatever happens below.
    auto item = state_->rememberedItem;
    EndQuestion();
    Trapped({common::Source("FoldersChosen"), 1, false}, [&](long&) {
        // Nothing in place of the list (a failed show) counts as no folder.
        const std::size_t count = folderList ? folderList->size() : 0;
        const std::string countText = "IOFoldersCollection.Count: " + std::to_string(count);
        if (count >= 1) {
            auto rec = (*folderList)[0];
            WriteLogLine(common::LogSource(kSource),
                         countText + "; Folder: " + Need(rec).FolderName);
            auto folder = GetOutlookFolderFromID(rec->EntryID, rec->StoreID);
            WriteLogLine(common::LogSource(kSource), "Outlook Folder: " + Need(folder).Name());
            if (item && rec->EntryID != Library().sentItemsEntryId) {
                std::string entryId = rec->EntryID;
                std::string storeId = rec->StoreID;
                std::string who = "User's Folder Choice";
                MoveIt(item, entryId, storeId, who);
            }
        } else {
            WriteLogLine(common::LogSource(kSource), countText + " (0 = cancel selected)");
        }
    });
}

bool CProcessOneSentItem::PickOutlookFolders3(outlook::ApplicationPtr& olApp, bool& multiple,
                                              ostrevane::FolderListPtr& folderList,
                                              std::string& emailTo, std::string& emailSubject) {
    auto& s = *state_;
    long step = 0;
    bool asked = false;
    try {
        step = 2;
        if (!StartQuestion(false)) {
            return false;
        }
        asked = true;

        step = 4;
        if (!s.frmChooseOutlookFolders3) {
            s.frmChooseOutlookFolders3 = CreateChooser(ChooserVariant::LazyModal);
        }
        // The question holds its form while the user decides.
        const auto held = s.frmChooseOutlookFolders3;
        auto& form = *held;

        step = 6;
        SetUpQuestion(form, olApp, multiple, folderList, emailTo, emailSubject);

        step = 8;
        const bool result = form.ShowIt();
        step = 10;
        if (result) {
            folderList = form.folderList();
        } else if (form.ErrorOccurred()) {
            Library().askedWhileBusy = true;
        }
        step = 12;
        form.HideIt();
        s.busy = false;
        return result;
    } catch (const std::exception& e) {
        if (asked) {
            s.busy = false;
        }
        ReportError(common::ErrorAtLine(step, e.what()), 1, common::Source("PickOutlookFolders3"));
        return false;
    }
}

void CProcessOneSentItem::ProcessQueuedItems() {
    constexpr char kSource[] = "ProcessQueuedItems";
    auto& library = Library();
    int moved = 0;
    Trapped({common::Source(kSource)}, [&](long& step) {
        step = 2;
        auto application = state_->olApp;
        auto nameSpace = Need(application).GetNamespace("MAPI");
        if (!library.itemQueue) {
            library.itemQueue = std::make_shared<std::deque<std::string>>();
        }
        auto queue = library.itemQueue;
        step = 4;
        WriteLogLine(common::LogSource(kSource),
                     "Entering with " + std::to_string(queue->size()) + " queued items");
        while (!queue->empty()) {
            step = 6;
            const std::string id = queue->front();
            queue->pop_front();
            step = 8;
            outlook::ItemPtr item;
            try {
                item = nameSpace->GetItemFromID(id);
            } catch (const std::exception&) {
                item.reset();
            }
            if (!item) {
                WriteLogLine(common::LogSource(kSource),
                             "Warning: Failed to create item from queue...skipping");
                continue;
            }
            step = 10;
            // Each question gets a list of its own; the item waits for the
            // answer as the confirmation step's item does.
            auto list = std::make_shared<ostrevane::FolderList>();
            std::string to = item->To();
            std::string subject = item->Subject();
            bool multiple = false;
            if (!QuestionOpen()) {
                state_->rememberedItem = item;
            }
            const bool ok = PickOutlookFolders4(application, multiple, list, to, subject);
            step = 12;
            ostrevane::FolderRecordPtr rec;
            if (ok && list && !list->empty()) {
                rec = (*list)[0];
                const std::string name = Need(rec).FolderName;
                WriteLogLine(common::LogSource(kSource),
                             "IOFoldersCollection.Count: " + std::to_string(list->size()) +
                                 "; Folder: " + name);
                WriteLogLine(common::LogSource(kSource), "Outlook Folder: " + name);
            }
            step = 14;
            if (!ok && library.askedWhileBusy) {
                WriteLogLine(common::LogSource(kSource),
                             "Warning: Failed to queue item a second time...skipping");
                library.askedWhileBusy = false;
            }
            step = 16;
            if (rec) {
                if (rec->EntryID != library.sentItemsEntryId) {
                    std::string entryId = rec->EntryID;
                    std::string storeId = rec->StoreID;
                    std::string who = "Process Queued Items";
                    MoveIt(item, entryId, storeId, who);
                }
                ++moved;
            }
        }
        WriteLogLine(common::LogSource(kSource),
                     "Leaving after having moved " + std::to_string(moved) + " items");
    });
}

}  // namespace plovanex
