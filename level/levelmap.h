// SPDX-License-Identifier: MIT
#pragma once

// Level maps as files: the desktop's side of the map code (mapformat.h),
// QtCore for the file I/O only. The editor and tessaron-pack both export and
// import through these, so a record gives one map and a map one record.

#include "level/mapformat.h"
#include "level/packfile.h"

#include <QString>
#include <QStringView>

namespace tess {

// The map's name for level index (0..110): "level007"; the files are that
// with .tmx or .tmj.
QString levelmapname(int index);

// excerpt() for text the desktop holds.
QString excerpt(QStringView value);

// Writes the TMX map of rec to path, atomically.
FileResult writelevelmap(const QString& path, const LevelRecord& rec);

// Writes tiles.tsx into the folder dir, atomically.
FileResult writetilesetfile(const QString& dir);

struct MapImport {
    bool ok = false;
    QString error;
    BuiltRecord built; // the record and the number of ports found
};

// Reads the map file at path (.tmx or .tmj) into a record. Only a plain
// file is read (not a folder, FIFO or device), and never more than
// mapfilelimit + 1 bytes of it.
MapImport readlevelmap(const QString& path);

} // namespace tess
