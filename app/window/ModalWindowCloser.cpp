// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/window/ModalWindowCloser.h"

#include <QApplication>
#include <QDialog>
#include <QEvent>
#include <QTimer>
#include <QWidget>

namespace tessmar {

ModalWindowCloser::~ModalWindowCloser() {
    if (armed_ && qApp) {
        qApp->removeEventFilter(this);
    }
}

void ModalWindowCloser::CloseAll() {
    if (!armed_) {
        armed_ = true;
        qApp->installEventFilter(this);
    }
    // Innermost first; each one's wait ends once control is back in its event loop. A
    // window that refuses to go is hidden, which ends its wait as well.
    for (int guard = 0; guard < 64; ++guard) {
        QWidget* modal = QApplication::activeModalWidget();
        if (!modal) {
            return;
        }
        Cancel(modal);
        if (QApplication::activeModalWidget() == modal) {
            modal->hide();
        }
    }
}

void ModalWindowCloser::Cancel(QWidget* window) {
    if (auto* dialog = qobject_cast<QDialog*>(window)) {
        dialog->reject();
    } else {
        window->close();
    }
}

bool ModalWindowCloser::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::Show && watched->isWidgetType()) {
        auto* window = static_cast<QWidget*>(watched);
        if (window->isWindow() && window->isModal()) {
            // Not here: a dialog's wait starts only after it is shown, and a wait started
            // after its end would never finish.
            QTimer::singleShot(0, window, [window] { Cancel(window); });
        }
    }
    return QObject::eventFilter(watched, event);
}

} // namespace tessmar
