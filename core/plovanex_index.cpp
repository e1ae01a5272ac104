// The folder index upkeep: one row into or out of the index, or a rebuild by
// the index builder.

#include <optional>

#include "common/error_text.h"
#include "common/index_row.h"
#include "common/settings_keys.h"
#include "core/globals.h"
#include "core/index_builder.h"
#include "core/plovanex_state.h"
#include "platform/ado/replace_file.h"
#include "platform/error.h"
#include "platform/mirelink/mirelink.h"
#include "platform/os/whole_file.h"

namespace plovanex {

namespace keys = common::keys;

namespace {

std::string IndexFilePath() {
    return Helper().GetDataFolder(0) + "/MyFolderList.xml";
}

// Where a row goes: just after the first "<rs:insert>", found without
// regard to case. Raises when the text holds none, as a missing, empty or
// foreign file does: the index must hold that element.
std::size_t InsertPosition(const std::string& content) {
    const std::size_t at = common::IndexInsertPosition(content);
    if (at == std::string::npos) {
        throw platform::Error("The folder index holds no \"" +
                              std::string(common::kIndexInsertTag) + "\" element.");
    }
    return at;
}

// The content as SaveIndexFile is to get it: without the line end that
// SaveIndexFile puts back, so an index written back unchanged stays the same.
std::string WithoutLineEnd(std::string content) {
    if (content.ends_with("\r\n")) {
        content.resize(content.size() - 2);
    }
    return content;
}

std::string WithoutEvery(const std::string& text, const std::string& part) {
    std::string out;
    std::size_t start = 0;
    for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, start)) {
        out.append(text, start, at - start);
        start = at + part.size();
    }
    out.append(text, start, std::string::npos);
    return out;
}

}  // namespace

void CPlovanex::State::RefreshFolders(const mirelink::SessionPtr& session,
                                      const std::string& EntryID, const std::string& StoreID,
                                      bool& addIt) {
    const std::string procedure = "RefreshFolders";
    int step = 0;
    try {
        step = 2;
        auto folder = GetRDOObjectFromIds(session, EntryID, StoreID);
        step = 4;
        // A folder that the ids no longer find (deleted, or moved out of its
        // store) has no kind, and the line shows none; the index is rebuilt
        // for it below.
        std::optional<int> kind;
        if (folder) {
            kind = folder->FolderKind();
        }
        LogToEngine(procedure, "Entering for folder kind " +
                                   (kind ? std::to_string(*kind) : std::string()) +
                                   "; addIt: " + (addIt ? "True" : "False"));
        step = 6;
        if (addIt) {
            if (kind && *kind != mirelink::kGenericFolder) {
                return;
            }
            if (folder && !folder->FolderPath().empty()) {
                AddFolder(folder);
                SaveSetting(keys::LoadRefreshWanted, "1");
            } else {
                LogToEngine(procedure, "Warning: Could not find folder to add...rebuilding index");
                StartIndexBuilder();
            }
        } else {
            LogToEngine(procedure, "Folder moved or deleted...rebuilding index");
            StartIndexBuilder();
        }
    } catch (const std::exception& e) {
        ReportError("Error occurred at line " + std::to_string(step) + ". Reason: " + e.what(), 0,
                    common::Source(procedure));
    }
}

bool CPlovanex::State::AddFolder(const mirelink::FolderPtr& folder) {
    const std::string procedure = "AddFolder";
    bool written = false;
    Trapped({common::Source(procedure)}, [&](long& step) {
        // Logs the text as it is, then as the index holds it.
        auto logBothForms = [&](const std::string& label, const std::string& text, int escapeStep) {
            LogToEngine(procedure, label + text);
            step = escapeStep;
            const std::string escaped = common::EscapeIndexText(text);
            step = escapeStep + 2;
            LogToEngine(procedure, label + escaped);
        };
        step = 200;
        auto& f = Need(folder);
        const std::string name = f.Name();
        logBothForms("Folder Name: ", name, 210);
        step = 214;
        const std::string path = f.FolderPath();
        logBothForms("Folder Path: ", path, 216);
        step = 4;
        const std::string row = common::IndexRow(name, path);
        step = 6;
        const std::string file = IndexFilePath();
        const std::string content = LoadIndexFile(file);
        step = 8;
        const std::size_t at = InsertPosition(content);
        const std::string newContent = content.substr(0, at) + row + content.substr(at);
        step = 12;
        if (!SaveIndexFile(file, WithoutLineEnd(newContent))) {
            return;
        }
        written = true;
        LogToEngine(procedure, "Added single new folder to index:");
        LogToEngine(procedure, row);
        if (m_frmChooseOutlookFolders4) {
            LogToEngine(procedure, "Refreshing shown folder list");
            m_frmChooseOutlookFolders4->ReloadFolderList();
        }
    });
    return written;
}

void CPlovanex::State::RemoveFolder(const mirelink::FolderPtr& folder) {
    const std::string procedure = "RemoveFolder";
    Trapped({common::Source(procedure)}, [&](long& step) {
        step = 2;
        auto& f = Need(folder);
        const std::string name = f.Name();
        const std::string path = f.FolderPath();
        step = 4;
        const std::string row = common::IndexRow(name, path);
        step = 6;
        const std::string file = IndexFilePath();
        const std::string content = LoadIndexFile(file);
        step = 8;
        // A file that is no index is not written over.
        InsertPosition(content);
        const std::string newContent = WithoutEvery(content, row);
        if (newContent != content) {
            LogToEngine(procedure, "Removed: " + row);
        } else {
            LogToEngine(procedure, "Warning: could not find folder to remove: " + row);
        }
        step = 12;
        if (!SaveIndexFile(file, WithoutLineEnd(newContent))) {
            return;
        }
        LogToEngine(procedure, "Removed single new folder to index:" + row);
    });
}

std::string CPlovanex::State::LoadIndexFile(const std::string& path) {
    return Trapped({common::Source("LoadIndexFile"), 1, false},
                   [&](long&) { return platform::ReadWholeFile(path); });
}

bool CPlovanex::State::SaveIndexFile(const std::string& path, const std::string& text) {
    try {
        // A reader sees the old index or the new one, never a part of it.
        platform::ReplaceFile(path, text + "\r\n");
        SaveSetting(keys::LoadRefreshWanted, "1");
        return true;
    } catch (const std::exception& e) {
        const std::string source = common::Source("SaveIndexFile");
        ReportError(common::ErrorOccurred(e.what()), 1, source);
        ReportError("Error Info: Trying to write to " + path, 1, source);
        return false;
    }
}

}  // namespace plovanex
