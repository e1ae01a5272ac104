#include "chooser/tests/modal_fixture.h"

#include <QPushButton>
#include <QTimer>

#include "chooser/chooser_factory.h"
#include "common/settings_keys.h"
#include "core/globals.h"

namespace chooser_test {

namespace keys = common::keys;

ModalTest::ModalTest(plovanex::ChooserVariant variant) : ChooserTest(variant) {
    NewModal();
}

ModalTest::~ModalTest() {
    modal.reset();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

void ModalTest::NewModal() {
    modal.reset();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    modal = plovanex::MakeChooserFactory()(variant_);
}

bool ModalTest::AskModal(const std::function<void()>& doings, bool singleFolderOnly) {
    callerList = std::make_shared<ostrevane::FolderList>();
    modal->SetApplication(app);
    modal->SetSingleFolderOnly(singleFolderOnly);
    modal->SetFolderList(callerList);
    modal->SetEmailTo("Project Lead");
    modal->SetEmailSubject("Plan");
    // Timers of this call only: a ShowIt that does not wait leaves none
    // behind to fire inside a later one.
    QTimer user;
    user.setSingleShot(true);
    QObject::connect(&user, &QTimer::timeout, [&] { doings(); });
    user.start(0);
    QTimer watchdog;
    watchdog.setSingleShot(true);
    QObject::connect(&watchdog, &QTimer::timeout, [this] {
        ADD_FAILURE() << "the chooser still waits";
        Control<QPushButton>("cmdCancel").click();
    });
    watchdog.start(20'000);
    return modal->ShowIt();
}

std::vector<ostrevane::FolderRecord> ModalTest::Chosen() {
    std::vector<ostrevane::FolderRecord> records;
    if (auto list = modal->folderList()) {
        for (const auto& r : *list) {
            records.push_back(*r);
        }
    }
    return records;
}

void ModalTest::SetMruList(const std::vector<std::string>& paths) {
    for (int n = 1; n <= keys::MRUCount; ++n) {
        if (n <= static_cast<int>(paths.size())) {
            SetMru(n, paths[static_cast<std::size_t>(n - 1)]);
        } else {
            Set(keys::MRUFolder(n), "");
            Set(keys::MRUEntryId(n), "");
            Set(keys::MRUStoreId(n), "");
        }
    }
}

platform::widgets::Node ModalTest::Selected() {
    return Tree().SelectedItem();
}

}  // namespace chooser_test
