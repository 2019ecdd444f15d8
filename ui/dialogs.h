// SPDX-License-Identifier: MIT
#pragma once

// The modal dialogs the main window shows. Tests put answers in their place.

#include "document/editorsettings.h"

#include <QString>

#include <functional>

class QWidget;

namespace tess {

enum class SaveAnswer { save, discard, cancel };
enum class RecoverAnswer { restore, discard, later, each };

class Dialogs {
public:
    virtual ~Dialogs() = default;
    // Open dialog for an existing file, offering preset (a folder: starting
    // there); empty when cancelled.
    // filter ("Tiled-Karten (*.tmx *.tmj)") limits the files shown; empty: all.
    virtual QString openfile(QWidget* parent, const QString& preset, const QString& filter) = 0;
    // Save dialog, offering preset; empty when cancelled. Choosing an existing
    // file asks the standard question before it is replaced, unless it is
    // ownfile (the file the document already lives in). caption: the
    // dialog's title; empty for the standard one.
    virtual QString savefile(QWidget* parent, const QString& preset, const QString& filter,
                             const QString& ownfile, const QString& caption) = 0;
    // Yes/no question, caption "Bestätigung", question icon. True only for yes.
    virtual bool askyesno(QWidget* parent, const QString& text, bool defaultyes) = 0;
    // The question before unsaved work is dropped: "Speichern" (the default),
    // "Verwerfen" or "Abbrechen" (also Escape).
    virtual SaveAnswer askunsaved(QWidget* parent, const QString& text) = 0;
    // The question at start about a pack an editor left unsaved when it
    // died: "Wiederherstellen" (the default), "Verwerfen" or "Später" (also
    // Escape).
    virtual RecoverAnswer askrecover(QWidget* parent, const QString& text) = 0;
    // The one question at start when several such packs were left:
    // "Wiederherstellen" (the default: restore), "Einzeln…" (each),
    // "Verwerfen" (discard) or "Behalten" (later, also Escape).
    virtual RecoverAnswer askrecoverall(QWidget* parent, const QString& text) = 0;
    virtual void showerror(QWidget* parent, const QString& text) = 0;
    // A message with an information icon and one button, "OK"; text may be rich text.
    virtual void showinfo(QWidget* parent, const QString& caption, const QString& text) = 0;
    // "Befehle bearbeiten": false when cancelled, commands left as they were.
    virtual bool editcommands(QWidget* parent, QList<TestCommand>& commands) = 0;
};

// Passes every dialog on to another Dialogs, running before() first (the
// window stops its spinners' auto-repeat there). A dialog asked for while
// another one is open, which only a timer or a late event could do, is
// answered as cancelled instead of stacking a second one.
class ModalGate : public Dialogs {
public:
    Dialogs* inner = nullptr;
    std::function<void()> before;

    QString openfile(QWidget* parent, const QString& preset, const QString& filter) override;
    QString savefile(QWidget* parent, const QString& preset, const QString& filter,
                     const QString& ownfile, const QString& caption) override;
    bool askyesno(QWidget* parent, const QString& text, bool defaultyes) override;
    SaveAnswer askunsaved(QWidget* parent, const QString& text) override;
    RecoverAnswer askrecover(QWidget* parent, const QString& text) override;
    RecoverAnswer askrecoverall(QWidget* parent, const QString& text) override;
    void showerror(QWidget* parent, const QString& text) override;
    void showinfo(QWidget* parent, const QString& caption, const QString& text) override;
    bool editcommands(QWidget* parent, QList<TestCommand>& commands) override;

private:
    bool open_ = false;
    template <class R, class F> R pass(R cancelled, F&& show);
};

// The standard file dialogs and message boxes.
class QtDialogs : public Dialogs {
public:
    QString openfile(QWidget* parent, const QString& preset, const QString& filter) override;
    QString savefile(QWidget* parent, const QString& preset, const QString& filter,
                     const QString& ownfile, const QString& caption) override;
    bool askyesno(QWidget* parent, const QString& text, bool defaultyes) override;
    SaveAnswer askunsaved(QWidget* parent, const QString& text) override;
    RecoverAnswer askrecover(QWidget* parent, const QString& text) override;
    RecoverAnswer askrecoverall(QWidget* parent, const QString& text) override;
    void showerror(QWidget* parent, const QString& text) override;
    void showinfo(QWidget* parent, const QString& caption, const QString& text) override;
    bool editcommands(QWidget* parent, QList<TestCommand>& commands) override;
};

// True when a and b name the same existing file.
bool samefile(const QString& a, const QString& b);

} // namespace tess
