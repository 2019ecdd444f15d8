// SPDX-License-Identifier: MIT
#include "ui/dialogs.h"

#include "gui/germantexts.h"
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
                      const QString& ownfile = {}, const QString& caption = {}) {
    FileDialog dialog(parent);
    if (!caption.isEmpty()) dialog.setWindowTitle(caption);
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

QString ModalGate::savefile(QWidget* parent, const QString& preset, const QString& filter, const QString& ownfile,
                            const QString& caption) {
    return pass(QString(), [&] { return inner->savefile(parent, preset, filter, ownfile, caption); });
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

RecoverAnswer ModalGate::askrecoverall(QWidget* parent, const QString& text) {
    return pass(RecoverAnswer::later, [&] { return inner->askrecoverall(parent, text); });
}

void ModalGate::showerror(QWidget* parent, const QString& text) {
    pass(true, [&] {
        inner->showerror(parent, text);
        return true;
    });
}

void ModalGate::showinfo(QWidget* parent, const QString& caption, const QString& text) {
    pass(true, [&] {
        inner->showinfo(parent, caption, text);
        return true;
    });
}

bool ModalGate::editcommands(QWidget* parent, QList<TestCommand>& commands) {
    return pass(false, [&] { return inner->editcommands(parent, commands); });
}

QString QtDialogs::openfile(QWidget* parent, const QString& preset, const QString& filter) {
    return runfiledialog(parent, QFileDialog::AcceptOpen, preset, filter);
}

QString QtDialogs::savefile(QWidget* parent, const QString& preset, const QString& filter, const QString& ownfile,
                           const QString& caption) {
    return runfiledialog(parent, QFileDialog::AcceptSave, preset, filter, ownfile, caption);
}

bool QtDialogs::askyesno(QWidget* parent, const QString& text, bool defaultyes) {
    QMessageBox box(QMessageBox::Question, captiontext("confirm"), text,
                    QMessageBox::Yes | QMessageBox::No, parent);
    box.setDefaultButton(defaultyes ? QMessageBox::Yes : QMessageBox::No);
    return runquestion(box) == QMessageBox::Yes;
}

SaveAnswer QtDialogs::askunsaved(QWidget* parent, const QString& text) {
    QMessageBox box(QMessageBox::Question, captiontext("confirm"), text, QMessageBox::NoButton, parent);
    // Each button with an access key, so that every answer is one key away.
    QPushButton* save = box.addButton(captiontext("save"), QMessageBox::AcceptRole);
    QPushButton* discard = box.addButton(captiontext("discard"), QMessageBox::DestructiveRole);
    QPushButton* cancel = box.addButton(captiontext("cancel"), QMessageBox::RejectRole);
    box.setDefaultButton(save);
    box.setEscapeButton(cancel);
    runquestion(box);
    if (box.clickedButton() == save) return SaveAnswer::save;
    if (box.clickedButton() == discard) return SaveAnswer::discard;
    return SaveAnswer::cancel;
}

RecoverAnswer QtDialogs::askrecover(QWidget* parent, const QString& text) {
    QMessageBox box(QMessageBox::Question, captiontext("confirm"), text, QMessageBox::NoButton, parent);
    QPushButton* restore = box.addButton(captiontext("restore"), QMessageBox::AcceptRole);
    QPushButton* discard = box.addButton(captiontext("discard"), QMessageBox::DestructiveRole);
    QPushButton* later = box.addButton(captiontext("later"), QMessageBox::RejectRole);
    box.setDefaultButton(restore);
    box.setEscapeButton(later);
    runquestion(box);
    if (box.clickedButton() == restore) return RecoverAnswer::restore;
    if (box.clickedButton() == discard) return RecoverAnswer::discard;
    return RecoverAnswer::later;
}

RecoverAnswer QtDialogs::askrecoverall(QWidget* parent, const QString& text) {
    QMessageBox box(QMessageBox::Question, captiontext("confirm"), text, QMessageBox::NoButton, parent);
    QPushButton* restore = box.addButton(captiontext("restore"), QMessageBox::AcceptRole);
    QPushButton* each = box.addButton(captiontext("each"), QMessageBox::ActionRole);
    QPushButton* discard = box.addButton(captiontext("discard"), QMessageBox::DestructiveRole);
    QPushButton* later = box.addButton(captiontext("keep"), QMessageBox::RejectRole);
    box.setDefaultButton(restore);
    box.setEscapeButton(later);
    runquestion(box);
    if (box.clickedButton() == restore) return RecoverAnswer::restore;
    if (box.clickedButton() == each) return RecoverAnswer::each;
    if (box.clickedButton() == discard) return RecoverAnswer::discard;
    return RecoverAnswer::later;
}

void QtDialogs::showerror(QWidget* parent, const QString& text) {
    QMessageBox::critical(parent, captiontext("error"), text);
}

void QtDialogs::showinfo(QWidget* parent, const QString& caption, const QString& text) {
    QMessageBox box(QMessageBox::Information, caption, text, QMessageBox::Ok, parent);
    box.setTextFormat(Qt::RichText);
    box.setTextInteractionFlags(Qt::TextBrowserInteraction);
    runquestion(box);
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
