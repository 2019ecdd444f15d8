// SPDX-License-Identifier: MIT
#pragma once

// The tile pictures, one 16 by 16 image per tile code, the on-screen tile
// size, and the drawing of a tile at that size. Also the tool bar pictures,
// the 256-tile sheet of the map files and a level drawn as one image.

#include "edit/userinput.h"
#include "level/levelformat.h"
#include "level/packfile.h"

#include <QImage>
#include <QPainter>

#include <array>
#include <vector>

namespace tess {

inline constexpr int picturesize = 16;
inline constexpr int toolpicturesize = 24;
inline constexpr int toolpicturecount = 6;

// Stretches a picture to size by pixel repetition, never smoothing: picture
// pixel column x * 16 / size feeds screen column x, so at 24 the columns and
// rows are alternately two and one pixels wide and at 12 every fourth is left out.
// A picture with transparency keeps it.
QImage scaletile(const QImage& picture, QSize size);
inline QImage scaletile(const QImage& picture, int size) { return scaletile(picture, QSize(size, size)); }

class TileSet {
public:
    // Builds itembitmaps from the embedded pictures, once.
    TileSet();

    int itemcount = 0;                // the number of tile pictures, 44
    std::vector<QImage> itembitmaps;  // picture i for code i, 16 by 16, RGB32
    QImage unknown;                   // for a byte that has no picture
    int tilew = starttile;
    int tileh = starttile;

    // Draws the picture of code stretched to rect, as a plain copy or with
    // every colour bit inverted; rect is in the painter's device pixels (see
    // DevicePixels), so the copy is a plain blit at any screen pixel ratio. A
    // code outside the picture set is drawn with the unknown picture.
    void drawtile(QPainter& painter, const QRect& rect, int code, bool inverted) {
        painter.drawImage(rect.topLeft(), scaled(code, inverted, rect.size()));
    }

    // The picture of code stretched to size, plain or inverted. The pictures
    // of a size are made at its first use and kept for the last few sizes used
    // (a tile size at a screen's pixel ratio, and its neighbour where the ratio
    // makes tiles alternate by a pixel), so a change of tile size or of screen
    // makes new ones and painting only copies.
    const QImage& scaled(int code, bool inverted, QSize size);
    const QImage& scaled(int code, bool inverted) { return scaled(code, inverted, {tilew, tileh}); }

    // The 16 by 16 picture of code, plain or with every colour bit inverted;
    // the unknown picture for a code outside the set.
    QImage picture(int code, bool inverted) const;

private:
    // Pictures of one size, plain and inverted, with the unknown picture last.
    struct Scaled {
        QSize size;
        std::vector<QImage> plain, inverted;
    };
    std::array<Scaled, 4> cache_;
    std::size_t lastused_ = 0, nextfree_ = 0;
    std::size_t scaledset(QSize size);
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
