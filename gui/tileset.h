// SPDX-License-Identifier: MIT
#pragma once

// The tile pictures, one 16 by 16 image per tile code, the on-screen tile
// size, and the drawing of a tile at that size. Also the tool bar pictures,
// the 256-tile sheet of the map files and a level drawn as one image.

#include "level/levelformat.h"
#include "level/packfile.h"

#include <QImage>
#include <QPainter>

#include <vector>

namespace tess {

inline constexpr int picturesize = 16;
inline constexpr int toolpicturesize = 24;
inline constexpr int toolpicturecount = 6;

// Stretches a picture to size by pixel repetition, never smoothing: picture
// pixel column x * 16 / size feeds screen column x, so at 24 the columns and
// rows are alternately two and one pixels wide and at 12 every fourth is left out.
QImage scaletile(const QImage& picture, int size);

class TileSet {
public:
    // Builds itembitmaps from the embedded pictures, once.
    TileSet();

    int itemcount = 0;                // the number of tile pictures, 44
    std::vector<QImage> itembitmaps;  // picture i for code i, 16 by 16, RGB32
    QImage unknown;                   // for a byte that has no picture
    int tilew = 32;
    int tileh = 32;

    // Draws the picture of code at (x, y), stretched to tilew by tileh, as a
    // plain copy or with every colour bit inverted. A code outside the picture
    // set is drawn with the unknown picture.
    void drawtile(QPainter& painter, int x, int y, int code, bool inverted);

    // The picture of code as drawn at the current tile size.
    const QImage& scaled(int code, bool inverted);

    // The 16 by 16 picture of code, plain or with every colour bit inverted;
    // the unknown picture for a code outside the set.
    QImage picture(int code, bool inverted) const;

private:
    // Pictures scaled to the current tile size, plain and inverted, with the
    // unknown picture last; rebuilt when the size changes.
    std::vector<QImage> cache_, invcache_;
    int cachesize_ = 0;
    void rebuildcache();
};

// The tile sheet of the map files: 256 tiles of 16 by 16 in 16 columns, tile
// t showing what the level view shows for a cell byte t (the picture of
// t & 0x7F, or the unknown picture, inverted when the mark bit 0x80 is set).
QImage tilesheet(const TileSet& tiles);

// The interior of a working level (switches decoded, marks allowed) as the
// level view shows it at tile size 16, 928 by 352 pixels, each cell scaled up
// by pixel repetition to scale by scale pixels.
QImage renderlevel(const TileSet& tiles, const LevelRecord& curlevel, int scale = 1);

// Writes tiles.tsx and the sheet tiles.png into the folder dir, each
// atomically: what a map written there needs beside it.
FileResult writetilesetfiles(const QString& dir, const TileSet& tiles);

// The six tool bar pictures, 24 by 24 with transparency.
std::vector<QImage> loadtoolpictures();

} // namespace tess
