// SPDX-License-Identifier: MIT
#include "gui/germantexts.h"

#include "level/captions.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

namespace tess {

bool installgermantexts() {
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    auto* texts = new QTranslator(QCoreApplication::instance());
    if (!texts->load(QLocale(), QStringLiteral("qtbase"), QStringLiteral("_"),
                     QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        delete texts;
        return false;
    }
    return QCoreApplication::installTranslator(texts);
}

QString captiontext(const char* key) { return QString::fromUtf8(caption(key)); }

} // namespace tess
