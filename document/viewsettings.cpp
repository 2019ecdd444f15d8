// SPDX-License-Identifier: MIT
#include "document/viewsettings.h"

#include "document/editorsettings.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QSettings>

namespace tess {

namespace {

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

// One file for all the editor remembers: the commands and recent packs keep
// their own keys beside the view options.
QString settingsfile() { return usersettingsfile(); }

ViewOptions readviewoptions(const QString& file) {
    ViewOptions o;
    if (!settingsfilefits(file)) return o;
    const QSettings s(file, QSettings::IniFormat);
    o.edge = readbool(s, "view/edge", o.edge);
    o.grid = readbool(s, "view/grid", o.grid);
    return o;
}

bool writeviewoptions(const ViewOptions& options, const QString& file) {
    if (!settingsfilefits(file)) return false;
    QSettings s(file, QSettings::IniFormat);
    s.setValue(QStringLiteral("view/edge"), options.edge);
    s.setValue(QStringLiteral("view/grid"), options.grid);
    s.sync();
    return s.status() == QSettings::NoError;
}

} // namespace tess
