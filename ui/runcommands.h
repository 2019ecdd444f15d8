// SPDX-License-Identifier: MIT
#pragma once

// Starting the commands of the "Testen" menu: the arguments as the user
// typed them with the placeholders filled in, the program started without a
// shell, and its output and exit status in a small log window that opens by
// itself when a program fails.

#include "document/editorsettings.h"
#include "document/settingsfile.h"
#include "ui/commandcopies.h"

#include <QDialog>
#include <QStringList>

#include <functional>
#include <map>
#include <memory>

class QPlainTextEdit;
class QProcess;
class QTemporaryDir;

namespace tess {

// What the placeholders stand for in one run.
struct CommandPlaces {
    QString pack;  // %pack: the pack's file
    int level = 1; // %level: 1..111
    QString dir;   // %dir: the pack's folder
};

// Words as a shell splits them, without any expansion: blanks separate,
// '...' keeps everything, "..." everything but \" and \\, a backslash
// outside quotes takes the next character; an unclosed quote runs to the end.
QStringList splitarguments(const QString& typed);
// The arguments split into words, then %pack, %level and %dir replaced
// inside each word, so a path with spaces stays one argument.
QStringList expandarguments(const QString& typed, const CommandPlaces& places);
// The working folder: the command's own with placeholders filled in, or
// the pack's folder.
QString commandfolder(const TestCommand& command, const CommandPlaces& places);

// The output of the commands run so far; keeps the last few thousand lines.
class CommandLog : public QDialog {
    Q_OBJECT
public:
    explicit CommandLog(QWidget* parent);
    void append(const QString& text);
    QString text() const;

private:
    QPlainTextEdit* view_;
};

// Starts programs and follows them until they end. One run of each command
// at a time: starting one that still runs only says so in the log.
class CommandRunner : public QObject {
    Q_OBJECT
public:
    // Removes the copies of editors that died from copybase.
    explicit CommandRunner(QWidget* window, const QString& copybase = QDir::tempPath());
    ~CommandRunner() override;

    CommandLog* log;
    CommandCopies copies; // where %pack is copied to
    // Called when a program could not be started at all, with a text that
    // names it. Set by the window, which shows it in its error box.
    std::function<void(const QString&)> cannotstart;
    // Called with a line for the window's status bar when a run starts,
    // cannot start because it still runs, or ends.
    std::function<void(const QString&)> said;

    // Starts command with places and returns at once; copy, when set, is
    // the temporary folder holding %pack, kept until the next run of the
    // same command or the runner's end. False, and copy removed, when the
    // same command still runs. A program that cannot be
    // started is reported through cannotstart, now or from the event loop.
    bool run(const TestCommand& command, const CommandPlaces& places, std::unique_ptr<QTemporaryDir> copy);
    int running() const;

private:
    struct Run;
    std::map<QString, std::unique_ptr<QTemporaryDir>> kept_; // the last copy of each command
    std::vector<std::unique_ptr<Run>> runs_;
    void ended(Run* run, const QString& how, bool failed);
};

// What the main window keeps for its "Testen" menu and recent packs.
struct CommandExtras {
    EditorSettings values;
    std::unique_ptr<SettingsFile> file; // null: nothing is remembered
    CommandRunner* runner = nullptr; // a child of the window
};

} // namespace tess
