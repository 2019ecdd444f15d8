// SPDX-License-Identifier: MIT
// Recovery journal files: a round trip, and files that are no journal, or
// not quite one, rejected whole with the file named.

#include "level/journalfile.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

#include <sys/stat.h>

#include <functional>

using namespace tess;

namespace {

Journal sample() {
    auto pack = std::make_shared<LevelPack>();
    for (int i = 0; i < levelcount; ++i) (*pack)[i].fill(std::uint8_t(i));
    return {42, QDateTime::fromMSecsSinceEpoch(1765190000000), QStringLiteral("/home/ä/spiele.pak"), pack};
}

} // namespace

TEST(JournalFile, ComesBackAsWritten) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("a.journal"));
    ASSERT_TRUE(writedurably(path, encodejournal(sample())).ok);
    const JournalRead r = readjournal(path);
    ASSERT_TRUE(r.ok) << r.error.toStdString();
    EXPECT_EQ(r.journal.levelnr, 42);
    EXPECT_EQ(r.journal.changed, sample().changed);
    EXPECT_EQ(r.journal.packfile, sample().packfile);
    EXPECT_EQ(*r.journal.pack, *sample().pack);
}

TEST(JournalFile, RejectsWhatIsNoJournal) {
    const QByteArray good = encodejournal(sample());
    auto patched = [&](qsizetype at, char byte) {
        QByteArray b = good;
        b[at] = byte;
        return b;
    };
    const std::pair<const char*, QByteArray> cases[] = {
        {"empty", {}},
        {"cut short", good.left(good.size() - 1)},
        {"one byte more", good + 'x'},
        {"other magic", patched(0, 'X')},
        {"a pack byte changed", patched(1000, '\x55')},
        {"level 112", patched(8, char(111))},
        {"name longer than the file", patched(17, char(0xFF))},
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
