// SPDX-License-Identifier: MIT
// A program that takes the desktop's clipboard and then hangs: it never
// answers another program that asks for the clipboard's contents, as an
// application stuck in a long computation would. Prints "bereit" once it
// owns the clipboard, then sleeps until it is killed.
#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>

#include <cstdio>
#include <unistd.h>

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    auto* data = new QMimeData;
    data->setText(QStringLiteral("hängt"));
    data->setData(QStringLiteral("application/x-tessaron-cells"), QByteArray("TSCL"));
    QGuiApplication::clipboard()->setMimeData(data);
    app.processEvents();
    if (!QGuiApplication::clipboard()->ownsClipboard()) return 1;
    std::puts("bereit");
    std::fflush(stdout);
    for (;;) sleep(60); // no event loop: requests for the contents stay unanswered
}
