// SPDX-License-Identifier: MIT
// The desktop's clipboard: what the editor's own clipboard and "Level
// kopieren" take is also put there, and another editor window's cells or
// level found there are taken over before pasting. Content this window put
// there itself, or already took over, leaves the editor's own clipboard as
// it is, so pasting within one window works on that alone.
//
// Without a block of the editor's own, the text form (from a browser tab, or
// kept by a clipboard manager that dropped the blocks) is taken instead.
//
// The clipboard is read once after each change, never when a menu opens or
// a paste runs: a program that owns it and hangs keeps Qt waiting for its
// answer for seconds at every read. What was read, or that no answer came,
// stays known until the next change; a paste that would have to ask a
// program that did not answer says so at once instead.
#include "ui/utessaronedit.h"

#include "edit/clipformat.h"
#include "ui/editorstate.h"

#include <QAction>
#include <QClipboard>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QMenu>
#include <QMimeData>
#include <QTimer>
#include <QUuid>

namespace tess {

namespace {

const QString cellsmime = QStringLiteral("application/x-tessaron-cells");
const QString levelmime = QStringLiteral("application/x-tessaron-level");
const QString originmime = QStringLiteral("application/x-tessaron-origin");

// An owner that takes longer than this and sends nothing counts as not
// answering; one that answers at all does so within milliseconds.
constexpr qint64 slowanswer = 1000;
const QString noanswertext = QStringLiteral("Zwischenablage antwortet nicht");

const std::uint8_t* bytesof(const QByteArray& a) { return reinterpret_cast<const std::uint8_t*>(a.constData()); }

} // namespace

void TForm1::buildclipboard() {
    clipwindow_ = QUuid::createUuid().toString(QUuid::WithoutBraces);
    connect(QGuiApplication::clipboard(), &QClipboard::dataChanged, this, &TForm1::readclipboard);
    // A menu shows what is known; it never reads the clipboard.
    connect(Bearbeiten1, &QMenu::aboutToShow, this, &TForm1::updatepaste);
    connect(Level1, &QMenu::aboutToShow, this, &TForm1::updatepaste);
    // What another window left there before this one started, read once
    // the window can show itself and before any key reaches it.
    QTimer::singleShot(0, this, [this] {
        if (!desktopclip_.read) readclipboard();
    });
}

void TForm1::putonclipboard(const QString& format, const std::vector<std::uint8_t>& bytes, const std::string& text) {
    auto* data = new QMimeData;
    lastput_ = QStringLiteral("%1/%2").arg(clipwindow_).arg(++clipserial_);
    data->setData(originmime, lastput_.toLatin1());
    if (!bytes.empty()) {
        data->setData(format, QByteArray(reinterpret_cast<const char*>(bytes.data()), qsizetype(bytes.size())));
        data->setText(QString::fromLatin1(text.c_str()));
    }
    QGuiApplication::clipboard()->setMimeData(data);
    updatepaste();
}

void TForm1::putcells() {
    const Layer& clip = doc().layers().clipboard;
    putonclipboard(cellsmime, encodecells(clip), cellstext(clip));
}

void TForm1::putlevel(const LevelRecord& record) { putonclipboard(levelmime, encodelevel(record), leveltext(record)); }

void TForm1::readclipboard() {
    DesktopClip& clip = desktopclip_;
    clip = DesktopClip();
    clip.read = true;
    QClipboard* board = QGuiApplication::clipboard();
    // While this program owns the clipboard its contents are at hand; only
    // another program's are asked for, and each question may be answered
    // after Qt's own timeout only.
    const bool own = board->ownsClipboard();
    QElapsedTimer asked;
    auto silent = [&](bool empty) { return empty && !own && asked.elapsed() >= slowanswer; };
    asked.start();
    const QMimeData* data = board->mimeData();
    const QStringList formats = data ? data->formats() : QStringList();
    clip.noanswer = silent(formats.isEmpty());
    for (const QString& format : {cellsmime, levelmime}) {
        if (clip.noanswer || !formats.contains(format)) continue;
        asked.restart();
        const QByteArray bytes = data->data(format);
        clip.noanswer = silent(bytes.isEmpty());
        Layer cells;
        LevelRecord record;
        if (format == cellsmime && decodecells(bytesof(bytes), std::size_t(bytes.size()), cells)) clip.cells = cells;
        else if (format == levelmime && decodelevel(bytesof(bytes), std::size_t(bytes.size()), record))
            clip.level = record;
    }
    if (!clip.noanswer && !clip.cells && !clip.level && data && data->hasText()) {
        asked.restart();
        const QString text = data->text();
        clip.noanswer = silent(text.isEmpty());
        // Longer than any text form: not looked at.
        const QByteArray bytes = text.size() <= qsizetype(cliptextmax) ? text.toUtf8() : QByteArray();
        Layer cells;
        LevelRecord record;
        if (readcellstext(bytes.constData(), std::size_t(bytes.size()), cells)) clip.cells = cells;
        else if (readleveltext(bytes.constData(), std::size_t(bytes.size()), record)) clip.level = record;
    }
    if ((clip.cells || clip.level) && formats.contains(originmime))
        clip.origin = QString::fromLatin1(data->data(originmime));
    updatepaste();
}

bool TForm1::foreignblock() const {
    const QString& from = desktopclip_.origin;
    return from.isEmpty() || (from != lastput_ && from != taken_);
}

bool TForm1::takeforeigncells() {
    if (desktopclip_.noanswer) say(noanswertext);
    if (!desktopclip_.cells || !foreignblock()) return false;
    doc().setclipboard(*desktopclip_.cells);
    taken_ = desktopclip_.origin;
    return true;
}

bool TForm1::takeforeignlevel() {
    if (desktopclip_.noanswer) say(noanswertext);
    if (!desktopclip_.level || !foreignblock()) return false;
    doc().setlevelclip(*desktopclip_.level);
    taken_ = desktopclip_.origin;
    return true;
}

// A clipboard whose owner did not answer may hold anything: pasting stays
// offered, and says why it takes nothing from there.
void TForm1::updatepaste() {
    const DesktopClip& clip = desktopclip_;
    Einfgen1->setEnabled(anycells(doc().layers().clipboard) || clip.noanswer || (clip.cells && foreignblock()));
    Leveleinfgen1->setEnabled(doc().session().levelclip().has_value() || clip.noanswer ||
                              (clip.level && foreignblock()));
}

} // namespace tess
