// SPDX-License-Identifier: MIT
#pragma once

// The settings file's INI dialect, read and written by the editor itself
// rather than by QSettings::IniFormat. Qt's own reader turns a value that
// starts with "@Variant(" into a QDataStream and trusts the element counts in
// it; a hand-edited or damaged file could make it reserve gigabytes. Here
// every value is text or a list of texts and nothing else: values Qt marked
// as typed ("@ByteArray(...)", "@Variant(...)") are left out. Files written
// by either reader stay readable by the other for everything the editor
// stores. QtCore only.

#include <QSettings>

class QIODevice;

namespace tess {

// The format to give QSettings for the settings file.
QSettings::Format iniformat();

// What device holds, as QSettings keys ("group/sub/key") and values
// (QString or QStringList). Never fails: lines it cannot read are skipped.
bool readini(QIODevice& device, QSettings::SettingsMap& map);
// map as INI text; values other than text, lists and numbers are left out.
bool writeini(QIODevice& device, const QSettings::SettingsMap& map);

} // namespace tess
