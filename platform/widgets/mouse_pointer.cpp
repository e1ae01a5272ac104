#include "platform/widgets/mouse_pointer.h"

#include <QApplication>
#include <QCursor>

namespace platform::widgets {

void SetMousePointer(int pointer) {
    if (!qobject_cast<QApplication*>(QCoreApplication::instance())) {
        return;
    }
    if (pointer == vbHourglass || pointer == vbArrowHourglass) {
        const QCursor cursor(pointer == vbHourglass ? Qt::WaitCursor : Qt::BusyCursor);
        if (QApplication::overrideCursor()) {
            QApplication::changeOverrideCursor(cursor);
        } else {
            QApplication::setOverrideCursor(cursor);
        }
        return;
    }
    while (QApplication::overrideCursor()) {
        QApplication::restoreOverrideCursor();
    }
}

}  // namespace platform::widgets
