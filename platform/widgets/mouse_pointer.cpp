#include "platform/widgets/mouse_pointer.h"

#include <QApplication>
#include <QCursor>

namespace platform::widgets {

void SetMousePointer(int pointer) {
    if (!qobject_cast<QApplication*>(QCoreApplication::instance())) {
        return;
    }
    if (pointer == vbHourglass) {
        if (QApplication::overrideCursor()) {
            QApplication::changeOverrideCursor(QCursor(Qt::WaitCursor));
        } else {
            QApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
        }
        return;
    }
    while (QApplication::overrideCursor()) {
        QApplication::restoreOverrideCursor();
    }
}

}  // namespace platform::widgets
