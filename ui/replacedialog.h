// SPDX-License-Identifier: MIT
#pragma once

// "Ersetzen": one tile by another in the marked cells, the level shown or
// all 111 levels. Shows how many cells will change before anything is done,
// and after a replace offers to take it back. Opens window-modal without
// waiting, so that the level cannot change while the count is shown.

#include "edit/tilecommands.h"

#include <QDialog>
#include <QRect>

#include <functional>

class QComboBox;
class QLabel;
class QPushButton;
class QRadioButton;

namespace tess {

class TileSet;

struct ReplaceCount {
    int cells = 0;
    int levels = 0;  // levels with changed cells
    int skipped = 0; // levels left alone for the switch limit
};

class ReplaceDialog : public QDialog {
    Q_OBJECT
public:
    ReplaceDialog(const TileSet& tiles, QWidget* parent);

    QComboBox* ComboBox1; // the tile to find
    QComboBox* ComboBox2; // the tile to put in its place; none chosen at first
    QRadioButton* RadioButton1; // marked cells
    QRadioButton* RadioButton2; // this level
    QRadioButton* RadioButton3; // all 111 levels
    QLabel* Label1;       // what a replace would change, or what it changed
    QPushButton* Button1; // "Ersetzen"
    QPushButton* Button2; // "Rückgängig"
    QPushButton* Button3; // "Schließen"

    std::function<ReplaceCount(std::uint8_t from, std::uint8_t to, ReplaceScope)> count;
    std::function<ReplaceCount(std::uint8_t from, std::uint8_t to, ReplaceScope)> replace;
    std::function<bool()> undo; // false when the replace can no longer be taken back

    // Opens with the tile to find chosen and none yet to put in its place,
    // the marks as scope when there are any. keepclear is the marks' screen
    // rectangle, which the dialog does not cover; empty for the usual place.
    void start(int from, bool anymarked, const QRect& keepclear = {});
    ReplaceScope scope() const;
    // Counts again for the choices shown.
    void recount();

private:
    void placebeside(const QRect& keepclear);
    void run();
    void takeback();
};

// "12 Felder", "1 Feld"; "in 3 Leveln" for the pack.
QString replacetext(const ReplaceCount& n, ReplaceScope scope);

} // namespace tess
