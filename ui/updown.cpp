// SPDX-License-Identifier: MIT
#include "ui/updown.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QToolButton>
#include <QVBoxLayout>

namespace tess {

namespace {

constexpr int repeatdelay = 400;
constexpr int repeatinterval = 60;

} // namespace

TUpDown::TUpDown(QLineEdit* associate, int min, int max, QWidget* parent)
    : QWidget(parent), edit_(associate), min_(min), max_(max), position_(min) {
    setFocusPolicy(Qt::NoFocus);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    // The arrows repeat by the spinner's own timer, not the buttons' auto-repeat,
    // so that a step can stop the repeat before it asks anything.
    auto makebutton = [this, layout](Qt::ArrowType arrow, const char* name) {
        auto* b = new QToolButton(this);
        b->setObjectName(QString::fromLatin1(name));
        b->setArrowType(arrow);
        b->setFocusPolicy(Qt::NoFocus);
        b->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
        b->setIconSize(QSize(7, 7));
        connect(b, &QToolButton::pressed, this, [this, b] { arrowpressed(b); });
        connect(b, &QToolButton::released, this, [this] {
            held_ = nullptr;
            repeat_.stop();
        });
        layout->addWidget(b);
        return b;
    };
    up_ = makebutton(Qt::UpArrow, "up");
    down_ = makebutton(Qt::DownArrow, "down");
    repeat_.setSingleShot(true);
    connect(&repeat_, &QTimer::timeout, this, &TUpDown::repeatstep);
    edit_->setText(QString::number(position_));
    edit_->installEventFilter(this);
}

int TUpDown::position() { return position_ = value(); }

int TUpDown::value() const {
    bool ok = false;
    const int v = edit_->text().trimmed().toInt(&ok);
    return ok && v >= min_ && v <= max_ ? v : position_;
}

void TUpDown::setposition(int value) {
    position_ = value;
    edit_->setText(QString::number(value));
}

void TUpDown::step(int delta) {
    if (stepping_) return;
    const int to = position() + delta;
    if (to < min_ || to > max_) return;
    // Nothing repeats while the step runs; the arrow's press starts it again
    // if the step neither asked nor showed anything.
    repeat_.stop();
    stepping_ = true;
    const bool allowed = !changing || changing(to);
    stepping_ = false;
    if (allowed) setposition(to);
}

void TUpDown::endpress() {
    repeat_.stop();
    skipkeyrepeats_ = true;
    QToolButton* arrow = held_;
    held_ = nullptr;
    if (arrow && arrow->isDown()) {
        // A release away from the arrow ends its press for good: moving the
        // still-held mouse back over it presses nothing.
        QMouseEvent release(QEvent::MouseButtonRelease, QPointF(-1, -1), arrow->mapToGlobal(QPointF(-1, -1)),
                            Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
        QCoreApplication::sendEvent(arrow, &release);
    }
}

void TUpDown::arrowpressed(QToolButton* arrow) {
    held_ = arrow;
    step(arrow == up_ ? +1 : -1);
    if (held_ == arrow) repeat_.start(repeatdelay);
}

void TUpDown::repeatstep() {
    QToolButton* arrow = held_;
    if (!arrow || !arrow->isDown()) return;
    step(arrow == up_ ? +1 : -1);
    if (held_ == arrow) repeat_.start(repeatinterval);
}

bool TUpDown::eventFilter(QObject* watched, QEvent* event) {
    if (watched == edit_ && event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Up || key->key() == Qt::Key_Down) {
            // After a step that asked something, a still-held key repeats
            // nothing until it is pressed again.
            if (!key->isAutoRepeat()) skipkeyrepeats_ = false;
            if (!skipkeyrepeats_) step(key->key() == Qt::Key_Up ? +1 : -1);
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

} // namespace tess
