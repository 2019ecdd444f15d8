// SPDX-License-Identifier: MIT
#include "document/editorsettings.h"

#include <QCoreApplication>
#include <QDir>
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

// A stored bool: "true" or "false" as QSettings writes them (a bool while
// the same QSettings still holds what it wrote); anything else leaves the
// default.
bool readbool(const QSettings& s, const char* key, bool fallback) {
    const QVariant v = s.value(QLatin1String(key));
    if (v.typeId() == QMetaType::Bool) return v.toBool();
    const QString t = text(s, QLatin1String(key));
    if (t == QLatin1String("true")) return true;
    if (t == QLatin1String("false")) return false;
    return fallback;
}

} // namespace

QString settingsfile() {
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) + QLatin1Char('/') +
           QCoreApplication::organizationName() + QLatin1Char('/') + QCoreApplication::applicationName() +
           QStringLiteral(".conf");
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
    out.view.edge = readbool(s, "view/edge", out.view.edge);
    out.view.grid = readbool(s, "view/grid", out.view.grid);
    // Base64 text; what Qt makes of the bytes it checks itself when it restores them.
    const auto window = QByteArray::fromBase64Encoding(text(s, QStringLiteral("window/geometry")).toLatin1(),
                                                       QByteArray::AbortOnBase64DecodingErrors);
    if (window && window.decoded.size() <= maxwindowbytes) out.window = window.decoded;
    return out;
}

namespace {

// Each group of v that differs from before, or all of them without before.
void writegroups(QSettings& s, const EditorSettings* before, const EditorSettings& v) {
    const auto differs = [&](auto member) { return !before || before->*member != v.*member; };
    if (differs(&EditorSettings::commands)) {
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
    }
    if (differs(&EditorSettings::recent)) {
        s.remove(QStringLiteral("recent"));
        s.beginWriteArray(QStringLiteral("recent"), static_cast<int>(v.recent.size()));
        for (int i = 0; i < v.recent.size(); ++i) {
            s.setArrayIndex(i);
            s.setValue(QStringLiteral("file"), v.recent[i]);
        }
        s.endArray();
    }
    if (differs(&EditorSettings::folder)) s.setValue(QStringLiteral("dialogs/folder"), v.folder);
    if (!before || before->view.edge != v.view.edge) s.setValue(QStringLiteral("view/edge"), v.view.edge);
    if (!before || before->view.grid != v.view.grid) s.setValue(QStringLiteral("view/grid"), v.view.grid);
    if (before ? before->window != v.window : !v.window.isEmpty())
        s.setValue(QStringLiteral("window/geometry"), QString::fromLatin1(v.window.toBase64()));
}

} // namespace

void writechanged(QSettings& s, const EditorSettings& before, const EditorSettings& after) {
    writegroups(s, &before, after);
}

void writesettings(QSettings& s, const EditorSettings& values) {
    writegroups(s, nullptr, values);
    s.sync();
}

QStringList addrecent(QStringList recent, const QString& path) {
    recent.removeAll(path);
    recent.prepend(path);
    while (recent.size() > maxrecent) recent.removeLast();
    return recent;
}

} // namespace tess
