// SPDX-License-Identifier: MIT
#include "document/settingsfile.h"

#include "document/filelock.h"
#include "document/iniformat.h"
#include "level/packfile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QTemporaryDir>
#include <QTemporaryFile>

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tess {

namespace {

// folder and every folder missing above it, each made 0700; folders that
// exist keep their permissions.
bool makeprivatefolder(const QString& folder) {
    if (QFileInfo(folder).isDir()) return true;
    const QString above = QFileInfo(folder).absolutePath();
    if (above == folder || !makeprivatefolder(above)) return false;
    return QDir().mkdir(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner) ||
           QFileInfo(folder).isDir();
}

// Replaces the file at path with bytes: a new file, 0600 as it is made,
// renamed over the old, so a reader sees the old file or the new one.
bool writeprivately(const QString& path, const QByteArray& bytes) {
    QTemporaryFile file(path + QStringLiteral(".XXXXXX"));
    if (!file.open() || file.write(bytes) != bytes.size() || !file.flush() ||
        ::fsync(file.handle()) != 0)
        return false;
    file.close();
    if (std::rename(QFile::encodeName(file.fileName()).constData(),
                    QFile::encodeName(path).constData()) != 0)
        return false;
    file.setAutoRemove(false);
    return true;
}

// bytes as a file of scratch for QSettings to read and change; empty when
// it cannot be written.
QString scratchcopy(const QTemporaryDir& scratch, const QByteArray& bytes) {
    const QString copy = scratch.filePath(QStringLiteral("s.conf"));
    QFile f(copy);
    return scratch.isValid() && f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size()
               ? copy
               : QString();
}

} // namespace

SettingsRead readsettingsbytes(const QString& path, QByteArray& bytes) {
    bytes.clear();
    const QByteArray name = QFile::encodeName(path);
    struct stat st {};
    if (::stat(name.constData(), &st) != 0)
        return errno == ENOENT ? SettingsRead::missing : SettingsRead::unreadable;
    if (S_ISDIR(st.st_mode)) return SettingsRead::folder;
    if (!S_ISREG(st.st_mode)) return SettingsRead::special;
    // Without blocking, and looked at again once open: a FIFO put in its
    // place meanwhile must not hang the editor.
    const int fd = ::open(name.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return SettingsRead::unreadable;
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        return SettingsRead::special;
    }
    QFile file;
    if (!file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        return SettingsRead::unreadable;
    }
    if (!readupto(file, maxsettingsbytes, bytes)) return SettingsRead::unreadable;
    if (bytes.size() > maxsettingsbytes) return SettingsRead::toolarge;
    return SettingsRead::ok;
}

QString settingsproblem(SettingsRead how, const QString& path) {
    const QString name = QDir::toNativeSeparators(path);
    switch (how) {
    case SettingsRead::ok:
    case SettingsRead::missing:
        return {};
    case SettingsRead::folder:
        return QStringLiteral("Einstellungen nicht gelesen: „%1“ ist ein Ordner.").arg(name);
    case SettingsRead::special:
        return QStringLiteral("Einstellungen nicht gelesen: „%1“ ist keine normale Datei.")
            .arg(name);
    case SettingsRead::toolarge:
        return QStringLiteral("Einstellungen nicht gelesen: „%1“ ist größer als %2 KiB.")
            .arg(name)
            .arg(maxsettingsbytes / 1024);
    case SettingsRead::unreadable:
        break;
    }
    return QStringLiteral("Einstellungen nicht gelesen: „%1“ lässt sich nicht lesen.").arg(name);
}

QString settingslock(const QString& path) { return path + QStringLiteral(".lck"); }

SettingsFile::SettingsFile(QString path) : path_(std::move(path)) {}

EditorSettings SettingsFile::read(SettingsRead* how) const {
    QByteArray bytes;
    const SettingsRead r = readsettingsbytes(path_, bytes);
    if (how) *how = r;
    QTemporaryDir scratch;
    const QString copy = r == SettingsRead::ok ? scratchcopy(scratch, bytes) : QString();
    if (copy.isEmpty()) return {};
    QSettings s(copy, iniformat());
    return readsettings(s);
}

bool SettingsFile::change(const std::function<void(EditorSettings&)>& edit, EditorSettings* now) {
    if (!makeprivatefolder(QFileInfo(path_).absolutePath())) return false;
    // Not "<file>.lock": QSettings takes that name for a lock of its own
    // whenever it writes a file, and would remove ours as stale.
    const FileLock lock(settingslock(path_));
    if (!lock.held()) return false;
    QByteArray bytes;
    const SettingsRead how = readsettingsbytes(path_, bytes);
    if (how != SettingsRead::ok && how != SettingsRead::missing) return false;
    QTemporaryDir scratch;
    const QString copy = scratchcopy(scratch, bytes);
    if (copy.isEmpty()) return false;
    EditorSettings before, after;
    {
        QSettings s(copy, iniformat());
        before = readsettings(s);
        after = before;
        edit(after);
        if (after == before) {
            if (now) *now = after;
            return true;
        }
        writechanged(s, before, after);
        s.sync();
        if (s.status() != QSettings::NoError) return false;
    }
    QFile f(copy);
    if (!f.open(QIODevice::ReadOnly) || !readupto(f, maxsettingsbytes, bytes) ||
        bytes.size() > maxsettingsbytes)
        return false; // a file the next start would not read
    // A link to the file stays a link: the file it names is replaced.
    const QFileInfo info(path_);
    const QString target =
        info.isSymLink() && !info.canonicalFilePath().isEmpty() ? info.canonicalFilePath() : path_;
    if (!writeprivately(target, bytes)) return false;
    if (now) *now = after;
    return true;
}

} // namespace tess
