// SPDX-License-Identifier: MIT
// The main window's side of the recovery journal: the question at start
// about packs that editors which died left unsaved, and the notice when
// recovery is off.
#include "ui/utessaronedit.h"

#include "level/journalfile.h"
#include "level/levelstore.h"
#include "ui/editorstate.h"
#include "ui/leveloverview.h"

#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QLocale>
#include <QStatusBar>

namespace tess {

PackDocument& TForm1::doc() const { return state_->doc; }
PackDocument& TForm1::document() { return doc(); }
const LevelHistory& TForm1::history() { return doc().history(); }

namespace {

QString recoverquestion(const Journal& j, int differing) {
    const QString when = QLocale().toString(j.changed.toLocalTime(), QStringLiteral("dd.MM.yyyy 'um' HH:mm:ss"));
    const QString which = j.packfile.isEmpty()
                              ? QStringLiteral("Ein neues, noch nie gespeichertes Levelpack")
                              : QStringLiteral("Das Levelpack „%1“").arg(QDir::toNativeSeparators(j.packfile));
    const QString levels = differing == 1 ? QStringLiteral("1 Level unterscheidet sich")
                                          : QStringLiteral("%1 Level unterscheiden sich").arg(differing);
    const QString from = j.packfile.isEmpty() ? QStringLiteral("von einem neuen Levelpack")
                         : QFileInfo::exists(j.packfile) ? QStringLiteral("von der Datei")
                                                         : QStringLiteral("von einem neuen Levelpack (die Datei fehlt)");
    return QStringLiteral("%1 wurde nicht gespeichert, als ein Editor unerwartet endete. Zuletzt geändert am %2; "
                          "%3 %4.\n\nSoll es wiederhergestellt werden?")
        .arg(which, when, levels, from);
}

} // namespace

void TForm1::startrecovery(const QString& folder) {
    if (!doc().openjournal(folder)) return;
    bool restored = false;
    for (const QString& path : doc().journal().orphans()) {
        if (restored) { // one pack at a time: the others wait for the next start
            doc().journal().release(path, false);
            continue;
        }
        const JournalRead r = readjournal(path);
        if (!r.ok) {
            const QString aside = doc().journal().keepaside(path);
            dialogs_.showerror(this, QStringLiteral("%1 Sie bleibt als „%2“ erhalten.")
                                         .arg(r.error, QDir::toNativeSeparators(aside)));
            continue;
        }
        const RecoverAnswer answer =
            dialogs_.askrecover(this, recoverquestion(r.journal, PackDocument::levelsdiffering(r.journal)));
        if (answer == RecoverAnswer::restore) {
            exclusive([&] {
                doc().restore(r.journal);
                if (!r.journal.packfile.isEmpty()) SaveDialog1FileName = r.journal.packfile;
            });
            // The old journal goes once this editor's own holds the pack, or
            // when the pack is just what its file holds: nothing is left to keep.
            doc().updatejournal();
            const bool kept = doc().journal().flush(5000) && QFileInfo::exists(doc().journal().path());
            doc().journal().release(path, kept || !doc().changed());
            restored = true;
        } else {
            doc().journal().release(path, answer == RecoverAnswer::discard);
        }
    }
}

void TForm1::showrecoveryoff(const QString& why) {
    if (recoverynotice_) return;
    recoverynotice_ = new QLabel(QStringLiteral("Wiederherstellung aus: %1").arg(why));
    recoverynotice_->setObjectName(QStringLiteral("recoverynotice"));
    recoverynotice_->setWordWrap(true); // the reason names a path, often longer than the window is wide
    recoverynotice_->setToolTip(QStringLiteral("Ungespeicherte Änderungen können nach einem Absturz nicht "
                                               "wiederhergestellt werden. Speichern funktioniert weiterhin."));
    statusBar()->addWidget(recoverynotice_, 1);
    statusBar()->show();
}

} // namespace tess
