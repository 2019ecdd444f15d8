// SPDX-License-Identifier: MIT
#pragma once

// "Levelstatistik": how many cells of each tile the level holds, with the
// pictures and names, and the infotrons counted beside those needed. Opens
// window-modal without waiting.

#include "edit/tilecommands.h"

#include <QDialog>

class QGridLayout;
class QLabel;
class QScrollArea;

namespace tess {

class TileSet;

class LevelStats : public QDialog {
    Q_OBJECT
public:
    LevelStats(const TileSet& tiles, QWidget* parent);

    QLabel* Label1; // level number and title
    QLabel* Label2; // infotrons counted and needed

    // Shows the counts of one level (marked cells by their tile); counted is
    // the infotrons as the counter beside the field counts them, unmarked.
    void start(const TileCounts& counts, int counted, int number, const QString& title, int needed);
    // The count shown beside code's picture, or -1 when the code is not listed.
    int shown(int code) const;
    // The name shown beside code's picture and count; empty when not listed.
    QString shownname(int code) const;

private:
    const TileSet& tiles_;
    QScrollArea* scroll_;
    QWidget* table_;
    QGridLayout* grid_;
};

} // namespace tess
