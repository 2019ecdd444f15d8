// SPDX-License-Identifier: MIT
#pragma once

// A spinner bound to a text field: its arrow buttons and the Up and Down keys
// in the field step the number by one, starting from the number the field
// shows. A number typed into the field within the range becomes its position.
// It never wraps and takes no focus.

#include <QWidget>

#include <functional>

class QLineEdit;
class QToolButton;

namespace tess {

class TUpDown : public QWidget {
    Q_OBJECT
public:
    TUpDown(QLineEdit* associate, int min, int max, QWidget* parent);

    int position() const { return position_; }
    int minimum() const { return min_; }
    int maximum() const { return max_; }

    // Steps by delta from the field's number (or the position, when the field
    // holds no number within range). A step past either end does nothing.
    void step(int delta);

    // Asked before the position changes to a new value; false refuses it.
    std::function<bool(int)> changing;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QLineEdit* edit_;
    QToolButton* up_;
    QToolButton* down_;
    int min_, max_;
    int position_;
    bool fieldnumber(int& value) const;
};

} // namespace tess
