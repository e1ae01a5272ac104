#include "chooser/mru_list.h"

#include <QCheckBox>
#include <QVBoxLayout>

#include "chooser/chooser_common.h"
#include "common/settings_keys.h"
#include "common/vb_convert.h"
#include "core/globals.h"
#include "platform/mirelink/mirelink.h"
#include "platform/widgets/controls.h"

namespace plovanex::chooser {

namespace keys = common::keys;

namespace {

constexpr char kLogSource[] = "ChooseOutlookFolder";

struct Entry {
    std::string folder, entryId, storeId;
    bool operator==(const Entry&) const = default;
};
using Entries = std::array<Entry, kMruCount + 1>;  // [0] unused: entries count from 1

Entry ReadEntry(int n) {
    return {GetSetting(keys::MRUFolder(n), keys::MRUDefault),
            GetSetting(keys::MRUEntryId(n), keys::MRUDefault),
            GetSetting(keys::MRUStoreId(n), keys::MRUDefault)};
}

Entries ReadAll() {
    Entries all;
    for (int n = 1; n <= kMruCount; ++n) {
        all[static_cast<std::size_t>(n)] = ReadEntry(n);
    }
    return all;
}

// Writes the entries that changed, in one write: the list never stands
// half shifted, with an entry lost or twice. An entry left as it was is not
// rewritten, so that an unchanged list costs no writes.
void WriteChanged(const Entries& before, const Entries& after) {
    std::vector<platform::settings::Setting> changed;
    for (int n = 1; n <= kMruCount; ++n) {
        const auto& was = before[static_cast<std::size_t>(n)];
        const auto& now = after[static_cast<std::size_t>(n)];
        if (was.folder != now.folder) {
            changed.push_back({keys::MRUFolder(n), now.folder});
        }
        if (was.entryId != now.entryId) {
            changed.push_back({keys::MRUEntryId(n), now.entryId});
        }
        if (was.storeId != now.storeId) {
            changed.push_back({keys::MRUStoreId(n), now.storeId});
        }
    }
    SaveSettings(changed);
}

}  // namespace

std::array<std::string, kMruCount> MruPaths() {
    std::array<std::string, kMruCount> paths;
    for (int n = 1; n <= kMruCount; ++n) {
        paths[static_cast<std::size_t>(n - 1)] = GetSetting(keys::MRUFolder(n), keys::MRUDefault);
    }
    return paths;
}

ostrevane::FolderRecordPtr MruRecord(int n) {
    Entry e = ReadEntry(n);
    return NewRecord(e.folder, e.entryId, e.storeId);
}

void AddToMRUList(const std::string& chosenPath, const std::string& entryID,
                  const std::string& storeID, std::string& lastFolderPath) {
    bool found = false;
    for (int n = 1; n <= kMruCount && !found; ++n) {
        const std::string entry = GetSetting(keys::MRUFolder(n), keys::MRUDefault);
        if (entry.empty()) {
            break;
        }
        WriteLogLine(common::LogSource(kLogSource), "Comparing " + chosenPath + " and " + entry);
        if (Helper().TextMatches(chosenPath, entry)) {
            WriteLogLine(common::LogSource(kLogSource), "Found it in the list");
            found = true;
        }
    }
    if (!found) {
        WriteLogLine(common::LogSource(kLogSource), "Did not find it in the list...adding it");
        const Entries before = ReadAll();
        Entries after = before;
        for (int j = kMruCount - 1; j >= 1; --j) {
            after[static_cast<std::size_t>(j + 1)] = after[static_cast<std::size_t>(j)];
        }
        after[1] = {chosenPath, entryID, storeID};
        WriteChanged(before, after);
    }
    lastFolderPath = chosenPath;
}

void PurgeMRUList(const mirelink::SessionPtr& session) {
    try {
        const Entries before = ReadAll();
        Entries after = before;
        for (int i = kMruCount; i >= 1; --i) {
            bool resolves = false;
            try {
                resolves = session &&
                           session->GetFolderFromPath(after[static_cast<std::size_t>(i)].folder);
            } catch (const std::exception&) {
                resolves = false;
            }
            if (!resolves) {
                for (int j = i; j <= kMruCount; ++j) {
                    after[static_cast<std::size_t>(j)] =
                        j < kMruCount ? after[static_cast<std::size_t>(j + 1)] : Entry{};
                }
            }
        }
        WriteChanged(before, after);
    } catch (const std::exception&) {
        // Every error counts as a folder not found; nothing is reported.
    }
}

// ---- MruBox

void MruBox::ScrollToEnd() {
    startPending_ = false;
    setCursorPosition(static_cast<int>(text().size()));
    deselect();
}

void MruBox::ScrollToStart() {
    setCursorPosition(std::min<int>(1, static_cast<int>(text().size())));
    deselect();
    // The line edit scrolls only as far as its caret needs, so a box last
    // scrolled to its end would go on hiding its first character: the next
    // paint is made with the caret at the start.
    startPending_ = true;
    update();
}

void MruBox::Highlight(bool bold) {
    deselect();
    QFont f = font();
    f.setBold(bold);
    setFont(f);
}

void MruBox::paintEvent(QPaintEvent* event) {
    if (startPending_) {
        startPending_ = false;
        const int caret = cursorPosition();
        setCursorPosition(0);
        QLineEdit::paintEvent(event);
        // Puts the caret back and asks for a paint with it in place.
        setCursorPosition(caret);
        return;
    }
    QLineEdit::paintEvent(event);
}

void MruBox::mouseDoubleClickEvent(QMouseEvent* event) {
    QLineEdit::mouseDoubleClickEvent(event);
    if (DblClick) {
        auto handler = DblClick;
        handler();
    }
}

void MruBox::focusOutEvent(QFocusEvent* event) {
    if (Validate) {
        auto handler = Validate;
        handler();
    }
    QLineEdit::focusOutEvent(event);
}

// ---- MruFrame

MruFrame::MruFrame(QWidget* parent, const char* frameName, const char* boxName,
                   const char* checkName)
    : QGroupBox(parent) {
    setObjectName(frameName);
    setTitle(kMruFrameCaption);
    auto* layout = new QVBoxLayout(this);
    layout->setSpacing(2);
    for (int n = 1; n <= kMruCount; ++n) {
        const std::string name = boxName + std::to_string(n);
        auto* box = platform::widgets::MakeControl<MruBox>(this, name.c_str());
        box->DblClick = [this, n] {
            if (DblClick) {
                DblClick(n);
            }
        };
        box->Validate = [box, name] {
            Guarded((name + "_Validate").c_str(), [box] { box->Highlight(false); });
        };
        boxes_[static_cast<std::size_t>(n - 1)] = box;
        layout->addWidget(box);
    }
    check_ = platform::widgets::MakeControl<QCheckBox>(this, checkName, kShowRightsCaption);
    layout->addWidget(check_);
    const std::string handler = std::string(checkName) + "_Click";
    connect(check_, &QCheckBox::clicked, this,
            [this, handler] { Guarded(handler.c_str(), [this] { ShowRightsClick(); }); });
}

void MruFrame::Fill(const std::array<std::string, kMruCount>& paths) {
    for (int n = 1; n <= kMruCount; ++n) {
        Box(n)->setText(QString::fromStdString(paths[static_cast<std::size_t>(n - 1)]));
    }
    for (int n = 1; n <= kMruCount; ++n) {
        Box(n)->Highlight(false);
    }
    for (int n = 1; n <= kMruCount; ++n) {
        Box(n)->setToolTip(QString::fromStdString(paths[static_cast<std::size_t>(n - 1)]));
    }
}

void MruFrame::SetMRUScrollRight() {
    for (auto* box : boxes_) {
        box->ScrollToEnd();
    }
}

void MruFrame::SetMRUScrollLeft() {
    for (auto* box : boxes_) {
        box->ScrollToStart();
    }
}

void MruFrame::ApplyShowRights(int value) {
    check_->setChecked(value != 0);
    if (value != 0) {
        SetMRUScrollRight();
    } else {
        SetMRUScrollLeft();
    }
}

void MruFrame::ShowRightsClick() {
    const bool right = check_->isChecked();
    if (right) {
        SetMRUScrollRight();
    } else {
        SetMRUScrollLeft();
    }
    SaveSetting(keys::ShowRightsWanted, right ? keys::Checked : keys::Unchecked);
}

}  // namespace plovanex::chooser
