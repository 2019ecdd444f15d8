// SPDX-License-Identifier: MIT
#include "ui/dialogs.h"

#include "ui/commanddialog.h"

#include <QAbstractButton>
#include <QFileDialog>
#include <QFileInfo>
#include <QKeyEvent>
#include <QMessageBox>
#include <QPushButton>

namespace tess {

namespace {

// The file dialog; a save asks before it replaces an existing file other
// than ownfile. (A platform's own dialog asks for every existing file.)
class FileDialog : public QFileDialog {
public:
    using QFileDialog::QFileDialog;
    QString ownfile;

    void accept() override {
        const QStringList files = selectedFiles();
        setOption(DontConfirmOverwrite, !files.isEmpty() && samefile(files.constFirst(), ownfile));
        QFileDialog::accept();
    }
};

QString runfiledialog(QWidget* parent, QFileDialog::AcceptMode mode, const QString& preset, const QString& filter,
                      const QString& ownfile = {}) {
    FileDialog dialog(parent);
    dialog.ownfile = ownfile;
    if (!filter.isEmpty()) dialog.setNameFilter(filter);
    dialog.setAcceptMode(mode);
    dialog.setFileMode(mode == QFileDialog::AcceptOpen ? QFileDialog::ExistingFile
                                                       : QFileDialog::AnyFile);
    dialog.setSizeGripEnabled(true);
    if (QFileInfo(preset).isDir()) dialog.setDirectory(preset);
    else if (!preset.isEmpty()) dialog.selectFile(preset);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
    return dialog.selectedFiles().constFirst();
}

// Swallows auto-repeated key presses. A key still held from before a question
// (the Up key that stepped to the level that asks) would otherwise move the
// focus between the question's buttons, and Return would then press another
// button than the default one.
class KeyRepeatFilter : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::KeyPress && static_cast<QKeyEvent*>(event)->isAutoRepeat()) return true;
        return QObject::eventFilter(watched, event);
    }
};

int runquestion(QMessageBox& box) {
    KeyRepeatFilter filter;
    for (QAbstractButton* b : box.buttons()) b->installEventFilter(&filter);
    return box.exec();
}

} // namespace

bool samefile(const QString& a, const QString& b) {
    const QString ca = QFileInfo(a).canonicalFilePath();
    return !ca.isEmpty() && ca == QFileInfo(b).canonicalFilePath();
}

template <class R, class F> R ModalGate::pass(R cancelled, F&& show) {
    if (open_) return cancelled;
    if (before) before();
    open_ = true;
    R answer = show();
    open_ = false;
    return answer;
}

QString ModalGate::openfile(QWidget* parent, const QString& preset, const QString& filter) {
    return pass(QString(), [&] { return inner->openfile(parent, preset, filter); });
}

QString ModalGate::savefile(QWidget* parent, const QString& preset, const QString& filter, const QString& ownfile) {
    return pass(QString(), [&] { return inner->savefile(parent, preset, filter, ownfile); });
}

bool ModalGate::askyesno(QWidget* parent, const QString& text, bool defaultyes) {
    return pass(false, [&] { return inner->askyesno(parent, text, defaultyes); });
}

SaveAnswer ModalGate::askunsaved(QWidget* parent, const QString& text) {
    return pass(SaveAnswer::cancel, [&] { return inner->askunsaved(parent, text); });
}

RecoverAnswer ModalGate::askrecover(QWidget* parent, const QString& text) {
    return pass(RecoverAnswer::later, [&] { return inner->askrecover(parent, text); });
}

void ModalGate::showerror(QWidget* parent, const QString& text) {
    pass(true, [&] {
        inner->showerror(parent, text);
        return true;
    });
}

bool ModalGate::editcommands(QWidget* parent, QList<TestCommand>& commands) {
    return pass(false, [&] { return inner->editcommands(parent, commands); });
}

QString QtDialogs::openfile(QWidget* parent, const QString& preset, const QString& filter) {
    return runfiledialog(parent, QFileDialog::AcceptOpen, preset, filter);
}

QString QtDialogs::savefile(QWidget* parent, const QString& preset, const QString& filter, const QString& ownfile) {
    return runfiledialog(parent, QFileDialog::AcceptSave, preset, filter, ownfile);
}

bool QtDialogs::askyesno(QWidget* parent, const QString& text, bool defaultyes) {
    QMessageBox box(QMessageBox::Question, QStringLiteral("Bestätigung"), text,
                    QMessageBox::Yes | QMessageBox::No, parent);
    box.setDefaultButton(defaultyes ? QMessageBox::Yes : QMessageBox::No);
    return runquestion(box) == QMessageBox::Yes;
}

SaveAnswer QtDialogs::askunsaved(QWidget* parent, const QString& text) {
    QMessageBox box(QMessageBox::Question, QStringLiteral("Bestätigung"), text,
                    QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel, parent);
    box.setDefaultButton(QMessageBox::Save);
    box.setEscapeButton(QMessageBox::Cancel);
    switch (runquestion(box)) {
    case QMessageBox::Save: return SaveAnswer::save;
    case QMessageBox::Discard: return SaveAnswer::discard;
    default: return SaveAnswer::cancel;
    }
}

RecoverAnswer QtDialogs::askrecover(QWidget* parent, const QString& text) {
    QMessageBox box(QMessageBox::Question, QStringLiteral("Bestätigung"), text, QMessageBox::NoButton, parent);
    QPushButton* restore = box.addButton(QStringLiteral("&Wiederherstellen"), QMessageBox::AcceptRole);
    QPushButton* discard = box.addButton(QStringLiteral("&Verwerfen"), QMessageBox::DestructiveRole);
    QPushButton* later = box.addButton(QStringLiteral("&Später"), QMessageBox::RejectRole);
    box.setDefaultButton(restore);
    box.setEscapeButton(later);
    runquestion(box);
    if (box.clickedButton() == restore) return RecoverAnswer::restore;
    if (box.clickedButton() == discard) return RecoverAnswer::discard;
    return RecoverAnswer::later;
}

void QtDialogs::showerror(QWidget* parent, const QString& text) {
    QMessageBox::critical(parent, QStringLiteral("Fehler"), text);
}

} // namespace tess

namespace tess {

bool QtDialogs::editcommands(QWidget* parent, QList<TestCommand>& commands) {
    CommandDialog dialog(commands, parent);
    if (dialog.exec() != QDialog::Accepted) return false;
    commands = dialog.commands();
    return true;
}

} // namespace tess
