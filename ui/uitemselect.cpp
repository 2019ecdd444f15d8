// SPDX-License-Identifier: MIT
#include "ui/uitemselect.h"

#include "gui/devicepixels.h"
#include "level/tilenames.h"
#include "ui/editorstate.h"
#include "ui/scrollframe.h"

#include <QMouseEvent>
#include <QPainter>
#include <QToolTip>

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

// The picture under the pointer names its code and what it shows.
bool PalettePaintBox::event(QEvent* event) {
    if (event->type() != QEvent::ToolTip) return QWidget::event(event);
    const auto* help = static_cast<QHelpEvent*>(event);
    const int code = palette_->itemat(help->pos().x(), help->pos().y());
    if (code < 0) {
        QToolTip::hideText();
        event->ignore();
    } else {
        QToolTip::showText(help->globalPos(), QString::fromStdString(tilelabel(code)), this);
    }
    return true;
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
    const DevicePixels px(p);
    // One pixel of an outline is a whole number of screen pixels, so the two
    // rings and the gap inside them keep one width on every side at any ratio.
    const int u = std::max(1, qRound(px.ratio()));
    // An outline one pixel wide around picture rectangle pic grown by d pixels
    // on every side, filled black.
    auto rectangle = [&p, u](const QRect& pic, int d, QColor pen) {
        const QRect box = pic.adjusted(-d * u, -d * u, d * u, d * u);
        p.fillRect(box, pen);
        p.fillRect(box.adjusted(u, u, -u, -u), Qt::black);
    };
    const QColor red(255, 0, 0), blue(0, 0, 255);
    for (int i = 0; i < tiles.itemcount; ++i) {
        const QRect pic = px.rect(QRect(tw / 2 + pw * (i % cols), tw / 2 + ph * (i / cols), tw, th));
        if (i == state_.rightitem) rectangle(pic, 3, blue);
        if (i == state_.leftitem) {
            rectangle(pic, 3, red);
            rectangle(pic, 2, red);
        }
        if (i == state_.rightitem) rectangle(pic, 2, blue);
        tiles.drawtile(p, pic, i, false);
    }
}

int Titemselect::itemat(int x, int y) const {
    const int tw = state_.tiles.tilew, th = state_.tiles.tileh;
    const int hw = tw / 2, hh = th / 2, pw = (3 * tw) / 2, ph = (3 * th) / 2;
    if (x < hw || x >= hw + pw * cols || y < hh || y >= hh + ph * rows) return -1;
    const int idx = ((y - hh) / ph) * cols + (x - hw) / pw;
    return idx > state_.tiles.itemcount - 1 ? -1 : idx;
}

void Titemselect::PaintBox1MouseDown(Qt::MouseButton button, int x, int y) {
    const int idx = itemat(x, y);
    if (idx < 0) return;
    int* choice = nullptr;
    if (button == Qt::RightButton) choice = &state_.rightitem;
    else if (button == Qt::LeftButton || button == Qt::MiddleButton) choice = &state_.leftitem;
    if (!choice || *choice == idx) return;
    *choice = idx;
    PaintBox1->repaint();
}

} // namespace tess
