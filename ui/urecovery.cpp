// SPDX-License-Identifier: MIT
// The main window's side of the recovery journal: the question at start
// about packs that editors which died left unsaved, and the notice when
// recovery is off.
#include "ui/utessaronedit.h"

#include "gui/germantexts.h"
#include "level/journalfile.h"
#include "level/levelmap.h"
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

// "dd.MM.yyyy um HH:mm:ss" in local time.
QString when(const QDateTime& changed) {
    const QDateTime local = changed.toLocalTime();
    return captiontext("when").arg(QLocale().toString(local.date(), QStringLiteral("dd.MM.yyyy")),
                                   QLocale().toString(local.time(), QStringLiteral("HH:mm:ss")));
}

QString recoverquestion(const Journal& j, int differing) {
    const QString which = j.packfile.isEmpty()
                              ? captiontext("newpack")
                              : captiontext("namedpack").arg(QDir::toNativeSeparators(j.packfile));
    const QString levels =
        differing == 1 ? captiontext("onelevel") : captiontext("levels").arg(differing);
    const QString from = j.packfile.isEmpty()            ? captiontext("fromnew")
                         : QFileInfo::exists(j.packfile) ? captiontext("fromfile")
                                                         : captiontext("fromgone");
    return captiontext("recovered").arg(which, when(j.changed), levels, from);
}

// How many journals the question at start names, and how many it reads at
// most to find them: a folder of thousands costs no more than a few.
constexpr qsizetype listedjournals = 5, readjournals = 12, listedfaults = 3;

QString listed(const QStringList& lines, qsizetype total) {
    QString text = lines.join(u'\n');
    if (total > lines.size()) text += u'\n' + captiontext("andmore").arg(total - lines.size());
    return text;
}

QString recoverallquestion(const QList<Journal>& journals, qsizetype total) {
    QStringList lines;
    for (const Journal& j : journals)
        lines << (j.packfile.isEmpty() ? captiontext("recoverednewline").arg(when(j.changed))
                                       : captiontext("recoveredline")
                                             .arg(excerpt(QFileInfo(j.packfile).fileName()), when(j.changed)));
    return captiontext("recoveredall").arg(QString::number(total), listed(lines, total));
}

} // namespace

void TForm1::startrecovery(const QString& folder) {
    // Without a lock of its own this editor still offers what it finds, but
    // can neither take it over nor remove it.
    doc().openjournal(folder);
    RecoveryJournal& journals = doc().journal();
    const RecoveryJournal::Leftovers found = journals.leftovers();

    // Unreadable journals and strays, each kept aside, all in one message.
    QStringList faults;
    const auto keptaside = [&](const QString& path, const QString& why) {
        const QString aside = journals.keepaside(path);
        faults << (aside == path ? QStringLiteral("%1 Sie bleibt erhalten.").arg(why)
                                 : QStringLiteral("%1 Sie bleibt als „%2“ erhalten.")
                                       .arg(why, QDir::toNativeSeparators(aside)));
    };
    for (const RecoveryJournal::Stray& stray : found.strays) keptaside(stray.path, stray.why);

    // The newest few are read and named; the others are only counted.
    QStringList offered;
    QList<Journal> read;
    qsizetype next = 0;
    for (qsizetype tried = 0; next < found.journals.size() && offered.size() < listedjournals &&
                              tried < readjournals; ++next) {
        const QString& path = found.journals[next];
        if (!journals.claim(path)) continue;
        ++tried;
        const JournalRead r = readjournal(path);
        if (!r.ok) {
            keptaside(path, r.error);
            continue;
        }
        offered << path;
        read << r.journal;
    }
    const QStringList unread = found.journals.mid(next);
    if (!faults.isEmpty())
        dialogs_.showerror(this, faults.size() == 1 ? faults[0]
                                                    : QStringLiteral("Diese Wiederherstellungsdateien sind "
                                                                     "unbrauchbar:\n\n%1")
                                                          .arg(listed(faults.mid(0, listedfaults), faults.size())));

    const auto restore = [&](const QString& path, const Journal& j) {
        exclusive([&] {
            doc().restore(j);
            if (!j.packfile.isEmpty()) SaveDialog1FileName = j.packfile;
        });
        say(QStringLiteral("Wiederhergestellt: %1")
                .arg(j.packfile.isEmpty() ? QStringLiteral("neues Levelpack") : QFileInfo(j.packfile).fileName()));
        // The old journal goes once this editor's own holds the pack, or
        // when the pack is just what its file holds: nothing is left to keep.
        doc().updatejournal();
        const bool taken = journals.isopen() && journals.flush(5000) && QFileInfo::exists(journals.path());
        journals.release(path, taken || (journals.isopen() && !doc().changed()));
    };
    // Each one asked as a single one is; after a restore the rest wait.
    const auto askeach = [&](qsizetype from) {
        for (qsizetype i = from; i < offered.size(); ++i) {
            const QString question = recoverquestion(read[i], PackDocument::levelsdiffering(read[i]));
            const RecoverAnswer answer = dialogs_.askrecover(
                this, offered.size() == 1 ? question
                                          : captiontext("numbered").arg(QString::number(i + 1),
                                                                        QString::number(offered.size()), question));
            if (answer == RecoverAnswer::restore) {
                restore(offered[i], read[i]);
                for (qsizetype k = i + 1; k < offered.size(); ++k) journals.release(offered[k], false);
                return;
            }
            journals.release(offered[i], answer == RecoverAnswer::discard);
        }
    };
    if (offered.size() + unread.size() <= 1) return askeach(0);

    RecoverAnswer answer = dialogs_.askrecoverall(this, recoverallquestion(read, offered.size() + unread.size()));
    if (answer == RecoverAnswer::discard &&
        !dialogs_.askyesno(this, captiontext("discardall").arg(offered.size() + unread.size()), false))
        answer = RecoverAnswer::later;
    if (answer == RecoverAnswer::each) return askeach(0);
    if (answer == RecoverAnswer::restore && !offered.isEmpty()) {
        restore(offered[0], read[0]);
        for (qsizetype k = 1; k < offered.size(); ++k) journals.release(offered[k], false);
        return;
    }
    const bool discard = answer == RecoverAnswer::discard;
    for (const QString& path : offered) journals.release(path, discard);
    // Thousands take seconds: the window goes on meanwhile.
    if (discard) journals.discard(unread);
}

void TForm1::showrecoveryoff(const QString& why) {
    if (recoverynotice_) return;
    recoverynotice_ = new QLabel(captiontext("recoveryoff").arg(why));
    recoverynotice_->setObjectName(QStringLiteral("recoverynotice"));
    recoverynotice_->setWordWrap(true); // the reason names a path, often longer than the window is wide
    recoverynotice_->setToolTip(captiontext("recoveryofftip"));
    statusBar()->addWidget(recoverynotice_, 1);
    statusBar()->show();
}

} // namespace tess
