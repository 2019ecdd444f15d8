// SPDX-License-Identifier: MIT
#include "ui/ulevedit.h"

#include "edit/display.h"
#include "gui/devicepixels.h"
#include "level/tilenames.h"
#include "ui/editorstate.h"
#include "ui/scrollframe.h"

#include <QMouseEvent>
#include <QPainter>
#include <QToolTip>

#include <cmath>

namespace tess {

LevelPaintBox::LevelPaintBox(Tlevedit* view) : QWidget(view), view_(view) {
    setObjectName(QStringLiteral("PaintBox1"));
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMouseTracking(true); // the cell under the pointer is kept for the menu's region marking
}

void LevelPaintBox::paintEvent(QPaintEvent* event) {
    QPainter p(this);
    view_->drawregion(p, event->region());
}

// The cell under the pointer names its code and what it shows.
bool LevelPaintBox::event(QEvent* event) {
    if (event->type() != QEvent::ToolTip) return QWidget::event(event);
    const auto* help = static_cast<QHelpEvent*>(event);
    int col = 0, row = 0;
    if (!view_->cellat(help->pos().x(), help->pos().y(), col, row)) {
        QToolTip::hideText();
        event->ignore();
        return true;
    }
    const std::uint8_t v = view_->cellvalue(col, row);
    QString text = QString::fromStdString(tilelabel(v & ~markbit));
    if (v & markbit) text += QStringLiteral(" (markiert)");
    QToolTip::showText(help->globalPos(), text, this);
    return true;
}

namespace {

constexpr int edgemargin = 3; // frame, a black pixel, then the cells

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
    view_->notepointer(pixel(event->position().x()), pixel(event->position().y()));
    Button b;
    if (!tobutton(event->button(), b)) return;
    view_->PaintBox1MouseDown(b, event->modifiers() & Qt::ControlModifier,
                              pixel(event->position().x()), pixel(event->position().y()));
}

void LevelPaintBox::mouseMoveEvent(QMouseEvent* event) {
    view_->notepointer(pixel(event->position().x()), pixel(event->position().y()));
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
    const int m = margin();
    PaintBox1->setMinimumSize(state_.tiles.tilew * interiorcols + 2 * m, state_.tiles.tileh * interiorrows + 2 * m);
}

int Tlevedit::margin() const { return view_.edge ? edgemargin : 0; }

void Tlevedit::setview(const ViewOptions& view) {
    view_ = view;
    calcrowscols();
    PaintBox1Paint();
}

bool Tlevedit::cellat(int x, int y, int& col, int& row) const {
    const int m = margin();
    if (x < m || y < m) return false;
    col = cellof(x - m, state_.tiles.tilew);
    row = cellof(y - m, state_.tiles.tileh);
    return col <= lastcol && row <= lastrow;
}

std::uint8_t Tlevedit::cellvalue(int col, int row) const {
    return state_.store().curlevel[cellindex(col, row)];
}

QRect Tlevedit::cellrect(int col, int row) const {
    const int tw = state_.tiles.tilew, th = state_.tiles.tileh, m = margin();
    return {m + (col - 1) * tw, m + (row - 1) * th, tw, th};
}

// Grid lines over the first pixel column and row of every cell but the
// first, and the edge frame one black pixel outside the cells.
void Tlevedit::drawlines(QPainter& p, const QRect& grid) const {
    const DevicePixels px(p);
    const int tw = state_.tiles.tilew, th = state_.tiles.tileh;
    if (view_.grid) {
        const QColor line(72, 72, 72);
        for (int k = 1; k < interiorcols; ++k)
            p.fillRect(px.rect(QRect(grid.left() + k * tw, grid.top(), 1, grid.height())), line);
        for (int k = 1; k < interiorrows; ++k)
            p.fillRect(px.rect(QRect(grid.left(), grid.top() + k * th, grid.width(), 1)), line);
    }
    if (view_.edge) {
        const QColor frame(192, 192, 192);
        const QRect f = grid.adjusted(-2, -2, 2, 2);
        for (const QRect& side : {QRect(f.left(), f.top(), f.width(), 1), QRect(f.left(), f.bottom(), f.width(), 1),
                                  QRect(f.left(), f.top(), 1, f.height()), QRect(f.right(), f.top(), 1, f.height())})
            p.fillRect(px.rect(side), frame);
    }
}

void Tlevedit::drawregion(QPainter& p, const QRegion& region) {
    TileSet& tiles = state_.tiles;
    const int tw = tiles.tilew, th = tiles.tileh, m = margin();
    const QRect grid(m, m, tw * interiorcols, th * interiorrows);
    {
        const DevicePixels px(p);
        for (const QRect& r : region) {
            const QRect g = r.intersected(grid).translated(-m, -m);
            if (g.isEmpty()) continue;
            for (int row = g.top() / th + 1; row <= g.bottom() / th + 1; ++row) {
                const int top = px.y(m + (row - 1) * th), height = px.y(m + row * th) - top;
                for (int col = g.left() / tw + 1; col <= g.right() / tw + 1; ++col) {
                    const int left = px.x(m + (col - 1) * tw);
                    const CellLook look = celllook(state_.layers(), state_.store().curlevel, col, row);
                    tiles.drawtile(p, QRect(left, top, px.x(m + col * tw) - left, height), look.code, look.inverted);
                }
            }
        }
        // Around the grid the surface is black.
        for (const QRect& rest : region.subtracted(QRegion(grid))) p.fillRect(px.rect(rest), Qt::black);
    }
    if (view_.edge || view_.grid) drawlines(p, grid);
}

void Tlevedit::PaintBox1Paint() { PaintBox1->repaint(); }

void Tlevedit::putbuffer() {
    // The changed cells, gathered row by row into runs: the region to draw.
    runs_.clear();
    int runrow = -1, runend = -1;
    state_.doc.putbuffer([&](int col, int row, CellLook) {
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
    const int m = margin();
    // A press on the edge frame is outside the interior, as one right of it is.
    if (m && (x < m || y < m) && !state_.doc.stroking()) return;
    x -= m;
    y -= m;
    const EditSession::Press r = state_.doc.press(button, ctrl, cellof(x, state_.tiles.tilew),
                                                  cellof(y, state_.tiles.tileh), state_.leftitem, state_.rightitem);
    if (r == EditSession::Press::ignored) return;
    if (r == EditSession::Press::repaintall) PaintBox1Paint();
    putbuffer();
    if (strokebegan) strokebegan();
}

void Tlevedit::notepointer(int x, int y) {
    int col = 0, row = 0;
    if (!cellat(x, y, col, row)) return;
    const bool first = !pointedcell_;
    pointedcell_ = QPoint(col, row);
    if (first && pointed) pointed();
}

void Tlevedit::PaintBox1MouseMove(int x, int y) {
    const int m = margin();
    if (state_.doc.move(cellof(x - m, state_.tiles.tilew), cellof(y - m, state_.tiles.tileh))) putbuffer();
}

void Tlevedit::PaintBox1MouseUp() {
    if (state_.doc.release() && strokeended) strokeended();
}

} // namespace tess
