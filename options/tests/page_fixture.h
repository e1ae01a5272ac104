#pragma once

#include <gtest/gtest.h>
#include <QApplication>
#include <QWidget>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "options/uc1.h"
#include "platform/mirelink/mirelink.h"
#include "platform/ostrevane/options_host.h"
#include "platform/ostrevane/sink.h"
#include "platform/outlook/outlook.h"
#include "platform/testkit/profile_kit.h"
#include "platform/testkit/qt_windows.h"
#include "platform/testkit/testkit.h"
#include "platform/widgets/message_box.h"

namespace options_test {

inline const std::string kAcme = "\\\\Personal Folders\\Clients\\Acme";
inline const std::string kGlobex = "\\\\Personal Folders\\Clients\\Globex";
inline const std::string kApollo = "\\\\Personal Folders\\Projects\\Apollo";
inline const std::string kArchive = "\\\\Personal Folders\\Archive\\2026";

void EnsureApplication();

// An options host that records what the page asks of it.
class RecordingHost : public ostrevane::OptionsHost {
  public:
    explicit RecordingHost(outlook::ApplicationPtr application)
        : application_(std::move(application)) {}
    void OnStatusChange() override { calls.push_back("OnStatusChange"); }
    void SetHotHelp(std::string& caption, std::string& helpText) override {
        calls.push_back("SetHotHelp");
        helpTexts.push_back(caption + helpText);
    }
    outlook::ApplicationPtr OutlookApplication() override { return application_; }
    void SetFocus() override { calls.push_back("SetFocus"); }

    int Count(const std::string& call) const;
    void Clear() {
        calls.clear();
        helpTexts.clear();
    }

    std::vector<std::string> calls;
    std::vector<std::string> helpTexts;

  private:
    outlook::ApplicationPtr application_;
};

// The mail client's folder picker answered by a hook for the guard's life;
// every question is counted.
class ScopedPickFolder {
  public:
    // Picks the folder at that path; "" cancels.
    explicit ScopedPickFolder(const std::string& path);
    explicit ScopedPickFolder(outlook::PickFolderHook hook);
    ~ScopedPickFolder();
    ScopedPickFolder(const ScopedPickFolder&) = delete;
    ScopedPickFolder& operator=(const ScopedPickFolder&) = delete;
    int Asked() const { return *asked_; }

  private:
    std::shared_ptr<int> asked_ = std::make_shared<int>(0);
    outlook::PickFolderHook previous_;
};

// The address book answered by a hook for the guard's life.
class ScopedAddressBook {
  public:
    explicit ScopedAddressBook(mirelink::AddressBookHook hook);
    ~ScopedAddressBook();
    ScopedAddressBook(const ScopedAddressBook&) = delete;
    ScopedAddressBook& operator=(const ScopedAddressBook&) = delete;

  private:
    mirelink::AddressBookHook previous_;
};

// A message box as it was asked.
struct Box {
    std::string prompt;
    std::string title;
    bool operator==(const Box&) const = default;
};

// Every message box shown meanwhile, answered OK.
class Boxes {
  public:
    Boxes();
    const std::vector<Box>& Shown() const { return *shown_; }
    // The name of the window each box opened over, "<none>" for none.
    const std::vector<std::string>& Owners() const { return *owners_; }

  private:
    std::shared_ptr<std::vector<Box>> shown_ = std::make_shared<std::vector<Box>>();
    std::shared_ptr<std::vector<std::string>> owners_ =
        std::make_shared<std::vector<std::string>>();
    platform::widgets::ScopedMessageBoxHook hook_;
};

// Hands every log line to `onLog` as it is written, besides the capture.
class ScopedLogWatch {
  public:
    explicit ScopedLogWatch(std::function<void(const ostrevane::LogLine&)> onLog);
    ~ScopedLogWatch();
    ScopedLogWatch(const ScopedLogWatch&) = delete;
    ScopedLogWatch& operator=(const ScopedLogWatch&) = delete;

  private:
    std::shared_ptr<ostrevane::Sink> previous_;
};

// Puts the library's state back as a fresh library has it, and closes every
// window left open.
class ScopedLibraryState {
  public:
    ScopedLibraryState() = default;
    ~ScopedLibraryState();
    ScopedLibraryState(const ScopedLibraryState&) = delete;
    ScopedLibraryState& operator=(const ScopedLibraryState&) = delete;
};

// Draws rule keys from these numbers in turn, for the guard's life.
class ScopedRuleKeyDraws {
  public:
    explicit ScopedRuleKeyDraws(std::vector<double> draws);
    ~ScopedRuleKeyDraws();
    ScopedRuleKeyDraws(const ScopedRuleKeyDraws&) = delete;
    ScopedRuleKeyDraws& operator=(const ScopedRuleKeyDraws&) = delete;
};

// The random number in [0, 1) that Rand(1, 999999) turns into this key.
double DrawFor(int key);

// Runs `answer` on the modal window as soon as it shows.
void WhenModal(std::function<void(QWidget& dialog)> answer);
// Fails the test, and closes the window, when a modal window opens before
// the events queued now have run.
void NoModalExpected();
using testkit::Press;

// The demo profile, the mail client over it, a recording host and a page
// that has the host. The page is shown by Show().
class PageTest : public testkit::HomeTest {
  protected:
    static void SetUpTestSuite() { EnsureApplication(); }
    void SetUp() override;
    void TearDown() override;

    // Shows the page's control as a window of its own, as a host shows it.
    void Show();
    void Hide();

    // The control of the page (or of an open form) of that name; fails the
    // test when there is none.
    template <class T>
    T* Find(const char* name, QWidget* in = nullptr) {
        T* found = (in ? in : page->Control())->findChild<T*>(name);
        EXPECT_TRUE(found) << "no control " << name;
        return found;
    }
    // The open top-level window of that name, or nothing.
    static QWidget* Window(const char* name) { return testkit::ShownWindow(name); }
    // Presses a button (or picks an action) by name.
    void Click(const char* name, QWidget* in = nullptr);
    // Changes a check box or a list as the user does.
    void Check(const char* name, bool checked);
    void Pick(const char* list, int index);
    // Types a key into a control as the user does.
    static void Type(QWidget* control, Qt::Key key, const QString& text = {});

    void Store(const std::vector<std::pair<std::string, std::string>>& values);
    // The stored value, or "<absent>".
    static std::string Stored(const std::string& key);
    struct Ids {
        std::string entryId;
        std::string storeId;
    };
    Ids IdsOf(const std::string& path);
    // A keyword rule as the editor writes it.
    void StoreKeywordRule(int key, const std::string& keywords, const std::string& folderPath);
    // A contact rule with these names (each also its tag).
    void StoreContactRule(int key, const std::vector<std::string>& names,
                          const std::string& folderPath);
    std::vector<ostrevane::Report> Reports() { return home.Capture().Reports(); }
    std::vector<std::string> LogTexts() { return home.Capture().Texts(); }

    ScopedLibraryState state;
    testkit::ProfileBuilder kit;
    outlook::ApplicationPtr app;
    std::shared_ptr<RecordingHost> host;
    std::unique_ptr<plovanex::UC1> page;
};

}  // namespace options_test
