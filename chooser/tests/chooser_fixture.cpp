#include "chooser/tests/chooser_fixture.h"

#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>
#include <filesystem>
#include <fstream>

#include "chooser/chooser_factory.h"
#include "chooser/mru_list.h"
#include "common/settings_keys.h"
#include "core/globals.h"
#include "core/install_folder.h"
#include "indexer/global.h"
#include "platform/settings/settings_store.h"
#include "platform/testkit/qt_application.h"

namespace chooser_test {

namespace {

// A double click as a person makes it: a click, then the second press.
void DoubleClickAt(QWidget* widget, QPoint at) {
    QTest::mouseClick(widget, Qt::LeftButton, {}, at);
    QTest::mouseDClick(widget, Qt::LeftButton, {}, at);
}

}  // namespace

namespace fs = std::filesystem;
namespace keys = common::keys;
using platform::widgets::Node;

void ChooserTest::SetUpTestSuite() {
    testkit::EnsureQtApplication();
}

ChooserTest::ChooserTest() : ChooserTest(plovanex::ChooserVariant::Search) {}

ChooserTest::ChooserTest(plovanex::ChooserVariant variant)
    : variant_(variant),
      boxHook([this](const std::string& prompt, int, const std::string& title, QWidget* owner) {
          boxes.push_back(title + ": " + prompt);
          boxOwners.emplace_back(owner);
          return platform::widgets::vbOK;
      }) {
    kit.Demo();
    app = outlook::CreateApplication(kit.Profile(), "11.0.8217");
    if (variant == plovanex::ChooserVariant::Search) {
        NewChooser();
    }
}

ChooserTest::~ChooserTest() {
    chooser.reset();
    // The forms that were let go are deleted by the event loop.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

void ChooserTest::NewChooser() {
    chooser.reset();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    chooser = std::dynamic_pointer_cast<plovanex::IChooseOutlookFoldersWithSearch>(
        plovanex::MakeChooserFactory()(plovanex::ChooserVariant::Search));
    chooser->SetFoldersChosenHandler([this](ostrevane::FolderListPtr& list) {
        if (!list) {
            answers.emplace_back(std::nullopt);
            return;
        }
        std::vector<ostrevane::FolderRecord> records;
        for (const auto& r : *list) {
            records.push_back(*r);
        }
        answers.emplace_back(records);
    });
}

void ChooserTest::BuildIndex() {
    const fs::path data = plovanex::Helper().GetDataFolder(0);
    fs::copy_file(plovanex::InstallFolder() / "FolderList.xml", data / "FolderList.xml",
                  fs::copy_options::overwrite_existing);
    Set(keys::DelayLength, "0");
    Set(keys::KeepGoingWanted, "1");
    Set(keys::IndexPublicFoldersWanted, "1");
    kestrune::BuildIndex();
    ASSERT_TRUE(fs::exists(IndexPath()));
    Set(keys::LoadRefreshWanted, "0");
}

void ChooserTest::WriteIndex(const std::string& text) {
    std::ofstream(IndexPath(), std::ios::binary) << text;
}

std::string ChooserTest::IndexPath() const {
    return plovanex::Helper().GetDataFolder(0) + "/MyFolderList.xml";
}

bool ChooserTest::Ask(bool singleFolderOnly) {
    chooser->SetApplication(app);
    chooser->SetSingleFolderOnly(singleFolderOnly);
    chooser->SetFolderList(std::make_shared<ostrevane::FolderList>());
    chooser->SetEmailTo("Project Lead");
    chooser->SetEmailSubject("Plan");
    return chooser->ShowIt();
}

QWidget& ChooserTest::Form() {
    const QString name = QString("frmChooseOutlookFolders%1").arg(static_cast<int>(variant_));
    QWidget* found = nullptr;
    for (QWidget* w : QApplication::topLevelWidgets()) {
        if (w->objectName() == name) {
            if (found) {
                throw std::runtime_error("two chooser forms");
            }
            found = w;
        }
    }
    if (!found) {
        throw std::runtime_error("no chooser form");
    }
    return *found;
}

platform::widgets::TreeView& ChooserTest::Tree() {
    return Control<platform::widgets::TreeView>("TreeView1");
}

void ChooserTest::ShowTab(int tab) {
    Control<QTabWidget>("vsIndexTab1").setCurrentIndex(tab);
}

void ChooserTest::Click(const char* button) {
    QTest::mouseClick(&Control<QPushButton>(button), Qt::LeftButton);
}

void ChooserTest::DoubleClick(const char* box) {
    auto& edit = Control<QLineEdit>(box);
    DoubleClickAt(&edit, edit.rect().center());
}

void ChooserTest::TypeSearch(const std::string& text) {
    auto& box = Control<QLineEdit>("txtSearchFor");
    box.clear();
    QTest::keyClicks(&box, QString::fromStdString(text));
}

std::vector<std::string> ChooserTest::SearchLines() {
    auto* model = Control<QListView>("lstSearchResults").model();
    std::vector<std::string> lines;
    for (int row = 0; row < model->rowCount(); ++row) {
        lines.push_back(model->index(row, 0).data().toString().toStdString());
    }
    return lines;
}

void ChooserTest::PickLine(const std::string& path, bool doubleClick) {
    auto& list = Control<QListView>("lstSearchResults");
    auto* model = list.model();
    for (int row = 0; row < model->rowCount(); ++row) {
        const QModelIndex index = model->index(row, 0);
        if (index.data().toString().toStdString() != path) {
            continue;
        }
        list.scrollTo(index);
        const QPoint at = list.visualRect(index).center();
        if (doubleClick) {
            DoubleClickAt(list.viewport(), at);
        } else {
            QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, at);
        }
        return;
    }
    ADD_FAILURE() << "no line " << path;
}

Node ChooserTest::NodeAt(const std::string& treePath) {
    auto& tree = Tree();
    Node node;
    std::size_t start = 0;
    while (start <= treePath.size()) {
        const std::size_t cut = treePath.find('\\', start);
        const std::string part =
            treePath.substr(start, cut == std::string::npos ? cut : cut - start);
        if (node) {
            tree.expand(tree.IndexOf(node));
        }
        Node next;
        for (Node n = node ? node->Child() : nullptr; n; n = n->Next()) {
            if (n->Text() == part) {
                next = n;
                break;
            }
        }
        if (!node) {
            for (int i = 1; i <= tree.Nodes().Count() && !next; ++i) {
                auto candidate = tree.Nodes().Item(i);
                if (!candidate->Parent() && candidate->Text() == part) {
                    next = candidate;
                }
            }
        }
        if (!next) {
            return nullptr;
        }
        node = next;
        if (cut == std::string::npos) {
            break;
        }
        start = cut + 1;
    }
    return node;
}

void ChooserTest::ClickNode(const std::string& treePath) {
    Node node = NodeAt(treePath);
    ASSERT_TRUE(node) << treePath;
    auto& tree = Tree();
    tree.scrollTo(tree.IndexOf(node));
    QTest::mouseClick(tree.viewport(), Qt::LeftButton, {},
                      tree.visualRect(tree.IndexOf(node)).center());
}

void ChooserTest::DoubleClickNode(const std::string& treePath) {
    Node node = NodeAt(treePath);
    ASSERT_TRUE(node) << treePath;
    auto& tree = Tree();
    tree.scrollTo(tree.IndexOf(node));
    DoubleClickAt(tree.viewport(), tree.visualRect(tree.IndexOf(node)).center());
}

ostrevane::FolderRecord ChooserTest::Record(const std::string& path) {
    auto& profile = *kit.Profile();
    auto row = profile.Folder(kit.FolderId(path));
    return {row.name, row.entryId, profile.Store(row.storeId).entryId};
}

void ChooserTest::SetMru(int n, const std::string& path) {
    auto record = Record(path);
    Set(keys::MRUFolder(n), path);
    Set(keys::MRUEntryId(n), record.EntryID);
    Set(keys::MRUStoreId(n), record.StoreID);
}

std::vector<std::string> ChooserTest::MruList() {
    std::vector<std::string> paths;
    for (int n = 1; n <= keys::MRUCount; ++n) {
        const std::string path = plovanex::GetSetting(keys::MRUFolder(n), "");
        if (path.empty()) {
            break;
        }
        paths.push_back(path);
    }
    return paths;
}

std::string ChooserTest::Get(const std::string& key) {
    return plovanex::GetSetting(key, "<absent>");
}

void ChooserTest::Set(const std::string& key, const std::string& value) {
    plovanex::SaveSetting(key, value);
}

void ChooserTest::SetHalvox(const std::string& key, const std::string& value) {
    platform::settings::SaveSetting(plovanex::Helper().SettingsAppName(),
                                    keys::SectionHalvoxSoftware, key, value);
}

std::string ChooserTest::GetHalvox(const std::string& key) {
    return platform::settings::GetSetting(plovanex::Helper().SettingsAppName(),
                                          keys::SectionHalvoxSoftware, key, "<absent>");
}

std::vector<std::string> ChooserTest::Lines(const std::string& source) {
    std::vector<std::string> out;
    for (const auto& line : home.Capture().Lines()) {
        if (line.application == "Plovanex" && line.source == source) {
            out.push_back(line.text);
        }
    }
    return out;
}

}  // namespace chooser_test
