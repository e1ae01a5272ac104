// The search chooser on each of its tabs, and the new-folder dialog.
#include <QApplication>
#include <QCheckBox>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>
#include <QTimer>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>

#include "chooser/chooser_factory.h"
#include "chooser/frm_new_outlook_folder.h"
#include "common/index_row.h"
#include "common/settings_keys.h"
#include "core/globals.h"
#include "core/install_folder.h"
#include "platform/mailstore/profile.h"
#include "platform/outlook/outlook.h"
#include "platform/widgets/tree_view.h"
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

// The profile the choosers show: a deep folder with a long name and a few
// recently used folders. Made once for every chooser shown.
std::shared_ptr<mailstore::Profile> ChooserProfile() {
    static std::shared_ptr<mailstore::Profile> profile = [] {
        auto made = mailstore::Profile::Open("Default");
        const auto apollo = *made->FolderByPath("\\\\Personal Folders\\Projects\\Apollo");
        const auto launch = made->AddFolder(apollo, "Launch plans for the spring campaign");
        made->AddFolder(launch, "Partners and suppliers of the event");
        WriteIndex(*made);
        const char* recent[] = {
            "\\\\Personal Folders\\Projects\\Apollo\\Launch plans for the spring "
            "campaign\\Partners and suppliers of the event",
            "\\\\Personal Folders\\Clients\\Acme", "\\\\Personal Folders\\Projects\\Apollo",
            "\\\\Personal Folders\\Archive\\2026"};
        int n = 1;
        for (const char* path : recent) {
            auto folder = made->Folder(*made->FolderByPath(path));
            plovanex::SaveSetting(keys::MRUFolder(n), path);
            plovanex::SaveSetting(keys::MRUEntryId(n), folder.entryId);
            plovanex::SaveSetting(keys::MRUStoreId(n), made->Store(folder.storeId).entryId);
            ++n;
        }
        return made;
    }();
    return profile;
}

// Sets a chooser up as its callers do.
void SetUp(plovanex::IChooseOutlookFolders& chooser, bool singleFolderOnly) {
    chooser.SetApplication(outlook::CreateApplication(ChooserProfile(), "11.0.8217"));
    chooser.SetSingleFolderOnly(singleFolderOnly);
    chooser.SetFolderList(std::make_shared<ostrevane::FolderList>());
    chooser.SetEmailTo("Project Lead");
    chooser.SetEmailSubject("Launch plan for the spring");
}

QWidget* FormNamed(const char* name) {
    for (QWidget* w : QApplication::topLevelWidgets()) {
        if (w->objectName() == name && w->isVisible()) {
            return w;
        }
    }
    throw std::runtime_error(std::string(name) + " did not show");
}

// The chooser as Send And File opens it, with a few recently used folders.
QWidget* OpenChooser() {
    static std::shared_ptr<plovanex::IChooseOutlookFolders> chooser;
    chooser = plovanex::MakeChooserFactory()(plovanex::ChooserVariant::Search);
    SetUp(*chooser, true);
    chooser->ShowIt();
    return FormNamed("frmChooseOutlookFolders4");
}

// A modal chooser while it waits: the pictures are taken inside the wait,
// then the question is cancelled.
void WhileModalWaits(plovanex::ChooserVariant variant, bool singleFolderOnly,
                     const std::function<void(QWidget& form)>& pictures) {
    static std::shared_ptr<plovanex::IChooseOutlookFolders> chooser;
    chooser = plovanex::MakeChooserFactory()(variant);
    SetUp(*chooser, singleFolderOnly);
    const std::string name = "frmChooseOutlookFolders" + std::to_string(static_cast<int>(variant));
    QTimer::singleShot(0, [&] {
        QWidget* form = FormNamed(name.c_str());
        pictures(*form);
        form->findChild<QPushButton*>("cmdCancel")->click();
    });
    chooser->ShowIt();
}

// Opens the tree down the node texts of a path and selects the last node.
void SelectInTree(QWidget& form, const std::vector<std::string>& texts) {
    auto* tree = form.findChild<platform::widgets::TreeView*>("TreeView1");
    platform::widgets::Node node;
    for (const auto& text : texts) {
        platform::widgets::Node next;
        if (!node) {
            for (int i = 1; i <= tree->Nodes().Count() && !next; ++i) {
                auto top = tree->Nodes().Item(i);
                if (!top->Parent() && top->Text() == text) {
                    next = top;
                }
            }
        } else {
            tree->expand(tree->IndexOf(node));
            for (auto child = node->Child(); child && !next; child = child->Next()) {
                if (child->Text() == text) {
                    next = child;
                }
            }
        }
        if (!next) {
            throw std::runtime_error("no node " + text);
        }
        node = next;
    }
    node->EnsureVisible();
    node->SetSelected(true);
    tree->scrollTo(tree->IndexOf(node));
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

const std::vector<std::string> kLaunchPath = {"Personal Folders", "Projects", "Apollo",
                                              "Launch plans for the spring campaign"};

const screens::Registration wholeTree("chooser2", [](screens::Shot& shot) {
    WhileModalWaits(plovanex::ChooserVariant::WholeTree, true, [&](QWidget& form) {
        shot.Take(&form, "first");
        SelectInTree(form, kLaunchPath);
        QTest::mouseClick(form.findChild<QCheckBox*>("chkShowRights"), Qt::LeftButton);
        shot.Take(&form, "deep-right");
        QTest::mouseClick(form.findChild<QCheckBox*>("chkShowRights"), Qt::LeftButton);
    });
    WhileModalWaits(plovanex::ChooserVariant::WholeTree, false, [&](QWidget& form) {
        SelectInTree(form, {"Personal Folders", "Clients"});
        auto* tree = form.findChild<platform::widgets::TreeView*>("TreeView1");
        tree->ItemModel()->setData(tree->IndexOf(tree->SelectedItem()), Qt::Checked,
                                   Qt::CheckStateRole);
        shot.Take(&form, "several");
    });
});

const screens::Registration lazyModal("chooser3", [](screens::Shot& shot) {
    WhileModalWaits(plovanex::ChooserVariant::LazyModal, true, [&](QWidget& form) {
        shot.Take(&form, "first");
        SelectInTree(form, kLaunchPath);
        shot.Take(&form, "deep");
    });
});

const screens::Registration newFolder("new-folder", [](screens::Shot& shot) {
    auto* dialog = new plovanex::chooser::frmNewOutlookFolder;
    dialog->SetFolderHolds("Mail Items");
    dialog->SetFolderParent("Clients");
    shot.Take(dialog);
});

}  // namespace
