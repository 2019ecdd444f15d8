// SPDX-License-Identifier: MIT
#pragma once

// A spinner bound to a text field: its arrow buttons and the Up and Down keys
// in the field step the number by one, starting from the number the field
// shows. A number typed into the field within the range becomes its position
// when the number is read (a step, or position()), not while it is typed.
// It never wraps and takes no focus.

#include <QTimer>
#include <QWidget>

#include <functional>

class QLineEdit;
class QToolButton;

namespace tess {

class TUpDown : public QWidget {
    Q_OBJECT
public:
    TUpDown(QLineEdit* associate, int min, int max, QWidget* parent);

    // The field's number when it holds one within range (which the spinner
    // then takes over), else the last position.
    int position();
    // What position() would give, taking nothing over: for a look at the
    // field that must not change what a later read gives.
    int value() const;
    // Sets the position and shows it in the field.
    void setposition(int value);
    int minimum() const { return min_; }
    int maximum() const { return max_; }

    // Steps by delta from position(). A step past either end does nothing, and
    // a step asked for while another one runs (its question is open) is dropped.
    void step(int delta);

    // Ends a held arrow or key: stops the auto-repeat and releases the arrow,
    // and ignores the key's repeats until it is pressed anew. Run before
    // anything modal, so that a held arrow cannot stack dialogs.
    void endpress();

    // Asked before the position changes to a new value; false refuses it.
    std::function<bool(int)> changing;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QLineEdit* edit_;
    QToolButton* up_;
    QToolButton* down_;
    QTimer repeat_;
    QToolButton* held_ = nullptr; // the arrow whose press is repeating
    int min_, max_;
    int position_;
    bool stepping_ = false;
    bool skipkeyrepeats_ = false;

    void arrowpressed(QToolButton* arrow);
    void repeatstep();
};

} // namespace tess
