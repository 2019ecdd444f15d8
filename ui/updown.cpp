// SPDX-License-Identifier: MIT
#include "ui/updown.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QToolButton>
#include <QVBoxLayout>

namespace tess {

TUpDown::TUpDown(QLineEdit* associate, int min, int max, QWidget* parent)
    : QWidget(parent), edit_(associate), min_(min), max_(max), position_(min) {
    setFocusPolicy(Qt::NoFocus);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    auto makebutton = [this, layout](Qt::ArrowType arrow, int delta) {
        auto* b = new QToolButton(this);
        b->setArrowType(arrow);
        b->setFocusPolicy(Qt::NoFocus);
        b->setAutoRepeat(true);
        b->setAutoRepeatDelay(400);
        b->setAutoRepeatInterval(60);
        b->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
        b->setIconSize(QSize(7, 7));
        connect(b, &QToolButton::clicked, this, [this, delta] { step(delta); });
        layout->addWidget(b);
        return b;
    };
    up_ = makebutton(Qt::UpArrow, +1);
    down_ = makebutton(Qt::DownArrow, -1);
    up_->setObjectName(QStringLiteral("up"));
    down_->setObjectName(QStringLiteral("down"));
    edit_->setText(QString::number(position_));
    edit_->installEventFilter(this);
    connect(edit_, &QLineEdit::textChanged, this, [this] {
        int v;
        if (fieldnumber(v)) position_ = v;
    });
}

bool TUpDown::fieldnumber(int& value) const {
    bool ok = false;
    const int v = edit_->text().trimmed().toInt(&ok);
    if (!ok || v < min_ || v > max_) return false;
    value = v;
    return true;
}

void TUpDown::step(int delta) {
    int from = position_;
    fieldnumber(from);
    const int to = from + delta;
    if (to < min_ || to > max_) return;
    if (changing && !changing(to)) return;
    position_ = to;
    edit_->setText(QString::number(to));
}

bool TUpDown::eventFilter(QObject* watched, QEvent* event) {
    if (watched == edit_ && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Up || key == Qt::Key_Down) {
            step(key == Qt::Key_Up ? +1 : -1);
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

} // namespace tess
