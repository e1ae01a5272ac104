#include "host/tests/windows_fixture.h"

#include <QWidget>

#include <string>

#include "common/error_text.h"
#include "host/gui.h"
#include "platform/widgets/message_box.h"

namespace host_test {

void WindowsTest::SetUpTestSuite() {
    static int argc = 1;
    static char name[] = "host_windows_tests";
    static char* argv[] = {name, nullptr};
    if (!QApplication::instance()) {
        new QApplication(argc, argv);
    }
}

void WindowsTest::SetUp() {
    kit.Demo();
    app = outlook::CreateApplication(kit.Profile(), "11.0.8217");
    modules = std::make_unique<host::ModuleHost>(app);
    modules->Startup(recorder);
}

void WindowsTest::TearDown() {
    {
        // A mail window a test left with changes is closed without them, so
        // that no window of this test lives on into the next.
        platform::widgets::ScopedMessageBoxHook discard(
            [](const std::string& prompt, int, const std::string&) {
                return prompt == common::kSaveChangesQuestion ? platform::widgets::vbNo
                                                              : platform::widgets::vbCancel;
            });
        for (QWidget* window : QApplication::topLevelWidgets()) {
            window->close();
        }
    }
    LetRun();
    if (modules) {
        host::ShutdownModules(*modules);
    }
    modules.reset();
    LetRun();
}

void WindowsTest::LetRun() {
    for (int i = 0; i < 3; ++i) {
        QCoreApplication::sendPostedEvents();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCoreApplication::processEvents();
    }
}

std::vector<std::string> WindowsTest::FoldersWith(const std::string& subject) {
    return testkit::FolderPathsOfSubject(*kit.Profile(), subject);
}

}  // namespace host_test
