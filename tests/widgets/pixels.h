// SPDX-License-Identifier: MIT
#pragma once

// Helpers for checking what a widget shows, pixel for pixel, in the screen's
// own pixels: the pixel tests run at ratio 1 and again at 2 (QT_SCALE_FACTOR).

#include "ui/editorstate.h"

#include <QGuiApplication>
#include <QImage>
#include <QWidget>

namespace tess::test {

inline QImage shot(QWidget* w) {
    QImage img = w->grab().toImage().convertToFormat(QImage::Format_RGB32);
    img.setDevicePixelRatio(1); // compared with pictures of screen pixels
    return img;
}

// Screen pixels per widget pixel, and a widget position or rectangle in them.
inline qreal ratio() { return qApp->devicePixelRatio(); }
inline int todevice(int logical) { return qRound(logical * ratio()); }
inline QRect todevice(const QRect& r) {
    return QRect(QPoint(todevice(r.left()), todevice(r.top())),
                 QPoint(todevice(r.left() + r.width()) - 1, todevice(r.top() + r.height()) - 1));
}

// The picture of code as a cell at the current tile size shows it.
inline QImage cellpicture(EditorState& s, int code, bool inverted) {
    return s.tiles.scaled(code, inverted, todevice(QRect(0, 0, s.tiles.tilew, s.tiles.tileh)).size())
        .convertToFormat(QImage::Format_RGB32);
}

// The part of a level-view screenshot that shows cell (col, row).
inline QImage cellshot(const QImage& img, const EditorState& s, int col, int row) {
    return img.copy(todevice(QRect((col - 1) * s.tiles.tilew, (row - 1) * s.tiles.tileh, s.tiles.tilew, s.tiles.tileh)));
}

// The part of a level-view screenshot that shows the 58 by 22 cells.
inline QImage gridshot(const QImage& img, const EditorState& s) {
    return img.copy(todevice(QRect(0, 0, s.tiles.tilew * interiorcols, s.tiles.tileh * interiorrows)));
}

// An independent rendering of the interior: every cell's picture from overlay
// over curlevel, marked values inverted, built from the 16 by 16 pictures.
inline QImage expectedlevel(const EditorState& s) {
    const int tw = todevice(s.tiles.tilew), th = todevice(s.tiles.tileh);
    QImage out(tw * interiorcols, th * interiorrows, QImage::Format_RGB32);
    for (int row = firstrow; row <= lastrow; ++row)
        for (int col = firstcol; col <= lastcol; ++col) {
            const int i = cellindex(col, row);
            std::uint8_t v = s.layers().overlay[i];
            if (v == notile) v = s.store().curlevel[i];
            const int code = v & ~markbit;
            const QImage& pic = code < s.tiles.itemcount ? s.tiles.itembitmaps[size_t(code)] : s.tiles.unknown;
            for (int y = 0; y < th; ++y)
                for (int x = 0; x < tw; ++x) {
                    QRgb c = pic.pixel(x * 16 / tw, y * 16 / th);
                    if (v & markbit) c = ~c;
                    out.setPixel((col - 1) * tw + x, (row - 1) * th + y, c | 0xFF000000);
                }
        }
    return out;
}

} // namespace tess::test
