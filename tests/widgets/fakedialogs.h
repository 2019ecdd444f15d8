// SPDX-License-Identifier: MIT
#pragma once

// Answers the main window's dialogs from queues, and records what was asked.

#include "ui/dialogs.h"
#include "ui/editorstate.h"
#include "ui/updown.h"
#include "ui/utessaronedit.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QList>
#include <QSettings>
#include <QTemporaryDir>
#include <QStringList>
#include <QTest>

#include <memory>

namespace tess::test {

struct FakeDialogs : Dialogs {
    QStringList openanswers;    // file names; "" cancels
    QStringList saveanswers;
    QList<bool> yesnoanswers;   // when empty, the default button is taken
    QList<SaveAnswer> unsavedanswers; // when empty, "Speichern"
    QList<RecoverAnswer> recoveranswers; // when empty, "Später"
    QStringList openpresets, savepresets, saveowns, savecaptions, questions, errors, infos;
    QList<bool> defaults;

    static QString next(QStringList& q) { return q.isEmpty() ? QString() : q.takeFirst(); }

    QString openfile(QWidget*, const QString& preset, const QString&) override {
        openpresets << preset;
        return next(openanswers);
    }
    QString savefile(QWidget*, const QString& preset, const QString&, const QString& ownfile,
                     const QString& caption) override {
        savepresets << preset;
        saveowns << ownfile;
        savecaptions << caption;
        return next(saveanswers);
    }
    bool askyesno(QWidget*, const QString& text, bool defaultyes) override {
        questions << text;
        defaults << defaultyes;
        return yesnoanswers.isEmpty() ? defaultyes : yesnoanswers.takeFirst();
    }
    SaveAnswer askunsaved(QWidget*, const QString& text) override {
        questions << text;
        defaults << true;
        return unsavedanswers.isEmpty() ? SaveAnswer::save : unsavedanswers.takeFirst();
    }
    RecoverAnswer askrecover(QWidget*, const QString& text) override {
        questions << text;
        defaults << true;
        return recoveranswers.isEmpty() ? RecoverAnswer::later : recoveranswers.takeFirst();
    }
    RecoverAnswer askrecoverall(QWidget* w, const QString& text) override { return askrecover(w, text); }
    void showerror(QWidget*, const QString& text) override { errors << text; }
    void showinfo(QWidget*, const QString& caption, const QString& text) override { infos << caption + text; }
    QList<QList<TestCommand>> commandanswers; // each replaces the list; when empty, cancelled
    bool editcommands(QWidget*, QList<TestCommand>& commands) override {
        if (commandanswers.isEmpty()) return false;
        commands = commandanswers.takeFirst();
        return true;
    }
};

// Settings go to a folder of this test run's own, never the user's.
inline QString freshsettings() {
    static QTemporaryDir dir;
    static const bool set = (QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, dir.path()), true);
    (void)set;
    return dir.path();
}

// A fresh main window whose dialogs are answered by dialogs, shown and exposed.
inline std::unique_ptr<TForm1> shownwindow(FakeDialogs& dialogs) {
    freshsettings();
    QGuiApplication::clipboard()->clear(); // what earlier windows put there is gone
    dialogs = FakeDialogs();
    auto w = std::make_unique<TForm1>();
    w->setdialogs(&dialogs);
    w->show();
    if (!QTest::qWaitForWindowExposed(w.get())) return nullptr;
    return w;
}

// What the main window's tests share: the window, its answered dialogs, and
// the working level's cells.
struct WindowFixture {
    std::unique_ptr<TForm1> w;
    FakeDialogs dialogs;

    EditorState& s() { return w->state(); }
    std::uint8_t cell(int col, int row) { return s().store().curlevel[cellindex(col, row)]; }
    // One cell of the shown level set as the level is set up from outside.
    void setcell(int col, int row, int byte) {
        LevelCells cells = tilesof(s().store().curlevel);
        cells[cellindex(col, row)] = std::uint8_t(byte);
        s().doc.setcells(cells);
    }
    int level() { return s().store().levelnr; }
    // Steps the level spinner to slot, storing back each level on the way.
    void tolevel(int slot) {
        while (level() != slot) w->UpDown1->step(slot > level() ? 1 : -1);
    }
};

} // namespace tess::test
