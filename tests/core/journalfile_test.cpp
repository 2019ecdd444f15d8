// SPDX-License-Identifier: MIT
// Recovery journal files of both versions: a round trip, a journal the
// editor wrote before version 2, and files that are no journal, or not quite
// one, rejected whole with the file named.

#include "level/journalfile.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

#include <sys/stat.h>
#include <zlib.h>

#include <functional>

using namespace tess;

namespace {

Journal sample() {
    auto pack = std::make_shared<LevelPack>();
    for (int i = 0; i < levelcount; ++i) (*pack)[i].fill(std::uint8_t(i));
    return {42, QDateTime::fromMSecsSinceEpoch(1765190000000), QStringLiteral("/home/ä/spiele.pak"), pack};
}

// A page's journal: the saved image differs in levels 3 and 110.
Journal withsaved() {
    Journal j = sample();
    auto saved = std::make_shared<LevelPack>(*j.pack);
    (*saved)[3].fill(0xAA);
    (*saved)[110].fill(0xBB);
    j.saved = saved;
    return j;
}

// bytes with the check sum made right again after a patch.
QByteArray resealed(QByteArray bytes) {
    const qsizetype body = bytes.size() - 4;
    const uLong sum = ::crc32(::crc32(0, nullptr, 0), reinterpret_cast<const Bytef*>(bytes.constData()), uInt(body));
    for (int i = 0; i < 4; ++i) bytes[body + i] = char((sum >> (8 * i)) & 0xFF);
    return bytes;
}

} // namespace

TEST(JournalFile, ComesBackAsWritten) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("a.journal"));
    for (const Journal& j : {sample(), withsaved()}) {
        ASSERT_TRUE(writedurably(path, encodejournal(j)).ok);
        const JournalRead r = readjournal(path);
        ASSERT_TRUE(r.ok) << r.error.toStdString();
        EXPECT_EQ(r.journal.levelnr, 42);
        EXPECT_EQ(r.journal.changed, j.changed);
        EXPECT_EQ(r.journal.packfile, j.packfile);
        EXPECT_EQ(*r.journal.pack, *j.pack);
        EXPECT_EQ(r.journal.saved != nullptr, j.saved != nullptr);
        if (j.saved) {
            EXPECT_EQ(*r.journal.saved, *j.saved);
        }
    }
    EXPECT_EQ(encodejournal(sample()).left(8), "TESSJRN1");
    EXPECT_EQ(encodejournal(withsaved()).size(), encodejournal(sample()).size() + 1 + 2 * (1 + reclen));
    // A journal written before version 2 reads as it did and writes back the same.
    QFile old(QStringLiteral(TESS_MAP_SAMPLES "/../../../fuzz/corpus-journals/named-pack.journal"));
    ASSERT_TRUE(old.open(QIODevice::ReadOnly));
    const QByteArray bytes = old.readAll();
    const JournalRead r = parsejournal(bytes, old.fileName());
    ASSERT_TRUE(r.ok) << r.error.toStdString();
    EXPECT_EQ(encodejournal(r.journal), bytes);
}

TEST(JournalFile, RejectsWhatIsNoJournal) {
    const QByteArray good = encodejournal(sample()), two = encodejournal(withsaved());
    auto patched = [&](qsizetype at, char byte, const QByteArray& from = {}) {
        QByteArray b = from.isEmpty() ? good : from;
        b[at] = byte;
        return b;
    };
    const qsizetype name = journalheadlen, count = two.size() - 4 - 2 * (1 + reclen) - 1;
    QByteArray samesaved = two;
    samesaved.replace(count + 2, reclen, good.mid(name + 19 + 3 * reclen, reclen)); // level 4 as in the pack
    const std::pair<const char*, QByteArray> cases[] = {
        {"empty", {}},
        {"cut short", good.left(good.size() - 1)},
        {"one byte more", good + 'x'},
        {"other magic", patched(0, 'X')},
        {"a pack byte changed", patched(1000, '\x55')},
        {"level 112", patched(8, char(111))},
        {"name longer than the file", patched(17, char(0xFF))},
        {"level 112, sealed", resealed(patched(8, char(111)))},
        {"a name with an overlong character", resealed(patched(name, char(0xC0)).replace(name + 1, 1, "\x80"))},
        {"a name with a byte order mark in front",
         resealed(patched(name, char(0xEF)).replace(name + 1, 2, "\xBB\xBF"))},
        {"version 2 cut before its saved levels", resealed(two.left(count + 1) + two.right(4))},
        {"version 2 counting one saved level more", resealed(patched(count, 3, two))},
        {"version 2 with its saved levels out of order", resealed(patched(count + 1, 110, two))},
        {"version 2 saving a level as the pack has it", resealed(samesaved)},
    };
    for (const auto& [name, bytes] : cases) {
        const JournalRead r = parsejournal(bytes, QStringLiteral("x.journal"));
        EXPECT_FALSE(r.ok) << name;
        EXPECT_TRUE(r.error.contains(QStringLiteral("x.journal"))) << name;
    }
}

// A device, a FIFO nobody writes and a huge sparse file: each read ends at
// once and is rejected with the file named.
TEST(JournalFile, ReadsOnlyRegularFilesAndNoMoreThanTheCap) {
    QTemporaryDir dir;
    const QString fifo = dir.filePath(QStringLiteral("f.journal")), huge = dir.filePath(QStringLiteral("h.journal"));
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    QFile big(huge);
    ASSERT_TRUE(big.open(QIODevice::WriteOnly) && big.resize(qint64(1) << 32));
    big.close();
    for (const QString& path : {QStringLiteral("/dev/zero"), fifo, huge}) {
        const JournalRead r = readjournal(path);
        EXPECT_FALSE(r.ok) << path.toStdString();
        EXPECT_TRUE(r.error.contains(path)) << r.error.toStdString();
    }
}
