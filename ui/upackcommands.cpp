// SPDX-License-Identifier: MIT
// The main window's commands on files and on the pack as a whole: a new,
// loaded or saved pack and the question before unsaved work is dropped,
// levels to and from Tiled maps, the level menu, and what the level overview
// asks for.
#include "ui/utessaronedit.h"

#include "edit/userinput.h"
#include "gui/germantexts.h"
#include "level/levelmap.h"
#include "level/packfile.h"
#include "level/packops.h"
#include "ui/editorstate.h"
#include "ui/leveloverview.h"

#include <QAction>
#include <QCloseEvent>
#include <QDir>
#include <QFileInfo>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QTimer>

namespace tess {

namespace {

// The one local file a drag carries, or an empty string.
QString droppedfile(const QMimeData* data) {
    if (!data || !data->hasUrls() || data->urls().size() != 1) return {};
    const QUrl url = data->urls().constFirst();
    return url.isLocalFile() ? url.toLocalFile() : QString();
}

const QString mapfilter = QStringLiteral("Tiled-Karten (*.tmx *.tmj)");

} // namespace

void TForm1::NeuesLevelpack1Click() { exclusive([this] { newpack(); }); }

void TForm1::Levelpackladen1Click() { exclusive([this] { loadpack(); }); }

void TForm1::Levelpackspeichern1Click() { exclusive([this] { savepack(); }); }

void TForm1::LevelnachTiledexportieren1Click() { levelcommand([this] { exportmap(); }); }

void TForm1::LevelausTiledimportieren1Click() { levelcommand([this] { importmap(); }); }

// The folder the map dialogs start in: the last map's when it lies in the
// pack's folder (the last pack's for a new one) or below it, else the
// pack's folder.
QString TForm1::mapfolder() const {
    const QString packfolder =
        doc().file().isEmpty() ? settings().folder : QFileInfo(doc().file()).absolutePath();
    const QString lastmap = MapDialogFileName.isEmpty() ? QString() : QFileInfo(MapDialogFileName).absolutePath();
    if (packfolder.isEmpty() || lastmap.isEmpty()) return packfolder.isEmpty() ? lastmap : packfolder;
    const QString inside = QDir(packfolder).relativeFilePath(lastmap);
    return inside.startsWith(QStringLiteral("..")) || QDir::isAbsolutePath(inside) ? packfolder : lastmap;
}

// Stores the level back, as a level switch does, and writes its record as
// tessaron-pack export would, with tiles.tsx and tiles.png beside it.
void TForm1::exportmap() {
    if (!doc().storeback()) return;
    // Offered: levelNNN.tmx where the map dialogs start.
    const QString name = levelmapname(doc().store().levelnr) + QStringLiteral(".tmx");
    const QString folder = mapfolder();
    const QString preset = folder.isEmpty() ? name : QDir(folder).filePath(name);
    QString file =
        dialogs_.savefile(this, preset, QStringLiteral("Tiled-Karten (*.tmx)"), MapDialogFileName, QString());
    if (file.isEmpty()) return;
    if (QFileInfo(file).suffix().isEmpty()) file += QStringLiteral(".tmx");
    MapDialogFileName = file;
    // A folder typed into the name that is not there yet is made, as
    // tessaron-pack export makes its folder.
    const QString dir = QFileInfo(file).absolutePath();
    if (!QDir().mkpath(dir)) {
        dialogs_.showerror(this, QStringLiteral("Der Ordner „%1“ konnte nicht angelegt werden.")
                                     .arg(QDir::toNativeSeparators(dir)));
        return;
    }
    FileResult r = writelevelmap(file, doc().store().levelpack[doc().store().levelnr]);
    if (r.ok) r = writetilesetfiles(QFileInfo(file).absolutePath(), state_->tiles);
    if (!r.ok) {
        dialogs_.showerror(this, r.error);
        return;
    }
    say(captiontext("mapexported").arg(QString::number(doc().store().levelnr + 1), QFileInfo(file).fileName()));
}

// Reads a map into the current level, stored back first as a level switch
// does; one step of the level's history.
void TForm1::importmap() {
    const QString folder = mapfolder();
    const bool there = !MapDialogFileName.isEmpty() && QFileInfo(MapDialogFileName).absolutePath() == folder;
    const QString file = dialogs_.openfile(this, there ? MapDialogFileName : folder, mapfilter);
    if (file.isEmpty()) return;
    MapDialogFileName = file;
    const MapImport map = readlevelmap(file);
    if (!map.ok) {
        dialogs_.showerror(this, map.error);
        return;
    }
    // The level shown is stored back first, so that each question is about
    // one thing: first the level as edited, then the map replacing it.
    if (!doc().storeback()) return;
    if (map.built.switchesfound > maxswitches &&
        !dialogs_.askyesno(this,
                           captiontext("mapswitches")
                               .arg(QFileInfo(file).fileName(), QString::number(doc().store().levelnr + 1),
                                    QString::number(map.built.switchesfound), QString::fromUtf8(switchlimitquestion)),
                           true))
        return;
    if (!doc().replacerecord(map.built.record)) return;
    say(captiontext("mapimported").arg(QFileInfo(file).fileName(), QString::number(doc().store().levelnr + 1)));
}

// The level menu. Each operation stores the current level back first, as a
// level switch does; declining the switch-limit question cancels it.

void TForm1::Levelkopieren1Click() { levelcommand([this] { copylevel(); }); }
void TForm1::Leveleinfgen1Click() { levelcommand([this] { pastelevel(); }); }
void TForm1::Levelleeren1Click() { levelcommand([this] { clearlevel(); }); }

void TForm1::Levelnachvorne1Click() {
    levelcommand([this] {
        if (doc().store().levelnr > 0) doc().movelevel(doc().store().levelnr - 1);
    });
}

void TForm1::Levelnachhinten1Click() {
    levelcommand([this] {
        if (doc().store().levelnr < levelcount - 1) doc().movelevel(doc().store().levelnr + 1);
    });
}

void TForm1::copylevel() {
    if (!doc().copylevel()) return;
    putlevel(*doc().session().levelclip());
    say(QStringLiteral("Level %1 kopiert").arg(doc().store().levelnr + 1));
}

void TForm1::pastelevel() {
    takeforeignlevel();
    doc().pastelevel();
}

void TForm1::clearlevel() { doc().emptylevel(); }

LevelRecord TForm1::shownlevel(int slot) const { return doc().session().shownrecord(slot); }

void TForm1::buildoverview() {
    overview = new LevelOverview(state_->tiles, this);
    overview->setFont(font());
    overview->level = [this](int slot) { return shownlevel(slot); };
    overview->chosen = [this](int slot) { levelcommand([&] { gotolevel(slot); }); };
    overview->moved = [this](int from, int to) {
        levelcommand([&] {
            if (gotolevel(from)) doc().movelevel(to);
        });
    };
    // The level menu's operations for the level under the pointer: it
    // becomes the current level first, as a click would make it.
    overview->menuasked = [this](int slot, QPoint at) {
        QMenu menu(overview);
        const std::pair<QAction*, void (TForm1::*)()> items[] = {
            {Levelkopieren1, &TForm1::copylevel}, {Leveleinfgen1, &TForm1::pastelevel},
            {Levelleeren1, &TForm1::clearlevel}};
        for (auto [item, run] : items) {
            QAction* entry = menu.addAction(item->text());
            entry->setEnabled(item->isEnabled());
            connect(entry, &QAction::triggered, this, [this, slot, run = run] {
                levelcommand([&] {
                    if (gotolevel(slot)) (this->*run)();
                });
            });
        }
        menu.addSeparator();
        for (auto [item, delta] : {std::pair{Levelnachvorne1, -1}, std::pair{Levelnachhinten1, +1}})
            connect(menu.addAction(item->text()), &QAction::triggered, this, [this, slot, delta = delta] {
                levelcommand([&] {
                    if (slot + delta >= 0 && slot + delta < levelcount && gotolevel(slot)) doc().movelevel(slot + delta);
                });
            });
        menu.exec(at);
    };
    overview->shown = [this](bool visible) { Levelbersicht1->setChecked(visible); };
    connect(Levelbersicht1, &QAction::toggled, overview, &QWidget::setVisible);
}

void TForm1::newpack() {
    if (!maybesave()) return;
    doc().newpack();
}

void TForm1::loadpack() {
    if (!maybesave()) return;
    const QString file = dialogs_.openfile(this, dialogstart(OpenDialog1FileName), QString());
    if (!file.isEmpty()) openpack(file);
}

bool TForm1::openpack(const QString& path) {
    OpenDialog1FileName = path;
    auto pack = std::make_unique<LevelPack>();
    qint64 rest = 0;
    const FileResult r = readpack(path, *pack, &rest);
    if (!r.ok) {
        dialogs_.showerror(this, r.error);
        return false;
    }
    doc().load(*pack, path, rest);
    say(captiontext("loaded").arg(QFileInfo(path).fileName()));
    // A longer file is said at once: saving into it would cut what follows the pack.
    if (rest > 0)
        dialogs_.showinfo(this, captiontext("note"),
                          captiontext("loadedlonger")
                              .arg(QFileInfo(path).fileName(), QString::fromStdString(packsizewarning(packlen + rest))));
    return true;
}

bool TForm1::opencommandline(const QString& path) {
    bool opened = false;
    exclusive([&] { opened = maybesave() && openpack(path); });
    return opened;
}

LevelPack TForm1::packtosave() const { return state_->doc.image(); }

bool TForm1::packchanged() const { return state_->doc.changed(); }

bool TForm1::maybesave() {
    if (!packchanged()) return true;
    switch (dialogs_.askunsaved(this, captiontext("unsaved"))) {
    case SaveAnswer::save: return quicksave(); // as Strg+S: its own file, or the save dialog
    case SaveAnswer::discard: return true; // the journal goes once the pack is replaced
    case SaveAnswer::cancel: break;
    }
    return false;
}

bool TForm1::savepack() {
    if (!doc().storeback()) return false;
    // The pack's own file, however it was opened; for a new pack the last
    // name chosen, or the folder of the last pack.
    const QString offered = doc().file().isEmpty() ? dialogstart(SaveDialog1FileName) : doc().file();
    const QString packfile =
        dialogs_.savefile(this, offered, QString(), doc().file(), QStringLiteral("Levelpack speichern"));
    if (packfile.isEmpty()) return false;
    SaveDialog1FileName = packfile;
    if (!overwriteok(packfile)) return false;
    FileResult r = doc().save(packfile);
    if (!r.ok) {
        dialogs_.showerror(this, r.error);
        return false;
    }
    say(captiontext("saved").arg(QFileInfo(packfile).fileName()));
    // The pack is saved; what follows is the level list, offered beside it
    // under the pack's name with the list's suffix.
    if (!dialogs_.askyesno(this, captiontext("levellist"), true)) return true;
    const QFileInfo info(packfile);
    const QString listname = QString::fromStdString(levellistname(info.fileName().toStdString()));
    const QString listfile = dialogs_.savefile(this, info.dir().filePath(listname), QString(), doc().file(),
                                               captiontext("levellistsave"));
    if (listfile.isEmpty()) return true;
    if (samefile(listfile, packfile) &&
        !dialogs_.askyesno(this,
                           QStringLiteral("Die Levelliste würde das eben gespeicherte Levelpack "
                                          "„%1“ überschreiben. Trotzdem fortfahren?")
                               .arg(QFileInfo(packfile).fileName()),
                           false))
        return true;
    r = writelevellist(listfile, doc().store().levelpack);
    if (!r.ok) dialogs_.showerror(this, r.error);
    else say(captiontext("savedlist").arg(info.fileName(), QFileInfo(listfile).fileName()));
    return true;
}

bool TForm1::overwriteok(const QString& file) {
    const QString name = QFileInfo(file).fileName();
    if (!doc().file().isEmpty() && samefile(file, doc().file()) && doc().changedondisk() &&
        !dialogs_.askyesno(this, captiontext("changedondisk").arg(name), false))
        return false;
    // A pack is written whole: whatever follows one in a longer file is cut.
    const qint64 rest = bytesafterpack(file);
    if (rest == 0) return true;
    return dialogs_.askyesno(this, captiontext("cutquestion").arg(name).arg(rest), false);
}

void TForm1::closeEvent(QCloseEvent* event) {
    bool close = false;
    exclusive([&] { close = maybesave(); });
    if (!close) {
        event->ignore();
        return;
    }
    doc().dropjournal(); // a clean exit leaves no journal
    if (saveGeometry() != settings().window)
        changesettings([this](EditorSettings& s) { s.window = saveGeometry(); });
    event->accept();
}

void TForm1::dragEnterEvent(QDragEnterEvent* event) {
    if (!droppedfile(event->mimeData()).isEmpty()) event->acceptProposedAction();
}

// A dropped pack loads as the load command would, asking first; after the
// drop has returned, so that no question holds up the program it came from.
void TForm1::dropEvent(QDropEvent* event) {
    const QString file = droppedfile(event->mimeData());
    if (file.isEmpty()) return;
    event->acceptProposedAction();
    QTimer::singleShot(0, this, [this, file] {
        exclusive([&] {
            if (maybesave()) openpack(file);
        });
    });
}

} // namespace tess
