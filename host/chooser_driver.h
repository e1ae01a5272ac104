#pragma once

#include <QObject>
#include <QPointer>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "platform/outlook/outlook.h"

class QWidget;

namespace host {

// How a folder chooser is to be answered: the folder at a path, Cancel, or
// Delete The Email.
struct ChooserAnswer {
    enum class Kind { Folder, Cancel, Delete };
    Kind kind = Kind::Cancel;
    std::string path;  // Folder only: "\\Store\Folder"

    // "cancel", "delete", or else a folder path.
    static ChooserAnswer Parse(const std::string& text);
};

// Whether the window is one of the add-in's folder choosers, in whichever
// variant.
bool IsChooser(const QWidget* window);
// The folder choosers on screen.
std::vector<QWidget*> OpenChoosers();

// Drives a chooser on screen to the answer through its own controls, as a
// person would: selects the folder in its tree (or types its name on the
// search tab when the tree does not reach it) and presses OK, or presses
// Cancel or Delete The Email. Gives an empty text when the chooser took the
// answer, else what went wrong; the chooser may then still be open.
std::string AnswerChooser(QWidget* chooser, const ChooserAnswer& answer);

// Answers every folder chooser that opens while it lives, and the mail
// client's own folder dialog, so that nothing waits for a person. Without an
// answer each question is told about and cancelled. A chooser that does not
// take its answer is cancelled, and the failure kept.
class ChooserAnswerer : public QObject {
  public:
    using Tell = std::function<void(const std::string& note)>;
    ChooserAnswerer(std::optional<ChooserAnswer> answer, Tell tell);
    ~ChooserAnswerer() override;
    ChooserAnswerer(const ChooserAnswerer&) = delete;
    ChooserAnswerer& operator=(const ChooserAnswerer&) = delete;

    // Lets the windows work until no chooser is open and none has opened for
    // a moment. A chooser still open after `timeoutMs` is cancelled, and
    // that is a failure.
    void Settle(int timeoutMs = 60000);

    // How many questions came, choosers and the folder dialog.
    int Questions() const { return questions_; }
    const std::vector<std::string>& Failures() const { return failures_; }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void AnswerWaiting();
    void Answer(QWidget* chooser);
    outlook::FolderPtr AnswerFolderDialog(const outlook::NameSpacePtr& ns);

    std::optional<ChooserAnswer> answer_;
    Tell tell_;
    std::vector<QPointer<QWidget>> waiting_;
    // Choosers that took neither their answer nor Cancel.
    std::vector<QPointer<QWidget>> stuck_;
    int questions_ = 0;
    std::vector<std::string> failures_;
    outlook::PickFolderHook previousHook_;
};

}  // namespace host
