// SPDX-License-Identifier: MIT
// libFuzzer target: any bytes as the editor's settings file. Reading it must
// give either what a written file holds or the defaults, and writing the
// options back must be read as written whenever the file was accepted.

#include "ui/viewsettings.h"

#include <QFile>
#include <QTemporaryDir>

#include <cstddef>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("settings.ini"));
    {
        QFile f(file);
        if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate)) std::abort();
        f.write(reinterpret_cast<const char*>(data), static_cast<qint64>(size));
    }
    const tess::ViewOptions read = tess::readviewoptions(file);
    const tess::ViewOptions flipped{!read.edge, !read.grid};
    if (tess::writeviewoptions(flipped, file) && !(tess::readviewoptions(file) == flipped)) std::abort();
    QFile::remove(file);
    return 0;
}
