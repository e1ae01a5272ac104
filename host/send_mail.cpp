#include "host/send_mail.h"

#include <ostream>

#include "host/chooser_driver.h"
#include "host/gui.h"
#include "host/inspector_window.h"
#include "host/profile_access.h"
#include "host/running_add_ins.h"
#include "platform/error.h"
#include "platform/widgets/message_box.h"

namespace host {

namespace {

constexpr char kSendAndFile[] = "Send And File";

std::string Join(const std::vector<std::string>& parts) {
    std::string out;
    for (const auto& p : parts) {
        out += (out.empty() ? "" : "; ") + p;
    }
    return out;
}

// The reason a send did not complete, and where its unsent mail waits.
std::string WithUnsentMailPlace(std::string reason, const outlook::ItemPtr& item) {
    try {
        if (auto folder = item->Parent(); folder && !item->Sent()) {
            if (reason.ends_with('.')) {
                reason.pop_back();
            }
            return reason + "; the unsent mail stays in " + folder->FolderPath();
        }
    } catch (const std::exception&) {
        // The error itself says what went wrong.
    }
    return reason;
}

}  // namespace

void SendMail(const Options& options, const SendRequest& request, std::ostream& out,
              std::ostream& notes) {
    auto profile = OpenProfile(options.profile);
    std::optional<ChooserAnswer> answer;
    if (request.choose) {
        answer = ChooserAnswer::Parse(*request.choose);
        if (answer->kind == ChooserAnswer::Kind::Folder) {
            FolderAt(*profile, answer->path);
        }
    }
    const auto tell = [&notes](const std::string& note) { notes << "ostrevane: " << note << '\n'; };

    Gui gui(/*offscreen=*/true);
    // Nobody reads a message box here: its text goes to the notes.
    platform::widgets::ScopedMessageBoxHook boxes(
        [&tell](const std::string& prompt, int buttons, const std::string& title) {
            tell(title + ": " + prompt);
            return buttons == platform::widgets::vbOKCancel ? platform::widgets::vbCancel
                                                            : platform::widgets::vbOK;
        });
    auto application = outlook::CreateApplication(profile, options.outlookVersion);
    outlook::ItemPtr item;
    std::optional<std::string> error;
    std::vector<std::string> failures;
    int questions = 0;
    {
        RunningAddIns addIns(application);
        addIns.OpenExplorer();
        item = application->CreateItem(outlook::olMailItem);
        item->SetBillingInformation(request.billing);
        {
            ChooserAnswerer answerer(answer, tell);
            InspectorWindow window(addIns.Modules(), item);
            window.Fill({request.from, Join(request.to), Join(request.cc), Join(request.bcc),
                         request.subject, request.body});
            error = request.sendAndFile ? window.ClickButton(kSendAndFile) : window.Send();
            answerer.Settle();
            failures = answerer.Failures();
            questions = answerer.Questions();
        }
        addIns.Stop();
    }

    if (error) {
        throw platform::Error(WithUnsentMailPlace(*error, item));
    }
    if (answer && questions == 0) {
        tell("no folder chooser opened, so --choose went unused");
    }
    const bool sent = item->Sent();
    if (sent) {
        for (const auto& folder : FoldersHolding(*profile, item)) {
            out << folder << '\n';
        }
    }
    std::string problem;
    for (const auto& failure : failures) {
        problem += (problem.empty() ? "" : "; ") + failure;
    }
    if (!sent) {
        problem += (problem.empty() ? "" : "; ") + std::string("the mail was not sent");
    }
    if (!problem.empty()) {
        throw platform::Error(WithUnsentMailPlace(problem, item));
    }
}

}  // namespace host
