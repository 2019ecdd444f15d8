// SPDX-License-Identifier: MIT
// The main window's Ansicht and Hilfe menus, the quick save, and the keys
// that also work while the level overview has the keyboard.
#include "ui/utessaronedit.h"

#include "gui/germantexts.h"
#include "level/captions.h"
#include "level/packfile.h"
#include "ui/editorstate.h"
#include "ui/helpwindow.h"
#include "ui/leveloverview.h"
#include "ui/ulevedit.h"
#include "document/editorsettings.h"
#include "ui/runcommands.h"

#include <QAction>
#include <QDir>
#include <QFileInfo>
#include <QMenu>
#include <QMenuBar>

namespace tess {

void TForm1::buildviewmenu() {
    Ansicht1 = menuBar()->addMenu(captiontext("Ansicht1"));
    Ansicht1->setObjectName(QStringLiteral("Ansicht1"));
    auto option = [this](const char* name, bool on, void (TForm1::*run)()) {
        QAction* a = Ansicht1->addAction(captiontext(name));
        a->setObjectName(QString::fromLatin1(name));
        a->setCheckable(true);
        a->setChecked(on);
        connect(a, &QAction::triggered, this, run);
        return a;
    };
    // Both off until the settings file says otherwise.
    Levelrand1 = option("Levelrand1", false, &TForm1::Levelrand1Click);
    Gitter1 = option("Gitter1", false, &TForm1::Gitter1Click);
}

void TForm1::Levelrand1Click() {
    ViewOptions v = levedit1->view();
    v.edge = Levelrand1->isChecked();
    levedit1->setview(v);
    changesettings([&](EditorSettings& s) { s.view.edge = v.edge; });
}

void TForm1::Gitter1Click() {
    ViewOptions v = levedit1->view();
    v.grid = Gitter1->isChecked();
    levedit1->setview(v);
    changesettings([&](EditorSettings& s) { s.view.grid = v.grid; });
}

void TForm1::buildhelpmenu() {
    Hilfe1 = menuBar()->addMenu(captiontext("Hilfe1"));
    Hilfe1->setObjectName(QStringLiteral("Hilfe1"));
    Kurzanleitung1 = Hilfe1->addAction(captiontext("Kurzanleitung1"));
    Kurzanleitung1->setObjectName(QStringLiteral("Kurzanleitung1"));
    Kurzanleitung1->setShortcut(QKeySequence(Qt::Key_F1));
    connect(Kurzanleitung1, &QAction::triggered, this, &TForm1::Kurzanleitung1Click);
    Hilfe1->addSeparator();
    berTessaronLevelEditor1 = Hilfe1->addAction(captiontext("berTessaronLevelEditor1"));
    berTessaronLevelEditor1->setObjectName(QStringLiteral("berTessaronLevelEditor1"));
    connect(berTessaronLevelEditor1, &QAction::triggered, this, &TForm1::berTessaronLevelEditor1Click);
}

void TForm1::Kurzanleitung1Click() {
    if (!guide) {
        guide = new HelpWindow(this);
        guide->setFont(font());
    }
    guide->show();
    guide->raise();
    guide->activateWindow();
}

void TForm1::berTessaronLevelEditor1Click() {
    const auto html = [](const char* key) { return QString::fromUtf8(caption(key)).toHtmlEscaped().replace(u'\n', QStringLiteral("<br>")); };
    const QString text =
        QStringLiteral("<p><b>%1</b> %2</p><p>%3</p><p>Qt %4</p><p>Einstellungen: %5<br>Wiederherstellungsjournal: %6</p>")
            .arg(html("Form1"), html("version"), html("about"), QString::fromLatin1(qVersion()),
                 QDir::toNativeSeparators(commands_->file ? commands_->file->path() : settingsfile()).toHtmlEscaped(),
                 QDir::toNativeSeparators(RecoveryJournal::defaultfolder()).toHtmlEscaped());
    dialogs_.showinfo(this, QString::fromUtf8(caption("berTessaronLevelEditor1")).remove(u'&'), text);
}

// The overview is a window of its own: undo, redo, the level menu's keys, the
// quick save and the guide reach it through its own copy of the actions.
void TForm1::overviewkeys() {
    QList<QAction*> keys{Rckgngig1, Wiederherstellen1, Speichern1, Kurzanleitung1};
    for (QAction* a : Level1->actions())
        if (!a->shortcuts().isEmpty() && a != Levelbersicht1) keys << a; // F2 is application-wide already
    overview->addActions(keys);
}

void TForm1::Speichern1Click() { exclusive([this] { quicksave(); }); }

bool TForm1::quicksave() {
    const QString file = doc().file();
    if (file.isEmpty()) return savepack();
    if (!doc().storeback() || !overwriteok(file)) return false;
    const FileResult r = doc().save(file);
    if (!r.ok) {
        dialogs_.showerror(this, r.error);
        return false;
    }
    say(QStringLiteral("Gespeichert: %1").arg(QFileInfo(file).fileName()));
    return true;
}

} // namespace tess
