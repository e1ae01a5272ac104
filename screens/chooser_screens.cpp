// The search chooser on each of its tabs, and the new-folder dialog.
#include <QApplication>
#include <QCheckBox>
#include <QLineEdit>
#include <QListView>
#include <QTabWidget>
#include <QTest>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "chooser/chooser_factory.h"
#include "chooser/frm_new_outlook_folder.h"
#include "common/index_row.h"
#include "common/settings_keys.h"
#include "core/globals.h"
#include "core/install_folder.h"
#include "platform/mailstore/profile.h"
#include "platform/outlook/outlook.h"
#include "screens/screens.h"

namespace {

namespace keys = common::keys;

// The folder index of the profile, as the index builder writes it.
void WriteIndex(mailstore::Profile& profile) {
    std::string rows;
    std::vector<mailstore::Id> pending;
    for (const auto& store : profile.Stores()) {
        pending.push_back(store.rootId);
    }
    while (!pending.empty()) {
        const auto id = pending.front();
        pending.erase(pending.begin());
        for (const auto& child : profile.Children(id)) {
            common::AppendIndexRow(rows, child.name, profile.FolderPath(child.id));
            pending.push_back(child.id);
        }
    }
    std::ifstream in(plovanex::InstallFolder() / "FolderList.xml", std::ios::binary);
    const std::string templateText{std::istreambuf_iterator<char>(in),
                                   std::istreambuf_iterator<char>()};
    std::ofstream(std::filesystem::path(plovanex::Helper().GetDataFolder(0)) / "MyFolderList.xml",
                  std::ios::binary)
        << common::FillIndexTemplate(templateText, rows);
}

// The chooser as Send And File opens it, with a few recently used folders.
QWidget* OpenChooser() {
    auto profile = mailstore::Profile::Open("Default");
    const auto apollo = *profile->FolderByPath("\\\\Personal Folders\\Projects\\Apollo");
    const auto launch = profile->AddFolder(apollo, "Launch plans for the spring campaign");
    profile->AddFolder(launch, "Partners and suppliers of the event");
    WriteIndex(*profile);
    const char* recent[] = {
        "\\\\Personal Folders\\Projects\\Apollo\\Launch plans for the spring "
        "campaign\\Partners and suppliers of the event",
        "\\\\Personal Folders\\Clients\\Acme", "\\\\Personal Folders\\Projects\\Apollo",
        "\\\\Personal Folders\\Archive\\2026"};
    int n = 1;
    for (const char* path : recent) {
        auto folder = profile->Folder(*profile->FolderByPath(path));
        plovanex::SaveSetting(keys::MRUFolder(n), path);
        plovanex::SaveSetting(keys::MRUEntryId(n), folder.entryId);
        plovanex::SaveSetting(keys::MRUStoreId(n), profile->Store(folder.storeId).entryId);
        ++n;
    }
    static std::shared_ptr<plovanex::IChooseOutlookFolders> chooser;
    chooser = plovanex::MakeChooserFactory()(plovanex::ChooserVariant::Search);
    chooser->SetApplication(outlook::CreateApplication(profile, "11.0.8217"));
    chooser->SetSingleFolderOnly(true);
    chooser->SetFolderList(std::make_shared<ostrevane::FolderList>());
    chooser->SetEmailTo("Project Lead");
    chooser->SetEmailSubject("Launch plan for the spring");
    chooser->ShowIt();
    for (QWidget* w : QApplication::topLevelWidgets()) {
        if (w->objectName() == "frmChooseOutlookFolders4" && w->isVisible()) {
            return w;
        }
    }
    throw std::runtime_error("the chooser did not show");
}

const screens::Registration chooserTabs("chooser", [](screens::Shot& shot) {
    QWidget* form = OpenChooser();
    auto* tabs = form->findChild<QTabWidget*>("vsIndexTab1");
    tabs->setCurrentIndex(0);
    shot.Take(form, "explore");
    auto* right = form->findChild<QCheckBox*>("chkShowRights");
    QTest::mouseClick(right, Qt::LeftButton);
    shot.Take(form, "explore-right");
    QTest::mouseClick(right, Qt::LeftButton);
    tabs->setCurrentIndex(1);
    QTest::keyClicks(form->findChild<QLineEdit*>("txtSearchFor"), "a");
    auto* list = form->findChild<QListView*>("lstSearchResults");
    list->setCurrentIndex(list->model()->index(0, 0));
    shot.Take(form, "search");
});

const screens::Registration newFolder("new-folder", [](screens::Shot& shot) {
    auto* dialog = new plovanex::chooser::frmNewOutlookFolder;
    dialog->SetFolderHolds("Mail Items");
    dialog->SetFolderParent("Clients");
    shot.Take(dialog);
});

}  // namespace
