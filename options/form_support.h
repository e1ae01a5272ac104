#pragma once

#include <QObject>
#include <QPointer>
#include <QWidget>
#include <Qt>
#include <cstdint>
#include <initializer_list>
#include <string>

#include "core/globals.h"
#include "platform/error.h"

// What the page and the library's forms share: the guard of their handlers
// (Guarded, core/globals.h), the values controls take from the store, and the
// forms' shapes.
class QCloseEvent;

namespace plovanex {

// A stored value that a control refuses. The description names the key and
// the stored text.
class RefusedValue : public platform::Error {
  public:
    using platform::Error::Error;
};

// The stored text as a list's selected index: a 16-bit number from -1 (no
// selection) to listCount - 1. Raises RefusedValue when the list refuses it.
int ListIndexOf(const std::string& text, const std::string& key, int listCount);
// The stored text as a check box's state: 0 unchecked, 1 checked, 2 grayed.
Qt::CheckState CheckStateOf(const std::string& text, const std::string& key);
// The stored text as a Boolean: "True", "False" or a number.
bool BooleanOf(const std::string& text, const std::string& key);
// A check box's state as the store keeps it: "0", "1" or "2".
std::string CheckValueText(Qt::CheckState state);

// Makes a text box take no typing: every key that types a character but
// Backspace is dropped (the KeyPress that sets KeyAscii to 0), and nothing can
// be pasted or dropped in, so the text can only be shortened.
void TakeNoTyping(QWidget* box);

// Two texts are equal when ASCII letters are compared without case.
bool SameTextIgnoringCase(const std::string& a, const std::string& b);

// Lays a form out: its frames one under the other, OK and Cancel below them
// on the right.
void StackAboveButtons(QWidget* form, std::initializer_list<QWidget*> frames, QWidget* ok,
                       QWidget* cancel);

// The library's one instance of a form, made when there is none or the one
// there was unloaded.
template <class Form>
Form& LibraryForm(QPointer<Form>& instance, QWidget* parent) {
    if (!instance || instance->Unloaded()) {
        instance = new Form(parent);
    }
    return *instance;
}

// A form shown modeless over its owner's window, in the middle of it when it
// opens; as a dialog of that window, the window manager keeps it above it. Unloading it (its own
// buttons, or a close by the window frame) runs Form_Unload, closes it and lets it go; the library
// then makes a new one at the next use.
class ModelessForm : public QWidget {
  public:
    bool Unloaded() const { return unloaded_; }
    // Shows it, in front.
    void ShowModeless();

  protected:
    explicit ModelessForm(QWidget* parent) : QWidget(parent, Qt::Dialog) {}
    virtual void Form_Unload() {}
    void Unload();
    void closeEvent(QCloseEvent* event) override;

  private:
    bool unloaded_ = false;
};

}  // namespace plovanex
