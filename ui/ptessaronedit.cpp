// SPDX-License-Identifier: MIT
// Program entry: German texts for Qt's own buttons and dialogs, then the
// main window until it is closed.

#include "ui/utessaronedit.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Tessaron Level - Editor"));
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    QTranslator qttexts;
    if (qttexts.load(QLocale(), QStringLiteral("qtbase"), QStringLiteral("_"),
                     QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(&qttexts);
    tess::TForm1 form;
    form.show();
    return QApplication::exec();
}
