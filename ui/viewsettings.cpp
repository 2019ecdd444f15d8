// SPDX-License-Identifier: MIT
#include "ui/viewsettings.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QSettings>

namespace tess {

namespace {

constexpr qint64 settingscap = 64 * 1024;

// True when file is absent, or a regular file whose bytes, counted while
// reading, stay within the cap: only then may QSettings take it in whole.
bool withincap(const QString& file) {
    const QFileInfo info(file);
    if (!info.exists() && !info.isSymLink()) return true;
    if (!info.isFile()) return false; // a FIFO or device would block or never end
    QFile f(file);
    if (!f.open(QIODevice::ReadOnly)) return false;
    char buf[4096];
    qint64 total = 0;
    for (;;) {
        const qint64 n = f.read(buf, sizeof buf);
        if (n < 0) return false;
        if (n == 0) return true;
        total += n;
        if (total > settingscap) return false;
    }
}

// A stored bool: "true" or "false" as QSettings writes them (a bool while
// the same run still holds what it wrote); anything else leaves the default.
bool readbool(const QSettings& s, const char* key, bool fallback) {
    const QVariant v = s.value(QLatin1String(key));
    if (v.typeId() == QMetaType::Bool) return v.toBool(); // written earlier in this run
    if (v.typeId() != QMetaType::QString) return fallback;
    const QString text = v.toString();
    if (text == QLatin1String("true")) return true;
    if (text == QLatin1String("false")) return false;
    return fallback;
}

} // namespace

QString settingsfile() {
    const QString app = QCoreApplication::applicationName();
    const QString org = QCoreApplication::organizationName();
    return QSettings(QSettings::IniFormat, QSettings::UserScope, org.isEmpty() ? app : org, app).fileName();
}

ViewOptions readviewoptions(const QString& file) {
    ViewOptions o;
    if (!withincap(file)) return o;
    const QSettings s(file, QSettings::IniFormat);
    o.edge = readbool(s, "view/edge", o.edge);
    o.grid = readbool(s, "view/grid", o.grid);
    return o;
}

bool writeviewoptions(const ViewOptions& options, const QString& file) {
    if (!withincap(file)) return false;
    QSettings s(file, QSettings::IniFormat);
    s.setValue(QStringLiteral("view/edge"), options.edge);
    s.setValue(QStringLiteral("view/grid"), options.grid);
    s.sync();
    return s.status() == QSettings::NoError;
}

} // namespace tess
