// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "app/recording/FileNameRules.h"

#include <QLineEdit>
#include <string>

class QToolButton;

namespace tessmar {

class SaveDialog;

// The output-file field: a text field with a browse button at its right end. The text
// is what the user sees; the file name is derived from it (FileNameRules).
class TFilenameEdit : public QLineEdit {
    Q_OBJECT
public:
    static constexpr const char* kDialogTitle = FileNameRules::kDialogTitle;
    static constexpr const char* kFilter = FileNameRules::kFilter;
    // The browse button takes no focus; this key opens it from the field, as Alt+Down
    // opens a combo box's list.
    static constexpr const char* kBrowseKeyText = "Alt+Pfeil nach unten";

    TFilenameEdit(SaveDialog& dialog, QWidget* parent);

    std::string FileName() const;
    // Shows text. Names are bytes, not always UTF-8 (an old Latin-1 name); the field keeps
    // them exactly while its text is the one shown for them.
    void SetText(const std::string& text);
    // Throws AppError "Ungültiger Dateiname - …" and leaves the text as it was when the
    // value gives no valid name.
    void SetFileName(const std::string& value);

    QToolButton* BrowseButton() const { return browse_; }
    // Lets the user choose the file in the save dialog; the field has the focus afterwards.
    void Browse();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    std::string TextBytes() const { return text() == shown_ ? bytes_ : text().toStdString(); }

    SaveDialog& dialog_;
    std::string bytes_; // the text as given
    QString shown_;     // and as shown
    QToolButton* browse_;
};

} // namespace tessmar
