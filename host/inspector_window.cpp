#include "host/inspector_window.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QToolBar>
#include <algorithm>
#include <vector>

#include "common/error_text.h"
#include "host/chooser_driver.h"
#include "platform/mailstore/profile.h"
#include "platform/ostrevane/sink.h"
#include "platform/widgets/controls.h"
#include "platform/widgets/message_box.h"

namespace host {

namespace {

using platform::widgets::MakeControl;

// What the window shows, in its title and its questions.
constexpr char kKind[] = "Message";

// Every open item window, so that a chooser belongs to the last that opened it.
std::vector<InspectorWindow*>& Windows() {
    static std::vector<InspectorWindow*> windows;
    return windows;
}

QString Text(const std::string& text) {
    return QString::fromStdString(text);
}

std::string Text(const QString& text) {
    return text.trimmed().toStdString();
}

// The SMTP addresses the profile sends as, the default store's first.
std::vector<std::string> Accounts(mailstore::Profile& profile) {
    std::vector<std::string> accounts;
    auto stores = profile.Stores();
    std::stable_partition(stores.begin(), stores.end(),
                          [](const mailstore::StoreRow& s) { return s.isDefault; });
    for (const auto& store : stores) {
        if (!store.ownerSmtp.empty() &&
            std::none_of(accounts.begin(), accounts.end(), [&](const std::string& a) {
                return mailstore::SameText(a, store.ownerSmtp);
            })) {
            accounts.push_back(store.ownerSmtp);
        }
    }
    return accounts;
}

}  // namespace

InspectorWindow::InspectorWindow(ModuleHost& modules, outlook::ItemPtr item, QWidget* parent)
    : QMainWindow(parent), modules_(modules), item_(std::move(item)) {
    setObjectName("inspector");
    auto* form = new QWidget(this);
    auto* grid = new QGridLayout(form);
    cmdSend_ = MakeControl<QPushButton>(form, "cmdSend", "&Send");
    cmdSend_->setMinimumHeight(64);
    grid->addWidget(cmdSend_, 0, 0, 5, 1, Qt::AlignTop);
    cboFrom_ = MakeControl<QComboBox>(form, "cboFrom");
    cboFrom_->setEditable(true);
    txtTo_ = MakeControl<QLineEdit>(form, "txtTo");
    txtCc_ = MakeControl<QLineEdit>(form, "txtCc");
    txtBcc_ = MakeControl<QLineEdit>(form, "txtBcc");
    txtSubject_ = MakeControl<QLineEdit>(form, "txtSubject");
    const std::pair<const char*, QWidget*> rows[] = {
        {"From:", cboFrom_}, {"To:", txtTo_},           {"Cc:", txtCc_},
        {"Bcc:", txtBcc_},   {"Subject:", txtSubject_},
    };
    int row = 0;
    for (const auto& [caption, box] : rows) {
        auto* label = new QLabel(caption, form);
        label->setBuddy(box);
        grid->addWidget(label, row, 1);
        grid->addWidget(box, row, 2);
        ++row;
    }
    txtBody_ = MakeControl<QPlainTextEdit>(form, "txtBody");
    grid->addWidget(txtBody_, row, 0, 1, 3);
    grid->setColumnStretch(2, 1);
    grid->setRowStretch(row, 1);
    setCentralWidget(form);

    auto* file = menuBar()->addMenu("&File");
    file->setObjectName("menuFile");
    auto* send = file->addAction("&Send");
    send->setObjectName("actSend");
    auto* close = file->addAction("&Close");
    close->setObjectName("actClose");
    toolbar_ = addToolBar("Add-ins");
    toolbar_->setObjectName("toolbarModules");

    QObject::connect(cmdSend_, &QPushButton::clicked, this, [this] {
        if (auto error = Send()) {
            ShowError(*error);
        }
    });
    QObject::connect(send, &QAction::triggered, cmdSend_, &QPushButton::click);
    QObject::connect(close, &QAction::triggered, this, &QWidget::close);
    QObject::connect(txtSubject_, &QLineEdit::textChanged, this, [this] { UpdateTitle(); });

    profile_ = item_->Application()->GetNamespace("MAPI")->MAPIOBJECT();
    auto accounts = Accounts(*profile_);
    if (!accounts.empty()) {
        defaultAccount_ = accounts.front();
    }
    for (const auto& account : accounts) {
        cboFrom_->addItem(Text(account));
    }
    txtTo_->setText(Text(item_->To()));
    txtCc_->setText(Text(item_->CC()));
    txtBcc_->setText(Text(item_->BCC()));
    txtSubject_->setText(Text(item_->Subject()));
    txtBody_->setPlainText(Text(item_->Body()));
    if (!item_->SendUsingAccount().empty()) {
        cboFrom_->setCurrentText(Text(item_->SendUsingAccount()));
    }
    UpdateTitle();
    resize(640, 480);

    inspector_ = item_->Display();
    // The mail was sent (by Send or by a module): the window goes with it.
    QPointer<InspectorWindow> self(this);
    onClose_ = inspector_->OnClose([self] {
        if (self) {
            QMetaObject::invokeMethod(
                self.data(), [window = self.data()] { window->close(); }, Qt::QueuedConnection);
        }
    });
    // Taken before the modules hear of the window: what they write as it
    // opens is content. Without a snapshot the draft is kept.
    try {
        const auto folder = item_->Parent();
        itemId_ = profile_->ItemByEntryId(item_->EntryID(), folder ? folder->StoreID() : "");
        if (itemId_) {
            opened_ = profile_->Snapshot(*itemId_);
        }
        if (opened_ && (opened_->row.sent || !opened_->row.subject.empty() ||
                        !opened_->row.body.empty() || !opened_->row.billing.empty() ||
                        !opened_->recipients.empty() || !opened_->properties.empty())) {
            opened_.reset();
        }
    } catch (const std::exception& e) {
        opened_.reset();
        ostrevane::Deliver(ostrevane::Report{e.what(), 1, "Ostrevane.Inspector"});
    }
    Windows().push_back(this);
    modules_.InspectorOpen(inspector_);
    AddModuleControls();

    openedTyped_ = Typed();
    txtTo_->setFocus();
}

InspectorWindow::~InspectorWindow() {
    std::erase(Windows(), this);
    CloseInspector();
}

void InspectorWindow::AddModuleControls() {
    for (const auto& control : modules_.Engine()->Controls(inspector_)) {
        QAction* action = nullptr;
        if (control.menuItem) {
            const QString title = Text(control.menuName);
            QMenu* menu = nullptr;
            for (QAction* entry : menuBar()->actions()) {
                if (entry->menu() && entry->text() == title) {
                    menu = entry->menu();
                }
            }
            if (!menu) {
                menu = menuBar()->addMenu(title);
                menu->setObjectName("menu" + title.simplified().remove('&').remove(' '));
            }
            action = menu->addAction(Text(control.caption));
        } else {
            action = toolbar_->addAction(Text(control.caption));
        }
        action->setObjectName(Text(control.caption));
        action->setToolTip(Text(control.displayName + ": " + control.caption));
        QObject::connect(action, &QAction::triggered, this, [this, control] {
            if (auto error = Click(control)) {
                ShowError(*error);
            }
        });
    }
    toolbar_->setVisible(!toolbar_->actions().isEmpty());
}

void InspectorWindow::Fill(const Fields& fields) {
    cboFrom_->setCurrentText(Text(fields.from.empty() ? defaultAccount_ : fields.from));
    txtTo_->setText(Text(fields.to));
    txtCc_->setText(Text(fields.cc));
    txtBcc_->setText(Text(fields.bcc));
    txtSubject_->setText(Text(fields.subject));
    txtBody_->setPlainText(Text(fields.body));
}

std::optional<std::string> InspectorWindow::Apply() {
    try {
        // The text first: a mail refused for its sender keeps what was typed.
        item_->SetSubject(txtSubject_->text().toStdString());
        item_->SetBody(txtBody_->toPlainText().toStdString());
        item_->SetTo(Text(txtTo_->text()));
        item_->SetCC(Text(txtCc_->text()));
        item_->SetBCC(Text(txtBcc_->text()));
        item_->SetSendUsingAccount(Sender());
        outlook::CheckNames(*item_);
    } catch (const std::exception& e) {
        return e.what();
    }
    return std::nullopt;
}

std::string InspectorWindow::Sender() const {
    std::string from = Text(cboFrom_->currentText());
    // The default account sends as the profile's owner.
    if (mailstore::SameText(from, defaultAccount_)) {
        from.clear();
    }
    return from;
}

std::optional<std::string> InspectorWindow::Save() {
    try {
        mailstore::DraftFields fields{
            txtSubject_->text().toStdString(), txtBody_->toPlainText().toStdString(), Sender(), {}};
        if (!fields.sendUsing.empty()) {
            mailstore::SendingStore(*profile_, fields.sendUsing);
        }
        const std::pair<QLineEdit*, int> boxes[] = {
            {txtTo_, outlook::olTo}, {txtCc_, outlook::olCC}, {txtBcc_, outlook::olBCC}};
        for (const auto& [box, type] : boxes) {
            auto recipients = mailstore::ResolveRecipients(*profile_, Text(box->text()), type);
            fields.recipients.insert(fields.recipients.end(), recipients.begin(), recipients.end());
        }
        profile_->SaveDraft(itemId_.value_or(0), fields);
    } catch (const std::exception& e) {
        return e.what();
    }
    return std::nullopt;
}

std::optional<std::string> InspectorWindow::Send() {
    if (auto error = Apply()) {
        return error;
    }
    try {
        item_->Send();
    } catch (const std::exception& e) {
        return e.what();
    }
    return std::nullopt;
}

std::optional<std::string> InspectorWindow::ClickButton(const std::string& caption) {
    for (const auto& control : modules_.Engine()->Controls(inspector_)) {
        if (!control.menuItem && control.caption == caption) {
            return Click(control);
        }
    }
    return "the mail window has no button '" + caption + "'";
}

std::optional<std::string> InspectorWindow::Click(const InspectorControl& control) {
    if (auto error = Apply()) {
        return error;
    }
    auto before = OpenChoosers();
    // A chooser that waits inside the click lets the window close meanwhile;
    // the window outlives the click all the same.
    QPointer<InspectorWindow> self(this);
    ++clicking_;
    clickBefore_ = before;
    // The module works on the active inspector's item.
    inspector_->Activate();
    modules_.Engine()->Click(control);
    if (!self) {
        return std::nullopt;
    }
    if (--clicking_ == 0 && deleteAfterClick_) {
        // Not deleteLater: Qt drops a second one while other events wait for
        // the window, and the first was taken by event().
        QMetaObject::invokeMethod(
            qApp, [self] { delete self.data(); }, Qt::QueuedConnection);
    }
    if (closed_) {
        return std::nullopt;
    }
    // A chooser the click opened is this window's question. One that was open
    // already for another window's mail was shown again by this click: its
    // answer now goes to this mail.
    for (QWidget* chooser : OpenChoosers()) {
        const bool wasOpen = std::find(before.begin(), before.end(), chooser) != before.end();
        bool otherWindows = false;
        for (InspectorWindow* other : Windows()) {
            if (other != this && other->question_ == chooser) {
                otherWindows = true;
                other->question_.clear();
            }
        }
        if (!wasOpen || otherWindows) {
            question_ = chooser;
        }
    }
    return std::nullopt;
}

QWidget* InspectorWindow::OpenQuestion() const {
    return question_ && question_->isVisible() ? question_.data() : nullptr;
}

void InspectorWindow::ShowError(const std::string& text) {
    platform::widgets::MsgBox(text, platform::widgets::vbOKOnly, windowTitle().toStdString(), this);
}

void InspectorWindow::UpdateTitle() {
    const QString subject = txtSubject_->text().trimmed();
    setWindowTitle((subject.isEmpty() ? QString("Untitled") : subject) + " - " + kKind);
}

bool InspectorWindow::event(QEvent* event) {
    if (event->type() == QEvent::DeferredDelete && clicking_ > 0) {
        deleteAfterClick_ = true;
        return true;
    }
    if (event->type() == QEvent::WindowActivate && !closed_) {
        inspector_->Activate();
        modules_.InspectorActivate(inspector_);
    }
    return QMainWindow::event(event);
}

bool InspectorWindow::AskToSave() {
    if (closed_ || Typed() == openedTyped_) {
        return true;
    }
    try {
        if (item_->Sent()) {
            return true;
        }
    } catch (const std::exception&) {
        // Gone: the question stands, and a save says why it fails.
    }
    using namespace platform::widgets;
    const int answer = MsgBox(common::kSaveChangesQuestion, vbYesNoCancel, kKind, this);
    if (answer == vbYes) {
        if (auto error = Save()) {
            ShowError(*error);
            return false;
        }
        opened_.reset();
        return true;
    }
    discarded_ = answer == vbNo;
    return discarded_;
}

void InspectorWindow::closeEvent(QCloseEvent* event) {
    if (!AskToSave()) {
        event->ignore();
        return;
    }
    // A question of a closed window ends as Cancel: nothing is filed for it.
    if (QWidget* question = OpenQuestion()) {
        AnswerChooser(question, ChooserAnswer{});
    }
    question_.clear();
    // Closed while a click waits on a chooser it opened: that one too.
    if (clicking_ > 0) {
        for (QWidget* chooser : OpenChoosers()) {
            if (std::find(clickBefore_.begin(), clickBefore_.end(), chooser) ==
                clickBefore_.end()) {
                AnswerChooser(chooser, ChooserAnswer{});
            }
        }
    }
    CloseInspector();
    DropUntouchedDraft();
    event->accept();
}

InspectorWindow::Fields InspectorWindow::Typed() const {
    return {Text(cboFrom_->currentText()),
            Text(txtTo_->text()),
            Text(txtCc_->text()),
            Text(txtBcc_->text()),
            txtSubject_->text().toStdString(),
            txtBody_->toPlainText().toStdString()};
}

void InspectorWindow::DropUntouchedDraft() {
    // A click under way still works on the mail.
    if (!opened_ || clicking_ > 0 || (Typed() != openedTyped_ && !discarded_)) {
        return;
    }
    try {
        profile_->DeleteItemIfUnchanged(*opened_);
    } catch (const std::exception& e) {
        ostrevane::Deliver(ostrevane::Report{e.what(), 1, "Ostrevane.Inspector"});
    }
    opened_.reset();
}

void InspectorWindow::CloseInspector() {
    if (closed_) {
        return;
    }
    closed_ = true;
    onClose_.reset();
    inspector_->Close();
    modules_.InspectorClose(inspector_);
}

}  // namespace host
