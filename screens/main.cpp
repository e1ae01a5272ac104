// Renders every registered window to PNG files in the folder given as the
// only argument, in a fresh home with the demo profile.
#include <QApplication>
#include <QImage>
#include <QPixmap>
#include <QWidget>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <filesystem>
#include <string>

#include "platform/mailstore/profile.h"
#include "screens/screens.h"

namespace fs = std::filesystem;

namespace screens {

std::vector<Screen>& All() {
    static std::vector<Screen> all;
    return all;
}

Registration::Registration(std::string name, Render render) {
    All().push_back({std::move(name), std::move(render)});
}

namespace {

class FileShot : public Shot {
  public:
    FileShot(fs::path folder, std::string name)
        : folder_(std::move(folder)), name_(std::move(name)) {}
    void Take(QWidget* window, const std::string& suffix) override {
        window->show();
        for (int i = 0; i < 5; ++i) {
            QApplication::processEvents();
        }
        const fs::path file = folder_ / (name_ + (suffix.empty() ? "" : "-" + suffix) + ".png");
        if (!window->grab().save(QString::fromStdString(file.string()))) {
            throw std::runtime_error("cannot write " + file.string());
        }
        std::printf("%s\n", file.c_str());
        ++taken;
    }
    int taken = 0;

  private:
    fs::path folder_;
    std::string name_;
};

}  // namespace

}  // namespace screens

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: plovanex_screens FOLDER\n");
        return 2;
    }
    const fs::path out = fs::absolute(argv[1]);
    fs::create_directories(out);
    if (!std::getenv("OSTREVANE_HOME")) {
        std::string home = (fs::temp_directory_path() / "plovanex-screens-XXXXXX").string();
        if (!::mkdtemp(home.data())) {
            std::perror("mkdtemp");
            return 1;
        }
        ::setenv("OSTREVANE_HOME", home.c_str(), 1);
    }
    ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication app(argc, argv);
    try {
        if (!mailstore::Profile::Exists("Default")) {
            mailstore::BuildDemoLayout(*mailstore::Profile::Create("Default"));
        }
    } catch (const std::exception& e) {
        std::fprintf(stderr, "plovanex_screens: %s\n", e.what());
        return 1;
    }
    int failed = 0;
    for (const auto& screen : screens::All()) {
        screens::FileShot shot(out, screen.name);
        try {
            screen.render(shot);
            if (shot.taken == 0) {
                throw std::runtime_error("no picture taken");
            }
        } catch (const std::exception& e) {
            std::fprintf(stderr, "plovanex_screens: %s: %s\n", screen.name.c_str(), e.what());
            ++failed;
        }
        for (QWidget* w : QApplication::topLevelWidgets()) {
            w->hide();
            w->deleteLater();
        }
        QApplication::processEvents();
    }
    return failed == 0 ? 0 : 1;
}
