#include "indexer/global.h"

#include <QCoreApplication>
#include <QLabel>
#include <QPushButton>
#include <exception>
#include <filesystem>
#include <optional>
#include <stdexcept>

#include "common/error_text.h"
#include "common/index_builder.h"
#include "common/index_row.h"
#include "common/settings_keys.h"
#include "common/vb_convert.h"
#include "indexer/frm_main.h"
#include "indexer/index_template.h"
#include "platform/ado/replace_file.h"
#include "platform/os/os.h"
#include "platform/os/whole_file.h"
#include "platform/ostrevane/log_writer.h"
#include "platform/settings/settings_store.h"

namespace kestrune {

namespace keys = common::keys;
namespace settings = platform::settings;

namespace {

constexpr char kProduct[] = "Plovanex";
constexpr int kAllPublicFolders = 18;
// U+00C1, capital A with acute accent, in UTF-8.
constexpr char kCapitalAAcute[] = "\xC3\x81";

std::string WithoutProfilePrefix(std::string profile) {
    const std::string prefix = keys::CurrentProfilePrefix;
    for (auto at = profile.find(prefix); at != std::string::npos; at = profile.find(prefix)) {
        profile.erase(at, prefix.size());
    }
    return profile;
}

// Shows or hides the window as KestruneVisible says; true when shown.
bool MatchVisibility() {
    const bool visible =
        vb::ToInteger(GetSetting(keys::KestruneVisible, keys::KestruneVisibleDefault)) != 0;
    if (frmMain* window = Program().window) {
        window->setVisible(visible);
    }
    return visible;
}

// KeepGoingWanted is not 0. A value that is no number counts as 0, so the
// build stops as on Cancel; that error is reported with the walk's step.
bool KeepGoingWanted(int step) {
    const std::string value = GetSetting(keys::KeepGoingWanted, keys::KeepGoingWantedDefault);
    return Trapped({common::Source("DescendThruFolders")}, [&](long& at) {
        at = step;
        return vb::ToInteger(value) != 0;
    });
}

// Ends the build on its error road when the error was reported where it
// arose, so that it is reported once.
class AlreadyReported : public std::runtime_error {
  public:
    AlreadyReported() : std::runtime_error("reported") {}
};

void SetText(QLabel* label, const std::string& text) {
    label->setText(QString::fromStdString(text));
}

// The finish of a build: the end texts, the status keys, and the close.
void FinishBuild(const std::string& rows) {
    frmMain* window = Program().window;
    if (Program().keepGoing) {
        const std::string folder = Helper().GetDataFolder(0);
        const std::optional<std::string> templateText = LoadIndexFile(folder + "/FolderList.xml");
        if (!templateText) {
            throw AlreadyReported();
        }
        // A template that gives no rows' place leaves the old index alone:
        // FillIndexTemplate raises, and the build ends on its error road.
        const std::string index = common::FillIndexTemplate(*templateText, rows);
        if (SaveIndexFile(folder + "/MyFolderList.xml", index)) {
            WriteLogLine("Index was rebuilt successfully.", common::LogSource(kProduct));
            if ((window = Program().window)) {
                window->lblStoreCount->clear();
                window->lblFolderCount->clear();
                SetText(window->lblWorkingOn, "Done.  The index was rebuilt successfully.");
                window->cmdCancel->setText("&Close");
            }
        }
    } else if (window) {
        window->lblStoreCount->clear();
        window->lblFolderCount->clear();
        SetText(window->lblWorkingOn, "Cancelled.  The index was not updated.");
    }
    SaveSetting(keys::RebuildingIndexStatus, "0");
    SaveSetting(keys::LoadRefreshWanted, "1");
    if ((window = Program().window)) {
        window->lblWorkingOn->repaint();
        QCoreApplication::processEvents();
        if ((window = Program().window)) {
            window->cmdClose_Click();
        }
    }
}

}  // namespace

ProgramState& Program() {
    static ProgramState state;
    return state;
}

ostrevane::SettingsHelper& Helper() {
    static ostrevane::SettingsHelper helper;
    return helper;
}

std::string GetSetting(const std::string& key, const char* defaultText) {
    return settings::GetSetting(Helper().SettingsAppName(), keys::SectionPlovanex, key,
                                defaultText);
}

std::string GetSetting(const std::string& key, int defaultNumber) {
    return settings::GetSetting(Helper().SettingsAppName(), keys::SectionPlovanex, key,
                                defaultNumber);
}

void SaveSetting(const std::string& key, const std::string& value) {
    settings::SaveSetting(Helper().SettingsAppName(), keys::SectionPlovanex, key, value);
}

void WriteLogLine(const std::string& text, common::LogSource source) {
    ostrevane::LogWriter writer;
    long result = 0;
    writer.WriteLine("Kestrune", source.Name(), text, result);
}

void StartTimer(std::uint32_t milliseconds) {
    WriteLogLine("Timer starting...", common::LogSource("RefreshTimer.StartTimer"));
    Program().timerId = platform::os::SetTimer(milliseconds, TimerProc);
    if (Program().timerId == 0) {
        ReportError("Error occurred.  Timer not created.", 0,
                    common::Source("SetApplicationTimer"));
    }
}

bool KillTimer() {
    if (Program().timerId != 0) {
        if (platform::os::KillTimer(Program().timerId)) {
            WriteLogLine("Timer stopped", common::LogSource("RefreshTimer.KillTimer"));
        }
        Program().timerId = 0;
    }
    return true;
}

void TimerProc() {
    KillTimer();
    BuildIndex();
    EndProgramWhenIdle();
}

void ClearKilledBuild() {
    try {
        const std::filesystem::path folder = Helper().GetDataFolder(0);
        for (const char* name : {"MyFolderList.xml", "FolderList.xml"}) {
            platform::RemoveLeftoverFiles(folder / name, common::kIndexBuilderName);
        }
        if (GetSetting(keys::RebuildingIndexStatus, keys::RebuildingIndexStatusDefault) != "0") {
            SaveSetting(keys::RebuildingIndexStatus, "0");
        }
    } catch (const std::exception&) {
        // The build itself reports a store that cannot be used.
    }
}

void EndProgramWhenIdle() {
    if (!Program().window && !Program().building) {
        QCoreApplication::quit();
    }
}

void BuildIndex() {
    ProgramState& program = Program();
    program.building = true;
    int step = 0;
    std::string profileName;
    try {
        step = 2;
        program.keepGoing = true;
        std::string rows;

        step = 40;
        const std::string profile =
            settings::GetSetting(keys::AppHalvoxSoftware, keys::SectionHalvoxSoftware,
                                 keys::CurrentProfile, keys::CurrentProfileDefault);
        step = 42;
        Helper().SetProfile(profile, kProduct);
        step = 44;
        WriteLogLine("Rebuilding index...", common::LogSource(kProduct));
        SaveSetting(keys::RebuildingIndexStatus, "1");
        if (!RestoreIndexTemplate()) {
            throw AlreadyReported();
        }

        step = 6;
        MatchVisibility();

        step = 82;
        mirelink::SessionPtr session = mirelink::CreateSession();
        profileName = WithoutProfilePrefix(profile);
        if (!profileName.empty()) {
            step = 84;
            session->Logon(profileName);
        } else {
            step = 86;
            session->Logon();
        }

        step = 10;
        long pause = 0;
        if (session->LoggedOn()) {
            pause = vb::ToLong(GetSetting(keys::DelayLength, keys::DelayLengthDefaultIndexBuilder));
        }

        step = 120;
        program.publicFoldersFlag = vb::ToLong(
            GetSetting(keys::IndexPublicFoldersWanted, keys::IndexPublicFoldersWantedDefault));
        program.publicRootName.clear();

        step = 122;
        try {
            if (mirelink::FolderPtr root = session->GetDefaultFolder(kAllPublicFolders)) {
                step = 124;
                program.publicRootName = root->Name();
            }
        } catch (const std::exception&) {
            // No public folders in this profile.
        }

        step = 14;
        mirelink::StoresPtr stores = session->Stores();
        const int count = stores->Count();
        for (int i = 1; i <= count; ++i) {
            rows += ProcessNextStore(stores, i, pause);
            if (!program.keepGoing) {
                break;
            }
        }

        step = 20;
        FinishBuild(rows);
    } catch (const std::exception& e) {
        const std::string source = common::Source("BuildIndex");
        if (!dynamic_cast<const AlreadyReported*>(&e)) {
            ReportError(
                "Error occurred at line number " + std::to_string(step) + ".  Reason: " + e.what(),
                1, source);
            if (step > 6) {
                ReportError("Profile Name: " + profileName, 0, source);
            }
        }
        try {
            SaveSetting(keys::RebuildingIndexStatus, "0");
        } catch (const std::exception& again) {
            ReportError(common::ErrorOccurred(again.what()), 1, source);
        }
        if (program.window) {
            program.window->cmdClose_Click();
        }
    }
    program.building = false;
}

std::string ProcessNextStore(const mirelink::StoresPtr& stores, int i, long pause) {
    int step = 0;
    try {
        step = 16;
        mirelink::StorePtr store = stores->Item(i);
        step = 17;
        if (frmMain* window = Program().window) {
            SetText(window->lblStoreCount,
                    "Store: " + std::to_string(i) + " of " + std::to_string(stores->Count()));
        }
        step = 18;
        mirelink::FoldersPtr folders = store->RootFolder()->Folders();
        step = 19;
        return DescendThruFolders(folders, pause);
    } catch (const std::exception& e) {
        ReportError("Warning: Could not process store at line " + std::to_string(step) +
                        ".  Reason: " + e.what(),
                    0, common::Source("ProcessNextStore"));
        return {};
    }
}

std::string DescendThruFolders(const mirelink::FoldersPtr& folders, long pause) {
    ProgramState& program = Program();
    return Trapped({common::Source("DescendThruFolders")}, [&](long& step) {
        step = 2;
        std::string rows;
        step = 4;
        const int n = folders->Count();
        for (int i = 1; i <= n; ++i) {
            step = 6;
            mirelink::FolderPtr f = folders->Item(i);
            const std::string name = f->Name();
            if (program.publicFoldersFlag == 0 && !program.publicRootName.empty() &&
                name == program.publicRootName) {
                break;
            }
            step = 8;
            if (f->FolderKind() == mirelink::kGenericFolder) {
                step = 10;
                const bool shown = MatchVisibility();
                std::string path;
                if (shown) {
                    step = 12;
                    path = f->FolderPath();
                    if (frmMain* window = program.window) {
                        SetText(window->lblFolderCount,
                                "Folder: " + std::to_string(i) + " of " + std::to_string(n));
                        SetText(window->lblWorkingOn, "Working on " + path);
                    }
                    QCoreApplication::processEvents();
                }
                step = 142;
                if (!shown) {
                    path = f->FolderPath();
                }
                step = 144;
                if (common::EscapeIndexText(name).find(kCapitalAAcute) == std::string::npos) {
                    common::AppendIndexRow(rows, name, path);
                    if (pause > 0) {
                        platform::os::Sleep(static_cast<std::uint32_t>(pause));
                    }
                    step = 20;
                    mirelink::FoldersPtr subfolders = f->Folders();
                    if (subfolders->Count() > 0) {
                        step = 22;
                        rows += DescendThruFolders(subfolders, 0);
                    }
                }
            }
            step = 24;
            if (program.keepGoing && !KeepGoingWanted(step)) {
                program.keepGoing = false;
            }
            if (!program.keepGoing) {
                break;
            }
        }
        return rows;
    });
}

std::optional<std::string> LoadIndexFile(const std::string& path) {
    return Trapped({common::Source("LoadIndexFile"), 1, false},
                   [&](long&) { return std::optional(platform::ReadWholeFile(path)); });
}

bool SaveIndexFile(const std::string& path, const std::string& text) {
    try {
        // Only an index that the add-in can open takes the old one's place.
        platform::ReplaceFile(path, text + "\r\n",
                              {.owner = common::kIndexBuilderName, .check = CheckWholeIndex});
        SaveSetting(keys::LoadRefreshWanted, "1");
        return true;
    } catch (const std::exception& e) {
        const std::string source = common::Source("SaveIndexFile");
        ReportError(common::ErrorOccurred(e.what()), 1, source);
        ReportError("Error Info: Trying to write to " + path, 1, source);
        return false;
    }
}

}  // namespace kestrune
