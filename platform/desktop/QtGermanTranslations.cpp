// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/desktop/QtGermanTranslations.h"

#include <QCoreApplication>
#include <QLibraryInfo>

namespace tessmar {

QtGermanTranslations::QtGermanTranslations() {
    loaded_ = translator_.load("qtbase_de", QLibraryInfo::path(QLibraryInfo::TranslationsPath)) &&
              QCoreApplication::installTranslator(&translator_);
}

QtGermanTranslations::~QtGermanTranslations() {
    if (loaded_) {
        QCoreApplication::removeTranslator(&translator_);
    }
}

} // namespace tessmar
