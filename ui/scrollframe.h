// SPDX-License-Identifier: MIT
#pragma once

#include <QPalette>
#include <QScrollArea>
#include <QScrollBar>

namespace tess {

// A frame that scrolls its paint surface: black behind it, no border, scroll
// bars that move the content while their thumb is dragged, and a surface that
// covers the larger of its minimum size and the visible area. Neither the
// frame nor anything in it takes the keyboard focus, so a click in it leaves
// the focus in the property field where it was.
inline void makescrollframe(QScrollArea* frame, QWidget* surface) {
    for (QWidget* w : {static_cast<QWidget*>(frame), frame->viewport(), surface,
                       static_cast<QWidget*>(frame->horizontalScrollBar()),
                       static_cast<QWidget*>(frame->verticalScrollBar())})
        w->setFocusPolicy(Qt::NoFocus);
    frame->setFrameShape(QFrame::NoFrame);
    QPalette pal = frame->palette();
    pal.setColor(QPalette::Window, Qt::black);
    frame->setPalette(pal);
    frame->viewport()->setPalette(pal);
    frame->viewport()->setAutoFillBackground(true);
    frame->horizontalScrollBar()->setTracking(true);
    frame->verticalScrollBar()->setTracking(true);
    frame->setWidgetResizable(true);
    frame->setWidget(surface);
}

} // namespace tess
