// SPDX-License-Identifier: MIT
#pragma once

// The main window: the level view on the left; on the right the property
// fields, the tool bar and the palette; the "Datei" and "Bearbeiten" menus.
// Each level keeps an undo history while the pack is open, and the window
// asks before it drops a pack that saving would now write differently.

#include "edit/cellchange.h"
#include "level/levelstore.h"
#include "ui/dialogs.h"
#include "document/packdocument.h"

#include <QMainWindow>

#include <functional>
#include <memory>
#include <optional>
#include <vector>

class QAction;
class QCheckBox;
class QFrame;
class QLabel;
class QLineEdit;
class QMenu;
class QTimer;
class QToolButton;

namespace tess {

struct EditorState;
class Tlevedit;
class Titemselect;
class TUpDown;
class LevelOverview;
class HelpWindow;
class ReplaceDialog;
class LevelStats;
struct EditExtras;
struct CommandExtras;
struct EditorSettings;
class CommandRunner;
struct ReplaceCount;

class TForm1 : public QMainWindow {
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
    QAction* Rckgngig1;
    QAction* Wiederherstellen1;
    QAction* NeuesLevelpack1;
    QAction* Levelpackladen1;
    QAction* Speichern1;
    QAction* Levelpackspeichern1;
    QAction* LevelnachTiledexportieren1;
    QAction* LevelausTiledimportieren1;
    QAction* Beenden1;
    QAction* Kopieren1;
    QAction* Einfgen1;
    QAction* Lschen2;
    QAction* Lschen1;
    QMenu* Level1;
    QAction* Levelkopieren1;
    QAction* Leveleinfgen1;
    QAction* Levelleeren1;
    QAction* Levelnachvorne1;
    QAction* Levelnachhinten1;
    QAction* Levelbersicht1;
    // Marks by tile and region, fill, replace, mirror, tile counts (ueditcommands.cpp).
    QAction* GleicheFeldermarkieren1;
    QAction* Zusammenhngendemarkieren1;
    QAction* Allesmarkieren1;
    QAction* Markierungfllen1;
    QAction* Ersetzen1;
    QAction* Markierunglinksrechtsspiegeln1;
    QAction* Markierungobenuntenspiegeln1;
    QAction* Levelstatistik1;
    QAction* Ersetzenrckgngig1;
    LevelOverview* overview;
    // Ansicht and Hilfe (uviewhelp.cpp).
    QMenu* Ansicht1;
    QAction* Levelrand1;
    QAction* Gitter1;
    QMenu* Hilfe1;
    QAction* Kurzanleitung1;
    QAction* berTessaronLevelEditor1;
    HelpWindow* guide = nullptr; // made when first shown
    // "Testen" and "Zuletzt geöffnet" (utestcommands.cpp).
    QMenu* Testen1;
    QMenu* Zuletztgeffnet1;
    QAction* Ausgabeanzeigen1;
    QAction* Befehlebearbeiten1;

    // The last file chosen in each dialog, offered the next time it opens.
    // The level list's dialog offers the pack's name instead.
    QString OpenDialog1FileName;
    QString SaveDialog1FileName;
    QString MapDialogFileName; // the last Tiled map exported or imported

    // Event handlers.
    bool UpDown1ChangingEx(int newvalue);
    void ToolButton1Click();
    void ToolButton2Click();
    void ToolButton4Click();
    void ToolButton5Click();
    void NeuesLevelpack1Click();
    void Levelpackladen1Click();
    void Speichern1Click();
    void Levelpackspeichern1Click();
    void LevelnachTiledexportieren1Click();
    void LevelausTiledimportieren1Click();
    void Rckgngig1Click();
    void Wiederherstellen1Click();
    void Kopieren1Click();
    void Einfgen1Click();
    void Lschen2Click();
    void Lschen1Click();
    void Levelkopieren1Click();
    void Leveleinfgen1Click();
    void Levelleeren1Click();
    void Levelnachvorne1Click();
    void Levelnachhinten1Click();
    void GleicheFeldermarkieren1Click();
    void Zusammenhngendemarkieren1Click();
    void Allesmarkieren1Click();
    void Markierungfllen1Click();
    void Ersetzen1Click();
    // The replace dialog, made when first needed: a start does no more than
    // the first frame needs.
    ReplaceDialog& replacer();
    void Markierunglinksrechtsspiegeln1Click();
    void Markierungobenuntenspiegeln1Click();
    void Levelstatistik1Click();
    void Ersetzenrckgngig1Click();
    void Levelrand1Click();
    void Gitter1Click();
    void Kurzanleitung1Click();
    void berTessaronLevelEditor1Click();
    void Befehlebearbeiten1Click();
    // Runs the command at index of the "Testen" menu on the pack.
    void runcommand(int index);
    // Opens a pack of the recent list, asking first about unsaved work.
    void openrecent(const QString& path);
    // Reads commands, recent packs, the dialogs' folder and the view options
    // from file (the user's settings file when empty) and remembers their
    // changes there from now on; until then nothing is read or written.
    void usesettings(const QString& file = {});
    EditorSettings& settings() const;
    CommandRunner& runner();

    // Index of the tool picture a tool bar button shows.
    static int picture(const QToolButton* button);

    // Loads the pack file at path as the load command does once its dialog
    // is answered: an error box when the file cannot be read. Asks nothing.
    bool openpack(const QString& path);
    // The pack as saving would write it now; asks nothing and changes nothing.
    LevelPack packtosave() const;
    // True when saving would now write other bytes than it would have right
    // after the last load, save or new pack.
    bool packchanged() const;
    const History& history();
    PackDocument& document();
    // Starts the recovery journal in folder (the user's data folder when
    // empty) and offers what editors that died left there, before anything
    // else. Then the journal follows every change until the pack is saved.
    void startrecovery(const QString& folder = {});
    // Opens the pack named on the command line, asking first when a
    // recovered pack would be dropped.
    bool opencommandline(const QString& path);

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    std::unique_ptr<EditorState> state_;
    QtDialogs qtdialogs_;
    ModalGate dialogs_; // every dialog passes here
    bool levelbusy_ = false; // a handler that stores or selects a level is running
    QLabel* recoverynotice_ = nullptr;   // in the status bar, once recovery is off
    QLabel* packstate_ = nullptr;        // in the status bar: the pack's file and its unsaved state
    QTimer* packstatetimer_ = nullptr;
    // The status bar (ustatusline.cpp): says for a while what a command did,
    // and shows the pack's file name and whether it has unsaved changes.
    void buildstatusline();
    void say(const QString& text);
    void showpackstate();
    PackDocument& doc() const;
    bool levelkeys_ = false;             // the editing keys act on the level, not on a field's text
    // The desktop's clipboard (uclipboard.cpp). What this window put there
    // last and what it last took over from another window, each named by
    // the putting window's id and a serial number.
    QString clipwindow_, lastput_, taken_;
    int clipserial_ = 0;
    // What the desktop's clipboard held when it last changed, read once
    // then: another window's cells or level, the window that put them, and
    // whether the program owning the clipboard failed to answer.
    struct DesktopClip {
        bool read = false;
        bool noanswer = false;
        std::optional<Layer> cells;
        std::optional<LevelRecord> level;
        QString origin;
    } desktopclip_;
    void buildclipboard();
    void putonclipboard(const QString& format, const std::vector<std::uint8_t>& bytes, const std::string& text);
    void putcells();
    void putlevel(const LevelRecord& record);
    // Reads the desktop's clipboard into desktopclip_; the one place that
    // asks another program for it, once after each change.
    void readclipboard();
    // True when the block read there came from another window and has not
    // been taken over yet.
    bool foreignblock() const;
    // Take another window's cells or level into the editor's own clipboard;
    // false when the desktop's clipboard holds none not yet taken. Says so
    // in the status bar when its owner did not answer.
    bool takeforeigncells();
    bool takeforeignlevel();
    // Greys out "Einfügen" and "Level einfügen" when they have nothing to
    // paste, from what is known without asking the clipboard's owner.
    void updatepaste();
    std::vector<QIcon> tools_;
    bool sized_ = false;
    std::unique_ptr<EditExtras> extras_; // the replace dialog, the statistics, the last pack replace
    std::unique_ptr<CommandExtras> commands_; // settings, the command runner

    // Adds "Zuletzt geöffnet" to "Datei" and the "Testen" menu.
    void buildtestmenus();
    void showtestmenu();
    void showrecent();
    void fileused(const QString& file);
    // Applies edit to what the settings file holds now and stores it, then
    // shows the file's commands and recent packs; without a usable file,
    // edit changes only what this window remembers.
    void changesettings(const std::function<void(EditorSettings&)>& edit);
    // Where a file dialog starts: name when it lies in the folder of the
    // pack last loaded or saved, else that folder.
    QString dialogstart(const QString& name) const;
    QString mapfolder() const;

    // Adds the marking, fill, replace and mirror items and the statistics.
    void buildeditmenus();
    // The Ansicht menu with the options as last remembered, and the Hilfe
    // menu with the guide; the keys of the undo and level items also from
    // the overview window.
    void buildviewmenu();
    void buildhelpmenu();
    // Writes the pack to its own file without asking; the save command when
    // it has none yet. False when nothing was written.
    bool quicksave();
    void overviewkeys();
    // Runs a command on the working level's cells as one step.
    template <class F> void celledit(F&& command);

    void FormCreate();
    void buildlayout();
    void buildmenus();
    void setpicture(QToolButton* button, int index);
    void zoomto(int tilew);
    void newpack();
    void loadpack();
    // Stores the level back and writes the pack; false when nothing was written.
    bool savepack();
    // Asks before unsaved work is dropped; false when the user keeps it.
    bool maybesave();
    // Asks before saving onto the pack's own file when another program
    // changed it since it was last loaded or saved; false when declined.
    bool overwriteok(const QString& file);
    // Says, once, in the status bar that recovery is off and why.
    void showrecoveryoff(const QString& why);
    void exportmap();
    void importmap();
    // Stores the level back and selects slot, as the level spinner does;
    // false when the user declined.
    bool gotolevel(int slot);
    // Return in the level field: goes to the typed level as the spinner
    // would, then shows the shown level's number, selected for retyping.
    void Edit1ReturnPressed();
    // Shows the number of the level on screen in the level field.
    void showlevelnumber();
    // The level operations on the current level, each stored back first.
    void copylevel();
    void pastelevel();
    void clearlevel();
    // The level as the overview shows it: the working copy for the current one.
    LevelRecord shownlevel(int slot) const;
    void buildoverview();
    void updateundo();
    void showcounter();
    // Shows what a command changed: the level, its fields, the overview.
    void showchange(const SessionChange& what);
    // The property fields show the session's, and pass the user's edits in;
    // a title the user did not edit stays as its bytes are.
    void showfields();
    void passfields(bool titleedited);
    bool showingfields_ = false; // the fields are being set from the session
    bool passingfields_ = false; // the session hears the fields' own edit
    // Runs a handler that stores or selects a level, unless one already runs.
    template <class F> void exclusive(F&& handler) {
        if (levelbusy_) return;
        levelbusy_ = true;
        handler();
        levelbusy_ = false;
    }
    // The same for the level menu, the overview and maps, whose switch-limit
    // questions say which level they are about: the one shown may not be
    // the one the user is looking at.
    template <class F> void levelcommand(F&& handler) {
        namedquestions_ = true;
        exclusive(handler);
        namedquestions_ = false;
    }
    bool namedquestions_ = false;

    // The yes/no question a store-back asks, naming the level for the
    // level commands.
    bool askyesno(const std::string& text);
};

} // namespace tess
