// SPDX-License-Identifier: MIT
#include "ui/utessaronedit.h"

#include "edit/commands.h"
#include "edit/userinput.h"
#include "gui/germantexts.h"
#include "level/accesskeys.h"
#include "level/captions.h"
#include "ui/editorstate.h"
#include "ui/ueditcommands.h"
#include "ui/leveloverview.h"
#include "ui/pixelicon.h"
#include "ui/runcommands.h"
#include "ui/uitemselect.h"
#include "ui/ulevedit.h"
#include "ui/updown.h"

#include <QAction>
#include <QCheckBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>

namespace tess {

namespace {

constexpr int sidewidth = 136;
constexpr int palettewidth = 130;

QFrame* makepanel(const char* name, QWidget* parent, int style) {
    auto* panel = new QFrame(parent);
    panel->setObjectName(QString::fromLatin1(name));
    panel->setFrameStyle(style);
    return panel;
}

template <class W> W* placed(W* w, const char* name, int x, int y, int width, int height) {
    w->setObjectName(QString::fromLatin1(name));
    w->setGeometry(x, y, width, height);
    return w;
}

} // namespace

TForm1::TForm1(QWidget* parent)
    : QMainWindow(parent), state_(std::make_unique<EditorState>()) {
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QString::fromUtf8(caption("Form1")));
    // A narrow sans serif, named so that another desktop font cannot widen
    // the texts past their fields; run.sh installs it.
    QFont f(QStringLiteral("Liberation Sans"));
    f.setPixelSize(11);
    setFont(f);
    dialogs_.inner = &qtdialogs_;
    for (const QImage& img : loadtoolpictures()) tools_.push_back(pixelicon(img));
    // The icon's four pictures are read once the first frame is on screen.
    QTimer::singleShot(0, this, [this] {
        QIcon icon;
        for (int size : {16, 32, 48, 256})
            icon.addFile(QStringLiteral(":/icons/tessaronedit-%1.png").arg(size), QSize(size, size));
        setWindowIcon(icon);
    });
    buildlayout();
    buildmenus();
    buildclipboard();
    doc().ask = [this](const std::string& question) { return askyesno(question); };
    connect(&doc(), &PackDocument::recoveryoff, this, &TForm1::showrecoveryoff);
    // The property fields are the session's: what the user types goes in
    // at once (the spinner's value, which takes nothing over), and becomes
    // an undo step when the field is left.
    connect(Edit2, &QLineEdit::textChanged, this, [this] { passfields(true); });
    connect(Edit3, &QLineEdit::textChanged, this, [this] { passfields(false); });
    connect(CheckBox1, &QCheckBox::toggled, this, [this] {
        if (showingfields_) return;
        passfields(false);
        doc().commitfields(); // a click is a finished edit
    });
    buildoverview();
    overviewkeys();
    buildstatusline();
    connect(&doc(), &PackDocument::edited, this, &TForm1::showchange);
    for (QObject* o : {static_cast<QObject*>(Edit1), static_cast<QObject*>(Edit2), static_cast<QObject*>(Edit3),
                       static_cast<QObject*>(levedit1->PaintBox1), static_cast<QObject*>(itemselect1->PaintBox1)})
        o->installEventFilter(this);
    setAcceptDrops(true);
    dialogs_.before = [this] {
        UpDown1->endpress();
        UpDown2->endpress();
    };
    move(145, 98);
    resize(544, 435);
    FormCreate();
    updatepaste();
}

TForm1::~TForm1() = default;

// The window's outer size, frame included, is 544 by 435 at first showing.
void TForm1::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    if (sized_) return;
    sized_ = true;
    const QSize frame = frameGeometry().size() - size();
    resize(QSize(544, 435) - frame);
}

void TForm1::setdialogs(Dialogs* dialogs) { dialogs_.inner = dialogs ? dialogs : &qtdialogs_; }


void TForm1::buildlayout() {
    auto* central = new QWidget(this);
    auto* row = new QHBoxLayout(central);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(0);
    setCentralWidget(central);

    Panel5 = makepanel("Panel5", central, QFrame::StyledPanel | QFrame::Sunken);
    auto* viewbox = new QVBoxLayout(Panel5);
    viewbox->setContentsMargins(1, 1, 1, 1);
    levedit1 = new Tlevedit(*state_, Panel5);
    viewbox->addWidget(levedit1);
    row->addWidget(Panel5, 1);

    Panel1 = new QWidget(central);
    Panel1->setObjectName(QStringLiteral("Panel1"));
    Panel1->setFixedWidth(sidewidth);
    auto* side = new QVBoxLayout(Panel1);
    side->setContentsMargins(0, 0, 0, 0);
    side->setSpacing(0);
    row->addWidget(Panel1);

    // Property fields.
    Panel3 = makepanel("Panel3", Panel1, QFrame::Panel | QFrame::Sunken);
    Panel3->setFixedHeight(104);
    QFont bold = font();
    bold.setBold(true);
    Panel3->setFont(bold);
    Label1 = placed(new QLabel(QString::fromUtf8(caption("Label1")), Panel3), "Label1", 8, 8, 36, 13);
    Edit1 = placed(new QLineEdit(Panel3), "Edit1", 48, 4, 29, 21);
    UpDown1 = placed(new TUpDown(Edit1, 1, levelcount, Panel3), "UpDown1", 77, 4, 15, 21);
    Label2 = placed(new QLabel(QString::fromUtf8(caption("Label2")), Panel3), "Label2", 92, 8, 40, 13);
    Edit2 = placed(new QLineEdit(Panel3), "Edit2", 8, 28, 121, 21);
    Edit2->setMaxLength(titlelen);
    Label3 = placed(new QLabel(QString::fromUtf8(caption("Label3")), Panel3), "Label3", 8, 56, 41, 13);
    Edit3 = placed(new QLineEdit(Panel3), "Edit3", 48, 52, 29, 21);
    UpDown2 = placed(new TUpDown(Edit3, 0, 255, Panel3), "UpDown2", 77, 52, 15, 21);
    Label4 = placed(new QLabel(QStringLiteral(" / 000"), Panel3), "Label4", 90, 56, 42, 13);
    CheckBox1 = placed(new QCheckBox(QString::fromUtf8(caption("CheckBox1")), Panel3), "CheckBox1", 16, 80,
                       110, 17);
    for (QLineEdit* e : {Edit1, Edit2, Edit3}) e->setTextMargins(0, 0, 0, 0);
    UpDown1->changing = [this](int v) { return UpDown1ChangingEx(v); };
    connect(Edit1, &QLineEdit::returnPressed, this, &TForm1::Edit1ReturnPressed);
    setTabOrder(Edit1, Edit2);
    setTabOrder(Edit2, Edit3);
    setTabOrder(Edit3, CheckBox1);
    Edit1->setFocus();
    side->addWidget(Panel3);

    // Tool bar.
    Panel2 = makepanel("Panel2", Panel1, QFrame::NoFrame);
    Panel2->setFixedHeight(40);
    ToolBar1 = placed(new QWidget(Panel2), "ToolBar1", 0, 0, 134, 40);
    auto* bar = new QHBoxLayout(ToolBar1);
    bar->setContentsMargins(0, 2, 0, 0);
    bar->setSpacing(0);
    auto separator = [&](const char* name, int width) {
        auto* w = new QWidget(ToolBar1);
        w->setObjectName(QString::fromLatin1(name));
        w->setFixedSize(width, 32);
        bar->addWidget(w, 0, Qt::AlignTop);
    };
    auto button = [&](const char* name, int pic, const char* tip, void (TForm1::*click)()) {
        auto* b = new QToolButton(ToolBar1);
        b->setObjectName(QString::fromLatin1(name));
        b->setFixedSize(32, 32);
        b->setIconSize(QSize(toolpicturesize, toolpicturesize));
        b->setAutoRaise(true);
        b->setFocusPolicy(Qt::NoFocus);
        b->setToolTip(QString::fromUtf8(tip));
        setpicture(b, pic);
        connect(b, &QToolButton::clicked, this, click);
        bar->addWidget(b, 0, Qt::AlignTop);
        return b;
    };
    separator("ToolButton6", 1);
    ToolButton1 = button("ToolButton1", 2, caption("ToolButton1"), &TForm1::ToolButton1Click);
    ToolButton2 = button("ToolButton2", 1, caption("ToolButton2"), &TForm1::ToolButton2Click);
    separator("ToolButton3", 4);
    ToolButton4 = button("ToolButton4", 5, caption("ToolButton4"), &TForm1::ToolButton4Click);
    ToolButton5 = button("ToolButton5", 4, caption("ToolButton5"), &TForm1::ToolButton5Click);
    bar->addStretch(1);
    side->addWidget(Panel2);

    // Palette.
    Panel4 = makepanel("Panel4", Panel1, QFrame::Box | QFrame::Plain);
    QPalette black = Panel4->palette();
    black.setColor(QPalette::Window, Qt::black);
    Panel4->setPalette(black);
    Panel4->setAutoFillBackground(true);
    auto* palettebox = new QHBoxLayout(Panel4);
    palettebox->setContentsMargins(1, 1, 1, 1);
    itemselect1 = new Titemselect(*state_, Panel4);
    itemselect1->setFixedWidth(palettewidth);
    palettebox->addWidget(itemselect1);
    side->addWidget(Panel4, 1);

    levedit1->strokebegan = [this] {
        updateundo();
        updatepaste(); // a press on a marked cell fills the clipboard
    };
    levedit1->strokeended = [this] {
        showcounter();
        updateundo();
    };
}

void TForm1::buildmenus() {
    auto action = [this](QMenu* menu, const char* name, void (TForm1::*run)()) {
        QAction* a = menu->addAction(captiontext(name));
        a->setObjectName(QString::fromLatin1(name));
        connect(a, &QAction::triggered, this, run);
        return a;
    };
    Datei1 = menuBar()->addMenu(QString::fromUtf8(caption("Datei1")));
    Datei1->setObjectName(QStringLiteral("Datei1"));
    NeuesLevelpack1 = action(Datei1, "NeuesLevelpack1", &TForm1::NeuesLevelpack1Click);
    Levelpackladen1 = action(Datei1, "Levelpackladen1", &TForm1::Levelpackladen1Click);
    Zuletztgeffnet1 = Datei1->addMenu(QString::fromUtf8(caption("Zuletztgeffnet1")));
    Speichern1 = action(Datei1, "Speichern1", &TForm1::Speichern1Click);
    Speichern1->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_S));
    Levelpackspeichern1 = action(Datei1, "Levelpackspeichern1", &TForm1::Levelpackspeichern1Click);
    Datei1->addSeparator();
    LevelnachTiledexportieren1 =
        action(Datei1, "LevelnachTiledexportieren1", &TForm1::LevelnachTiledexportieren1Click);
    LevelausTiledimportieren1 = action(Datei1, "LevelausTiledimportieren1", &TForm1::LevelausTiledimportieren1Click);
    Datei1->addSeparator();
    Beenden1 = Datei1->addAction(captiontext("Beenden1"));
    Beenden1->setObjectName(QStringLiteral("Beenden1"));
    connect(Beenden1, &QAction::triggered, this, &QWidget::close);

    Bearbeiten1 = menuBar()->addMenu(QString::fromUtf8(caption("Bearbeiten1")));
    Bearbeiten1->setObjectName(QStringLiteral("Bearbeiten1"));
    Rckgngig1 = action(Bearbeiten1, "Rckgngig1", &TForm1::Rckgngig1Click);
    Wiederherstellen1 = action(Bearbeiten1, "Wiederherstellen1", &TForm1::Wiederherstellen1Click);
    Bearbeiten1->addSeparator();
    Kopieren1 = action(Bearbeiten1, "Kopieren1", &TForm1::Kopieren1Click);
    Einfgen1 = action(Bearbeiten1, "Einfgen1", &TForm1::Einfgen1Click);
    Bearbeiten1->addSeparator();
    Lschen2 = action(Bearbeiten1, "Lschen2", &TForm1::Lschen2Click);
    Lschen1 = action(Bearbeiten1, "Lschen1", &TForm1::Lschen1Click);

    buildviewmenu();
    Level1 = menuBar()->addMenu(captiontext("Level1"));
    Level1->setObjectName(QStringLiteral("Level1"));
    Levelkopieren1 = action(Level1, "Levelkopieren1", &TForm1::Levelkopieren1Click);
    Leveleinfgen1 = action(Level1, "Leveleinfgen1", &TForm1::Leveleinfgen1Click);
    Leveleinfgen1->setEnabled(false); // until a level is copied
    Levelleeren1 = action(Level1, "Levelleeren1", &TForm1::Levelleeren1Click);
    Level1->addSeparator();
    Levelnachvorne1 = action(Level1, "Levelnachvorne1", &TForm1::Levelnachvorne1Click);
    Levelnachhinten1 = action(Level1, "Levelnachhinten1", &TForm1::Levelnachhinten1Click);
    Level1->addSeparator();
    Levelbersicht1 = Level1->addAction(QStringLiteral("Level&übersicht"));
    Levelbersicht1->setObjectName(QStringLiteral("Levelbersicht1"));
    Levelbersicht1->setCheckable(true);
    Levelbersicht1->setShortcut(QKeySequence(Qt::Key_F2));
    Levelbersicht1->setShortcutContext(Qt::ApplicationShortcut); // also from the overview itself
    Rckgngig1->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Z));
    Wiederherstellen1->setShortcuts({QKeySequence(Qt::CTRL | Qt::Key_Y), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z)});
    Kopieren1->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_C));
    Lschen2->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_X));
    Einfgen1->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_V));
    Lschen1->setShortcut(QKeySequence(Qt::Key_Delete));
    buildeditmenus();
    buildhelpmenu();
    buildtestmenus(); // after the other menus' shortcuts, which a command's own may not take
    // "Hilfe" stays the last menu.
    menuBar()->removeAction(Hilfe1->menuAction());
    menuBar()->addAction(Hilfe1->menuAction());

    // Show each menu with access keys that do not repeat within it.
    for (QMenu* menu : {Datei1, Bearbeiten1, Ansicht1, Level1, Hilfe1}) {
        QList<QAction*> items;
        std::vector<std::string> captions;
        for (QAction* a : menu->actions()) {
            if (a->isSeparator()) continue;
            items << a;
            captions.push_back(a->text().toStdString());
        }
        const std::vector<std::string> shown = uniqueaccesskeys(captions);
        for (qsizetype i = 0; i < items.size(); ++i) items[i]->setText(QString::fromStdString(shown[std::size_t(i)]));
    }
}

void TForm1::FormCreate() {
    itemselect1->calcrowscols();
    levedit1->calcrowscols();
    doc().newpack();
}

int TForm1::picture(const QToolButton* button) { return button->property("picture").toInt(); }

void TForm1::setpicture(QToolButton* button, int index) {
    button->setIcon(tools_.at(index));
    button->setProperty("picture", index);
}

bool TForm1::UpDown1ChangingEx(int newvalue) {
    if (newvalue < 1 || newvalue > levelcount) return false;
    bool changed = false;
    exclusive([&] { changed = gotolevel(newvalue - 1); });
    return changed;
}

bool TForm1::gotolevel(int slot) {
    return doc().select(slot);
}

void TForm1::Edit1ReturnPressed() {
    if (levelbusy_) return;
    bool ok = false;
    const int typed = Edit1->text().trimmed().toInt(&ok);
    if (ok && typed != doc().store().levelnr + 1) UpDown1ChangingEx(typed);
    showlevelnumber();
    Edit1->selectAll();
}

void TForm1::showlevelnumber() { UpDown1->setposition(doc().store().levelnr + 1); }

void TForm1::ToolButton1Click() {
    levelkeys_ = true;
    doc().command(SessionCommand::draw);
    levedit1->putbuffer();
    showcounter(); // unmarked infotrons count again
    setpicture(ToolButton1, 2);
    setpicture(ToolButton2, 1);
}

void TForm1::ToolButton2Click() {
    levelkeys_ = true;
    doc().command(SessionCommand::select);
    setpicture(ToolButton1, 0);
    setpicture(ToolButton2, 3);
}

void TForm1::zoomto(int tilew) {
    TileSet& tiles = state_->tiles;
    tiles.tilew = tilew;
    if (tiles.tilew == tiles.tileh) return;
    tiles.tileh = tiles.tilew;
    itemselect1->calcrowscols();
    itemselect1->PaintBox1->repaint();
    levedit1->calcrowscols();
    levedit1->PaintBox1Paint();
}

void TForm1::ToolButton4Click() {
    zoomto(zoomstep(state_->tiles.tilew, 1));
}

void TForm1::ToolButton5Click() {
    zoomto(zoomstep(state_->tiles.tilew, -1));
}

void TForm1::Kopieren1Click() {
    doc().command(SessionCommand::copy);
    putcells();
}

void TForm1::Einfgen1Click() {
    takeforeigncells();
    doc().command(SessionCommand::paste);
    levedit1->putbuffer(); // also when nothing changed: a stroke's overlay may be gone
}

void TForm1::Lschen2Click() {
    doc().command(SessionCommand::cut);
    levedit1->putbuffer();
    putcells();
}

void TForm1::Lschen1Click() {
    doc().command(SessionCommand::remove);
    levedit1->putbuffer();
}

// Undo and redo work on the current level's history, never during a stroke.

void TForm1::Rckgngig1Click() {
    if (doc().stroking()) return;
    doc().undo();
    // Also when the step changed nothing the level still held (marks a
    // level switch cleared): its cells were drawn anew.
    levedit1->putbuffer();
    showcounter();
}

void TForm1::Wiederherstellen1Click() {
    if (doc().stroking()) return;
    doc().redo();
    levedit1->putbuffer();
    showcounter();
}

void TForm1::updateundo() {
    const bool idle = !doc().stroking();
    Rckgngig1->setEnabled(idle && doc().canundo());
    Wiederherstellen1->setEnabled(idle && doc().canredo());
    Ersetzenrckgngig1->setEnabled(doc().canundoreplaceinlevels());
}

void TForm1::showcounter() {
    Label4->setText(QString::fromStdString(countertext(countinfotrons(doc().store().curlevel))));
}

void TForm1::showchange(const SessionChange& what) {
    const int shown = doc().store().levelnr;
    // A level shown anew or a record replaced left nothing for putbuffer
    // to compare: all is drawn again.
    if (what.level || what.records[shown]) levedit1->PaintBox1Paint();
    levedit1->putbuffer();
    if (what.level) {
        UpDown1->setposition(doc().session().levelnumber());
        overview->setcurrent(shown);
    }
    if (what.level || (what.fields && !passingfields_)) showfields();
    // The counter follows a stroke, the tile commands, undo and redo and a
    // level shown; cut, paste and delete leave it.
    if (what.level || what.records[shown]) showcounter();
    if (what.records.count() > 1) overview->changedall();
    else
        for (int slot = 0; slot < levelcount; ++slot)
            if (what.records[slot]) overview->changed(slot);
    if (what.cells || what.fields) overview->changed(shown);
    updateundo();
}

void TForm1::showfields() {
    const EditSession& s = doc().session();
    showingfields_ = true;
    Edit2->setText(QString::fromLatin1(s.title().data(), qsizetype(s.title().size())));
    Edit2->setCursorPosition(0);
    UpDown2->setposition(s.infotrons());
    CheckBox1->setChecked(s.gravity());
    showingfields_ = false;
}

void TForm1::passfields(bool titleedited) {
    if (showingfields_) return;
    passingfields_ = true;
    doc().setfields(UpDown2->value(), CheckBox1->isChecked(),
                    titleedited ? latin1title(Edit2->text().toStdString()) : doc().session().title());
    passingfields_ = false;
}

// The editing keys (undo, redo, copy, cut, paste, delete) belong to a
// field's text while the user types in it, and to the level once the user
// has worked in the level view, the palette or the tool bar.
bool TForm1::eventFilter(QObject* watched, QEvent* event) {
    const bool field = watched == Edit1 || watched == Edit2 || watched == Edit3;
    switch (event->type()) {
    case QEvent::MouseButtonPress:
        levelkeys_ = !field;
        break;
    case QEvent::ShortcutOverride:
        if (field && levelkeys_) {
            const QKeySequence key(static_cast<QKeyEvent*>(event)->keyCombination());
            for (QAction* a : Bearbeiten1->actions())
                if (a->shortcuts().contains(key)) return true; // not taken by the field: the menu's shortcut runs
        }
        break;
    case QEvent::FocusOut:
        // A number typed but not taken never stays beside another level; not
        // while a level switch runs, whose question takes the keyboard.
        if (watched == Edit1 && !levelbusy_) showlevelnumber();
        // A field left is one undo step of what it changed.
        if (watched == Edit2 || watched == Edit3) doc().commitfields();
        break;
    case QEvent::KeyPress:
        if (field) {
            const int key = static_cast<QKeyEvent*>(event)->key();
            const bool typing = key != Qt::Key_Up && key != Qt::Key_Down && key != Qt::Key_Tab &&
                                key != Qt::Key_Backtab && key != Qt::Key_Return && key != Qt::Key_Enter &&
                                key != Qt::Key_Escape && key != Qt::Key_Control && key != Qt::Key_Shift &&
                                key != Qt::Key_Alt && key != Qt::Key_Meta && key != Qt::Key_AltGr;
            if (typing) levelkeys_ = false;
        }
        break;
    default:
        break;
    }
    return QMainWindow::eventFilter(watched, event);
}

bool TForm1::askyesno(const std::string& text) {
    QString question = QString::fromStdString(text);
    if (namedquestions_ && text == switchlimitquestion)
        question = QStringLiteral("Level %1: %2").arg(QString::number(doc().store().levelnr + 1), question);
    return dialogs_.askyesno(this, question, true);
}

} // namespace tess
