// SPDX-License-Identifier: MIT
// The tile and tool pictures as data, and the drawing of a tile at every size.
#include "level/levelformat.h"
#include "gui/tileset.h"

#include <QPainter>
#include <QSet>
#include <QTest>

using namespace tess;

namespace {

QImage drawn(TileSet& tiles, int code, bool inverted, int size) {
    tiles.tilew = tiles.tileh = size;
    QImage canvas(size + 4, size + 4, QImage::Format_RGB32);
    canvas.fill(Qt::magenta);
    QPainter p(&canvas);
    tiles.drawtile(p, QRect(2, 2, size, size), code, inverted);
    p.end();
    return canvas;
}

bool sameimage(const QImage& a, const QImage& b) {
    return a.convertToFormat(QImage::Format_RGB32) == b.convertToFormat(QImage::Format_RGB32);
}

} // namespace

class TileSetTest : public QObject {
    Q_OBJECT
    TileSet tiles;

private slots:
    void picturesAreOpaqueAndUseTheNineteenColours() {
        QCOMPARE(tiles.itemcount, tilecodecount);
        QCOMPARE(int(tiles.itembitmaps.size()), 44);
        const QSet<QRgb> palette = {
            qRgb(0, 0, 0),       qRgb(120, 120, 120), qRgb(140, 140, 140), qRgb(160, 160, 160),
            qRgb(170, 170, 170), qRgb(192, 192, 192), qRgb(240, 240, 240), qRgb(255, 255, 255),
            qRgb(0, 160, 80),    qRgb(0, 220, 110),   qRgb(0, 128, 0),     qRgb(192, 0, 0),
            qRgb(240, 0, 0),     qRgb(128, 0, 0),     qRgb(128, 64, 0),    qRgb(255, 128, 0),
            qRgb(220, 220, 0),   qRgb(64, 64, 255),   qRgb(64, 128, 255)};
        QCOMPARE(palette.size(), 19);
        QSet<QRgb> used;
        for (int code = 0; code < tiles.itemcount; ++code) {
            QImage raw(QStringLiteral(":/tiles/tile%1.xpm").arg(code, 2, 10, QChar('0')));
            if (!raw.isNull()) QVERIFY2(!raw.hasAlphaChannel(), qPrintable(QString::number(code)));
            const QImage& img = tiles.itembitmaps[code];
            QCOMPARE(img.size(), QSize(16, 16));
            for (int y = 0; y < 16; ++y)
                for (int x = 0; x < 16; ++x) {
                    const QRgb c = img.pixel(x, y);
                    QVERIFY2(palette.contains(c | 0xFF000000),
                             qPrintable(QStringLiteral("code %1 pixel %2,%3").arg(code).arg(x).arg(y)));
                    used.insert(c);
                }
        }
        QVERIFY(used.size() >= 15);
    }

    void everyPictureIsDistinctAndUnknownIsNoneOfThem() {
        for (int a = 0; a < tiles.itemcount; ++a) {
            QVERIFY(tiles.itembitmaps[a] != tiles.unknown);
            for (int b = a + 1; b < tiles.itemcount; ++b)
                QVERIFY2(tiles.itembitmaps[a] != tiles.itembitmaps[b],
                         qPrintable(QStringLiteral("%1 and %2").arg(a).arg(b)));
        }
    }

    // Ports differ from their plain tubes, and the two flags of a port from
    // each other, only inside the 7 by 7 badge at the top right.
    void portsDifferOnlyInTheBadge() {
        const QRect badge(9, 0, 7, 7);
        auto diffs = [&](int a, int b) {
            QRect out;
            for (int y = 0; y < 16; ++y)
                for (int x = 0; x < 16; ++x)
                    if (tiles.itembitmaps[a].pixel(x, y) != tiles.itembitmaps[b].pixel(x, y))
                        out |= QRect(x, y, 1, 1);
            return out;
        };
        for (int port = 13; port <= 16; ++port) {
            QVERIFY(!diffs(port, port - 4).isEmpty());
            QVERIFY(badge.contains(diffs(port, port - 4)));
            QVERIFY(!diffs(port, port + 27).isEmpty());
            QVERIFY(badge.contains(diffs(port, port + 27)));
            QCOMPARE(tiles.itembitmaps[port].copy(badge), tiles.itembitmaps[13].copy(badge));
            QCOMPARE(tiles.itembitmaps[port + 27].copy(badge), tiles.itembitmaps[40].copy(badge));
        }
        // Flag 1 carries dark red, flag 0 dark green.
        const QImage down = tiles.itembitmaps[13].copy(badge), up = tiles.itembitmaps[40].copy(badge);
        bool red = false, green = false;
        for (int y = 0; y < 7; ++y)
            for (int x = 0; x < 7; ++x) {
                red |= down.pixel(x, y) == qRgb(128, 0, 0) || down.pixel(x, y) == qRgb(192, 0, 0);
                green |= up.pixel(x, y) == qRgb(0, 128, 0);
            }
        QVERIFY(red);
        QVERIFY(green);
    }

    void halvesJoinWithoutASeam() {
        // The plate of 26 runs on into 27 and that of 38 on into 39: the
        // facing edge columns (rows) hold the same colours.
        const QImage &l = tiles.itembitmaps[26], &r = tiles.itembitmaps[27];
        int same = 0;
        for (int y = 0; y < 16; ++y) same += l.pixel(15, y) == r.pixel(0, y);
        QVERIFY2(same >= 12, qPrintable(QString::number(same)));
        const QImage &t = tiles.itembitmaps[38], &b = tiles.itembitmaps[39];
        same = 0;
        for (int x = 0; x < 16; ++x) same += t.pixel(x, 15) == b.pixel(x, 0);
        QVERIFY2(same >= 12, qPrintable(QString::number(same)));
    }

    void toolPicturesUseBlackGreyRedAndTransparency() {
        const std::vector<QImage> tools = loadtoolpictures();
        QCOMPARE(int(tools.size()), 6);
        const QSet<QRgb> allowed = {qRgb(0, 0, 0), qRgb(128, 128, 128), qRgb(255, 0, 0)};
        for (int i = 0; i < 6; ++i) {
            const QImage& img = tools[size_t(i)];
            QCOMPARE(img.size(), QSize(24, 24));
            int clear = 0, red = 0;
            for (int y = 0; y < 24; ++y)
                for (int x = 0; x < 24; ++x) {
                    const QRgb c = img.pixel(x, y);
                    if (qAlpha(c) == 0) {
                        ++clear;
                        continue;
                    }
                    QCOMPARE(qAlpha(c), 255);
                    QVERIFY(allowed.contains(c));
                    red += c == qRgb(255, 0, 0);
                }
            QVERIFY2(clear > 0, "every tool picture has a transparent ground");
            // Margin of two transparent pixels around the squares.
            if (i < 4) {
                QCOMPARE(qAlpha(img.pixel(1, 1)), 0);
                QCOMPARE(img.pixel(2, 2), qRgb(0, 0, 0));
                QCOMPARE(img.pixel(21, 21), qRgb(0, 0, 0));
                QCOMPARE(qAlpha(img.pixel(22, 12)), 0);
            }
            // Only the active tools' pictures (2 and 3) are red.
            QCOMPARE(red > 0, i == 2 || i == 3);
        }
        // Minus: a bar 17 long and 3 thick; plus: two of them.
        auto black = [](const QImage& img) {
            int n = 0;
            for (int y = 0; y < 24; ++y)
                for (int x = 0; x < 24; ++x) n += img.pixel(x, y) == qRgb(0, 0, 0);
            return n;
        };
        QCOMPARE(black(tools[4]), 17 * 3);
        QCOMPARE(black(tools[5]), 2 * 17 * 3 - 9);
    }

    void atSixteenATileIsItsPicture() {
        for (int code : {0, 4, 13, 43}) {
            const QImage img = drawn(tiles, code, false, 16);
            QCOMPARE(img.copy(2, 2, 16, 16), tiles.itembitmaps[size_t(code)]);
            QCOMPARE(img.pixel(1, 1), QColor(Qt::magenta).rgb()); // nothing drawn outside
            QCOMPARE(img.pixel(18, 18), QColor(Qt::magenta).rgb());
        }
    }

    void atFortyEightEachPixelIsAThreeByThreeBlock() {
        const QImage img = drawn(tiles, 28, false, 48).copy(2, 2, 48, 48);
        for (int y = 0; y < 48; ++y)
            for (int x = 0; x < 48; ++x)
                QCOMPARE(img.pixel(x, y), tiles.itembitmaps[28].pixel(x / 3, y / 3));
    }

    void atTwentyFourColumnsAlternateTwoAndOne() {
        const QImage img = drawn(tiles, 2, false, 24).copy(2, 2, 24, 24);
        // Screen column x shows picture column x * 16 / 24: widths 2,1,2,1...
        int x = 0;
        for (int col = 0; col < 16; ++col) {
            const int width = col % 2 == 0 ? 2 : 1;
            for (int k = 0; k < width; ++k, ++x)
                for (int y = 0; y < 24; ++y)
                    QCOMPARE(img.pixel(x, y), tiles.itembitmaps[2].pixel(col, y * 16 / 24));
        }
        QCOMPARE(x, 24);
    }

    void atTwelveThePictureIsReduced() {
        const QImage img = drawn(tiles, 5, false, 12);
        QCOMPARE(img.pixel(14, 14), QColor(Qt::magenta).rgb());
        for (int y = 0; y < 12; ++y)
            for (int x = 0; x < 12; ++x)
                QCOMPARE(img.pixel(2 + x, 2 + y), tiles.itembitmaps[5].pixel(x * 4 / 3, y * 4 / 3));
    }

    void invertingCopyIsTheBitwiseNot() {
        for (int size : {12, 16, 24, 32, 48})
            for (int code : {0, 4, 6, 40}) {
                const QImage plain = drawn(tiles, code, false, size);
                const QImage inv = drawn(tiles, code, true, size);
                for (int y = 2; y < size + 2; ++y)
                    for (int x = 2; x < size + 2; ++x)
                        QCOMPARE(inv.pixel(x, y) & 0xFFFFFF, ~plain.pixel(x, y) & 0xFFFFFF);
                // It agrees with the painter's own inverting raster operation.
                QImage viaop(size, size, QImage::Format_RGB32);
                QPainter p(&viaop);
                p.setCompositionMode(QPainter::RasterOp_NotSource);
                p.drawImage(0, 0, scaletile(tiles.itembitmaps[size_t(code)], size));
                p.end();
                QVERIFY(sameimage(viaop, inv.copy(2, 2, size, size)));
            }
    }

    void codesWithoutAPictureDrawTheUnknownPicture() {
        for (int code : {44, 45, 127, 200, -1}) {
            const QImage img = drawn(tiles, code, false, 16);
            QCOMPARE(img.copy(2, 2, 16, 16), tiles.unknown);
        }
        QVERIFY(sameimage(drawn(tiles, 44, false, 32).copy(2, 2, 32, 32), scaletile(tiles.unknown, 32)));
    }

    // The program's icon is tile 7 repeated pixel by pixel at every size.
    void iconIsTheTileArtEnlarged() {
        for (int size : {16, 32, 48, 256}) {
            const QImage icon(QStringLiteral(":/icons/tessaronedit-%1.png").arg(size));
            QCOMPARE(icon.size(), QSize(size, size));
            QVERIFY(sameimage(icon, scaletile(tiles.itembitmaps[7], size)));
        }
    }

    void zoomRebuildsFromTheSixteenPixelPictures() {
        const QImage before = tiles.itembitmaps[7];
        drawn(tiles, 7, false, 48);
        drawn(tiles, 7, false, 12);
        QCOMPARE(drawn(tiles, 7, false, 16).copy(2, 2, 16, 16), before);
        QCOMPARE(tiles.itembitmaps[7], before);
    }
};

QTEST_MAIN(TileSetTest)
#include "tileset_test.moc"
