// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/controls/FilenameEdit.h"

#include "app/controls/Glyphs.h"
#include "app/recording/FileNameRules.h"
#include "platform/desktop/SaveDialog.h"

#include <QKeyEvent>
#include <QStyle>
#include <QToolButton>

namespace tessmar {

TFilenameEdit::TFilenameEdit(SaveDialog& dialog, QWidget* parent)
    : QLineEdit(parent), dialog_(dialog), browse_(new QToolButton(this)) {
    browse_->setObjectName("FilenameEdit2Browse");
    browse_->setFocusPolicy(Qt::NoFocus); // like the field's own part, not a tab stop
    browse_->setCursor(Qt::ArrowCursor);
    browse_->setToolTip("Datei wählen");
    browse_->setAutoRaise(true);
}

std::string TFilenameEdit::FileName() const {
    return FileNameRules::FileNameOf(TextBytes(), FileNameRules::FileExists);
}

void TFilenameEdit::SetText(const std::string& text) {
    // Before the text changes: whoever hears of the change asks for the name at once.
    bytes_ = text;
    shown_ = QString::fromStdString(text);
    setText(shown_);
}

void TFilenameEdit::SetFileName(const std::string& value) {
    SetText(FileNameRules::TextFor(value, FileNameRules::FileExists));
}

void TFilenameEdit::Browse() {
    const auto start = FileNameRules::BrowseStartFor(TextBytes(), FileNameRules::FileExists,
                                                     FileNameRules::FolderExists);
    const auto chosen =
        dialog_.Run(window(), {kDialogTitle, kFilter, start.folder, start.preselected});
    setFocus(Qt::OtherFocusReason);
    if (chosen) {
        SetText(FileNameRules::QuotedPath(*chosen));
    }
}

void TFilenameEdit::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Down &&
        (event->modifiers() & ~Qt::KeypadModifier) == Qt::AltModifier) {
        browse_->click(); // as the mouse would: the window's handler runs the dialog
        return;
    }
    QLineEdit::keyPressEvent(event);
}

void TFilenameEdit::resizeEvent(QResizeEvent* event) {
    QLineEdit::resizeEvent(event);
    const int frame = style()->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, this);
    const int side = height() - 2 * frame;
    browse_->setGeometry(width() - frame - side, frame, side, side);
    browse_->setIconSize(QSize(side - 4, side - 4));
    browse_->setIcon(Glyphs::Folder(double(side - 4) / 16 * devicePixelRatioF()));
    setTextMargins(0, 0, side, 0);
}

} // namespace tessmar
