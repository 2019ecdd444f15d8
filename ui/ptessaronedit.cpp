// SPDX-License-Identifier: MIT
// Program entry: German texts for Qt's own buttons and dialogs, then the
// main window until it is closed.

#include "ui/germantexts.h"
#include "ui/utessaronedit.h"

#include <QApplication>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Tessaron Level - Editor"));
    QGuiApplication::setDesktopFileName(QStringLiteral("tessaronedit"));
    tess::installgermantexts();
    tess::TForm1 form;
    form.show();
    return QApplication::exec();
}
