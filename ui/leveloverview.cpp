// SPDX-License-Identifier: MIT
#include "ui/leveloverview.h"

#include "edit/display.h"
#include "gui/devicepixels.h"
#include "gui/germantexts.h"
#include "gui/tileset.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPaintEvent>
#include <QScreen>
#include <QScrollBar>
#include <QVBoxLayout>

#include <algorithm>
#include <cstring>

namespace tess {

namespace {

constexpr int margin = 8, gapx = 12, gapy = 8, captionh = 14;
constexpr int pitchx = LevelOverview::thumbw + gapx;
constexpr int pitchy = LevelOverview::thumbh + captionh + gapy;
// A drag held this close to the top or bottom edge scrolls, faster nearer.
constexpr int scrollzone = 32;

} // namespace

OverviewGrid::OverviewGrid(LevelOverview* overview) : QWidget(overview), overview_(overview) {
    setObjectName(QStringLiteral("grid"));
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::StrongFocus);
    autoscroll_.setInterval(30);
    connect(&autoscroll_, &QTimer::timeout, this, &OverviewGrid::scrollstep);
}

void OverviewGrid::paintEvent(QPaintEvent* event) {
    QPainter p(this);
    p.fillRect(event->rect(), palette().window());
    const QFontMetrics fm(font());
    for (int slot = 0; slot < levelcount; ++slot) {
        const QRect r = overview_->thumbrect(slot);
        const QRect whole = r.adjusted(-3, -3, 3, captionh + 3);
        if (!event->region().intersects(whole)) continue;
        {
            const DevicePixels px(p);
            p.drawImage(px.x(r.left()), px.y(r.top()), overview_->thumbnail(slot));
        }
        const LevelRecord rec = overview_->level(slot);
        const QByteArray title(reinterpret_cast<const char*>(rec.data()) + off_title, titlelen);
        const QString caption = QStringLiteral("%1  %2").arg(slot + 1, 3, 10, QLatin1Char('0')).arg(QString::fromLatin1(title.constData()).trimmed());
        p.setPen(palette().windowText().color());
        p.drawText(QRect(r.left(), r.bottom() + 2, r.width(), captionh), Qt::AlignLeft | Qt::AlignVCenter,
                   fm.elidedText(caption, Qt::ElideRight, r.width()));
        p.setBrush(Qt::NoBrush);
        if (slot == overview_->current_) {
            p.setPen(QPen(QColor(255, 0, 0), 2));
            p.drawRect(r.adjusted(-2, -2, 1, 1));
        }
        if (dragging_ && slot == target_ && slot != pressed_) { // where the dragged level would go
            p.setPen(QPen(QColor(0, 0, 255), 2, Qt::DashLine));
            p.drawRect(r.adjusted(-3, -3, 2, 2));
        } else if (hasFocus() && slot == overview_->focus_) {
            p.setPen(QPen(palette().windowText().color(), 1, Qt::DotLine));
            p.drawRect(r.adjusted(-4, -4, 3, captionh + 3));
        }
    }
}

void OverviewGrid::mousePressEvent(QMouseEvent* event) {
    const int slot = overview_->slotat(event->position().toPoint());
    if (event->button() == Qt::RightButton && slot >= 0 && overview_->menuasked) {
        overview_->menuasked(slot, event->globalPosition().toPoint());
    } else if (event->button() == Qt::LeftButton) {
        pressed_ = slot;
        pressat_ = event->position().toPoint();
        dragging_ = false;
    }
}

void OverviewGrid::mouseMoveEvent(QMouseEvent* event) {
    if (pressed_ < 0 || !(event->buttons() & Qt::LeftButton)) return;
    const QPoint at = event->position().toPoint();
    if (!dragging_ && (at - pressat_).manhattanLength() < QApplication::startDragDistance()) return;
    dragging_ = true;
    if (!autoscroll_.isActive()) autoscroll_.start();
    settarget(overview_->slotat(at));
}

void OverviewGrid::settarget(int target) {
    if (target == target_) return;
    for (int s : {target_, target})
        if (s >= 0) update(overview_->thumbrect(s).adjusted(-3, -3, 3, 3));
    target_ = target;
}

// Scrolls while the dragging pointer is near or past the top or bottom edge
// of the visible part, and follows the pointer to its new target.
void OverviewGrid::scrollstep() {
    if (!dragging_ || !(QApplication::mouseButtons() & Qt::LeftButton)) {
        autoscroll_.stop();
        return;
    }
    QWidget* view = overview_->scroll->viewport();
    const int y = view->mapFromGlobal(QCursor::pos()).y();
    int step = 0;
    if (y < scrollzone) step = -(scrollzone - y);
    else if (y > view->height() - scrollzone) step = y - (view->height() - scrollzone);
    if (step == 0) return;
    step = step < 0 ? std::max(step / 2 - 1, -pitchy / 2) : std::min(step / 2 + 1, pitchy / 2);
    QScrollBar* bar = overview_->scroll->verticalScrollBar();
    bar->setValue(bar->value() + step);
    settarget(overview_->slotat(mapFromGlobal(QCursor::pos())));
}

void OverviewGrid::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton || pressed_ < 0) return;
    const int from = pressed_, to = overview_->slotat(event->position().toPoint());
    const bool dragged = dragging_;
    pressed_ = target_ = -1;
    dragging_ = false;
    autoscroll_.stop();
    update();
    if (dragged && to >= 0 && to != from && overview_->moved) overview_->moved(from, to);
    else if (!dragged && to == from && overview_->chosen) overview_->chosen(from);
}

void OverviewGrid::keyPressEvent(QKeyEvent* event) {
    const int focus = overview_->focus_, cols = overview_->cols_;
    int to = -1;
    switch (event->key()) {
    case Qt::Key_Left: to = focus - 1; break;
    case Qt::Key_Right: to = focus + 1; break;
    case Qt::Key_Up: to = focus - cols; break;
    case Qt::Key_Down: to = focus + cols; break;
    case Qt::Key_Home: to = 0; break;
    case Qt::Key_End: to = levelcount - 1; break;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (overview_->chosen) overview_->chosen(focus);
        return;
    default: QWidget::keyPressEvent(event); return;
    }
    if (to >= 0 && to < levelcount) overview_->setfocusslot(to);
}

// The menu key (or Shift+F10) asks for the operations of the focused level,
// the menu opening at its thumbnail; a right click has asked on its press.
void OverviewGrid::contextMenuEvent(QContextMenuEvent* event) {
    if (event->reason() != QContextMenuEvent::Keyboard || !overview_->menuasked) return;
    const QRect r = overview_->thumbrect(overview_->focus_);
    overview_->menuasked(overview_->focus_, mapToGlobal(r.center()));
}

// The focus frame shows only while the grid has the keyboard. Focus also
// leaves while the overview is being destroyed, so these touch nothing of it.
void OverviewGrid::focusInEvent(QFocusEvent* event) {
    QWidget::focusInEvent(event);
    update();
}

void OverviewGrid::focusOutEvent(QFocusEvent* event) {
    QWidget::focusOutEvent(event);
    update();
}

LevelOverview::LevelOverview(const TileSet& tiles, QWidget* parent)
    : QWidget(parent, Qt::Window), tiles_(tiles), thumbs_(levelcount), stale_(levelcount, true) {
    setObjectName(QStringLiteral("Levelbersicht"));
    setWindowTitle(captiontext("overviewcaption"));
    scroll = new QScrollArea(this);
    scroll->setFrameShape(QFrame::NoFrame);
    grid = new OverviewGrid(this);
    scroll->setWidget(grid);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(scroll);
    scroll->viewport()->installEventFilter(this);
    resize(2 * margin + 4 * pitchx + scroll->verticalScrollBar()->sizeHint().width(), 560);
}

void LevelOverview::setcurrent(int slot) {
    changed(current_);
    current_ = slot;
    changed(slot);
    setfocusslot(slot);
}

void LevelOverview::setfocusslot(int slot) {
    grid->update(thumbrect(focus_).adjusted(-4, -4, 4, captionh + 4));
    focus_ = slot;
    const QRect r = thumbrect(slot).adjusted(-4, -4, 4, captionh + 4);
    grid->update(r);
    scroll->ensureVisible(r.center().x(), r.center().y(), r.width() / 2 + margin, r.height() / 2 + margin);
}

void LevelOverview::changed(int slot) {
    stale_[static_cast<std::size_t>(slot)] = true;
    grid->update(thumbrect(slot).adjusted(-3, -3, 3, captionh + 3));
}

void LevelOverview::changedall() {
    std::fill(stale_.begin(), stale_.end(), true);
    grid->update();
}

QRect LevelOverview::thumbrect(int slot) const {
    return {margin + (slot % cols_) * pitchx, margin + (slot / cols_) * pitchy, thumbw, thumbh};
}

int LevelOverview::slotat(QPoint pos) const {
    if (pos.x() < margin || pos.y() < margin) return -1;
    const int col = (pos.x() - margin) / pitchx, row = (pos.y() - margin) / pitchy;
    const int slot = row * cols_ + col;
    if (col >= cols_ || slot >= levelcount) return -1;
    return thumbrect(slot).adjusted(0, 0, 0, captionh).contains(pos) ? slot : -1;
}

const QImage& LevelOverview::thumbnail(int slot) {
    const qreal ratio = grid->devicePixelRatioF();
    if (ratio != ratio_) {
        ratio_ = ratio;
        pictures_.clear();
        std::fill(stale_.begin(), stale_.end(), true);
    }
    if (stale_[static_cast<std::size_t>(slot)]) render(slot);
    return thumbs_[static_cast<std::size_t>(slot)];
}

// The pictures scaled down with smoothing, so that each cell shows its
// picture's colours and a level's shape reads at a glance.
const QImage& LevelOverview::cellpicture(int code, bool inverted, QSize size) {
    auto it = std::find_if(pictures_.begin(), pictures_.end(), [size](const auto& p) { return p.first == size; });
    if (it == pictures_.end()) {
        std::vector<QImage> pics;
        for (bool inv : {false, true})
            for (int c = 0; c <= tiles_.itemcount; ++c)
                pics.push_back(tiles_.picture(c, inv)
                                   .scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation)
                                   .convertToFormat(QImage::Format_RGB32));
        pictures_.emplace_back(size, std::move(pics));
        it = std::prev(pictures_.end());
    }
    const int unknown = tiles_.itemcount;
    return it->second[static_cast<std::size_t>(std::min(code, unknown) + (inverted ? unknown + 1 : 0))];
}

// Each cell's scaled picture copied row by row straight into the thumbnail;
// cell edges fall on whole screen pixels, so at a fractional ratio cells
// alternate by a pixel and meet without a seam.
void LevelOverview::render(int slot) {
    const LevelRecord rec = level(slot);
    const auto edge = [this](int cells) { return qRound(cells * cellsize * ratio_); };
    QImage& img = thumbs_[static_cast<std::size_t>(slot)];
    if (img.size() != QSize(edge(interiorcols), edge(interiorrows)))
        img = QImage(edge(interiorcols), edge(interiorrows), QImage::Format_RGB32);
    for (int row = firstrow; row <= lastrow; ++row) {
        const int top = edge(row - firstrow), height = edge(row - firstrow + 1) - top;
        for (int col = firstcol; col <= lastcol; ++col) {
            const int left = edge(col - firstcol), width = edge(col - firstcol + 1) - left;
            const CellLook look = celllook(notile, rec[cellindex(col, row)]);
            const QImage& pic = cellpicture(look.code, look.inverted, QSize(width, height));
            for (int y = 0; y < height; ++y)
                std::memcpy(img.scanLine(top + y) + left * 4, pic.constScanLine(y), static_cast<std::size_t>(width) * 4);
        }
    }
    stale_[static_cast<std::size_t>(slot)] = false;
}

void LevelOverview::relayout() {
    const int width = scroll->viewport()->width();
    cols_ = std::max(1, (width - 2 * margin + gapx) / pitchx);
    const int rows = (levelcount + cols_ - 1) / cols_;
    grid->resize(std::max(width, 2 * margin + cols_ * pitchx - gapx), 2 * margin + rows * pitchy - gapy);
    grid->update();
}

// Shown first beside the main window, where the screen has room; after
// that wherever the user put it.
void LevelOverview::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (!placed_ && parentWidget()) {
        placed_ = true;
        const QRect main = parentWidget()->frameGeometry();
        const QRect room = parentWidget()->screen()->availableGeometry();
        QPoint at(main.right() + 8, main.top());
        if (at.x() + width() > room.right()) at.setX(std::max(room.left(), room.right() - width()));
        move(at);
    }
    if (shown) shown(true);
}

void LevelOverview::hideEvent(QHideEvent* event) {
    QWidget::hideEvent(event);
    if (shown) shown(false);
}

// The columns follow the visible width.
bool LevelOverview::eventFilter(QObject* watched, QEvent* event) {
    if (watched == scroll->viewport() && event->type() == QEvent::Resize) relayout();
    return QWidget::eventFilter(watched, event);
}

} // namespace tess
