// SPDX-License-Identifier: MIT
#include "ui/ulevedit.h"

#include "edit/display.h"
#include "ui/editorstate.h"

#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>

#include <cmath>

namespace tess {

LevelPaintBox::LevelPaintBox(Tlevedit* view) : QWidget(view), view_(view) {
    setObjectName(QStringLiteral("PaintBox1"));
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void LevelPaintBox::paintEvent(QPaintEvent* event) {
    QPainter p(this);
    const QRect r = event->rect();
    const QImage& img = view_->drawing();
    p.fillRect(r, Qt::black);
    p.drawImage(r.topLeft(), img, r.intersected(img.rect()));
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
    setFrameShape(QFrame::NoFrame);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, Qt::black);
    setPalette(pal);
    viewport()->setPalette(pal);
    viewport()->setAutoFillBackground(true);
    horizontalScrollBar()->setTracking(true);
    verticalScrollBar()->setTracking(true);
    setWidgetResizable(true);
    PaintBox1 = new LevelPaintBox(this);
    setWidget(PaintBox1);
}

void Tlevedit::calcrowscols() {
    const QSize content(state_.tiles.tilew * interiorcols, state_.tiles.tileh * interiorrows);
    PaintBox1->setMinimumSize(content);
    if (drawing_.size() != content) {
        drawing_ = QImage(content, QImage::Format_RGB32);
        drawing_.fill(Qt::black);
    }
}

void Tlevedit::PaintBox1Paint() {
    {
        QPainter p(&drawing_);
        TileSet& tiles = state_.tiles;
        for (int row = firstrow; row <= lastrow; ++row) {
            for (int col = firstcol; col <= lastcol; ++col) {
                const CellLook look = celllook(state_.layers, state_.store.curlevel, col, row);
                tiles.drawtile(p, (col - 1) * tiles.tilew, (row - 1) * tiles.tileh, look.code,
                               look.inverted);
            }
        }
    }
    PaintBox1->repaint(drawing_.rect());
}

void Tlevedit::putbuffer() {
    TileSet& tiles = state_.tiles;
    QRect dirty;
    {
        QPainter p(&drawing_);
        tess::putbuffer(state_.layers, state_.store.curlevel, [&](int col, int row, CellLook look) {
            const int x = (col - 1) * tiles.tilew, y = (row - 1) * tiles.tileh;
            tiles.drawtile(p, x, y, look.code, look.inverted);
            dirty |= QRect(x, y, tiles.tilew, tiles.tileh);
        });
    }
    if (!dirty.isEmpty()) PaintBox1->repaint(dirty);
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
