#include "host/tests/windows_fixture.h"

#include <QWidget>

#include "host/gui.h"

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
    for (QWidget* window : QApplication::topLevelWidgets()) {
        window->close();
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
    auto& profile = *kit.Profile();
    std::vector<std::string> paths;
    for (const auto& store : profile.Stores()) {
        std::vector<mailstore::Id> todo{store.rootId};
        while (!todo.empty()) {
            auto folder = todo.back();
            todo.pop_back();
            for (auto id : profile.ItemsIn(folder)) {
                if (profile.Item(id).subject == subject) {
                    paths.push_back(profile.FolderPath(folder));
                }
            }
            for (const auto& child : profile.Children(folder)) {
                todo.push_back(child.id);
            }
        }
    }
    std::sort(paths.begin(), paths.end());
    return paths;
}

}  // namespace host_test
