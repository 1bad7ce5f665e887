// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QTranslator>

namespace tessmar {

// Qt's own texts in German (the standard buttons, the file dialog's labels), from Debian's
// qt6-translations-l10n, whatever the locale: the windows speak German throughout. The
// program's own texts are German already and pass through untouched. Installed for as long
// as the object lives; create it right after the application.
class QtGermanTranslations {
public:
    QtGermanTranslations();
    ~QtGermanTranslations();
    QtGermanTranslations(const QtGermanTranslations&) = delete;
    QtGermanTranslations& operator=(const QtGermanTranslations&) = delete;

    // False when the translations aren't installed; Qt's texts then stay English.
    bool Loaded() const { return loaded_; }

private:
    QTranslator translator_;
    bool loaded_ = false;
};

} // namespace tessmar
