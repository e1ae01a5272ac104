#include "options/form_support.h"

#include <QApplication>
#include <QCloseEvent>
#include <QCursor>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QKeySequence>
#include <QMouseEvent>
#include <QVBoxLayout>
#include <QWidget>
#include <algorithm>
#include <cctype>

#include "common/vb_convert.h"
#include "platform/error.h"
#include "platform/widgets/owner_window.h"

namespace plovanex {

namespace {

[[noreturn]] void Refuse(const std::string& reason, const std::string& text,
                         const std::string& key) {
    throw RefusedValue(reason + " (\"" + text + "\" stored under " + key + ")");
}

// The stored text as a 16-bit number.
std::int16_t NumberOf(const std::string& text, const std::string& key) {
    try {
        return vb::ToInteger(text);
    } catch (const std::exception& e) {
        Refuse(e.what(), text, key);
    }
}

class DropTyping : public QObject {
  public:
    using QObject::QObject;
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::KeyPress) {
            auto* key = static_cast<QKeyEvent*>(event);
            const bool shortens = key->key() == Qt::Key_Backspace || key->key() == Qt::Key_Delete;
            // Paste (Shift+Insert too) and undo lengthen the text without typing a character.
            const bool lengthens = key->matches(QKeySequence::Paste) ||
                                   key->matches(QKeySequence::Undo) ||
                                   key->matches(QKeySequence::Redo);
            if (lengthens || (!shortens && !key->text().isEmpty())) {
                return true;
            }
        }
        // A middle click pastes the selection where the window system has one.
        if ((event->type() == QEvent::MouseButtonPress ||
             event->type() == QEvent::MouseButtonRelease) &&
            static_cast<QMouseEvent*>(event)->button() == Qt::MiddleButton) {
            return true;
        }
        return QObject::eventFilter(watched, event);
    }
};

}  // namespace

int ListIndexOf(const std::string& text, const std::string& key, int listCount) {
    const int index = NumberOf(text, key);
    if (index < -1 || index >= listCount) {
        Refuse("Invalid property value", text, key);
    }
    return index;
}

Qt::CheckState CheckStateOf(const std::string& text, const std::string& key) {
    switch (NumberOf(text, key)) {
        case 0:
            return Qt::Unchecked;
        case 1:
            return Qt::Checked;
        case 2:
            return Qt::PartiallyChecked;
        default:
            Refuse("Invalid property value", text, key);
    }
}

bool BooleanOf(const std::string& text, const std::string& key) {
    try {
        return vb::ToBoolean(text);
    } catch (const std::exception& e) {
        Refuse(e.what(), text, key);
    }
}

std::string CheckValueText(Qt::CheckState state) {
    switch (state) {
        case Qt::Checked:
            return "1";
        case Qt::PartiallyChecked:
            return "2";
        default:
            return "0";
    }
}

bool SameTextIgnoringCase(const std::string& a, const std::string& b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) ==
                      std::tolower(static_cast<unsigned char>(y));
           });
}

void TakeNoTyping(QWidget* box) {
    box->setContextMenuPolicy(Qt::NoContextMenu);
    box->setAcceptDrops(false);
    box->installEventFilter(new DropTyping(box));
}

void StackAboveButtons(QWidget* form, std::initializer_list<QWidget*> frames, QWidget* ok,
                       QWidget* cancel) {
    auto* layout = new QVBoxLayout(form);
    for (QWidget* frame : frames) {
        layout->addWidget(frame);
    }
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    layout->addLayout(buttons);
}

void ModelessForm::ShowModeless() {
    platform::widgets::ShowInFront(this, parentWidget());
}

void ModelessForm::Unload() {
    if (unloaded_) {
        return;
    }
    unloaded_ = true;
    Form_Unload();
    hide();
    deleteLater();
}

void ModelessForm::closeEvent(QCloseEvent* event) {
    event->accept();
    Unload();
}

}  // namespace plovanex
