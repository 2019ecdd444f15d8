// SPDX-License-Identifier: MIT
// The status bar: a line saying what the last file or pack command did,
// and, always shown, the pack's file name and whether it has unsaved changes.
#include "ui/utessaronedit.h"

#include "level/captions.h"

#include <QCheckBox>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QLoggingCategory>
#include <QStatusBar>
#include <QTimer>

namespace tess {

namespace {

constexpr int saytime = 10000;  // milliseconds a line stays, then the bar's own widgets show again
constexpr int statewidth = 220; // the file name is cut in the middle beyond this, never widening the window

// Each line also goes to the log when QT_LOGGING_RULES asks for
// "tessaron.status.info", for whoever drives the editor from outside.
Q_LOGGING_CATEGORY(statuslog, "tessaron.status", QtWarningMsg)

} // namespace

void TForm1::buildstatusline() {
    packstate_ = new QLabel(this);
    packstate_->setObjectName(QStringLiteral("packstate"));
    packstate_->setMaximumWidth(statewidth);
    statusBar()->addPermanentWidget(packstate_);
    packstatetimer_ = new QTimer(this);
    packstatetimer_->setSingleShot(true);
    connect(packstatetimer_, &QTimer::timeout, this, &TForm1::showpackstate);
    // Whether saving would write other bytes can change with any of these;
    // asked once after a burst of them, not at every keystroke.
    auto later = [this] { packstatetimer_->start(0); };
    connect(&doc(), &PackDocument::edited, this, later);
    connect(&doc(), &PackDocument::fileused, this, later);
    showpackstate();
}

void TForm1::say(const QString& text) {
    statusBar()->showMessage(text, saytime);
    qCInfo(statuslog).noquote() << text;
}

void TForm1::showpackstate() {
    const QString file = doc().file();
    const bool changed = packchanged();
    const QString text = QString::fromStdString(packstatetext(QFileInfo(file).fileName().toStdString(), changed));
    packstate_->setText(packstate_->fontMetrics().elidedText(text, Qt::ElideMiddle, statewidth - 8));
    packstate_->setToolTip(QString::fromStdString(packstatetip(file.toStdString(), changed)));
}

} // namespace tess
