// SPDX-License-Identifier: MIT
// The main window's commands that make marks by tile and by region and act
// on all marks at once (fill, mirror), the replace dialog with its replace
// across the pack, and the level statistics.
#include "ui/ueditcommands.h"

#include "edit/besiderect.h"
#include "edit/packreplace.h"
#include "gui/germantexts.h"
#include "level/captions.h"
#include "ui/editorstate.h"
#include "ui/leveloverview.h"
#include "ui/levelstats.h"
#include "ui/replacedialog.h"
#include "ui/ulevedit.h"
#include "ui/utessaronedit.h"

#include <QAction>
#include <QCursor>
#include <QLineEdit>
#include <QMenu>

#include <algorithm>

namespace tess {

void TForm1::buildeditmenus() {
    extras_ = std::make_unique<EditExtras>();
    auto action = [this](QMenu* menu, const char* name, void (TForm1::*run)(), QKeySequence key = {},
                         const QString& caption = {}) {
        QAction* a = menu->addAction(caption.isEmpty() ? captiontext(name) : caption);
        a->setObjectName(QString::fromLatin1(name));
        a->setShortcut(key);
        connect(a, &QAction::triggered, this, run);
        return a;
    };
    QMenu* m = Bearbeiten1;
    m->addSeparator();
    GleicheFeldermarkieren1 = action(m, "GleicheFeldermarkieren1", &TForm1::GleicheFeldermarkieren1Click,
                                     QKeySequence(Qt::CTRL | Qt::Key_G));
    Zusammenhngendemarkieren1 = action(m, "Zusammenhngendemarkieren1", &TForm1::Zusammenhngendemarkieren1Click,
                                       QKeySequence(Qt::CTRL | Qt::Key_R));
    Zusammenhngendemarkieren1->setEnabled(false); // until the pointer has been over a cell
    levedit1->pointed = [this] { Zusammenhngendemarkieren1->setEnabled(true); };
    Allesmarkieren1 = action(m, "Allesmarkieren1", &TForm1::Allesmarkieren1Click,
                             QKeySequence(Qt::CTRL | Qt::Key_A));
    Markierungfllen1 = action(m, "Markierungfllen1", &TForm1::Markierungfllen1Click,
                              QKeySequence(Qt::CTRL | Qt::Key_F));
    m->addSeparator();
    Markierunglinksrechtsspiegeln1 =
        action(m, "Markierunglinksrechtsspiegeln1", &TForm1::Markierunglinksrechtsspiegeln1Click);
    Markierungobenuntenspiegeln1 = action(m, "Markierungobenuntenspiegeln1", &TForm1::Markierungobenuntenspiegeln1Click);
    m->addSeparator();
    Ersetzen1 = action(m, "Ersetzen1", &TForm1::Ersetzen1Click, QKeySequence(Qt::CTRL | Qt::Key_H));

    Level1->addSeparator();
    Levelstatistik1 = action(Level1, "Levelstatistik1", &TForm1::Levelstatistik1Click, {},
                             QStringLiteral("Level&statistik"));
    Ersetzenrckgngig1 = action(Level1, "Ersetzenrckgngig1", &TForm1::Ersetzenrckgngig1Click);

}

ReplaceDialog& TForm1::replacer() {
    if (extras_->replacedialog) return *extras_->replacedialog;
    auto* dialog = extras_->replacedialog = new ReplaceDialog(state_->tiles, this);
    dialog->count = [this](std::uint8_t from, std::uint8_t to, ReplaceScope scope) {
        if (scope != ReplaceScope::pack) return ReplaceCount{countreplace(doc().store().curlevel, from, to, scope), 1, 0};
        const PackReplace n = replaceinpack(packtosave(), from, to, false);
        return ReplaceCount{n.cells, n.levels, n.skipped};
    };
    dialog->replace = [this](std::uint8_t from, std::uint8_t to, ReplaceScope scope) {
        extras_->lastscope = scope;
        if (scope != ReplaceScope::pack) {
            int cells = 0;
            celledit([&] { cells = doc().replacetiles(from, to, scope); });
            say(captiontext("replaced").arg(replacetext(ReplaceCount{cells, 1, 0}, scope)));
            return ReplaceCount{cells, 1, 0};
        }
        PackReplace n;
        exclusive([&] { n = doc().replaceinlevels(from, to); });
        say(captiontext("replaced").arg(replacetext(ReplaceCount{n.cells, n.levels, n.skipped}, scope)));
        return ReplaceCount{n.cells, n.levels, n.skipped};
    };
    dialog->undo = [this] {
        if (doc().stroking()) return false;
        if (extras_->lastscope == ReplaceScope::pack) return doc().undoreplaceinlevels();
        if (!doc().canundo()) return false;
        Rckgngig1Click();
        return true;
    };
    return *dialog;
}

template <class F> void TForm1::celledit(F&& command) {
    command();
    showcounter();
}

void TForm1::GleicheFeldermarkieren1Click() {
    const auto code = static_cast<std::uint8_t>(state_->leftitem);
    celledit([&] { doc().marksametiles(code); });
}

// The cell last under the pointer in the level view: the one under it when
// the key is pressed there, the one it left for the menu when chosen there.
void TForm1::Zusammenhngendemarkieren1Click() {
    const QPoint global = QCursor::pos();
    if (levedit1->viewport()->rect().contains(levedit1->viewport()->mapFromGlobal(global))) {
        const QPoint p = levedit1->PaintBox1->mapFromGlobal(global);
        levedit1->notepointer(p.x(), p.y());
    }
    const std::optional<QPoint> cell = levedit1->pointedcell();
    if (!cell) return;
    celledit([&] { doc().markregion(cell->x(), cell->y()); });
}

void TForm1::Allesmarkieren1Click() {
    celledit([this] { doc().command(SessionCommand::selectall); });
}

void TForm1::Markierungfllen1Click() {
    const auto code = static_cast<std::uint8_t>(state_->leftitem);
    celledit([&] { doc().fillmarked(code); });
}

void TForm1::Markierunglinksrechtsspiegeln1Click() {
    celledit([this] { doc().mirrormarked(Mirror::leftright); });
}

void TForm1::Markierungobenuntenspiegeln1Click() {
    celledit([this] { doc().mirrormarked(Mirror::topbottom); });
}

// Finds the tile under the pointer when it is over the level, else the left
// button's; what it is replaced by is left for the user to choose. The
// dialog keeps clear of the visible part of the marks.
void TForm1::Ersetzen1Click() {
    const LevelRecord& cur = doc().store().curlevel;
    const bool anymarked = std::any_of(cur.begin(), cur.begin() + cellcount, [](std::uint8_t b) { return b & markbit; });
    int from = state_->leftitem;
    const QPoint global = QCursor::pos();
    if (levedit1->viewport()->rect().contains(levedit1->viewport()->mapFromGlobal(global))) {
        const QPoint p = levedit1->PaintBox1->mapFromGlobal(global);
        int col = 0, row = 0;
        if (levedit1->cellat(p.x(), p.y(), col, row)) {
            const int code = levedit1->cellvalue(col, row) & ~markbit;
            if (code < state_->tiles.itemcount) from = code;
        }
    }
    const PixelRect r = marksrect(cur, state_->tiles.tilew, state_->tiles.tileh, levedit1->margin());
    QRect marks;
    if (r.width) {
        const QRect cells(r.x, r.y, r.width, r.height);
        const QWidget* port = levedit1->viewport();
        const QRect seen(port->mapToGlobal(QPoint(0, 0)), port->size());
        marks = cells.translated(levedit1->PaintBox1->mapToGlobal(QPoint(0, 0))).intersected(seen);
    }
    replacer().start(from, anymarked, marks);
}

void TForm1::Levelstatistik1Click() {
    const LevelRecord& cur = doc().store().curlevel;
    if (!extras_->stats) extras_->stats = new LevelStats(state_->tiles, this);
    const EditSession& session = doc().session();
    extras_->stats->start(counttiles(cur), countinfotrons(cur), doc().store().levelnr + 1,
                          QString::fromLatin1(session.title().data(), qsizetype(session.title().size())),
                          session.infotrons());
}

void TForm1::Ersetzenrckgngig1Click() {
    bool undone = false;
    exclusive([&] { undone = !doc().stroking() && doc().undoreplaceinlevels(); });
    if (!undone)
        dialogs_.showerror(this, captiontext("replacegone"));
}

} // namespace tess
