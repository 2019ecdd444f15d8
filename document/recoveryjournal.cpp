// SPDX-License-Identifier: MIT
#include "document/recoveryjournal.h"

#include "level/journalfile.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QSysInfo>
#include <QStandardPaths>

#include <algorithm>

#include <sys/stat.h>
#include <signal.h>

#include <cerrno>

namespace tess {

namespace {

QString lockof(const QString& journal) {
    const QFileInfo info(journal);
    return info.dir().filePath(info.completeBaseName() + QStringLiteral(".lock"));
}

// Files and folders made while it lives are the user's alone. The umask is
// the whole process's: hold it only around the calls at start that make
// locks and the folder, while nothing else here makes files.
struct PrivateUmask {
    mode_t old = ::umask(077);
    ~PrivateUmask() { ::umask(old); }
};

// True when the editor that wrote lock runs still, as far as this machine
// can tell; a lock of another machine's counts as running.
bool running(const QString& lock) {
    qint64 pid = 0;
    QString host, app;
    if (!QLockFile(lock).getLockInfo(&pid, &host, &app)) return false;
    if (!host.isEmpty() && host != QSysInfo::machineHostName()) return true;
    return pid > 0 && (::kill(pid_t(pid), 0) == 0 || errno == EPERM);
}

// Removes lock when the editor that took it is gone, as QLockFile decides.
void removestale(const QString& lock) {
    QLockFile stale(lock);
    stale.setStaleLockTime(0);
    if (stale.tryLock(0)) stale.unlock();
}

QString unusable(const QFileInfo& entry, const QString& why) {
    return QStringLiteral("Die Wiederherstellungsdatei „%1“ ist unbrauchbar: %2")
        .arg(QDir::toNativeSeparators(entry.absoluteFilePath()), why);
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
    PrivateUmask privately;
    if (!QDir().mkpath(folder)) {
        reason_ = QStringLiteral("Der Ordner „%1“ lässt sich nicht anlegen.").arg(QDir::toNativeSeparators(folder));
        return false;
    }
    // A folder left open to others by hand or by an older version is closed
    // before this editor puts anything into it.
    constexpr auto others = QFileDevice::ReadGroup | QFileDevice::WriteGroup | QFileDevice::ExeGroup |
                            QFileDevice::ReadOther | QFileDevice::WriteOther | QFileDevice::ExeOther;
    if (QFile::permissions(folder) & others)
        QFile::setPermissions(folder, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
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

RecoveryJournal::Leftovers RecoveryJournal::leftovers() {
    Leftovers out;
    if (folder_.isEmpty()) return out;
    // PID-RANDOM.journal and .lock, and PID-RANDOM.journal.XXXXXX while the
    // journal is written.
    static const QRegularExpression ours(
        QStringLiteral("^(\\d+-[0-9a-f]{8})\\.(journal|lock)(\\.[A-Za-z0-9]{6})?$"));
    const QDir dir(folder_);
    const QString own = QFileInfo(path_).completeBaseName();
    const auto entries = dir.entryInfoList(QDir::AllEntries | QDir::System | QDir::Hidden | QDir::NoDotAndDotDot,
                                           QDir::Time);
    for (const QFileInfo& entry : entries) {
        const QString name = entry.fileName();
        if (name.contains(QStringLiteral(".unreadable"))) continue; // kept aside by an earlier start
        const QRegularExpressionMatch m = ours.match(name);
        const bool lock = m.captured(2) == u"lock", writing = m.hasCaptured(3);
        if (!m.hasMatch() || (lock && writing)) {
            out.strays.push_back({entry.absoluteFilePath(),
                                  unusable(entry, QStringLiteral("Ihr Name ist nicht der einer Wiederherstellungsdatei."))});
            continue;
        }
        if (isopen() && m.captured(1) == own) continue;
        const QString journal = dir.filePath(m.captured(1) + QStringLiteral(".journal"));
        const QString lockfile = lockof(journal);
        if (lock || writing) {
            // Litter of editors that are gone: a lock without a journal, or a
            // write cut short. Only an editor that can write removes it.
            if (!isopen()) continue;
            if (writing && !running(lockfile)) QFile::remove(entry.absoluteFilePath());
            if (lock && !QFileInfo::exists(journal)) removestale(lockfile);
            continue;
        }
        if (!entry.isFile()) {
            out.strays.push_back({entry.absoluteFilePath(),
                                  unusable(entry, entry.isDir() ? QStringLiteral("Sie ist ein Ordner.")
                                                                : QStringLiteral("Sie ist keine gewöhnliche Datei."))});
            continue;
        }
        if (!orphanpaths_.contains(journal) && !running(lockfile)) out.journals << journal;
    }
    return out;
}

bool RecoveryJournal::claim(const QString& journal) {
    if (orphanpaths_.contains(journal)) return true;
    if (!isopen()) return !running(lockof(journal));
    auto lock = std::make_unique<QLockFile>(lockof(journal));
    lock->setStaleLockTime(0);
    {
        PrivateUmask privately;
        if (!lock->tryLock(0)) return false; // its editor still runs, or another one offers it now
    }
    orphanlocks_.push_back(std::move(lock));
    orphanpaths_ << journal;
    return true;
}

void RecoveryJournal::release(const QString& journal, bool remove) {
    const qsizetype i = orphanpaths_.indexOf(journal);
    if (i < 0 && isopen()) return; // not claimed: another editor's
    if (remove) QFile::remove(journal);
    if (i < 0) return;
    orphanlocks_.erase(orphanlocks_.begin() + i); // unlocks: the lock file goes
    orphanpaths_.removeAt(i);
}

QString RecoveryJournal::keepaside(const QString& journal) {
    QString aside = journal + QStringLiteral(".unreadable");
    for (int n = 2; QFile::exists(aside); ++n) aside = journal + QStringLiteral(".unreadable.%1").arg(n);
    const bool moved = QFile::rename(journal, aside) || QDir().rename(journal, aside);
    release(journal, false);
    return moved ? aside : journal;
}

} // namespace tess
