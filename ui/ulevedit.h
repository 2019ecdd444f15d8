// SPDX-License-Identifier: MIT
#pragma once

// The level view: the 58 by 22 interior of the working level at the current
// tile size, with the stroke in progress laid over it and marked cells
// inverted, in a scroll area. Mouse strokes are made on its paint surface.

#include "edit/stroke.h"

#include <QScrollArea>

#include <functional>
#include <vector>

namespace tess {

struct EditorState;
class Tlevedit;

// The paint surface: covers the larger of the content and the visible area,
// so its pixel positions are content positions. It shows the view's drawing
// and hands the mouse to the view.
class LevelPaintBox : public QWidget {
    Q_OBJECT
public:
    explicit LevelPaintBox(Tlevedit* view);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    Tlevedit* view_;
};

class Tlevedit : public QScrollArea {
    Q_OBJECT
public:
    Tlevedit(EditorState& state, QWidget* parent = nullptr);

    LevelPaintBox* PaintBox1;

    // Fits the scrollable extent to the tile size: tilew * 58 by tileh * 22.
    void calcrowscols();
    // Repaints the whole view at once.
    void PaintBox1Paint();
    // Draws at once the interior cells whose overlay byte differs from their
    // screenbuf byte, taking the overlay byte into screenbuf.
    void putbuffer();
    // Draws every interior cell that meets region (content positions) and
    // fills the rest of the region, right of and below the grid, black.
    void drawregion(QPainter& p, const QRegion& region);

    // Pixel positions are content positions; they may lie outside the content.
    void PaintBox1MouseDown(Button button, bool ctrl, int x, int y);
    void PaintBox1MouseMove(int x, int y);
    void PaintBox1MouseUp();

    // Run after a press started a stroke, and after a release ended one (the
    // main window shows the count and records the step).
    std::function<void()> strokebegan;
    std::function<void()> strokeended;

private:
    EditorState& state_;
    std::vector<QRect> runs_; // putbuffer's changed cells, kept to spare a move an allocation
    QRect cellrect(int col, int row) const;
};

} // namespace tess
