// SPDX-License-Identifier: MIT
#include "edit/editlayers.h"
#include "edit/levelselect.h"
#include "fakehost.h"
#include "level/packfile.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <memory>

using namespace tess;
using tess::test::FakeHost;

namespace {

QByteArray slurp(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) return {};
    return f.readAll();
}

void spit(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    ASSERT_EQ(f.write(bytes), bytes.size());
}

QByteArray bytesof(const LevelPack& pack) {
    QByteArray out;
    for (const auto& rec : pack) out.append(reinterpret_cast<const char*>(rec.data()), reclen);
    return out;
}

struct PackFiles : ::testing::Test {
    QTemporaryDir dir;
    std::unique_ptr<LevelStore> owned = std::make_unique<LevelStore>();
    LevelStore& store = *owned;
    EditLayers layers;
    FakeHost host;
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        newlevelpack(store, layers, host);
    }
    QString path(const char* name) const { return dir.filePath(QString::fromLatin1(name)); }
    // A recognisable pack: every byte a function of its offset.
    static QByteArray patterned(qsizetype len) {
        QByteArray b(len, 0);
        for (qsizetype i = 0; i < len; ++i) b[i] = static_cast<char>((i * 7 + i / 251) & 0xFF);
        return b;
    }
};

TEST_F(PackFiles, NewPackSavedAsIsMatchesTheFormat) {
    ASSERT_TRUE(savebacklevel(store, host));
    const QString file = path("neu.pak");
    ASSERT_TRUE(writepack(file, store.levelpack).ok);
    const QByteArray bytes = slurp(file);
    ASSERT_EQ(bytes.size(), packlen);
    for (int i = 0; i < levelcount; ++i) {
        const char* rec = bytes.constData() + i * reclen;
        for (int c = 0; c < cellcount; ++c) {
            const bool ring = i == 0 && isbordercell(c % gridcols, c / gridcols);
            ASSERT_EQ(rec[c], ring ? 6 : 0) << "level " << i + 1 << " cell " << c;
        }
        EXPECT_EQ(rec[off_fixedspace], 0x20);
        EXPECT_EQ(QByteArray(rec + off_title, titlelen),
                  QByteArray::fromStdString(newleveltitle(i + 1)));
    }
}

TEST_F(PackFiles, SaveThenLoadGivesTheIdenticalPack) {
    store.curlevel[cellindex(4, 4)] = 41;
    store.curlevel[cellindex(5, 4)] = markbit | 4;
    host.titletext = "Zurück";
    ASSERT_TRUE(savebacklevel(store, host));
    const QString file = path("runde.pak");
    ASSERT_TRUE(writepack(file, store.levelpack).ok);

    auto loaded = std::make_unique<LevelPack>();
    ASSERT_TRUE(readpack(file, *loaded).ok);
    EXPECT_EQ(*loaded, store.levelpack);

    // Selecting level 1 of the loaded pack decodes the flag-0 port again.
    store.levelpack = *loaded;
    selectlevel(store, layers, host, 0);
    EXPECT_EQ(store.curlevel[cellindex(4, 4)], 41);
    EXPECT_EQ(store.curlevel[cellindex(5, 4)], 4);
}

TEST_F(PackFiles, LoadReplacesAllLevelsAndReadsOnlyThePackLength) {
    const QByteArray exact = patterned(packlen);
    const QByteArray longer = exact + QByteArray(1000, '\x55');
    for (const QByteArray& content : {exact, longer}) {
        const QString file = path("fremd.pak");
        spit(file, content);
        auto pack = std::make_unique<LevelPack>();
        const FileResult r = readpack(file, *pack);
        ASSERT_TRUE(r.ok) << r.error.toStdString();
        EXPECT_TRUE(r.error.isEmpty());
        EXPECT_EQ(bytesof(*pack), exact);
    }
}

TEST_F(PackFiles, BadFilesAreReportedAndLeaveThePackUntouched) {
    spit(path("kurz.pak"), patterned(packlen - 1));
    spit(path("leer.pak"), QByteArray());
    QDir(dir.path()).mkdir(QStringLiteral("ordner.pak"));
    spit(path("datei"), "x");
    ASSERT_EQ(::mkfifo(QFile::encodeName(path("fifo.pak")).constData(), 0600), 0);
    struct Case {
        const char* name;
        const char* why;
    };
    const Case cases[] = {
        {"kurz.pak", "170495 Bytes"},
        {"leer.pak", "0 Bytes"},
        {"fehlt.pak", ""},
        {"ordner.pak", "Ordner"},
        {"datei/unter.pak", ""}, // a path through a plain file cannot be opened
        {"fifo.pak", "keine gewöhnliche Datei"}, // nobody writes: an open would block
    };
    const LevelPack before = store.levelpack;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const FileResult r = readpack(path(c.name), store.levelpack);
        EXPECT_FALSE(r.ok);
        EXPECT_TRUE(r.error.contains(QDir::toNativeSeparators(path(c.name)))) << r.error.toStdString();
        EXPECT_TRUE(r.error.contains(QString::fromUtf8(c.why))) << r.error.toStdString();
        EXPECT_EQ(store.levelpack, before);
    }
}

TEST_F(PackFiles, ReadOnlyPackLoads) {
    const QString file = path("schreibgeschuetzt.pak");
    spit(file, patterned(packlen));
    ASSERT_TRUE(QFile::setPermissions(file, QFile::ReadOwner | QFile::ReadGroup));
    auto pack = std::make_unique<LevelPack>();
    EXPECT_TRUE(readpack(file, *pack).ok);
    EXPECT_EQ(bytesof(*pack), patterned(packlen));
}

TEST_F(PackFiles, FailedWritesKeepThePreviousFile) {
    const QString file = path("alt.pak");
    const QByteArray old = patterned(packlen);
    spit(file, old);
    QDir(dir.path()).mkdir(QStringLiteral("ordner"));
    for (const char* target : {"ordner", "gibtsnicht/neu.pak"}) {
        SCOPED_TRACE(target);
        const FileResult r = writepack(path(target), store.levelpack);
        EXPECT_FALSE(r.ok);
        EXPECT_FALSE(r.error.isEmpty());
        const FileResult l = writelevellist(path(target), store.levelpack);
        EXPECT_FALSE(l.ok);
    }
    EXPECT_TRUE(QFileInfo(path("ordner")).isDir());
    EXPECT_EQ(slurp(file), old);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("alt.pak")})
        << "no temporary file is left behind";
}

TEST_F(PackFiles, WriteReplacesAnExistingLongerFile) {
    const QString file = path("lang.pak");
    spit(file, patterned(packlen + 5000));
    ASSERT_TRUE(writepack(file, store.levelpack).ok);
    EXPECT_EQ(slurp(file), bytesof(store.levelpack));
}

TEST_F(PackFiles, LevelListHoldsEveryTitleBetweenDashes) {
    host.titletext = "Erste Runde";
    ASSERT_TRUE(savebacklevel(store, host));
    const LevelList list = buildlevellist(store.levelpack);
    const QByteArray first(reinterpret_cast<const char*>(list.data()), listentrylen);
    EXPECT_EQ(first, QByteArray("--Erste Runde            --\0", listentrylen));
    for (int i = 1; i < levelcount; ++i) {
        const QByteArray entry(reinterpret_cast<const char*>(list.data()) + i * listentrylen,
                               listentrylen);
        EXPECT_EQ(entry, QByteArray("--") + QByteArray::fromStdString(newleveltitle(i + 1)) +
                             QByteArray("--\0", 3));
    }
    const QString file = path("liste.txt");
    ASSERT_TRUE(writelevellist(file, store.levelpack).ok);
    const QByteArray bytes = slurp(file);
    ASSERT_EQ(bytes.size(), listlen);
    EXPECT_EQ(bytes.left(listentrylen), first);
}

} // namespace
