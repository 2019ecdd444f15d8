// SPDX-License-Identifier: MIT
#pragma once

// What the editor remembers between runs: the commands of the "Testen" menu,
// the recently used packs, the folder the file dialogs start in and the view
// options. The settings file comes from outside: reading it takes what it
// can and drops the rest, never more than the limits below. QtCore only.

#include <QList>
#include <QString>
#include <QStringList>

class QSettings;

namespace tess {

// A program the editor starts on the pack, as the user configured it.
struct TestCommand {
    QString name;
    QString program;
    QString arguments; // as typed: split like a shell would, %pack %level %dir replaced
    QString folder;    // working folder, placeholders allowed; empty: the pack's folder
    QString shortcut;  // portable text of a key sequence; empty: none
    bool savefirst = false; // otherwise %pack is a temporary copy
    bool operator==(const TestCommand&) const = default;
};

struct ViewOptions {
    bool edge = false; // a frame around the level's interior
    bool grid = false; // lines between the cells
    bool operator==(const ViewOptions&) const = default;
};

struct EditorSettings {
    QList<TestCommand> commands;
    QStringList recent; // absolute paths, most recent first
    QString folder;     // of the pack last loaded or saved
    ViewOptions view;
    QByteArray window; // the main window's size and place as Qt saves them; empty before the first close
    bool operator==(const EditorSettings&) const = default;
};

constexpr int maxcommands = 20;
constexpr int maxrecent = 8;
constexpr int maxsettingtext = 4096; // characters of one value
constexpr qint64 maxsettingsbytes = 256 * 1024;
constexpr int maxwindowbytes = 1024; // a saved window geometry is well under 100

// The settings file of this user: <config>/<organisation>/<application>.conf,
// <config> following XDG_CONFIG_HOME (~/.config). The only place that says so.
QString settingsfile();
// What settings holds, within the limits; bad entries are left out.
EditorSettings readsettings(QSettings& settings);
// Writes the groups (commands, recent packs, dialogs' folder, each view
// option, the window) in which after differs from before, and leaves every other key
// of settings as it is.
void writechanged(QSettings& settings, const EditorSettings& before, const EditorSettings& after);
// All of values, as writechanged from nothing would miss the defaults.
void writesettings(QSettings& settings, const EditorSettings& values);
// recent with path at the front, once, cut to maxrecent.
QStringList addrecent(QStringList recent, const QString& path);

} // namespace tess
