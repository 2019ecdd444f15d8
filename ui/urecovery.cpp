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
const History& TForm1::history() { return doc().session().history(); }

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

// How many unusable journals the message at start names.
constexpr qsizetype listedfaults = 3;

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
    const PackDocument::Leftovers found = doc().leftovers();
    const QStringList& offered = found.offered;
    const QList<Journal>& read = found.read;
    const QStringList& unread = found.unread;

    // Unreadable journals and strays, each kept aside, all in one message.
    QStringList faults;
    for (const PackDocument::Leftovers::Fault& f : found.faults)
        faults << (f.aside == f.path ? QStringLiteral("%1 Sie bleibt erhalten.").arg(f.why)
                                     : QStringLiteral("%1 Sie bleibt als „%2“ erhalten.")
                                           .arg(f.why, QDir::toNativeSeparators(f.aside)));
    if (!faults.isEmpty())
        dialogs_.showerror(this, faults.size() == 1 ? faults[0]
                                                    : QStringLiteral("Diese Wiederherstellungsdateien sind "
                                                                     "unbrauchbar:\n\n%1")
                                                          .arg(listed(faults.mid(0, listedfaults), faults.size())));

    const auto restore = [&](const QString& path, const Journal& j) {
        exclusive([&] {
            doc().takeover(path, j);
            if (!j.packfile.isEmpty()) SaveDialog1FileName = j.packfile;
        });
        say(QStringLiteral("Wiederhergestellt: %1")
                .arg(j.packfile.isEmpty() ? QStringLiteral("neues Levelpack") : QFileInfo(j.packfile).fileName()));
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
                for (qsizetype k = i + 1; k < offered.size(); ++k) doc().release(offered[k], false);
                return;
            }
            doc().release(offered[i], answer == RecoverAnswer::discard);
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
        for (qsizetype k = 1; k < offered.size(); ++k) doc().release(offered[k], false);
        return;
    }
    const bool discard = answer == RecoverAnswer::discard;
    for (const QString& path : offered) doc().release(path, discard);
    // Thousands take seconds: the window goes on meanwhile.
    if (discard) doc().discard(unread);
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
