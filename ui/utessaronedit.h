// SPDX-License-Identifier: MIT
#pragma once

// The main window: the level view on the left; on the right the property
// fields, the tool bar and the palette; the "Datei" and "Bearbeiten" menus.

#include "level/levelstore.h"
#include "ui/dialogs.h"

#include <QMainWindow>

#include <memory>
#include <vector>

class QAction;
class QCheckBox;
class QFrame;
class QLabel;
class QLineEdit;
class QMenu;
class QToolButton;

namespace tess {

struct EditorState;
class Tlevedit;
class Titemselect;
class TUpDown;

class TForm1 : public QMainWindow, private LevelHost {
    Q_OBJECT
public:
    explicit TForm1(QWidget* parent = nullptr);
    ~TForm1() override;

    // Where the file dialogs and message boxes come from; nullptr restores
    // the standard ones. Not owned.
    void setdialogs(Dialogs* dialogs);
    EditorState& state() { return *state_; }

    // Panels and controls, named as in the window's layout.
    QWidget* Panel1;
    QFrame* Panel2;
    QFrame* Panel3;
    QFrame* Panel4;
    QFrame* Panel5;
    QLabel* Label1;
    QLineEdit* Edit1;
    TUpDown* UpDown1;
    QLabel* Label2;
    QLineEdit* Edit2;
    QLabel* Label3;
    QLineEdit* Edit3;
    TUpDown* UpDown2;
    QLabel* Label4;
    QCheckBox* CheckBox1;
    QWidget* ToolBar1;
    QToolButton* ToolButton1;
    QToolButton* ToolButton2;
    QToolButton* ToolButton4;
    QToolButton* ToolButton5;
    Tlevedit* levedit1;
    Titemselect* itemselect1;
    QMenu* Datei1;
    QMenu* Bearbeiten1;
    QAction* NeuesLevelpack1;
    QAction* Levelpackladen1;
    QAction* Levelpackspeichern1;
    QAction* Beenden1;
    QAction* Kopieren1;
    QAction* Einfgen1;
    QAction* Lschen2;
    QAction* Lschen1;

    // The last file chosen in each dialog, offered the next time it opens.
    QString OpenDialog1FileName;
    QString SaveDialog1FileName;

    // Event handlers.
    bool UpDown1ChangingEx(int newvalue);
    void ToolButton1Click();
    void ToolButton2Click();
    void ToolButton4Click();
    void ToolButton5Click();
    void NeuesLevelpack1Click();
    void Levelpackladen1Click();
    void Levelpackspeichern1Click();
    void Kopieren1Click();
    void Einfgen1Click();
    void Lschen2Click();
    void Lschen1Click();

    // Index of the tool picture a tool bar button shows.
    static int picture(const QToolButton* button);

protected:
    void showEvent(QShowEvent* event) override;

private:
    std::unique_ptr<EditorState> state_;
    QtDialogs qtdialogs_;
    ModalGate dialogs_; // every dialog passes here
    bool levelbusy_ = false; // a handler that stores or selects a level is running
    std::vector<QIcon> tools_;
    bool sized_ = false;

    void FormCreate();
    void buildlayout();
    void buildmenus();
    void setpicture(QToolButton* button, int index);
    void zoomto(int tilew);
    void newpack();
    void loadpack();
    // Stores the level back and writes the pack; false when nothing was written.
    bool savepack();
    // Runs a handler that stores or selects a level, unless one already runs.
    template <class F> void exclusive(F&& handler);

    // The property fields, as the pack store sees them.
    void setlevelnumber(int number) override;
    void settitle(const std::string& latin1) override;
    std::string title() const override;
    void setinfotronsneeded(int value) override;
    std::int16_t infotronsneeded() const override;
    void setcounter(const std::string& text) override;
    void setgravity(bool on) override;
    bool gravity() const override;
    bool askyesno(const std::string& text) override;
    void repaintlevel() override;
};

} // namespace tess
