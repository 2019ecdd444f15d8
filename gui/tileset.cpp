// SPDX-License-Identifier: MIT
#include "gui/tileset.h"

#include "edit/display.h"
#include "level/levelmap.h"

#include <QBuffer>
#include <QDir>

#include <array>

namespace tess {

namespace {

// Where each code's picture comes from: its own file, or a tube picture with
// the gravity badge laid over its top-right corner, so that a port and its
// plain tube (and the two flags of a port) can only differ in the badge.
struct PictureSource {
    int file;   // tile file number
    int badge;  // 0 none, 1 arrow down (flag 1), 2 arrow up (flag 0)
};

constexpr std::array<PictureSource, tilecodecount> items = [] {
    std::array<PictureSource, tilecodecount> list{};
    for (int code = 0; code < tilecodecount; ++code) list[code] = {code, 0};
    for (int code = code_port_first; code <= code_port_last; ++code) {
        list[code] = {code - 4, 1};
        list[code + port_flag0_offset] = {code - 4, 2};
    }
    return list;
}();

constexpr int badgesize = 7;

QImage loadpicture(const QString& path) {
    QImage img(path);
    Q_ASSERT_X(!img.isNull(), "loadpicture", qPrintable(path));
    return img.convertToFormat(QImage::Format_RGB32);
}

} // namespace

QImage scaletile(const QImage& picture, QSize size) {
    const QImage::Format format = picture.hasAlphaChannel() ? QImage::Format_ARGB32 : QImage::Format_RGB32;
    const QImage src = picture.convertToFormat(format);
    QImage out(size, format);
    const int sw = src.width(), sh = src.height();
    for (int y = 0; y < size.height(); ++y) {
        const auto* in = reinterpret_cast<const QRgb*>(src.constScanLine(y * sh / size.height()));
        auto* line = reinterpret_cast<QRgb*>(out.scanLine(y));
        for (int x = 0; x < size.width(); ++x) line[x] = in[x * sw / size.width()];
    }
    return out;
}

TileSet::TileSet() {
    itemcount = static_cast<int>(items.size());
    const QImage badges[3] = {QImage(), loadpicture(QStringLiteral(":/tiles/badge_down.xpm")),
                              loadpicture(QStringLiteral(":/tiles/badge_up.xpm"))};
    itembitmaps.reserve(itemcount);
    for (const PictureSource& s : items) {
        QImage img = loadpicture(QStringLiteral(":/tiles/tile%1.xpm").arg(s.file, 2, 10, QChar('0')));
        if (s.badge) {
            QPainter p(&img);
            p.drawImage(picturesize - badgesize, 0, badges[s.badge]);
        }
        itembitmaps.push_back(img);
    }
    unknown = loadpicture(QStringLiteral(":/tiles/unknown.xpm"));
}

QImage TileSet::picture(int code, bool inverted) const {
    QImage img = code >= 0 && code < itemcount ? itembitmaps[code] : unknown;
    if (inverted) img.invertPixels(QImage::InvertRgb);
    return img;
}

std::size_t TileSet::scaledset(QSize size) {
    if (cache_[lastused_].size == size) return lastused_;
    for (std::size_t i = 0; i < cache_.size(); ++i)
        if (cache_[i].size == size) return lastused_ = i;
    // The oldest set makes room.
    Scaled& s = cache_[nextfree_];
    s.size = size;
    s.plain.clear();
    s.inverted.clear();
    for (int code = 0; code <= itemcount; ++code) {
        s.plain.push_back(scaletile(picture(code, false), size));
        s.inverted.push_back(scaletile(picture(code, true), size));
    }
    lastused_ = nextfree_;
    nextfree_ = (nextfree_ + 1) % cache_.size();
    return lastused_;
}

const QImage& TileSet::scaled(int code, bool inverted, QSize size) {
    const Scaled& s = cache_[scaledset(size)];
    const std::size_t i = static_cast<std::size_t>(code >= 0 && code < itemcount ? code : itemcount);
    return inverted ? s.inverted[i] : s.plain[i];
}

QImage tilesheet(const TileSet& tiles) {
    constexpr int columns = 16;
    QImage sheet(columns * picturesize, 256 / columns * picturesize, QImage::Format_RGB32);
    QPainter p(&sheet);
    for (int t = 0; t < 256; ++t) {
        const CellLook look = celllook(notile, static_cast<std::uint8_t>(t));
        p.drawImage(t % columns * picturesize, t / columns * picturesize,
                    tiles.picture(look.code, look.inverted));
    }
    return sheet;
}

QImage renderlevel(const TileSet& tiles, const LevelRecord& curlevel, int scale) {
    const int size = picturesize * scale;
    QImage out(interiorcols * size, interiorrows * size, QImage::Format_RGB32);
    QPainter p(&out);
    for (int row = firstrow; row <= lastrow; ++row)
        for (int col = firstcol; col <= lastcol; ++col) {
            const CellLook look = celllook(notile, curlevel[cellindex(col, row)]);
            p.drawImage((col - firstcol) * size, (row - firstrow) * size,
                        scaletile(tiles.picture(look.code, look.inverted), size));
        }
    return out;
}

FileResult writetilesetfiles(const QString& dir, const TileSet& tiles) {
    const FileResult tsx = writetilesetfile(dir);
    if (!tsx.ok) return tsx;
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    tilesheet(tiles).save(&buffer, "PNG");
    return writefileatomically(QDir(dir).filePath(QLatin1String(sheetfilename)), png);
}

std::vector<QImage> loadtoolpictures() {
    std::vector<QImage> tools;
    for (int i = 0; i < toolpicturecount; ++i) {
        QImage img(QStringLiteral(":/tools/tool%1.xpm").arg(i));
        Q_ASSERT(!img.isNull());
        tools.push_back(img.convertToFormat(QImage::Format_ARGB32));
    }
    return tools;
}

} // namespace tess
