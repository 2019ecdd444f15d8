// SPDX-License-Identifier: MIT
#include "ui/ulevedit.h"

#include "edit/display.h"
#include "gui/devicepixels.h"
#include "ui/editorstate.h"
#include "ui/scrollframe.h"

#include <QMouseEvent>
#include <QPainter>

#include <cmath>

namespace tess {

LevelPaintBox::LevelPaintBox(Tlevedit* view) : QWidget(view), view_(view) {
    setObjectName(QStringLiteral("PaintBox1"));
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void LevelPaintBox::paintEvent(QPaintEvent* event) {
    QPainter p(this);
    view_->drawregion(p, event->region());
}

namespace {

bool tobutton(Qt::MouseButton b, Button& out) {
    switch (b) {
    case Qt::LeftButton: out = Button::left; return true;
    case Qt::RightButton: out = Button::right; return true;
    case Qt::MiddleButton: out = Button::middle; return true;
    default: return false;
    }
}

int pixel(qreal v) { return static_cast<int>(std::floor(v)); }

} // namespace

// Qt keeps delivering moves and the release to this widget after a press of
// any button in it, wherever the pointer goes, so every stroke ends with its
// release. A double-click arrives as a second press.
void LevelPaintBox::mousePressEvent(QMouseEvent* event) {
    Button b;
    if (!tobutton(event->button(), b)) return;
    view_->PaintBox1MouseDown(b, event->modifiers() & Qt::ControlModifier,
                              pixel(event->position().x()), pixel(event->position().y()));
}

void LevelPaintBox::mouseMoveEvent(QMouseEvent* event) {
    view_->PaintBox1MouseMove(pixel(event->position().x()), pixel(event->position().y()));
}

void LevelPaintBox::mouseReleaseEvent(QMouseEvent* event) {
    Button b;
    if (tobutton(event->button(), b)) view_->PaintBox1MouseUp();
}

Tlevedit::Tlevedit(EditorState& state, QWidget* parent) : QScrollArea(parent), state_(state) {
    setObjectName(QStringLiteral("levedit1"));
    PaintBox1 = new LevelPaintBox(this);
    makescrollframe(this, PaintBox1);
}

void Tlevedit::calcrowscols() {
    PaintBox1->setMinimumSize(state_.tiles.tilew * interiorcols, state_.tiles.tileh * interiorrows);
}

QRect Tlevedit::cellrect(int col, int row) const {
    const int tw = state_.tiles.tilew, th = state_.tiles.tileh;
    return {(col - 1) * tw, (row - 1) * th, tw, th};
}

void Tlevedit::drawregion(QPainter& p, const QRegion& region) {
    TileSet& tiles = state_.tiles;
    const int tw = tiles.tilew, th = tiles.tileh;
    const QRect grid(0, 0, tw * interiorcols, th * interiorrows);
    const DevicePixels px(p);
    for (const QRect& r : region) {
        const QRect g = r.intersected(grid);
        if (g.isEmpty()) continue;
        for (int row = g.top() / th + 1; row <= g.bottom() / th + 1; ++row) {
            const int top = px.y((row - 1) * th), height = px.y(row * th) - top;
            for (int col = g.left() / tw + 1; col <= g.right() / tw + 1; ++col) {
                const int left = px.x((col - 1) * tw);
                const CellLook look = celllook(state_.layers, state_.store.curlevel, col, row);
                tiles.drawtile(p, QRect(left, top, px.x(col * tw) - left, height), look.code, look.inverted);
            }
        }
    }
    // Right of and below the grid the surface is black.
    for (const QRect& rest : region.subtracted(QRegion(grid))) p.fillRect(px.rect(rest), Qt::black);
}

void Tlevedit::PaintBox1Paint() { PaintBox1->repaint(); }

void Tlevedit::putbuffer() {
    // The changed cells, gathered row by row into runs: the region to draw.
    runs_.clear();
    int runrow = -1, runend = -1;
    tess::putbuffer(state_.layers, state_.store.curlevel, [&](int col, int row, CellLook) {
        if (row == runrow && col == runend + 1) {
            runs_.back().setRight(cellrect(col, row).right());
        } else {
            runs_.push_back(cellrect(col, row));
            runrow = row;
        }
        runend = col;
    });
    if (runs_.empty()) return;
    // Many scattered runs (a dragged selection) cost more as a region than
    // redrawing their bounding box, whose other cells draw unchanged.
    if (runs_.size() > 16) {
        QRect box;
        for (const QRect& r : runs_) box |= r;
        PaintBox1->repaint(box);
        return;
    }
    QRegion region;
    region.setRects(runs_.data(), static_cast<int>(runs_.size()));
    PaintBox1->repaint(region);
}

void Tlevedit::PaintBox1MouseDown(Button button, bool ctrl, int x, int y) {
    const StrokeTarget t = state_.stroketarget();
    const PressResult r = strokepress(t, button, ctrl, cellof(x, state_.tiles.tilew),
                                      cellof(y, state_.tiles.tileh), state_.leftitem,
                                      state_.rightitem);
    if (r.ignored) return;
    if (r.repaintall) PaintBox1Paint();
    // The first move step at the anchor shows the stroke's first state at once.
    strokemove(t, state_.stroke.startx, state_.stroke.starty);
    putbuffer();
    if (strokebegan) strokebegan();
}

void Tlevedit::PaintBox1MouseMove(int x, int y) {
    if (strokemove(state_.stroketarget(), cellof(x, state_.tiles.tilew),
                   cellof(y, state_.tiles.tileh)))
        putbuffer();
}

void Tlevedit::PaintBox1MouseUp() {
    if (strokerelease(state_.stroketarget()) && strokeended) strokeended();
}

} // namespace tess
