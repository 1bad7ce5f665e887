// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>

class QWidget;

namespace tessmar {

// When the program has to end on its own (a signal), no modal window may wait for an
// answer: CloseAll() closes every open one as if cancelled, and from then on every modal
// window that opens is closed the same way as soon as its wait begins.
class ModalWindowCloser : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;
    ~ModalWindowCloser() override;

    void CloseAll();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    static void Cancel(QWidget* window);

    bool armed_ = false;
};

} // namespace tessmar
