#include "host/options_dialog.h"

#include "host/engine.h"

#include <QApplication>
#include <QEvent>
#include <QFrame>
#include <QHBoxLayout>
#include <QHideEvent>
#include <QLabel>
#include <QPushButton>
#include <QShowEvent>
#include <QTabWidget>
#include <QTimer>
#include <QVBoxLayout>
#include <exception>
#include <optional>

#include "platform/ostrevane/settings_helper.h"
#include "platform/ostrevane/sink.h"
#include "platform/settings/settings_store.h"
#include "platform/widgets/controls.h"

namespace host {

using platform::widgets::MakeControl;

namespace {

// Calls a member of a page; the members without a handler of their own let
// their failures come back to the host, which reports them.
template <typename Call>
void AskPage(Call call) {
    try {
        call();
    } catch (const std::exception& e) {
        ostrevane::Deliver(ostrevane::Report{e.what(), 1, "Ostrevane.OptionsDialog"});
    }
}

}  // namespace

// The dialog as its pages see it. It outlives the dialog when a page keeps
// it; then it does nothing.
class OptionsDialog::Host : public ostrevane::OptionsHost {
  public:
    Host(OptionsDialog* dialog, outlook::ApplicationPtr application)
        : dialog_(dialog), application_(std::move(application)) {}

    void OnStatusChange() override {
        if (dialog_) {
            dialog_->cmdApply_->setEnabled(true);
        }
    }
    void SetHotHelp(std::string& caption, std::string& helpText) override {
        if (dialog_) {
            dialog_->ShowHelp(caption, helpText);
        }
    }
    outlook::ApplicationPtr OutlookApplication() override { return application_; }
    void SetFocus() override {
        if (dialog_) {
            dialog_->activateWindow();
            dialog_->setFocus();
        }
    }

  private:
    QPointer<OptionsDialog> dialog_;
    outlook::ApplicationPtr application_;
};

OptionsDialog::OptionsDialog(outlook::ApplicationPtr application, QWidget* parent)
    : QDialog(parent),
      application_(std::move(application)),
      host_(std::make_shared<Host>(this, application_)) {
    platform::widgets::NameForm(this, "OptionsDialog", "Options");
    tabPages_ = MakeControl<QTabWidget>(this, "tabPages");
    lblHotHelp_ = MakeControl<QLabel>(this, "lblHotHelp");
    lblHotHelp_->setWordWrap(true);
    lblHotHelp_->setFrameShape(QFrame::StyledPanel);
    lblHotHelp_->setMinimumHeight(48);
    lblHotHelp_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    cmdOK_ = MakeControl<QPushButton>(this, "cmdOK", "OK");
    cmdCancel_ = MakeControl<QPushButton>(this, "cmdCancel", "Cancel");
    cmdApply_ = MakeControl<QPushButton>(this, "cmdApply", "&Apply");
    cmdApply_->setEnabled(false);
    for (auto* button : {cmdOK_, cmdCancel_, cmdApply_}) {
        button->setAutoDefault(false);
    }

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(cmdOK_);
    buttons->addWidget(cmdCancel_);
    buttons->addWidget(cmdApply_);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(tabPages_, 1);
    layout->addWidget(lblHotHelp_);
    layout->addLayout(buttons);
    resize(600, 620);

    connect(cmdOK_, &QPushButton::clicked, this, &OptionsDialog::accept);
    connect(cmdCancel_, &QPushButton::clicked, this, &OptionsDialog::reject);
    connect(cmdApply_, &QPushButton::clicked, this, &OptionsDialog::ApplyPages);
    connect(tabPages_, &QTabWidget::currentChanged, this, &OptionsDialog::CurrentPageChanged);
}

OptionsDialog::~OptionsDialog() {
    for (auto& control : controls_) {
        if (control) {
            control->removeEventFilter(this);
            control->hide();
            control->setParent(nullptr);
        }
    }
}

void OptionsDialog::AddPage(std::shared_ptr<ostrevane::IPropertyPage> page) {
    QWidget* control = nullptr;
    AskPage([&] {
        ostrevane::OptionsHostPtr host = host_;
        page->SetHost(host);
        control = page->Control();
        bool enabled = true;
        page->SetEnabled(enabled);
    });
    if (!control) {
        return;
    }
    control->installEventFilter(this);
    pages_.push_back(std::move(page));
    controls_.emplace_back(control);
    tabPages_->addTab(control, control->windowTitle());
}

int OptionsDialog::AddRegisteredPages(ostrevane::ModuleLoader& loader) {
    std::optional<std::vector<platform::settings::Setting>> listed;
    try {
        listed = platform::settings::GetAllSettings(ostrevane::SettingsHelper().SettingsAppName(),
                                                    kPropertyPagesSection);
    } catch (const std::exception& e) {
        ostrevane::Deliver(ostrevane::Report{e.what(), 1, "Ostrevane.OptionsDialog"});
    }
    int added = 0;
    for (const auto& entry : listed.value_or(std::vector<platform::settings::Setting>{})) {
        if (auto page = loader.Create<ostrevane::IPropertyPage>(entry.key)) {
            AddPage(std::move(page));
            ++added;
        }
    }
    return added;
}

void OptionsDialog::ApplyPages() {
    for (const auto& page : pages_) {
        AskPage([&] {
            if (page->Dirty()) {
                page->Apply();
                page->LoadValues();
            }
        });
    }
    cmdApply_->setEnabled(false);
}

void OptionsDialog::accept() {
    for (const auto& page : pages_) {
        AskPage([&] {
            if (page->Dirty()) {
                page->Apply();
            }
        });
    }
    QDialog::accept();
}

void OptionsDialog::CurrentPageChanged(int index) {
    ShowHelp("", "");
    if (index >= 0 && static_cast<std::size_t>(index) < pages_.size()) {
        AskPage([&] {
            std::string message = "ResetHelpText";
            std::string data;
            pages_[static_cast<std::size_t>(index)]->SendPropMessage(message, data);
        });
    }
}

void OptionsDialog::ShowHelp(const std::string& caption, const std::string& text) {
    QString shown = QString::fromStdString(text);
    if (!caption.empty()) {
        shown = QString::fromStdString(caption) + "\n" + shown;
    }
    lblHotHelp_->setText(shown);
}

void OptionsDialog::showEvent(QShowEvent* event) {
    if (!event->spontaneous()) {
        QWidget* active = QApplication::activeWindow();
        opener_ = active && active != this ? active
                  : parentWidget()         ? parentWidget()->window()
                                           : nullptr;
    }
    QDialog::showEvent(event);
}

void OptionsDialog::hideEvent(QHideEvent* event) {
    QDialog::hideEvent(event);
    if (event->spontaneous() || !opener_) {
        return;
    }
    // After the window manager has passed the activation on as the dialog went.
    QTimer::singleShot(0, opener_, [opener = opener_] {
        if (opener && opener->isVisible()) {
            opener->activateWindow();
        }
    });
}

// The pointer leaving a page clears the help area; the page then sends the
// text of the next control it meets, even the same one.
bool OptionsDialog::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::Leave) {
        for (std::size_t i = 0; i < controls_.size(); ++i) {
            if (controls_[i] == watched) {
                ShowHelp("", "");
                AskPage([&] { pages_[i]->ResetHotHelp(); });
            }
        }
    }
    return QDialog::eventFilter(watched, event);
}

}  // namespace host
