// SPDX-License-Identifier: MIT
#include "document/editorsettings.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QStandardPaths>

#include <algorithm>

namespace tess {

namespace {

// A value as text when it is text of sensible length; lists and other
// shapes the file may hold count as missing.
QString text(const QSettings& s, const QString& key) {
    const QVariant v = s.value(key);
    if (v.typeId() != QMetaType::QString) return {};
    const QString t = v.toString();
    return t.size() <= maxsettingtext ? t : QString();
}

} // namespace

// Where QSettings keeps a program's native settings on this system.
QString usersettingsfile() {
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) + QLatin1Char('/') +
           QCoreApplication::organizationName() + QLatin1Char('/') + QCoreApplication::applicationName() +
           QStringLiteral(".conf");
}

bool settingsfilefits(const QString& path) {
    const QFileInfo info(path);
    if (!info.exists() && !info.isSymLink()) return true;
    if (!info.isFile()) return false; // a FIFO or device would never end
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) return true; // QSettings cannot read it either
    qint64 total = 0;
    char buf[16384];
    for (;;) {
        const qint64 n = f.read(buf, sizeof buf);
        if (n <= 0) return n == 0;
        total += n;
        if (total > maxsettingsbytes) return false;
    }
}

EditorSettings readsettings(QSettings& s) {
    EditorSettings out;
    const int commands = s.beginReadArray(QStringLiteral("commands"));
    // Only the first entries are looked at, good or bad: the count comes from the file.
    for (int i = 0; i < std::min(commands, maxcommands); ++i) {
        s.setArrayIndex(i);
        TestCommand c;
        c.name = text(s, QStringLiteral("name"));
        c.program = text(s, QStringLiteral("program"));
        c.arguments = text(s, QStringLiteral("arguments"));
        c.folder = text(s, QStringLiteral("folder"));
        c.shortcut = text(s, QStringLiteral("shortcut"));
        c.savefirst = text(s, QStringLiteral("savefirst")) == QLatin1String("true");
        if (c.program.trimmed().isEmpty()) continue;
        if (c.name.trimmed().isEmpty()) c.name = QFileInfo(c.program).fileName();
        out.commands << c;
    }
    s.endArray();
    const int recent = s.beginReadArray(QStringLiteral("recent"));
    QStringList paths;
    for (int i = 0; i < std::min(recent, maxrecent); ++i) {
        s.setArrayIndex(i);
        const QString p = text(s, QStringLiteral("file"));
        if (!p.isEmpty() && QDir::isAbsolutePath(p) && !paths.contains(p)) paths << p;
    }
    s.endArray();
    out.recent = paths;
    const QString folder = text(s, QStringLiteral("dialogs/folder"));
    if (QDir::isAbsolutePath(folder)) out.folder = folder;
    return out;
}

void writesettings(QSettings& s, const EditorSettings& v) {
    s.remove(QStringLiteral("commands"));
    s.beginWriteArray(QStringLiteral("commands"), static_cast<int>(v.commands.size()));
    for (int i = 0; i < v.commands.size(); ++i) {
        const TestCommand& c = v.commands[i];
        s.setArrayIndex(i);
        s.setValue(QStringLiteral("name"), c.name);
        s.setValue(QStringLiteral("program"), c.program);
        s.setValue(QStringLiteral("arguments"), c.arguments);
        s.setValue(QStringLiteral("folder"), c.folder);
        s.setValue(QStringLiteral("shortcut"), c.shortcut);
        s.setValue(QStringLiteral("savefirst"), c.savefirst ? QStringLiteral("true") : QStringLiteral("false"));
    }
    s.endArray();
    s.remove(QStringLiteral("recent"));
    s.beginWriteArray(QStringLiteral("recent"), static_cast<int>(v.recent.size()));
    for (int i = 0; i < v.recent.size(); ++i) {
        s.setArrayIndex(i);
        s.setValue(QStringLiteral("file"), v.recent[i]);
    }
    s.endArray();
    s.setValue(QStringLiteral("dialogs/folder"), v.folder);
    s.sync();
}

QStringList addrecent(QStringList recent, const QString& path) {
    recent.removeAll(path);
    recent.prepend(path);
    while (recent.size() > maxrecent) recent.removeLast();
    return recent;
}

} // namespace tess
