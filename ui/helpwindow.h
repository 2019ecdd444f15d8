// SPDX-License-Identifier: MIT
#pragma once

// The guide: a short window on how to edit a level, with the names of the
// tiles, beside the main window; it stays open while the user works.

#include <QWidget>

class QPushButton;
class QTextBrowser;

namespace tess {

class HelpWindow : public QWidget {
    Q_OBJECT
public:
    explicit HelpWindow(QWidget* parent);

    QTextBrowser* text;
    QPushButton* closebutton; // "Schließen"

    // The guide as Markdown, as the desktop shows it: its text, then a table
    // of the tile names.
    static QString guidemarkdown();
};

} // namespace tess
