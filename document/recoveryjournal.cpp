// SPDX-License-Identifier: MIT
#include "document/recoveryjournal.h"

#include "level/journalfile.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QStandardPaths>

#include <algorithm>

namespace tess {

namespace {

QString lockof(const QString& journal) {
    const QFileInfo info(journal);
    return info.dir().filePath(info.completeBaseName() + QStringLiteral(".lock"));
}

} // namespace

RecoveryJournal::RecoveryJournal() { writer_ = std::thread([this] { run(); }); }

RecoveryJournal::~RecoveryJournal() {
    {
        std::lock_guard lock(mutex_);
        stop_ = true;
    }
    wake_.notify_all();
    writer_.join();
}

QString RecoveryJournal::defaultfolder() {
    return QDir(QStandardPaths::writableLocation(QStandardPaths::AppDataLocation)).filePath(QStringLiteral("recovery"));
}

bool RecoveryJournal::open(const QString& folder) {
    folder_ = folder;
    if (!QDir().mkpath(folder)) {
        reason_ = QStringLiteral("Der Ordner „%1“ lässt sich nicht anlegen.").arg(QDir::toNativeSeparators(folder));
        return false;
    }
    const QString id = QStringLiteral("%1-%2").arg(QCoreApplication::applicationPid()).arg(
        QRandomGenerator::global()->generate(), 8, 16, QLatin1Char('0'));
    auto lock = std::make_unique<QLockFile>(QDir(folder).filePath(id + QStringLiteral(".lock")));
    // Only a dead process makes a lock stale, never its age: an editor may
    // run for days.
    lock->setStaleLockTime(0);
    if (!lock->tryLock(0)) {
        reason_ = QStringLiteral("Im Ordner „%1“ lässt sich nicht schreiben.").arg(QDir::toNativeSeparators(folder));
        return false;
    }
    lock_ = std::move(lock);
    path_ = QDir(folder).filePath(id + QStringLiteral(".journal"));
    return true;
}

void RecoveryJournal::write(QByteArray bytes) {
    if (!isopen()) return;
    {
        std::lock_guard lock(mutex_);
        pending_ = std::move(bytes);
        removepending_ = false;
    }
    wake_.notify_all();
}

void RecoveryJournal::remove() {
    if (!isopen()) return;
    {
        std::lock_guard lock(mutex_);
        pending_.reset();
        removepending_ = true;
    }
    wake_.notify_all();
}

bool RecoveryJournal::flush(int ms) {
    std::unique_lock lock(mutex_);
    return idle_.wait_for(lock, std::chrono::milliseconds(ms),
                          [this] { return !busy_ && !pending_ && !removepending_; });
}

void RecoveryJournal::run() {
    for (;;) {
        std::optional<QByteArray> bytes;
        bool remove = false;
        {
            std::unique_lock lock(mutex_);
            wake_.wait(lock, [this] { return stop_ || pending_ || removepending_; });
            if (!pending_ && !removepending_) return; // stopping with nothing left to do
            bytes.swap(pending_);
            remove = removepending_;
            removepending_ = false;
            busy_ = true;
        }
        QString error;
        if (bytes) {
            const FileResult r = writedurably(path_, *bytes);
            if (!r.ok) error = r.error;
        } else if (remove && QFile::exists(path_) && !QFile::remove(path_)) {
            error = QStringLiteral("Die Datei „%1“ lässt sich nicht löschen.").arg(QDir::toNativeSeparators(path_));
        }
        if (!error.isEmpty())
            QMetaObject::invokeMethod(this, [this, error] { emit failed(error); }, Qt::QueuedConnection);
        else if (bytes)
            QMetaObject::invokeMethod(this, [this] { emit written(); }, Qt::QueuedConnection);
        {
            std::lock_guard lock(mutex_);
            busy_ = false;
        }
        idle_.notify_all();
    }
}

QStringList RecoveryJournal::orphans() {
    if (!isopen()) return {};
    QDir dir(folder_);
    QFileInfoList found = dir.entryInfoList({QStringLiteral("*.journal")}, QDir::Files, QDir::Time);
    QStringList result;
    for (const QFileInfo& info : found) {
        const QString journal = info.absoluteFilePath();
        if (journal == QFileInfo(path_).absoluteFilePath() || orphanpaths_.contains(journal)) continue;
        auto lock = std::make_unique<QLockFile>(lockof(journal));
        lock->setStaleLockTime(0);
        if (!lock->tryLock(0)) continue; // its editor still runs, or another one offers it now
        orphanlocks_.push_back(std::move(lock));
        orphanpaths_ << journal;
        result << journal;
    }
    return result;
}

void RecoveryJournal::release(const QString& journal, bool remove) {
    const qsizetype i = orphanpaths_.indexOf(journal);
    if (i < 0) return;
    if (remove) QFile::remove(journal);
    orphanlocks_.erase(orphanlocks_.begin() + i); // unlocks: the lock file goes
    orphanpaths_.removeAt(i);
}

QString RecoveryJournal::keepaside(const QString& journal) {
    QString aside = journal + QStringLiteral(".unreadable");
    for (int n = 2; QFile::exists(aside); ++n) aside = journal + QStringLiteral(".unreadable.%1").arg(n);
    const bool moved = QFile::rename(journal, aside);
    release(journal, false);
    return moved ? aside : journal;
}

} // namespace tess
