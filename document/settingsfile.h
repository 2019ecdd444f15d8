// SPDX-License-Identifier: MIT
#pragma once

// The settings file on disk and the only way to it. Editors running at the
// same time, or a hand edit between two changes, share the file: each change
// takes a lock beside the file, reads what the file holds now and writes
// back only the groups it changed. The file, its lock and its folder are the
// user's alone (0600, 0700) from the moment they are made. QtCore only.

#include "document/editorsettings.h"

#include <QByteArray>
#include <QString>

#include <functional>

namespace tess {

// How reading the settings file went; anything but ok and missing leaves
// the file alone.
enum class SettingsRead { ok, missing, folder, special, toolarge, unreadable };

// At most maxsettingsbytes of the file at path into bytes, counted while
// reading; a folder, FIFO or device is not read at all.
SettingsRead readsettingsbytes(const QString& path, QByteArray& bytes);
// Why the file at path was not read, as the status bar says it; empty for
// ok and missing.
QString settingsproblem(SettingsRead how, const QString& path);

// The lock beside the settings file at path.
QString settingslock(const QString& path);

class SettingsFile {
public:
    explicit SettingsFile(QString path = settingsfile());
    const QString& path() const { return path_; }

    // What the file holds, within the limits; the defaults when it cannot
    // be read, and how reading went in how.
    EditorSettings read(SettingsRead* how = nullptr) const;
    // Applies edit to what the file holds now and writes the groups edit
    // changed; now gets the result. False, the file untouched, when it
    // cannot be read, locked or written.
    bool change(const std::function<void(EditorSettings&)>& edit, EditorSettings* now = nullptr);

private:
    QString path_;
};

} // namespace tess
