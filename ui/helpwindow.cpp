// SPDX-License-Identifier: MIT
#include "ui/helpwindow.h"

#include "level/levelformat.h"
#include "level/tilenames.h"

#include <QFile>
#include <QTextBrowser>
#include <QVBoxLayout>

namespace tess {

HelpWindow::HelpWindow(QWidget* parent) : QWidget(parent, Qt::Window) {
    setObjectName(QStringLiteral("Kurzanleitung"));
    setWindowTitle(QStringLiteral("Kurzanleitung"));
    auto* box = new QVBoxLayout(this);
    box->setContentsMargins(0, 0, 0, 0);
    text = new QTextBrowser(this);
    text->setOpenExternalLinks(false);
    text->setMarkdown(guidemarkdown());
    box->addWidget(text);
    resize(620, 640);
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
