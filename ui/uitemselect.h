// SPDX-License-Identifier: MIT
#pragma once

// The tile palette: every tile picture at 1.5-tile pitch in a vertically
// scrolling grid. Left and middle clicks choose leftitem, right clicks
// rightitem; the chosen pictures are outlined red and blue.

#include <QScrollArea>

namespace tess {

struct EditorState;
class Titemselect;

class PalettePaintBox : public QWidget {
    Q_OBJECT
public:
    explicit PalettePaintBox(Titemselect* palette);

protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    Titemselect* palette_;
};

class Titemselect : public QScrollArea {
    Q_OBJECT
public:
    Titemselect(EditorState& state, QWidget* parent = nullptr);

    PalettePaintBox* PaintBox1;
    int rows = 0;
    int cols = 1;

    // Columns from the frame's full width, rows and the content height from
    // the tile size. At least one column, however narrow the frame.
    void calcrowscols();
    void PaintBox1Paint(QPainter& p);
    // Chooses the picture under content position (x, y); repaints the palette
    // at once when a choice changes.
    void PaintBox1MouseDown(Qt::MouseButton button, int x, int y);
    // The code whose picture owns content position (x, y), or -1.
    int itemat(int x, int y) const;

    int contentheight() const { return contentheight_; }

private:
    EditorState& state_;
    int contentheight_ = 0;
};

} // namespace tess
