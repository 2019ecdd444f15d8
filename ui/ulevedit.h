// SPDX-License-Identifier: MIT
#pragma once

// The level view: the 58 by 22 interior of the working level at the current
// tile size, with the stroke in progress laid over it and marked cells
// inverted, in a scroll area. Mouse strokes are made on its paint surface.

#include "edit/stroke.h"

#include <QImage>
#include <QScrollArea>

#include <functional>

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
    // Draws every interior cell and shows the result at once.
    void PaintBox1Paint();
    // Draws at once the interior cells whose overlay byte differs from their
    // screenbuf byte, taking the overlay byte into screenbuf.
    void putbuffer();

    // Pixel positions are content positions; they may lie outside the content.
    void PaintBox1MouseDown(Button button, bool ctrl, int x, int y);
    void PaintBox1MouseMove(int x, int y);
    void PaintBox1MouseUp();

    // Run after a release ended a stroke (the main window shows the count).
    std::function<void()> strokeended;

    // The drawn grid, content-sized; right of and below it the surface is black.
    const QImage& drawing() const { return drawing_; }

private:
    EditorState& state_;
    QImage drawing_;
};

} // namespace tess
