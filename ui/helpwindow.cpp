// SPDX-License-Identifier: MIT
#include "ui/helpwindow.h"

#include "level/levelformat.h"
#include "level/tilenames.h"

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
    closebutton->setText(QStringLiteral("S&chließen"));
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
    QString md = f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
    md += QStringLiteral("\n### Die Felder\n\n| Code | Name |\n|---|---|\n");
    for (int code = 0; code < tilecodecount; ++code)
        md += QStringLiteral("| %1 | %2 |\n").arg(QString::number(code), QString::fromUtf8(tilename(code)));
    return md;
}

} // namespace tess
