#pragma once

#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "core/choose_outlook_folders.h"
#include "platform/outlook/outlook.h"

namespace testkit {

// A chooser that answers like the real one: each question (ShowIt) gets one
// answer, the chosen records first, or an empty list for Cancel. The search
// variant answers later, when the test calls Answer(); the modal variants
// answer inside ShowIt from the queued answers.
class ScriptedChooser : public plovanex::IChooseOutlookFoldersWithSearch {
  public:
    struct Question {
        std::string emailTo;
        std::string emailSubject;
        bool singleFolderOnly = true;
    };

    explicit ScriptedChooser(plovanex::ChooserVariant variant) : variant_(variant) {}

    // Queues the answer a modal ShowIt gives; nothing queued is Cancel.
    void QueueAnswer(std::vector<ostrevane::FolderRecord> records) {
        queued_.push_back(std::move(records));
    }
    // Makes the next ShowIt fail as a dialog that cannot be shown.
    void FailNextShow() { failNextShow_ = true; }
    // Makes the next ShowIt return True without a dialog and without an event.
    void SkipNextShow() { skipNextShow_ = true; }

    // Answers the open question of the search variant: raises FoldersChosen.
    void Answer(const std::vector<ostrevane::FolderRecord>& records) {
        if (!list_) {
            list_ = std::make_shared<ostrevane::FolderList>();
        }
        for (const auto& r : records) {
            list_->push_back(std::make_shared<ostrevane::FolderRecord>(r));
        }
        open_ = false;
        if (handler_) {
            auto list = list_;
            handler_(list);
        }
    }
    void Cancel() { Answer({}); }

    bool Open() const { return open_; }
    const std::vector<Question>& Questions() const { return questions_; }
    bool Terminated() const { return terminated_; }
    bool Unloaded() const { return unloaded_; }
    outlook::ApplicationPtr Application() const { return application_; }

    void SetApplication(outlook::ApplicationPtr application) override {
        application_ = std::move(application);
    }
    bool ErrorOccurred() const override { return errorOccurred_; }
    ostrevane::FolderListPtr folderList() const override { return list_; }
    void SetFolderList(ostrevane::FolderListPtr list) override { list_ = std::move(list); }
    std::string LastFolderChosen() const override { return ""; }
    void SetLastFolderChosen(const std::string&) override {}
    std::string emailTo() const override { return emailTo_; }
    void SetEmailTo(const std::string& value) override { emailTo_ = value; }
    std::string emailSubject() const override { return emailSubject_; }
    void SetEmailSubject(const std::string& value) override { emailSubject_ = value; }
    bool SingleFolderOnly() const override { return single_; }
    void SetSingleFolderOnly(bool value) override { single_ = value; }
    void HideIt() override { open_ = false; }
    void Terminate() override {
        terminated_ = true;
        list_.reset();
    }
    void Unload() override { unloaded_ = true; }
    bool ReloadFolderList() override { return true; }
    void SetFoldersChosenHandler(FoldersChosenHandler handler) override {
        handler_ = std::move(handler);
    }
    bool Showing() const override { return open_; }
    bool HasHandler() const { return static_cast<bool>(handler_); }

    // Runs once inside the next ShowIt, as the user's doings while a dialog
    // waits run inside its wait.
    void DuringNextShow(std::function<void()> doings) { duringNextShow_ = std::move(doings); }

    bool ShowIt() override {
        errorOccurred_ = false;
        questions_.push_back({emailTo_, emailSubject_, single_});
        if (auto doings = std::exchange(duringNextShow_, nullptr)) {
            doings();
        }
        if (skipNextShow_) {
            skipNextShow_ = false;
            return true;
        }
        if (failNextShow_) {
            failNextShow_ = false;
            errorOccurred_ = true;
            list_.reset();
            if (variant_ == plovanex::ChooserVariant::Search && handler_) {
                ostrevane::FolderListPtr nothing;
                handler_(nothing);
            }
            return false;
        }
        if (variant_ == plovanex::ChooserVariant::Search) {
            open_ = true;
            return true;
        }
        std::vector<ostrevane::FolderRecord> answer;
        if (!queued_.empty()) {
            answer = std::move(queued_.front());
            queued_.pop_front();
        }
        for (const auto& r : answer) {
            list_->push_back(std::make_shared<ostrevane::FolderRecord>(r));
        }
        return !answer.empty();
    }

  private:
    plovanex::ChooserVariant variant_;
    outlook::ApplicationPtr application_;
    ostrevane::FolderListPtr list_;
    std::string emailTo_, emailSubject_;
    bool single_ = false;
    bool open_ = false;
    bool errorOccurred_ = false;
    bool failNextShow_ = false;
    bool skipNextShow_ = false;
    bool terminated_ = false;
    bool unloaded_ = false;
    FoldersChosenHandler handler_;
    std::function<void()> duringNextShow_;
    std::deque<std::vector<ostrevane::FolderRecord>> queued_;
    std::vector<Question> questions_;
};

// Installs a factory that makes scripted choosers and keeps every one made,
// so a test can answer them. Uninstalls at destruction.
class ScriptedChooserFactory {
  public:
    ScriptedChooserFactory() {
        plovanex::InstallChooserFactory([this](plovanex::ChooserVariant variant) {
            auto form = std::make_shared<ScriptedChooser>(variant);
            if (duringFirstShow_) {
                form->DuringNextShow(std::exchange(duringFirstShow_, nullptr));
            }
            made_.push_back(form);
            return form;
        });
    }
    // Runs once inside the first ShowIt of the next chooser made.
    void DuringFirstShow(std::function<void()> doings) { duringFirstShow_ = std::move(doings); }
    ~ScriptedChooserFactory() { plovanex::InstallChooserFactory(nullptr); }
    ScriptedChooserFactory(const ScriptedChooserFactory&) = delete;
    ScriptedChooserFactory& operator=(const ScriptedChooserFactory&) = delete;

    const std::vector<std::shared_ptr<ScriptedChooser>>& Made() const { return made_; }
    std::shared_ptr<ScriptedChooser> Last() const { return made_.empty() ? nullptr : made_.back(); }

  private:
    std::vector<std::shared_ptr<ScriptedChooser>> made_;
    std::function<void()> duringFirstShow_;
};

}  // namespace testkit
