// SPDX-License-Identifier: MIT
#include "ui/commandcopies.h"

#include <QTemporaryDir>

namespace tess {

namespace {

const QLatin1StringView runprefix("tessaronedit-run-");
const QLatin1StringView lockname("lock");

} // namespace

CommandCopies::CommandCopies(QString base) : base_(std::move(base)) {
    const QDir dir(base_);
    for (const QString& name :
         dir.entryList({runprefix + QLatin1Char('*')}, QDir::Dirs | QDir::NoSymLinks)) {
        QDir run(dir.filePath(name));
        // Held: its editor runs. Not openable: another user's, not ours to judge.
        const FileLock dead(run.filePath(lockname), 0);
        if (dead.held()) run.removeRecursively();
    }
}

CommandCopies::~CommandCopies() {
    if (!folder_.isEmpty()) QDir(folder_).removeRecursively();
}

std::unique_ptr<QTemporaryDir> CommandCopies::make() {
    if (folder_.isEmpty()) {
        // Locked before it gets the name a starting editor looks for, so
        // that no one takes it for the folder of a dead editor.
        QTemporaryDir staging(base_ + QStringLiteral("/.tessaronedit-new-XXXXXX"));
        if (staging.isValid()) {
            auto lock = std::make_unique<FileLock>(QDir(staging.path()).filePath(lockname), 0);
            const QString named = base_ + QLatin1Char('/') + runprefix + staging.path().right(6);
            if (lock->held() && QDir().rename(staging.path(), named)) {
                staging.setAutoRemove(false);
                folder_ = named;
                lock_ = std::move(lock);
            }
        }
    }
    // Without a folder of its own the copy still goes below base, where a
    // later start will not find it if this editor dies.
    return std::make_unique<QTemporaryDir>(folder_.isEmpty()
                                               ? base_ + QStringLiteral("/tessaronedit-XXXXXX")
                                               : folder_ + QStringLiteral("/copy-XXXXXX"));
}

} // namespace tess
