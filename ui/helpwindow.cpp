// SPDX-License-Identifier: MIT
#include "ui/helpwindow.h"

#include "level/captions.h"
#include "level/guidetext.h"

#include <QDialogButtonBox>
#include <QFile>
#include <QPushButton>
#include <QScreen>
#include <QShortcut>
#include <QTextBrowser>
#include <QVBoxLayout>

namespace tess {

HelpWindow::HelpWindow(QWidget* parent) : QWidget(parent, Qt::Window) {
    setObjectName(QStringLiteral("Kurzanleitung"));
    setWindowTitle(QStringLiteral("Kurzanleitung"));
    auto* box = new QVBoxLayout(this);
    text = new QTextBrowser(this);
    text->setOpenExternalLinks(false);
    text->setMarkdown(guidemarkdown());
    box->addWidget(text);
    // Closes without a window manager too: the button, Escape and Strg+W.
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    closebutton = buttons->button(QDialogButtonBox::Close);
    closebutton->setText(QString::fromUtf8(caption("close")));
    connect(buttons, &QDialogButtonBox::rejected, this, &QWidget::close);
    box->addWidget(buttons);
    for (const QKeySequence& key : {QKeySequence(Qt::Key_Escape), QKeySequence(Qt::CTRL | Qt::Key_W)})
        connect(new QShortcut(key, this), &QShortcut::activated, this, &QWidget::close);
    // Its own size, but never taller or wider than the screen, so that
    // "Schließen" stays in reach at 200 % on a small screen too.
    const QSize room = screen()->availableGeometry().size() * 9 / 10;
    resize(QSize(620, 640).boundedTo(room));
}

QString HelpWindow::guidemarkdown() {
    QFile f(QStringLiteral(":/guide.md"));
    const QByteArray source = f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    return QString::fromStdString(guidetext(std::string_view(source.constData(), source.size()), Edition::desktop));
}

} // namespace tess
