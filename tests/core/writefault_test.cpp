// SPDX-License-Identifier: MIT
// Saving that cannot start or stops part way, for the pack and the level
// list: the write is reported, the message names the file, and the folder is
// left exactly as it was: the previous files byte for byte, no temporary
// file, no new folder.

#include "edit/editlayers.h"
#include "edit/levelselect.h"
#include "fakehost.h"
#include "level/packfile.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <fcntl.h>
#include <sched.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <map>
#include <ostream>
#include <memory>
#include <sstream>
#include <string>
#include <tuple>

using namespace tess;
using tess::test::FakeHost;

namespace {

struct Writer {
    const char* name;
    FileResult (*write)(const QString&, const LevelPack&);
    const char* previousname; // the file this writer replaces
    qsizetype length;         // what a whole write puts into the file
    rlim_t partlimit;         // a file size limit that stops the write part way
};

const Writer writers[] = {
    {"pack", writepack, "spiele.pak", packlen, 4096},
    {"levellist", writelevellist, "spiele.lst", listlen, 1024},
};

enum class Fault { ReadOnlyFolder, TargetIsFolder, MissingFolder, FileSizeLimit };

const char* faultname(Fault f) {
    switch (f) {
    case Fault::ReadOnlyFolder: return "ReadOnlyFolder";
    case Fault::TargetIsFolder: return "TargetIsFolder";
    case Fault::MissingFolder: return "MissingFolder";
    case Fault::FileSizeLimit: return "FileSizeLimit";
    }
    return "?";
}

void PrintTo(Fault f, std::ostream* os) { *os << faultname(f); }

// Recognisable bytes, different for every seed.
QByteArray patterned(qsizetype len, int seed) {
    QByteArray b(len, 0);
    for (qsizetype i = 0; i < len; ++i) b[i] = static_cast<char>((i * 13 + i / 97 + seed) & 0xFF);
    return b;
}

void spit(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly)) << path.toStdString();
    ASSERT_EQ(f.write(bytes), bytes.size());
}

// Every entry below root, hidden ones included: files with their bytes,
// folders with a trailing slash.
using Tree = std::map<QString, QByteArray>;

Tree snapshot(const QString& root) {
    Tree tree;
    QDirIterator it(root, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    const QDir base(root);
    while (it.hasNext()) {
        const QString path = it.next();
        const QString rel = base.relativeFilePath(path);
        if (it.fileInfo().isDir()) {
            tree[rel + QLatin1Char('/')] = {};
        } else {
            QFile f(path);
            tree[rel] = f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<unreadable>");
        }
    }
    return tree;
}

// What changed between two snapshots, one line per entry; empty when nothing did.
std::string treediff(const Tree& before, const Tree& after) {
    std::ostringstream out;
    for (const auto& [name, bytes] : before) {
        const auto it = after.find(name);
        if (it == after.end())
            out << "gone: " << name.toStdString() << "\n";
        else if (it->second != bytes)
            out << "changed: " << name.toStdString() << " (" << bytes.size() << " bytes, now "
                << it->second.size() << ")\n";
    }
    for (const auto& [name, bytes] : after)
        if (!before.count(name))
            out << "new: " << name.toStdString() << " (" << bytes.size() << " bytes)\n";
    return out.str();
}

// The outcome of a write run in a child process.
struct ChildRun {
    std::string how;        // how the child set up the fault
    std::string setupfault; // non-empty: the fault could not be set up, nothing was written
    FileResult result;
    std::string trouble; // non-empty: the child did not end normally
};

bool writeall(int fd, const std::string& s) {
    std::size_t done = 0;
    while (done < s.size()) {
        const ssize_t n = ::write(fd, s.data() + done, s.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        done += static_cast<std::size_t>(n);
    }
    return true;
}

// Forks; the child runs prepare, which sets up the fault for the child alone
// and tells how (or returns false and tells why not), and then the write.
// The parent gets everything back through a pipe, so that all assertions are
// made by the parent. The child leaves through _exit: it must not run the
// destructors it shares with the parent, such as the temporary folder's.
ChildRun inchild(const std::function<bool(std::string& how, std::string& why)>& prepare,
                 const std::function<FileResult()>& write) {
    ChildRun run;
    int fds[2];
    if (::pipe(fds) != 0) {
        run.trouble = std::string("pipe: ") + std::strerror(errno);
        return run;
    }
    const pid_t pid = ::fork();
    if (pid < 0) {
        run.trouble = std::string("fork: ") + std::strerror(errno);
        ::close(fds[0]);
        ::close(fds[1]);
        return run;
    }
    if (pid == 0) {
        ::close(fds[0]);
        std::string how, why, msg;
        if (!prepare(how, why)) {
            msg = how + "\nS" + why;
        } else {
            const FileResult r = write();
            msg = how + "\n" + (r.ok ? "1" : "0") + r.error.toStdString();
        }
        const bool sent = writeall(fds[1], msg);
        ::close(fds[1]);
        ::_exit(sent ? 0 : 3);
    }
    ::close(fds[1]);
    std::string msg;
    char buf[4096];
    for (;;) {
        const ssize_t n = ::read(fds[0], buf, sizeof buf);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;
        msg.append(buf, static_cast<std::size_t>(n));
    }
    ::close(fds[0]);
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        std::ostringstream t;
        if (WIFSIGNALED(status))
            t << "the child was killed by signal " << WTERMSIG(status);
        else
            t << "the child exited with " << WEXITSTATUS(status);
        run.trouble = t.str();
        return run;
    }
    const std::size_t nl = msg.find('\n');
    if (nl == std::string::npos || nl + 1 >= msg.size()) {
        run.trouble = "the child sent no result";
        return run;
    }
    run.how = msg.substr(0, nl);
    const char kind = msg[nl + 1];
    const std::string rest = msg.substr(nl + 2);
    if (kind == 'S') {
        run.setupfault = rest;
    } else {
        run.result.ok = kind == '1';
        run.result.error = QString::fromStdString(rest);
    }
    return run;
}

std::string errnotext(const char* what) { return std::string(what) + ": " + std::strerror(errno); }

// Makes folder read-only for this process. Root passes permission bits, so
// the folder is bind-mounted onto itself read-only in a mount namespace of
// its own; without the rights for that, a non-root process falls back to
// mode 0555. Either way a probe must fail to create a file there.
// Tries a read-only bind mount in a private mount namespace.
bool readonlymount(const QByteArray& path, std::string& why) {
    if (::unshare(CLONE_NEWNS) != 0) {
        why = errnotext("unshare(CLONE_NEWNS)");
        return false;
    }
    // Private first, so that the read-only mount stays in this namespace.
    if (::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0) {
        why = errnotext("making the mounts private");
        return false;
    }
    if (::mount(path.constData(), path.constData(), nullptr, MS_BIND, nullptr) != 0 ||
        ::mount(nullptr, path.constData(), nullptr, MS_BIND | MS_REMOUNT | MS_RDONLY, nullptr) != 0) {
        why = errnotext("read-only bind mount");
        return false;
    }
    return true;
}

// Makes folder refuse new files for this (child) process: a read-only mount
// where mounting is allowed, else mode 0555, written as an unprivileged user
// when running as root (root ignores the mode).
bool makereadonly(const QString& folder, std::string& how, std::string& why) {
    const QByteArray path = QFile::encodeName(folder);
    std::string mountfault;
    if (readonlymount(path, mountfault)) {
        how = "read-only bind mount in a mount namespace";
    } else {
        if (::chmod(path.constData(), 0555) != 0) {
            why = mountfault + "; " + errnotext("chmod 0555");
            return false;
        }
        how = "chmod 0555 (" + mountfault + ")";
        if (::geteuid() == 0) {
            // This child goes on as a user who may pass through the
            // temporary folder but not write into the read-only one.
            const QByteArray parent = QFile::encodeName(QFileInfo(folder).absolutePath());
            if (::chmod(parent.constData(), 0755) != 0 || ::setgid(65534) != 0 ||
                ::setuid(65534) != 0) {
                why = mountfault + "; " + errnotext("dropping to an unprivileged user");
                return false;
            }
            how = "chmod 0555, written as an unprivileged user (" + mountfault + ")";
        }
    }
    const QByteArray probe = QFile::encodeName(folder + QStringLiteral("/.probe"));
    const int fd = ::open(probe.constData(), O_WRONLY | O_CREAT | O_EXCL, 0644);
    if (fd >= 0) {
        ::close(fd);
        ::unlink(probe.constData());
        why = "the folder still takes new files after " + how;
        return false;
    }
    return true;
}

// A file size limit for this process; a write past it fails with EFBIG
// instead of raising SIGXFSZ.
bool limitfilesize(rlim_t limit, std::string& how, std::string& why) {
    if (std::signal(SIGXFSZ, SIG_IGN) == SIG_ERR) {
        why = errnotext("ignoring SIGXFSZ");
        return false;
    }
    const rlimit lim{limit, limit};
    if (::setrlimit(RLIMIT_FSIZE, &lim) != 0) {
        why = errnotext("setrlimit(RLIMIT_FSIZE)");
        return false;
    }
    how = "RLIMIT_FSIZE " + std::to_string(limit) + " bytes, SIGXFSZ ignored";
    return true;
}

class FailedWrite : public ::testing::TestWithParam<std::tuple<int, Fault>> {
protected:
    QTemporaryDir dir;
    std::unique_ptr<LevelStore> store = std::make_unique<LevelStore>();
    EditLayers layers;
    FakeHost host;
    QString folder; // where the pack and its list are saved
    QFile::Permissions folderpermissions;

    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        newlevelpack(*store, layers, host);
        // Something to save that differs from the files already there.
        store->curlevel[cellindex(9, 9)] = code_infotron;
        host.titletext = "Neu gespeichert";
        ASSERT_TRUE(savebacklevel(*store, host));

        folder = dir.filePath(QStringLiteral("spiele"));
        ASSERT_TRUE(QDir().mkpath(folder));
        folderpermissions = QFileInfo(folder).permissions();
        // A pack and a level list saved earlier, a folder named like a pack
        // holding a file of its own.
        spit(folder + QStringLiteral("/spiele.pak"), patterned(packlen, 1));
        spit(folder + QStringLiteral("/spiele.lst"), patterned(listlen, 2));
        ASSERT_TRUE(QDir(folder).mkdir(QStringLiteral("ordner.pak")));
        spit(folder + QStringLiteral("/ordner.pak/notiz.txt"), "bleibt");
    }

    void TearDown() override { restorefolder(); }

    // Undoes a chmod fallback, so that the folder takes files again and the
    // temporary folder can be removed.
    void restorefolder() {
        if (!folder.isEmpty()) QFile::setPermissions(folder, folderpermissions);
    }
};

TEST_P(FailedWrite, IsReportedAndLeavesTheFolderAsItWas) {
    const Writer& w = writers[std::get<0>(GetParam())];
    const Fault fault = std::get<1>(GetParam());
    const QString previous = folder + QLatin1Char('/') + QLatin1String(w.previousname);
    auto write = [&](const QString& target) { return w.write(target, store->levelpack); };

    const Tree before = snapshot(dir.path());
    ASSERT_EQ(before.count(QStringLiteral("spiele/spiele.pak")), 1u);
    ASSERT_EQ(before.count(QStringLiteral("spiele/spiele.lst")), 1u);
    ASSERT_EQ(before.count(QStringLiteral("spiele/ordner.pak/notiz.txt")), 1u);

    QString target;
    FileResult r;
    switch (fault) {
    case Fault::TargetIsFolder:
        target = folder + QStringLiteral("/ordner.pak");
        r = write(target);
        break;
    case Fault::MissingFolder:
        target = folder + QStringLiteral("/fehlt/neu.pak");
        r = write(target);
        break;
    case Fault::ReadOnlyFolder: {
        target = previous;
        const ChildRun run = inchild(
            [&](std::string& how, std::string& why) { return makereadonly(folder, how, why); },
            [&] { return write(target); });
        ASSERT_TRUE(run.trouble.empty()) << run.trouble;
        if (!run.setupfault.empty()) {
            if (std::getenv("TESS_NO_SKIP")) FAIL() << "no read-only folder possible: " << run.setupfault;
            GTEST_SKIP() << "no read-only folder possible: " << run.setupfault;
        }
        RecordProperty("readonly", run.how);
        std::printf("[ read-only by ] %s\n", run.how.c_str());
        r = run.result;
        break;
    }
    case Fault::FileSizeLimit: {
        target = previous;
        const ChildRun run = inchild(
            [&](std::string& how, std::string& why) { return limitfilesize(w.partlimit, how, why); },
            [&] { return write(target); });
        ASSERT_TRUE(run.trouble.empty()) << run.trouble;
        ASSERT_TRUE(run.setupfault.empty()) << run.setupfault;
        r = run.result;
        break;
    }
    }

    EXPECT_FALSE(r.ok);
    EXPECT_FALSE(r.error.isEmpty());
    // Named in the message's own words: Qt's reason alone may quote a path too.
    const QString named = QStringLiteral("„%1“").arg(QDir::toNativeSeparators(target));
    EXPECT_TRUE(r.error.contains(named)) << r.error.toStdString();
    // A write stopped part way says how far it got, not an empty reason.
    if (fault == Fault::FileSizeLimit) {
        EXPECT_TRUE(r.error.contains(QStringLiteral("Bytes"))) << r.error.toStdString();
    }
    EXPECT_EQ(treediff(before, snapshot(dir.path())), "");

    // Without the fault the same write replaces the file, so it was the fault
    // that stopped it above.
    if (fault == Fault::ReadOnlyFolder || fault == Fault::FileSizeLimit) {
        restorefolder();
        const FileResult again = write(target);
        ASSERT_TRUE(again.ok) << again.error.toStdString();
        QFile f(target);
        ASSERT_TRUE(f.open(QIODevice::ReadOnly));
        EXPECT_EQ(f.size(), w.length);
        EXPECT_NE(f.readAll(), before.at(QStringLiteral("spiele/") + QLatin1String(w.previousname)));
    }
}

INSTANTIATE_TEST_SUITE_P(
    WriteFault, FailedWrite,
    ::testing::Combine(::testing::Values(0, 1),
                       ::testing::Values(Fault::ReadOnlyFolder, Fault::TargetIsFolder,
                                         Fault::MissingFolder, Fault::FileSizeLimit)),
    [](const ::testing::TestParamInfo<FailedWrite::ParamType>& info) {
        return std::string(writers[std::get<0>(info.param)].name) + "_" +
               faultname(std::get<1>(info.param));
    });

} // namespace
