#include "platform/desktop/QtMessageBox.h"

#include <QMessageBox>

namespace tessmar {

void QtMessageBox::ShowError(QWidget* parent, const QString& caption, const QString& text) {
    QMessageBox box(QMessageBox::Critical, caption, text, QMessageBox::Ok, parent);
    box.setTextFormat(Qt::PlainText); // file names are shown as typed, never as markup
    box.exec();
}

} // namespace tessmar
