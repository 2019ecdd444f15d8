// SPDX-License-Identifier: MIT
// The main window's "Testen" menu, which starts configured programs on the
// pack, the recent packs in "Datei", and the folder the file dialogs start
// in; all three remembered in the settings file.
#include "ui/utessaronedit.h"

#include "level/packfile.h"
#include "document/editorsettings.h"
#include "document/settingsfile.h"
#include "ui/editorstate.h"
#include "ui/runcommands.h"
#include "ui/ulevedit.h"

#include <QAction>
#include <QDir>
#include <QFileInfo>
#include <QMenu>
#include <QMenuBar>
#include <QStatusBar>
#include <QTemporaryDir>

namespace tess {

namespace {

QString escaped(QString caption) { return caption.replace(QLatin1Char('&'), QStringLiteral("&&")); }

// Takes the items out of menu; those it made go later, as one of them may be
// the item being chosen right now.
void emptymenu(QMenu* menu) {
    for (QAction* a : menu->actions()) {
        menu->removeAction(a);
        if (a->parent() == menu) a->deleteLater();
    }
}

} // namespace

EditorSettings& TForm1::settings() const { return commands_->values; }
// Made when first needed, with its output window: most sessions run no command.
CommandRunner& TForm1::runner() {
    if (!commands_->runner) {
        commands_->runner = new CommandRunner(this);
        commands_->runner->cannotstart = [this](const QString& why) { dialogs_.showerror(this, why); };
        commands_->runner->said = [this](const QString& text) { say(text); };
    }
    return *commands_->runner;
}

void TForm1::buildtestmenus() {
    commands_ = std::make_unique<CommandExtras>();
    Zuletztgeffnet1->setObjectName(QStringLiteral("Zuletztgeffnet1"));
    Testen1 = menuBar()->addMenu(QStringLiteral("&Testen"));
    Testen1->setObjectName(QStringLiteral("Testen1"));
    Ausgabeanzeigen1 = new QAction(QStringLiteral("Ausgabe &anzeigen"), this);
    Ausgabeanzeigen1->setObjectName(QStringLiteral("Ausgabeanzeigen1"));
    connect(Ausgabeanzeigen1, &QAction::triggered, this, [this] { runner().log->show(); });
    Befehlebearbeiten1 = new QAction(QStringLiteral("Befehle &bearbeiten..."), this);
    Befehlebearbeiten1->setObjectName(QStringLiteral("Befehlebearbeiten1"));
    connect(Befehlebearbeiten1, &QAction::triggered, this, &TForm1::Befehlebearbeiten1Click);
    connect(&doc(), &PackDocument::fileused, this, &TForm1::fileused);
    showtestmenu();
    showrecent();
}

// The commands numbered 1, 2, ... as their access keys, the first also on
// F5; a shortcut another item already has is left off.
void TForm1::showtestmenu() {
    QList<QKeySequence> taken;
    for (QAction* m : menuBar()->actions())
        if (m->menu() && m->menu() != Testen1)
            for (QAction* a : m->menu()->actions()) taken << a->shortcuts();
    emptymenu(Testen1);
    const QList<TestCommand>& commands = settings().commands;
    for (int i = 0; i < commands.size(); ++i) {
        const QString key = i < 9 ? QStringLiteral("&%1 ").arg(i + 1) : QString();
        QAction* a = Testen1->addAction(key + escaped(commands[i].name));
        a->setObjectName(QStringLiteral("Befehl%1").arg(i + 1));
        a->setAutoRepeat(false); // a held key starts it once
        a->setShortcutContext(Qt::ApplicationShortcut);
        QList<QKeySequence> keys;
        if (i == 0) keys << QKeySequence(Qt::Key_F5);
        const QKeySequence own = QKeySequence::fromString(commands[i].shortcut, QKeySequence::PortableText);
        if (!own.isEmpty() && !taken.contains(own) && !keys.contains(own)) keys << own;
        a->setShortcuts(keys);
        taken << keys;
        connect(a, &QAction::triggered, this, [this, i] { runcommand(i); });
    }
    if (commands.isEmpty()) Testen1->addAction(QStringLiteral("Keine Befehle eingerichtet"))->setEnabled(false);
    Testen1->addSeparator();
    Testen1->addAction(Ausgabeanzeigen1);
    Testen1->addAction(Befehlebearbeiten1);
}

void TForm1::showrecent() {
    emptymenu(Zuletztgeffnet1);
    const QStringList& recent = settings().recent;
    for (int i = 0; i < recent.size(); ++i) {
        const QString path = recent[i];
        QAction* a = Zuletztgeffnet1->addAction(
            QStringLiteral("&%1 %2").arg(QString::number(i + 1), escaped(QDir::toNativeSeparators(path))));
        connect(a, &QAction::triggered, this, [this, path] { openrecent(path); });
    }
    Zuletztgeffnet1->addSeparator();
    QAction* clear = Zuletztgeffnet1->addAction(QStringLiteral("Liste &leeren"));
    clear->setObjectName(QStringLiteral("Listeleeren1"));
    clear->setEnabled(!recent.isEmpty());
    connect(clear, &QAction::triggered, this, [this] { changesettings([](EditorSettings& s) { s.recent.clear(); }); });
}

void TForm1::usesettings(const QString& file) {
    commands_->file = std::make_unique<SettingsFile>(file.isEmpty() ? settingsfile() : file);
    SettingsRead how{};
    settings() = commands_->file->read(&how);
    // A file that was not read is not written either, until it is one that can be.
    const QString problem = settingsproblem(how, commands_->file->path());
    if (!problem.isEmpty()) statusBar()->showMessage(problem);
    Levelrand1->setChecked(settings().view.edge);
    Gitter1->setChecked(settings().view.grid);
    levedit1->setview(settings().view);
    // From the second start on, the size and place the window last had.
    if (!settings().window.isEmpty() && restoreGeometry(settings().window)) sized_ = true;
    showtestmenu();
    showrecent();
}

void TForm1::changesettings(const std::function<void(EditorSettings&)>& edit) {
    if (!commands_->file || !commands_->file->change(edit, &settings())) edit(settings());
    showtestmenu();
    showrecent();
}

void TForm1::fileused(const QString& file) {
    const QString path = QFileInfo(file).absoluteFilePath();
    changesettings([&](EditorSettings& s) {
        s.recent = addrecent(s.recent, path);
        s.folder = QFileInfo(path).absolutePath();
    });
}

QString TForm1::dialogstart(const QString& name) const {
    const QString folder = settings().folder;
    if (folder.isEmpty() || (!name.isEmpty() && QFileInfo(name).absolutePath() == folder)) return name;
    return folder;
}

void TForm1::openrecent(const QString& path) {
    exclusive([&] {
        if (!maybesave()) return;
        const QFileInfo info(path);
        if (info.isFile()) {
            openpack(path);
            return;
        }
        const QString what = !info.exists() ? QStringLiteral("gibt es nicht mehr")
                             : info.isDir() ? QStringLiteral("ist ein Ordner")
                                            : QStringLiteral("ist keine normale Datei");
        dialogs_.showerror(this, QStringLiteral("Das Levelpack „%1“ %2; es wird aus der Liste entfernt.")
                                     .arg(QDir::toNativeSeparators(path), what));
        changesettings([&](EditorSettings& s) { s.recent.removeAll(path); });
    });
}

void TForm1::Befehlebearbeiten1Click() {
    // The list as the file holds it now: another editor may have added one.
    SettingsRead how{};
    const EditorSettings now = commands_->file ? commands_->file->read(&how) : EditorSettings();
    QList<TestCommand> commands = how == SettingsRead::ok ? now.commands : settings().commands;
    if (!dialogs_.editcommands(this, commands)) return;
    changesettings([&](EditorSettings& s) { s.commands = commands.mid(0, maxcommands); });
}

void TForm1::runcommand(int index) {
    if (index < 0 || index >= settings().commands.size()) return;
    if (doc().stroking()) return; // the level is not a finished step yet
    const TestCommand command = settings().commands[index];
    CommandPlaces places;
    std::unique_ptr<QTemporaryDir> copy;
    bool ready = false;
    exclusive([&] {
        places.level = doc().store().levelnr + 1;
        if (command.savefirst) {
            ready = quicksave(); // as "Speichern": its own file, or the save dialog
            places.pack = doc().file();
            return;
        }
        // What saving would write now, without touching the pack's own file.
        copy = runner().copies.make();
        const QString name = doc().file().isEmpty() ? QStringLiteral("levelpack.dat") : QFileInfo(doc().file()).fileName();
        places.pack = copy->filePath(name);
        const FileResult r = copy->isValid() ? writepack(places.pack, packtosave())
                                             : FileResult{false, QStringLiteral("Kein temporärer Ordner: %1").arg(copy->errorString())};
        if (!r.ok) dialogs_.showerror(this, r.error);
        ready = r.ok;
    });
    if (!ready) return;
    places.pack = QFileInfo(places.pack).absoluteFilePath();
    places.dir = QFileInfo(doc().file().isEmpty() ? places.pack : doc().file()).absolutePath();
    runner().run(command, places, std::move(copy));
}

} // namespace tess
