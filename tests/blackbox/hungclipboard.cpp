// SPDX-License-Identifier: MIT
// Takes the desktop's clipboard, says "bereit" and hangs: whoever asks for
// the contents is never answered, as by a program stuck in a computation.
#include <QClipboard>
#include <QGuiApplication>

#include <cstdio>
#include <unistd.h>

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    QGuiApplication::clipboard()->setText(QStringLiteral("hängt"));
    if (!QGuiApplication::clipboard()->ownsClipboard()) return 1;
    std::puts("bereit");
    std::fflush(stdout);
    for (;;) sleep(60); // no event loop
}
