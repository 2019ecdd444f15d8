// SPDX-License-Identifier: MIT
// The desktop's clipboard: what the editor's own clipboard and "Level
// kopieren" take is also put there, and another editor window's cells or
// level found there are taken over before pasting. Content this window put
// there itself, or already took over, leaves the editor's own clipboard as
// it is, so pasting within one window works on that alone.
#include "ui/utessaronedit.h"

#include "edit/clipformat.h"
#include "ui/editorstate.h"

#include <QAction>
#include <QClipboard>
#include <QGuiApplication>
#include <QMenu>
#include <QMimeData>
#include <QUuid>

namespace tess {

namespace {

const QString cellsmime = QStringLiteral("application/x-tessaron-cells");
const QString levelmime = QStringLiteral("application/x-tessaron-level");
const QString originmime = QStringLiteral("application/x-tessaron-origin");

const std::uint8_t* bytesof(const QByteArray& a) { return reinterpret_cast<const std::uint8_t*>(a.constData()); }

} // namespace

void TForm1::buildclipboard() {
    clipwindow_ = QUuid::createUuid().toString(QUuid::WithoutBraces);
    connect(QGuiApplication::clipboard(), &QClipboard::dataChanged, this, &TForm1::updatepaste);
    connect(Bearbeiten1, &QMenu::aboutToShow, this, &TForm1::updatepaste);
    connect(Level1, &QMenu::aboutToShow, this, &TForm1::updatepaste);
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
    const Layer& clip = state_->layers.clipboard;
    putonclipboard(cellsmime, encodecells(clip), cellstext(clip));
}

void TForm1::putlevel(const LevelRecord& record) { putonclipboard(levelmime, encodelevel(record), leveltext(record)); }

// The bytes of format on the desktop's clipboard when another window put
// them there and this one has not taken them over yet; else empty.
QByteArray TForm1::foreign(const QString& format, QString* origin) const {
    const QMimeData* data = QGuiApplication::clipboard()->mimeData();
    if (!data || !data->hasFormat(format)) return {};
    const QString from = QString::fromLatin1(data->data(originmime));
    if (!from.isEmpty() && (from == lastput_ || from == taken_)) return {};
    if (origin) *origin = from;
    return data->data(format);
}

bool TForm1::takeforeigncells() {
    QString origin;
    const QByteArray bytes = foreign(cellsmime, &origin);
    if (!decodecells(bytesof(bytes), std::size_t(bytes.size()), state_->layers.clipboard)) return false;
    taken_ = origin;
    return true;
}

bool TForm1::takeforeignlevel() {
    QString origin;
    const QByteArray bytes = foreign(levelmime, &origin);
    LevelRecord record;
    if (!decodelevel(bytesof(bytes), std::size_t(bytes.size()), record)) return false;
    levelclip_ = record;
    taken_ = origin;
    return true;
}

void TForm1::updatepaste() {
    Layer cells;
    const QByteArray c = foreign(cellsmime, nullptr);
    Einfgen1->setEnabled(anycells(state_->layers.clipboard) || decodecells(bytesof(c), std::size_t(c.size()), cells));
    LevelRecord record;
    const QByteArray l = foreign(levelmime, nullptr);
    Leveleinfgen1->setEnabled(levelclip_.has_value() || decodelevel(bytesof(l), std::size_t(l.size()), record));
}

} // namespace tess
