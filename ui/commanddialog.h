// SPDX-License-Identifier: MIT
#pragma once

// "Befehle bearbeiten": the list of commands of the "Testen" menu, and for
// the one chosen its name, program, arguments, working folder, shortcut and
// whether the pack is saved first.

#include "document/editorsettings.h"

#include <QDialog>

#include <functional>

class QCheckBox;
class QKeySequenceEdit;
class QLineEdit;
class QListWidget;
class QPushButton;

namespace tess {

class CommandDialog : public QDialog {
    Q_OBJECT
public:
    CommandDialog(const QList<TestCommand>& commands, QWidget* parent);
    // The commands as edited; those without a program are left out.
    QList<TestCommand> commands();

    QListWidget* list;
    QLineEdit* name;
    QLineEdit* program;
    QPushButton* browse; // "Durchsuchen...": a file dialog for the program
    QLineEdit* arguments;
    QLineEdit* folder;
    QKeySequenceEdit* shortcut;
    QCheckBox* savefirst;
    QPushButton* add;
    QPushButton* remove;
    QPushButton* up;
    QPushButton* down;
    // Asks for the program, starting at the one in the field; empty when
    // cancelled. A file dialog; tests answer in its place.
    std::function<QString(const QString& current)> chooseprogram;

private:
    QList<TestCommand> commands_;
    int shown_ = -1;
    void showcommand(int row); // stores the fields of the command shown, then shows row
    void store();
    void move(int by);
};

} // namespace tess
