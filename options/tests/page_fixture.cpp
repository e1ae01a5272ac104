#include "options/tests/page_fixture.h"

#include <QAbstractButton>
#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QKeyEvent>
#include <QTimer>
#include <cmath>

#include "common/settings_keys.h"
#include "core/globals.h"
#include "options/form_support.h"
#include "options/prop_library.h"
#include "platform/settings/settings_store.h"
#include "platform/testkit/qt_application.h"
#include "platform/widgets/mouse_pointer.h"

namespace options_test {

namespace keys = common::keys;

void EnsureApplication() {
    testkit::EnsureQtApplication();
}

int RecordingHost::Count(const std::string& call) const {
    return static_cast<int>(std::count(calls.begin(), calls.end(), call));
}

ScopedPickFolder::ScopedPickFolder(const std::string& path)
    : ScopedPickFolder(outlook::PickFolderAt(path)) {}

ScopedPickFolder::ScopedPickFolder(outlook::PickFolderHook hook)
    : previous_(outlook::InstallPickFolderHook(
          [asked = asked_, hook = std::move(hook)](outlook::NameSpacePtr ns) {
              ++*asked;
              return hook(std::move(ns));
          })) {}

ScopedPickFolder::~ScopedPickFolder() {
    outlook::InstallPickFolderHook(std::move(previous_));
}

ScopedAddressBook::ScopedAddressBook(mirelink::AddressBookHook hook)
    : previous_(mirelink::InstallAddressBookHook(std::move(hook))) {}

ScopedAddressBook::~ScopedAddressBook() {
    mirelink::InstallAddressBookHook(std::move(previous_));
}

Boxes::Boxes()
    : hook_([shown = shown_, owners = owners_](const std::string& prompt, int,
                                               const std::string& title, QWidget* owner) {
          shown->push_back({prompt, title});
          owners->push_back(owner ? owner->objectName().toStdString() : "<none>");
          return platform::widgets::vbOK;
      }) {}

namespace {

class WatchingSink : public ostrevane::Sink {
  public:
    WatchingSink(std::shared_ptr<ostrevane::Sink> inner,
                 std::function<void(const ostrevane::LogLine&)> onLog)
        : inner_(std::move(inner)), onLog_(std::move(onLog)) {}
    void OnReport(const ostrevane::Report& report) override {
        if (inner_) {
            inner_->OnReport(report);
        }
    }
    void OnLog(const ostrevane::LogLine& line) override {
        if (inner_) {
            inner_->OnLog(line);
        }
        onLog_(line);
    }

  private:
    std::shared_ptr<ostrevane::Sink> inner_;
    std::function<void(const ostrevane::LogLine&)> onLog_;
};

}  // namespace

ScopedLogWatch::ScopedLogWatch(std::function<void(const ostrevane::LogLine&)> onLog) {
    previous_ = ostrevane::InstallSink(nullptr);
    ostrevane::InstallSink(std::make_shared<WatchingSink>(previous_, std::move(onLog)));
}

ScopedLogWatch::~ScopedLogWatch() {
    ostrevane::InstallSink(previous_);
}

ScopedLibraryState::~ScopedLibraryState() {
    plovanex::Prop() = plovanex::PropLibrary{};
    platform::widgets::SetMousePointer(platform::widgets::vbDefault);
    for (QWidget* window : QApplication::topLevelWidgets()) {
        window->hide();
        window->deleteLater();
    }
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

ScopedRuleKeyDraws::ScopedRuleKeyDraws(std::vector<double> draws) {
    auto queue = std::make_shared<std::vector<double>>(std::move(draws));
    plovanex::Prop().random = [queue] {
        EXPECT_FALSE(queue->empty()) << "more rule keys drawn than the test gave";
        if (queue->empty()) {
            return 0.0;
        }
        const double next = queue->front();
        queue->erase(queue->begin());
        return next;
    };
}

ScopedRuleKeyDraws::~ScopedRuleKeyDraws() {
    plovanex::Prop().random = nullptr;
}

double DrawFor(int key) {
    return (key - 1 + 0.5) / 999999.0;
}

void WhenModal(std::function<void(QWidget& dialog)> answer) {
    QTimer::singleShot(0, [answer] {
        QWidget* dialog = QApplication::activeModalWidget();
        ASSERT_TRUE(dialog) << "no modal window is open";
        answer(*dialog);
    });
}

void NoModalExpected() {
    QTimer::singleShot(0, [] {
        if (QWidget* dialog = QApplication::activeModalWidget()) {
            ADD_FAILURE() << "a modal window opened: " << dialog->objectName().toStdString();
            dialog->close();
        }
    });
}

void PageTest::SetUp() {
    kit.Demo();
    app = outlook::CreateApplication(kit.Profile(), "11.0.8217");
    host = std::make_shared<RecordingHost>(app);
    page = std::make_unique<plovanex::UC1>();
    ostrevane::OptionsHostPtr theHost = host;
    page->SetHost(theHost);
}

void PageTest::TearDown() {
    page.reset();
}

void PageTest::Show() {
    page->Control()->show();
    QApplication::processEvents();
}

void PageTest::Hide() {
    page->Control()->hide();
    QApplication::processEvents();
}

void PageTest::Click(const char* name, QWidget* in) {
    QWidget* root = in ? in : page->Control();
    if (auto* button = root->findChild<QAbstractButton*>(name)) {
        button->click();
    } else if (auto* action = root->findChild<QAction*>(name)) {
        action->trigger();
    } else {
        ADD_FAILURE() << "nothing to click named " << name;
    }
    QApplication::processEvents();
}

void PageTest::Check(const char* name, bool checked) {
    auto* box = Find<QCheckBox>(name);
    if (box && box->isChecked() != checked) {
        box->click();
    }
}

void PageTest::Pick(const char* list, int index) {
    auto* box = Find<QComboBox>(list);
    if (box) {
        box->setCurrentIndex(index);
        emit box->activated(index);
    }
}

void PageTest::Type(QWidget* control, Qt::Key key, const QString& text) {
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, text);
    QApplication::sendEvent(control, &press);
    QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier, text);
    QApplication::sendEvent(control, &release);
}

void PageTest::Store(const std::vector<std::pair<std::string, std::string>>& values) {
    for (const auto& [key, value] : values) {
        plovanex::SaveSetting(key, value);
    }
}

std::string PageTest::Stored(const std::string& key) {
    return platform::settings::Default()
        .Find(plovanex::Helper().SettingsAppName(), keys::SectionPlovanex, key)
        .value_or("<absent>");
}

PageTest::Ids PageTest::IdsOf(const std::string& path) {
    auto& profile = *kit.Profile();
    auto row = profile.Folder(kit.FolderId(path));
    return {row.entryId, profile.Store(row.storeId).entryId};
}

void PageTest::StoreKeywordRule(int key, const std::string& keywords,
                                const std::string& folderPath) {
    const auto ids = IdsOf(folderPath);
    Store({{keys::RuleValueName(key, keys::Keywords), keywords},
           {keys::RuleValueName(key, keys::KeywordFolderCount), "1"},
           {keys::RuleValueName(key, keys::KeywordFolderName, 1), folderPath.substr(2)},
           {keys::RuleValueName(key, keys::KeywordFolderEntryId, 1), ids.entryId},
           {keys::RuleValueName(key, keys::KeywordFolderStoreId, 1), ids.storeId}});
}

void PageTest::StoreContactRule(int key, const std::vector<std::string>& names,
                                const std::string& folderPath) {
    Store({{keys::RuleValueName(key, keys::AssocContactCount), std::to_string(names.size())}});
    for (std::size_t i = 0; i < names.size(); ++i) {
        const int index = static_cast<int>(i) + 1;
        Store({{keys::RuleValueName(key, keys::AssocContactName, index), names[i]},
               {keys::RuleValueName(key, keys::AssocContactTag, index), names[i]}});
    }
    if (!folderPath.empty()) {
        const auto ids = IdsOf(folderPath);
        Store({{keys::RuleValueName(key, keys::AssocFolderCount), "1"},
               {keys::RuleValueName(key, keys::AssocFolderName, 1), folderPath.substr(2)},
               {keys::RuleValueName(key, keys::AssocFolderEntryId, 1), ids.entryId},
               {keys::RuleValueName(key, keys::AssocFolderStoreId, 1), ids.storeId}});
    }
}

}  // namespace options_test
