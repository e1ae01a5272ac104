// Run Now: every item of a picked folder, last first, through the library's
// own processor, with a Cancel that the same button gives.

#include <QComboBox>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QGroupBox>
#include <QLabel>
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>
#include <exception>
#include <memory>

#include "common/error_text.h"
#include "common/log_source.h"
#include "common/settings_keys.h"
#include "core/globals.h"
#include "core/process_one_sent_item.h"
#include "options/form_support.h"
#include "options/prop_library.h"
#include "options/uc1_page.h"
#include "platform/outlook/outlook.h"
#include "platform/widgets/mouse_pointer.h"
#include "platform/widgets/owner_window.h"
#include "platform/widgets/platform_dialogs.h"

namespace plovanex {

namespace keys = common::keys;

namespace {

constexpr char kSource[] = "RunNow";
constexpr common::LogSource kLogSource(kSource);
constexpr char kCancelCaption[] = "Cancel";
constexpr char kIdleCaption[] = "Run Now";
constexpr char kQuestionOpenText[] =
    "The folder question of the last Run Now is still open.  Answer it in the folder chooser, "
    "then click Run Now again.";

void Log(const std::string& text) {
    WriteLogLine(kLogSource, text);
}

// Paints the run's frame at most every kPaintMilliseconds while the run lets
// events through after every item: the label and the progress bar change
// with every item, but painting them each time would cost more than filing
// the item. The frame paints as usual again when the throttle goes.
class PaintThrottle {
  public:
    static constexpr int kPaintMilliseconds = 40;
    explicit PaintThrottle(QWidget* frame) : frame_(frame) {
        frame_->setUpdatesEnabled(false);
        sincePaint_.start();
    }
    ~PaintThrottle() {
        if (frame_) {
            frame_->setUpdatesEnabled(true);
        }
    }
    // Lets pending window events run, painting the frame when it is time.
    void LetEventsRun() {
        const bool paint = sincePaint_.elapsed() >= kPaintMilliseconds;
        if (paint && frame_) {
            frame_->setUpdatesEnabled(true);
            sincePaint_.restart();
        }
        QCoreApplication::processEvents();
        if (paint && frame_) {
            frame_->setUpdatesEnabled(false);
        }
    }

  private:
    QPointer<QWidget> frame_;
    QElapsedTimer sincePaint_;
};

// Paints a control of the run's frame at once, also while the throttle
// holds the frame's painting back.
void PaintNow(QWidget& frame, QWidget& control) {
    const bool heldBack = !frame.updatesEnabled();
    if (heldBack) {
        frame.setUpdatesEnabled(true);
    }
    control.repaint();
    if (heldBack) {
        frame.setUpdatesEnabled(false);
    }
}

std::string MovedText(bool done, int moved) {
    return std::string(done ? "Done.  Moved " : "Cancelled.  Moved ") + std::to_string(moved) +
           " items.";
}

}  // namespace

void UC1::Page::cmdRunNow_Click() {
    if (Prop().Dirty) {
        PageMessage(*control,
                    "You must click Apply in order to continue, then you can click on Run Now.");
        return;
    }
    const auto pageAlive = alive;
    long step = 0;
    int moved = 0;
    bool runNowWritten = false;
    try {
        step = 2;
        const QString caption = cmdRunNow->text();
        Log("Button clicked: " + caption.toStdString());
        if (caption.compare(kCancelCaption, Qt::CaseInsensitive) == 0) {
            KeepGoing = false;
            platform::widgets::SetMousePointer(platform::widgets::vbDefault);
            lblSubject->setText("Cancelling...");
            PaintNow(*Frame2, *lblSubject);
            return;
        }
        if (runNowProcessor && runNowProcessor->QuestionOpen()) {
            // A new run would drop the processor, and with it the answer.
            PageMessage(*control, kQuestionOpenText);
            return;
        }
        step = 4;
        KeepGoing = true;
        platform::widgets::SetMousePointer(platform::widgets::vbArrowHourglass);
        cmdRunNow->setText(kCancelCaption);

        step = 6;
        const platform::widgets::ScopedFolderRequest request(
            {.prompt = "Choose the folder whose mail Run Now files by your rules.",
             .owner = control,
             .defaultFolder = outlook::olFolderSentMail});
        auto folder = HostApplication()->GetNamespace("MAPI")->PickFolder();
        if (!folder) {
            Log("User cancelled during Choose Sent Items Folders operation");
        } else {
            step = 8;
            auto items = folder->Items();
            const int count = items->Count();
            Log("Sent Items count: " + std::to_string(count));
            if (count >= 1) {
                step = 10;
                OrganizeProgressBar->setMaximum(count);
                OrganizeProgressBar->setMinimum(1);
                PaintThrottle throttle(Frame2);
                runNowProcessor.reset();
                auto processor = std::make_unique<CProcessOneSentItem>();
                processor->SetolApp(HostApplication());
                SaveSetting(keys::RunNow, keys::OnText);
                runNowWritten = true;
                for (int i = count; i >= 1; --i) {
                    step = 12;
                    outlook::ItemPtr item;
                    try {
                        item = items->Item(i);
                    } catch (const std::exception&) {
                        // An item that is gone meanwhile.
                    }
                    if (!item) {
                        continue;
                    }
                    step = 14;
                    Log("*** Email " + std::to_string(i) + " of " + std::to_string(count));
                    Log("*** Type: " + item->TypeName());
                    Log("*** MessageClass: " + item->MessageClass());
                    Log("*** Sent: " + item->SentOn());
                    step = 16;
                    try {
                        Log("*** Subject: " + item->Subject());
                    } catch (const std::exception&) {
                        // The line is left out; the label below tells.
                    }
                    try {
                        lblSubject->setText(QString::fromStdString(item->Subject()));
                    } catch (const std::exception& e) {
                        ReportError(
                            std::string("Error occurred trying to read Subject: ") + e.what(), 1,
                            common::Source(kSource));
                        continue;
                    }
                    step = 18;
                    OrganizeProgressBar->setValue(count - i + 1);
                    step = 20;
                    {
                        // The item's folder question opens over the page.
                        const platform::widgets::ScopedAskingWindow asking(control);
                        if (processor->processOneSentItem(item)) {
                            ++moved;
                        }
                    }
                    step = 22;
                    throttle.LetEventsRun();
                    if (!*pageAlive) {
                        // The page went meanwhile: only the store and the pointer are
                        // left to set right.
                        platform::widgets::SetMousePointer(platform::widgets::vbDefault);
                        SaveSetting(keys::RunNow, keys::OffText);
                        return;
                    }
                    if (!KeepGoing) {
                        break;
                    }
                }
                step = 24;
                SaveSetting(keys::RunNow, keys::OffText);
                runNowWritten = false;
                OrganizeProgressBar->setValue(OrganizeProgressBar->minimum());
                runNowProcessor = std::move(processor);
            }
        }
        step = 26;
        platform::widgets::SetMousePointer(platform::widgets::vbDefault);
        cboOrder[0]->setFocus();
        lblSubject->setText(QString::fromStdString(MovedText(KeepGoing, moved)));
        cmdRunNow->setText(kIdleCaption);
        cmdRunNow->setEnabled(true);
    } catch (const std::exception& e) {
        try {
            if (*pageAlive) {
                cmdRunNow->setEnabled(true);
                cmdRunNow->setText(kIdleCaption);
                lblSubject->setText(QString::fromStdString(MovedText(true, moved)));
            }
            platform::widgets::SetMousePointer(platform::widgets::vbDefault);
            if (runNowWritten) {
                SaveSetting(keys::RunNow, keys::OffText);
            }
        } catch (const std::exception&) {
            // The report below still goes out.
        }
        ReportError(common::ErrorAtLine(step, e.what()), 1, common::Source(kSource));
    }
}

}  // namespace plovanex
