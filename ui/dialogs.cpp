// SPDX-License-Identifier: MIT
#include "ui/dialogs.h"

#include <QFileDialog>
#include <QMessageBox>

namespace tess {

namespace {

QString runfiledialog(QWidget* parent, QFileDialog::AcceptMode mode, const QString& preset) {
    QFileDialog dialog(parent);
    dialog.setAcceptMode(mode);
    dialog.setFileMode(mode == QFileDialog::AcceptOpen ? QFileDialog::ExistingFile
                                                       : QFileDialog::AnyFile);
    dialog.setOption(QFileDialog::DontConfirmOverwrite);
    dialog.setSizeGripEnabled(true);
    if (!preset.isEmpty()) dialog.selectFile(preset);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
    return dialog.selectedFiles().constFirst();
}

} // namespace

QString QtDialogs::openfile(QWidget* parent, const QString& preset) {
    return runfiledialog(parent, QFileDialog::AcceptOpen, preset);
}

QString QtDialogs::savefile(QWidget* parent, const QString& preset) {
    return runfiledialog(parent, QFileDialog::AcceptSave, preset);
}

bool QtDialogs::askyesno(QWidget* parent, const QString& text, bool defaultyes) {
    QMessageBox box(QMessageBox::Question, QStringLiteral("Bestätigung"), text,
                    QMessageBox::Yes | QMessageBox::No, parent);
    box.setDefaultButton(defaultyes ? QMessageBox::Yes : QMessageBox::No);
    return box.exec() == QMessageBox::Yes;
}

void QtDialogs::showerror(QWidget* parent, const QString& text) {
    QMessageBox::critical(parent, QStringLiteral("Fehler"), text);
}

} // namespace tess
