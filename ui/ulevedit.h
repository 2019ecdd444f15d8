// SPDX-License-Identifier: MIT
#pragma once

// The level view: the 58 by 22 interior of the working level at the current
// tile size, with the stroke in progress laid over it and marked cells
// inverted, in a scroll area. Mouse strokes are made on its paint surface.

#include "edit/stroke.h"
#include "document/editorsettings.h"

#include <QScrollArea>

#include <QPoint>

#include <functional>
#include <optional>
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
    bool event(QEvent* event) override;
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

    // Fits the scrollable extent to the tile size: tilew * 58 by tileh * 22,
    // and a margin on every side for the edge frame when it is shown.
    void calcrowscols();
    // Shows or hides the edge frame and the grid lines, and repaints.
    void setview(const ViewOptions& view);
    const ViewOptions& view() const { return view_; }
    // Pixels between the content's corner and the first cell: room for the
    // edge frame, 0 without it.
    int margin() const;
    // The interior cell (col, row) under content position (x, y); false
    // outside the interior.
    bool cellat(int x, int y, int& col, int& row) const;
    // The working level's byte at (col, row), mark bit included.
    std::uint8_t cellvalue(int col, int row) const;
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

    // The interior cell last under the pointer, once there has been one.
    const std::optional<QPoint>& pointedcell() const { return pointedcell_; }
    // Keeps the interior cell under content position (x, y), if any.
    void notepointer(int x, int y);
    // Run when the pointer first passes over an interior cell.
    std::function<void()> pointed;

    // Run after a press started a stroke, and after a release ended one.
    std::function<void()> strokebegan;
    std::function<void()> strokeended;

private:
    EditorState& state_;
    ViewOptions view_;
    std::optional<QPoint> pointedcell_;
    std::vector<QRect> runs_; // putbuffer's changed cells, kept to spare a move an allocation
    QRect cellrect(int col, int row) const;
    void drawlines(QPainter& p, const QRect& grid) const;
};

} // namespace tess
