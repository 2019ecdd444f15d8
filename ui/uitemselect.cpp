// SPDX-License-Identifier: MIT
#include "ui/uitemselect.h"

#include "ui/editorstate.h"
#include "ui/scrollframe.h"

#include <QMouseEvent>
#include <QPainter>

#include <algorithm>
#include <cmath>

namespace tess {

PalettePaintBox::PalettePaintBox(Titemselect* palette) : QWidget(palette), palette_(palette) {
    setObjectName(QStringLiteral("PaintBox1"));
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void PalettePaintBox::paintEvent(QPaintEvent* event) {
    QPainter p(this);
    p.setClipRect(event->rect());
    p.fillRect(event->rect(), Qt::black);
    palette_->PaintBox1Paint(p);
}

void PalettePaintBox::mousePressEvent(QMouseEvent* event) {
    palette_->PaintBox1MouseDown(event->button(), static_cast<int>(std::floor(event->position().x())),
                                 static_cast<int>(std::floor(event->position().y())));
}

Titemselect::Titemselect(EditorState& state, QWidget* parent) : QScrollArea(parent), state_(state) {
    setObjectName(QStringLiteral("itemselect1"));
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    PaintBox1 = new PalettePaintBox(this);
    makescrollframe(this, PaintBox1);
}

void Titemselect::calcrowscols() {
    const int tw = state_.tiles.tilew, th = state_.tiles.tileh;
    const int n = state_.tiles.itemcount;
    cols = std::max(1, (width() - tw) / ((3 * tw) / 2));
    rows = n / cols + (n % cols != 0 ? 1 : 0);
    contentheight_ = ((3 * th) / 2) * rows + th;
    PaintBox1->setMinimumHeight(contentheight_);
}

void Titemselect::PaintBox1Paint(QPainter& p) {
    TileSet& tiles = state_.tiles;
    const int tw = tiles.tilew, th = tiles.tileh;
    const int pw = (3 * tw) / 2, ph = (3 * th) / 2;
    // An outline one pixel wide around the box x1..x2-1, y1..y2-1, filled black.
    auto rectangle = [&p](int x1, int y1, int x2, int y2, QColor pen) {
        p.fillRect(x1, y1, x2 - x1, y2 - y1, pen);
        p.fillRect(x1 + 1, y1 + 1, x2 - x1 - 2, y2 - y1 - 2, Qt::black);
    };
    const QColor red(255, 0, 0), blue(0, 0, 255);
    for (int i = 0; i < tiles.itemcount; ++i) {
        const int l = tw / 2 + pw * (i % cols), t = tw / 2 + ph * (i / cols);
        const int r = l + tw, b = t + th;
        if (i == state_.rightitem) rectangle(l - 3, t - 3, r + 3, b + 3, blue);
        if (i == state_.leftitem) {
            rectangle(l - 3, t - 3, r + 3, b + 3, red);
            rectangle(l - 2, t - 2, r + 2, b + 2, red);
        }
        if (i == state_.rightitem) rectangle(l - 2, t - 2, r + 2, b + 2, blue);
        tiles.drawtile(p, l, t, i, false);
    }
}

void Titemselect::PaintBox1MouseDown(Qt::MouseButton button, int x, int y) {
    const int tw = state_.tiles.tilew, th = state_.tiles.tileh;
    const int hw = tw / 2, hh = th / 2, pw = (3 * tw) / 2, ph = (3 * th) / 2;
    if (x < hw || x >= hw + pw * cols || y < hh || y >= hh + ph * rows) return;
    const int idx = ((y - hh) / ph) * cols + (x - hw) / pw;
    if (idx > state_.tiles.itemcount - 1) return;
    int* choice = nullptr;
    if (button == Qt::RightButton) choice = &state_.rightitem;
    else if (button == Qt::LeftButton || button == Qt::MiddleButton) choice = &state_.leftitem;
    if (!choice || *choice == idx) return;
    *choice = idx;
    PaintBox1->repaint();
}

} // namespace tess
