// SPDX-License-Identifier: MIT
// libFuzzer target: any bytes as the editor's settings file. The file is read
// as the editor reads it at start; what comes out must keep the limits (at
// most 20 commands, each with a program, at most 8 recent packs, absolute and
// each once, no text past 4096 characters), and writing it and reading it
// back must give the same values, also from a file Qt's own INI writer made;
// the view options the same. A change of one group, made as the editor makes
// it, leaves the others as they were.

#include "document/editorsettings.h"
#include "document/iniformat.h"
#include "document/settingsfile.h"
#include "document/viewsettings.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QTemporaryDir>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

using namespace tess;

namespace {

[[noreturn]] void fail(const char* what) {
    std::fprintf(stderr, "settings_fuzzer: %s\n", what);
    std::abort();
}

bool withinlimits(const EditorSettings& s) {
    if (s.commands.size() > maxcommands || s.recent.size() > maxrecent) return false;
    for (const TestCommand& c : s.commands)
        for (const QString* t : {&c.name, &c.program, &c.arguments, &c.folder, &c.shortcut})
            if (t->size() > maxsettingtext || c.program.trimmed().isEmpty()) return false;
    for (const QString& p : s.recent)
        if (!QDir::isAbsolutePath(p) || s.recent.count(p) != 1) return false;
    return s.folder.isEmpty() || QDir::isAbsolutePath(s.folder);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static QTemporaryDir dir{QFileInfo(QStringLiteral("/dev/shm")).isWritable()
                                 ? QStringLiteral("/dev/shm/tess-settings-fuzz-XXXXXX")
                                 : QDir::tempPath() + QStringLiteral("/tess-settings-fuzz-XXXXXX")};
    const QString in = dir.filePath(QStringLiteral("in.conf")), out = dir.filePath(QStringLiteral("out.conf"));
    {
        QFile f(in);
        if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate)) fail("cannot write the input file");
        f.write(reinterpret_cast<const char*>(data), static_cast<qint64>(size));
    }
    QByteArray bytes;
    const bool fits = readsettingsbytes(in, bytes) == SettingsRead::ok;
    if (fits != (static_cast<qint64>(size) <= maxsettingsbytes)) fail("size cap misjudged");
    if (!fits) return 0;
    if (bytes != QByteArrayView(data, static_cast<qsizetype>(size))) fail("read other bytes than the file holds");
    // The view options: whatever the file held, written back they read as written.
    const ViewOptions view = readviewoptions(in);
    QFile::remove(out);
    if (!writeviewoptions({!view.edge, !view.grid}, out)) fail("view options not written");
    if (!(readviewoptions(out) == ViewOptions{!view.edge, !view.grid})) fail("view options read back differently");
    EditorSettings read;
    {
        QSettings s(in, iniformat());
        read = readsettings(s);
    }
    if (!withinlimits(read)) fail("read past the limits");
    QFile::remove(out);
    {
        QSettings s(out, iniformat());
        writesettings(s, read);
    }
    QSettings s(out, iniformat());
    const EditorSettings back = readsettings(s);
    if (back != read) fail("written settings read back differently");
    // A file that Qt's own INI writer made, as earlier versions of the editor did, reads the same.
    const QString qtfile = dir.filePath(QStringLiteral("qt.conf"));
    QFile::remove(qtfile);
    {
        QSettings q(qtfile, QSettings::IniFormat);
        writesettings(q, read);
    }
    QSettings q(qtfile, iniformat());
    if (readsettings(q) != read) fail("a file Qt wrote read back differently");
    SettingsFile owner(in);
    EditorSettings changed;
    if (!owner.change([](EditorSettings& v) { v.recent = addrecent(v.recent, QStringLiteral("/f.pak")); }, &changed))
        return 0; // grown past the cap
    const EditorSettings after = owner.read();
    if (after != changed || after.commands != read.commands || after.folder != read.folder || after.view != read.view ||
        after.recent != addrecent(read.recent, QStringLiteral("/f.pak")))
        fail("a change of the recent packs changed more");
    return 0;
}
