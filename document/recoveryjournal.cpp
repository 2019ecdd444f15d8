// SPDX-License-Identifier: MIT
#include "document/recoveryjournal.h"

#include "level/journalfile.h"

#include <QCoreApplication>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QStandardPaths>

#include <algorithm>
#include <tuple>

#include <fcntl.h>
#include <sys/stat.h>

#include <cerrno>
#include <cstdio>

namespace tess {

namespace {

QString lockof(const QString& journal) {
    const QFileInfo info(journal);
    return info.dir().filePath(info.completeBaseName() + QStringLiteral(".lock"));
}

// Folders made while it lives are the user's alone. The umask is the whole
// process's: hold it only around the call at start that makes the folder,
// while nothing else here makes files.
struct PrivateUmask {
    mode_t old = ::umask(077);
    ~PrivateUmask() { ::umask(old); }
};

// Removes path when it is a regular file: anything else was never this
// program's and is left alone.
void removeregular(const QString& path) {
    const QByteArray name = QFile::encodeName(path);
    struct stat st {};
    if (::lstat(name.constData(), &st) == 0 && S_ISREG(st.st_mode)) ::unlink(name.constData());
}

// rename() that never replaces an entry at to.
int renamenoreplace(const QByteArray& from, const QByteArray& to) {
    const int r = ::renameat2(AT_FDCWD, from.constData(), AT_FDCWD, to.constData(), RENAME_NOREPLACE);
    if (r == 0 || (errno != EINVAL && errno != ENOSYS)) return r;
    struct stat st {}; // a file system without it: checked, then renamed
    if (::lstat(to.constData(), &st) == 0) return errno = EEXIST, -1;
    return ::rename(from.constData(), to.constData());
}

QString unusable(const QString& path, const QString& why) {
    return QStringLiteral("Die Wiederherstellungsdatei „%1“ ist unbrauchbar: %2")
        .arg(QDir::toNativeSeparators(path), why);
}

// An entry of the folder as it is, no link followed.
struct Entry {
    QString name, path;
    struct stat st {};
};

// The folder's entries, newest first. Seen with lstat alone: the names of
// thousands cost milliseconds, where sorting QFileInfos by their local times
// costs seconds.
std::vector<Entry> entriesof(const QString& folder) {
    std::vector<Entry> out;
    QDirIterator it(folder, QDir::AllEntries | QDir::System | QDir::Hidden | QDir::NoDotAndDotDot);
    while (it.hasNext()) {
        const QString path = it.next();
        Entry e{it.fileName(), path, {}};
        if (::lstat(QFile::encodeName(e.path).constData(), &e.st) == 0) out.push_back(std::move(e));
    }
    const auto newest = [](const Entry& a, const Entry& b) {
        const auto ta = std::tie(a.st.st_mtim.tv_sec, a.st.st_mtim.tv_nsec),
                   tb = std::tie(b.st.st_mtim.tv_sec, b.st.st_mtim.tv_nsec);
        return ta != tb ? ta > tb : a.name < b.name;
    };
    std::sort(out.begin(), out.end(), newest);
    return out;
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
    // Only a dead process makes a lock stale, never its age: an editor may
    // run for days.
    auto lock = std::make_unique<HeldLock>(QDir(folder).filePath(id + QStringLiteral(".lock")));
    if (!lock->held()) {
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

void RecoveryJournal::queue(std::vector<Chore> chores) {
    if (chores.empty()) return;
    {
        std::lock_guard lock(mutex_);
        std::move(chores.begin(), chores.end(), std::back_inserter(chores_));
    }
    wake_.notify_all();
}

void RecoveryJournal::discard(const QStringList& journals) {
    std::vector<Chore> chores;
    for (const QString& journal : journals) chores.push_back({Chore::discard, journal, lockof(journal)});
    queue(std::move(chores));
}

void RecoveryJournal::run() {
    for (;;) {
        std::optional<QByteArray> bytes;
        std::optional<Chore> chore;
        bool remove = false;
        {
            std::unique_lock lock(mutex_);
            wake_.wait(lock, [this] { return stop_ || pending_ || removepending_ || !chores_.empty(); });
            // This editor's own journal goes first, and is all that is done
            // once it stops: the rest of the upkeep waits for a later start.
            if (pending_ || removepending_) {
                bytes.swap(pending_);
                remove = removepending_;
                removepending_ = false;
                busy_ = true;
            } else if (stop_) {
                return;
            } else {
                chore = std::move(chores_.front());
                chores_.pop_front();
            }
        }
        if (chore) {
            if (chore->kind == Chore::stalelock) removestalelock(chore->path);
            if (chore->kind == Chore::unfinished && !lockheld(chore->lock)) removeregular(chore->path);
            if (chore->kind == Chore::discard) {
                const HeldLock claimed(chore->lock);
                if (claimed.held()) removeregular(chore->path);
            }
            continue;
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
    std::vector<Chore> chores;
    for (const Entry& entry : entriesof(folder_)) {
        const QString& name = entry.name;
        if (name.contains(QStringLiteral(".unreadable"))) continue; // kept aside by an earlier start
        const QRegularExpressionMatch m = ours.match(name);
        const bool lock = m.captured(2) == u"lock", writing = m.hasCaptured(3);
        const auto stray = [&](const QString& why) { out.strays.push_back({entry.path, unusable(entry.path, why)}); };
        if (!m.hasMatch() || (lock && writing)) {
            stray(QStringLiteral("Ihr Name ist nicht der einer Wiederherstellungsdatei."));
            continue;
        }
        if (isopen() && m.captured(1) == own) continue;
        // No editor makes anything but small regular files here: what else
        // has such a name is set aside unopened (a FIFO would block, a
        // device or a huge file never end), and a link is never followed.
        const mode_t type = entry.st.st_mode & S_IFMT;
        if (type != S_IFREG) {
            stray(type == S_IFLNK   ? QStringLiteral("Sie ist eine symbolische Verknüpfung.")
                  : type == S_IFDIR ? QStringLiteral("Sie ist ein Ordner.")
                                    : QStringLiteral("Sie ist keine gewöhnliche Datei."));
            continue;
        }
        if (lock && entry.st.st_size > lockmaxlen) {
            stray(QStringLiteral("Sie ist größer als %1 Bytes.").arg(lockmaxlen));
            continue;
        }
        const QString journal = dir.filePath(m.captured(1) + QStringLiteral(".journal"));
        const QString lockfile = lockof(journal);
        if (lock || writing) {
            // Litter of editors that are gone: a lock without a journal, or a
            // write cut short. Only an editor that can write removes it.
            if (isopen() && (writing || !QFileInfo::exists(journal)))
                chores.push_back({writing ? Chore::unfinished : Chore::stalelock, entry.path, lockfile});
            continue;
        }
        if (!orphanpaths_.contains(journal) && !lockheld(lockfile)) out.journals << journal;
    }
    queue(std::move(chores));
    return out;
}

bool RecoveryJournal::claim(const QString& journal) {
    if (orphanpaths_.contains(journal)) return true;
    if (!isopen()) return !lockheld(lockof(journal));
    auto lock = std::make_unique<HeldLock>(lockof(journal));
    if (!lock->held()) return false; // its editor still runs, or another one offers it now
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
    // Renamed, never copied: whatever it is stays as it is.
    const QByteArray from = QFile::encodeName(journal);
    QString aside = journal + QStringLiteral(".unreadable");
    bool moved = false;
    for (int n = 2; !moved && n <= 1000; ++n) {
        moved = renamenoreplace(from, QFile::encodeName(aside)) == 0;
        if (!moved && errno != EEXIST) break;
        if (!moved) aside = journal + QStringLiteral(".unreadable.%1").arg(n);
    }
    release(journal, false);
    return moved ? aside : journal;
}

} // namespace tess
