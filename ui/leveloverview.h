// SPDX-License-Identifier: MIT
#pragma once

// The level overview: a window of its own showing the pack's 111 levels as
// thumbnails with their numbers and titles, the current level outlined. A
// click chooses a level, a drag onto another thumbnail moves the level to
// that slot (scrolling when held near the top or bottom edge), a right click
// asks for the level operations. From the keyboard the arrow keys move a
// focus frame, Return chooses the level in it and the menu key asks for its
// operations. The window only shows and reports; the main window decides
// what happens.

#include "level/levelformat.h"

#include <QScrollArea>
#include <QTimer>
#include <QWidget>

#include <functional>
#include <vector>

namespace tess {

class TileSet;
class LevelOverview;

// The thumbnails' paint surface inside the overview's scroll area.
class OverviewGrid : public QWidget {
    Q_OBJECT
public:
    explicit OverviewGrid(LevelOverview* overview);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    LevelOverview* overview_;
    int pressed_ = -1;  // the thumbnail a left press began on
    int target_ = -1;   // where a drag would drop it
    bool dragging_ = false;
    QPoint pressat_;
    QTimer autoscroll_; // while a drag is held near the top or bottom edge

    void settarget(int target);
    void scrollstep();
    friend class LevelOverview;
};

class LevelOverview : public QWidget {
    Q_OBJECT
public:
    // Thumbnails show each cell as its picture scaled down to cellsize pixels.
    static constexpr int cellsize = 3;
    static constexpr int thumbw = interiorcols * cellsize, thumbh = interiorrows * cellsize;

    LevelOverview(const TileSet& tiles, QWidget* parent);

    // Where the overview takes a slot's level from: its cells as the level
    // view would show them, and its title bytes.
    std::function<LevelRecord(int slot)> level;
    std::function<void(int slot)> chosen;
    std::function<void(int from, int to)> moved;
    std::function<void(int slot, QPoint globalpos)> menuasked;
    std::function<void(bool visible)> shown;

    // The current level, outlined; its old and new thumbnails are drawn anew.
    void setcurrent(int slot);
    // A slot's level changed: its thumbnail is drawn anew when next shown.
    void changed(int slot);
    void changedall();

    int slotat(QPoint gridpos) const; // -1 between or beyond the thumbnails
    QRect thumbrect(int slot) const;  // grid positions
    // In screen pixels, thumbw by thumbh times the pixel ratio; drawn first if
    // it changed or the overview moved to a screen of another ratio.
    const QImage& thumbnail(int slot);
    int columns() const { return cols_; }
    // The slot in the keyboard's focus frame; it follows the current level.
    int focusslot() const { return focus_; }
    void setfocusslot(int slot);

    OverviewGrid* grid;
    QScrollArea* scroll;

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    const TileSet& tiles_;
    // The pictures scaled down to a cell's size in screen pixels, per size (a
    // fractional pixel ratio makes cells alternate by a pixel): per code, the
    // unknown picture last, plain then inverted.
    std::vector<std::pair<QSize, std::vector<QImage>>> pictures_;
    qreal ratio_ = 1; // the screen pixel ratio the thumbnails are drawn at
    std::vector<QImage> thumbs_;
    std::vector<bool> stale_;
    int current_ = 0;
    int focus_ = 0;
    int cols_ = 1;
    bool placed_ = false;

    void relayout();
    void render(int slot);
    const QImage& cellpicture(int code, bool inverted, QSize size);
    friend class OverviewGrid;
};

} // namespace tess
