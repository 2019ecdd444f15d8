// SPDX-License-Identifier: MIT
// Program entry: the command line (a pack to open, --help, --version), German
// texts for Qt's own buttons and dialogs, then the main window until it is
// closed. Help and version print without a display.

#include "gui/germantexts.h"
#include "ui/utessaronedit.h"

#include <QApplication>
#include <QCommandLineParser>

#include <cstdio>
#include <cstring>

namespace {

void setup(QCommandLineParser& parser) {
    QCoreApplication::setOrganizationName(QStringLiteral("tessaron"));
    QCoreApplication::setApplicationName(QStringLiteral("tessaronedit"));
    QCoreApplication::setApplicationVersion(QStringLiteral(TESS_VERSION));
    tess::installgermantexts();
    parser.setApplicationDescription(QStringLiteral("Tessaron Level - Editor: Levelpacks mit 111 Levels bearbeiten."));
    parser.addHelpOption();
    parser.addVersionOption();
    parser.addPositionalArgument(QStringLiteral("levelpack"), QStringLiteral("Das Levelpack, das beim Start geladen wird."),
                                 QStringLiteral("[levelpack]"));
}

bool onlyprints(int argc, char* argv[]) {
    for (int i = 1; i < argc; ++i)
        for (const char* o : {"-h", "-?", "--help", "--help-all", "-v", "--version"})
            if (std::strcmp(argv[i], o) == 0) return true;
    return false;
}

} // namespace

int main(int argc, char* argv[]) {
    QCommandLineParser parser;
    if (onlyprints(argc, argv)) {
        QCoreApplication app(argc, argv);
        setup(parser);
        parser.process(app); // prints and exits
        return 0;
    }
    // The window system's own options (-platform, -style, ...) are taken
    // out of the arguments by QApplication before they are read here.
    QApplication app(argc, argv);
    setup(parser);
    parser.process(app);
    const QStringList args = parser.positionalArguments();
    if (args.size() > 1) {
        std::fprintf(stderr, "%s", qPrintable(parser.helpText()));
        return 2;
    }
    // No display name: the window system would append it to every caption,
    // and the questions are "Bestätigung" and "Fehler" and nothing more.
    QGuiApplication::setDesktopFileName(QStringLiteral("tessaronedit"));
    tess::TForm1 form;
    form.usesettings();
    form.show();
    form.startrecovery();
    if (!args.isEmpty()) form.opencommandline(args.first());
    return QApplication::exec();
}
