// SPDX-License-Identifier: MIT
// tessaron-pack: level packs on the command line. Shows what a pack holds,
// moves its levels to Tiled maps and back, draws a level and compares packs.
// Results go to stdout, messages to stderr. Exit status: 0 done (diff: the
// packs are equal), 1 an input or an output was rejected (diff: the packs
// differ), 2 wrong usage (diff: also a pack that cannot be read, as cmp does).
// No command writes over one of its inputs or over anything but a regular file.

#include "edit/tilecommands.h"
#include "level/levelmap.h"
#include "level/levelstore.h"
#include "level/packfile.h"
#include "level/recordcheck.h"
#include "level/tilenames.h"
#include "gui/germantexts.h"
#include "gui/tileset.h"

#include <QBuffer>
#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTextStream>

#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <memory>
#include <vector>

using namespace tess;

namespace {

enum Exit { done = 0, rejected = 1, wrongusage = 2 };

QTextStream& out() {
    static QTextStream s(stdout);
    return s;
}
QTextStream& err() {
    static QTextStream s(stderr);
    return s;
}

struct Usage {
    QCommandLineParser parser;
    QCommandLineOption level{QStringLiteral("level"),
                             QStringLiteral("Nur Level N (1 bis 111) exportieren oder importieren."),
                             QStringLiteral("N")};
    QCommandLineOption counts{QStringLiteral("counts"),
                              QStringLiteral("Bei info: wie viele Felder jedes Codes ein Level hat.")};
    QCommandLineOption scale{QStringLiteral("scale"),
                             QStringLiteral("Vergrößerung des Bildes, 1 bis 8 (16 Pixel je Zelle mal S)."),
                             QStringLiteral("S"), QStringLiteral("1")};
    int fail(const QString& message) {
        err() << QCoreApplication::applicationName() << ": " << message << "\n\n"
              << parser.helpText();
        return wrongusage;
    }
};

int failed(const QString& message) {
    err() << message << '\n';
    return rejected;
}

// The pack in the file at path; a longer file gives its first 170496 bytes
// with a warning on stderr.
std::unique_ptr<LevelPack> loadpack(const QString& path, QString& error) {
    auto pack = std::make_unique<LevelPack>();
    qint64 rest = 0;
    const FileResult r = readpack(path, *pack, &rest);
    if (!r.ok) {
        error = r.error;
        return nullptr;
    }
    if (rest > 0)
        err() << "Warnung: „" << QDir::toNativeSeparators(path) << "“: " << QString::fromStdString(packsizewarning(packlen + rest)) << '\n';
    return pack;
}

// Why path must not be written, or nothing. A path that does not exist yet is
// fine; one that exists must be, links followed, a writable regular file and
// not the same file (device and inode) as any of inputs.
QString refusedoutput(const QString& path, const QStringList& inputs) {
    struct stat out {};
    if (::stat(QFile::encodeName(path).constData(), &out) != 0) return {};
    const auto refused = [&](const QString& reason) {
        return QStringLiteral("„%1“ wird nicht überschrieben: %2").arg(QDir::toNativeSeparators(path), reason);
    };
    if (S_ISDIR(out.st_mode)) return refused(QStringLiteral("Es ist ein Ordner."));
    if (!S_ISREG(out.st_mode))
        return refused(QStringLiteral("Es ist keine gewöhnliche Datei, sondern eine Pipe, ein Gerät oder ein Socket."));
    for (const QString& input : inputs) {
        struct stat in {};
        if (::stat(QFile::encodeName(input).constData(), &in) == 0 && in.st_dev == out.st_dev &&
            in.st_ino == out.st_ino)
            return refused(QStringLiteral("Es ist dieselbe Datei wie die Eingabe „%1“.")
                               .arg(QDir::toNativeSeparators(input)));
    }
    if (::access(QFile::encodeName(path).constData(), W_OK) != 0)
        return refused(QStringLiteral("Die Datei ist schreibgeschützt."));
    return {};
}

// Moves the files names from staging into dir. A file already in dir first
// moves aside into staging/alt; when a step fails, every file moved so far goes
// back, so that dir holds what it held before. Returns why it failed, or nothing.
QString movein(QTemporaryDir& staging, const QString& dir, const QStringList& names) {
    const QString aside = staging.filePath(QStringLiteral("alt"));
    if (!QDir().mkdir(aside)) return QStringLiteral("„%1“ konnte nicht angelegt werden.").arg(aside);
    const auto move = [](const QString& from, const QString& to) {
        return std::rename(QFile::encodeName(from).constData(), QFile::encodeName(to).constData()) == 0;
    };
    const auto target = [&](qsizetype i) { return QDir(dir).filePath(names[i]); };
    const auto old = [&](qsizetype i) { return QDir(aside).filePath(names[i]); };
    std::vector<bool> had; // per file moved in: whether an old one went aside
    bool restored = true;
    for (qsizetype i = 0; i < names.size(); ++i) {
        const QString fresh = staging.filePath(names[i]);
        const QFileInfo before(target(i));
        const bool exists = before.exists() || before.isSymLink();
        // The new file keeps the permissions of the one it replaces, as an overwrite would.
        if (exists) QFile::setPermissions(fresh, before.permissions());
        if (exists && !move(target(i), old(i))) break;
        if (!move(fresh, target(i))) {
            if (exists) restored = move(old(i), target(i));
            break;
        }
        had.push_back(exists);
    }
    const qsizetype done = qsizetype(had.size());
    if (done == names.size()) return {};
    for (qsizetype i = done - 1; i >= 0; --i)
        restored &= had[i] ? move(old(i), target(i)) : QFile::remove(target(i));
    const QString shown = QDir::toNativeSeparators(target(done));
    if (restored)
        return QStringLiteral("„%1“ ließ sich nicht ersetzen. Im Ordner „%2“ bleibt alles, wie es war.")
            .arg(shown, QDir::toNativeSeparators(dir));
    staging.setAutoRemove(false);
    return QStringLiteral("„%1“ ließ sich nicht ersetzen, und nicht alle alten Dateien ließen sich "
                          "zurücklegen; sie liegen in „%2“.")
        .arg(shown, QDir::toNativeSeparators(aside));
}

// "007" for index 6.
QString levelnumber(int index) { return QString::number(index + 1).rightJustified(3, u'0'); }

QString printable(QString text) {
    for (QChar& c : text)
        if (!c.isPrint()) c = u'?';
    return text;
}

// How many interior cells hold each code, one line a code with its name:
// "       60 × Code 2: grüne Platine".
QString countsline(const LevelRecord& cur) {
    const TileCounts n = counttiles(cur);
    QString lines;
    for (int code = 0; code < int(n.size()); ++code)
        if (n[code])
            lines += QStringLiteral("     %1 × %2\n")
                         .arg(QString::number(n[code]).rightJustified(4), QString::fromStdString(tilelabel(code)));
    return lines;
}

int info(const QString& path, bool counts) {
    QString error;
    const auto pack = loadpack(path, error);
    if (!pack) return failed(error);
    for (int i = 0; i < levelcount; ++i) {
        const LevelRecord& rec = (*pack)[i];
        LevelRecord cur = rec;
        decodeswitches(cur);
        // One arg call: a title holding "%1" must not reach the other fields.
        const auto column = [](int n) { return QString::number(n).rightJustified(3); };
        out() << QStringLiteral("%1  %2  Infotrons %3/%4  Schwerkraft %5  Schalter %6\n")
                     .arg(levelnumber(i), printable(QString::fromStdString(recordtomap(rec).title)).leftJustified(titlelen),
                          column(countinfotrons(cur)), column(rec[off_infotrons]),
                          rec[off_gravity] ? QStringLiteral("ja  ") : QStringLiteral("nein"),
                          QString::number(rec[off_switchcount]));
        if (counts) out() << countsline(cur);
        out().flush();
        const RecordCheck c = checkrecord(rec);
        const auto warn = [i](const char* what, int n) {
            if (n) err() << "Warnung Level " << levelnumber(i) << ": " << what << ": " << n << '\n';
        };
        warn("Einträge laut Schaltertabelle, gelesen werden höchstens 11",
             c.switchcount > maxswitches ? c.switchcount : 0);
        warn("Schaltereinträge außerhalb des Rasters", c.outsidegrid);
        warn("Schalter-Ports, nur die ersten 11 bekommen einen Eintrag",
             c.portsfound > maxswitches ? c.portsfound : 0);
        warn("Zellen mit Markierungsbit", c.markedcells);
        warn("Zellen mit einem Code ohne Bild", c.unknowncells);
        warn("Bytes, die Zurückschreiben ändern würde", c.changedbytes);
        err().flush();
    }
    return done;
}

int exportmaps(const QString& packpath, const QString& dir, int only) {
    QString error;
    const auto pack = loadpack(packpath, error);
    if (!pack) return failed(error);
    std::vector<int> levels;
    QStringList names = {QLatin1String(tilesetfilename), QLatin1String(sheetfilename)};
    for (int i = 0; i < levelcount; ++i)
        if (only < 0 || i == only) {
            levels.push_back(i);
            names << levelmapname(i) + QStringLiteral(".tmx");
        }
    for (const QString& name : names)
        if (const QString why = refusedoutput(QDir(dir).filePath(name), {packpath}); !why.isEmpty())
            return failed(why);
    if (!QDir().mkpath(dir)) return failed(QStringLiteral("Der Ordner „%1“ konnte nicht angelegt werden.").arg(dir));
    // All files are written into a fresh folder inside dir first, so that a
    // failure part way leaves the maps of an earlier export as they were.
    QTemporaryDir staging(QDir(dir).filePath(QStringLiteral(".tessaron-pack-XXXXXX")));
    if (!staging.isValid())
        return failed(QStringLiteral("Im Ordner „%1“ ließ sich kein Zwischenordner anlegen.").arg(dir));
    FileResult r = writetilesetfiles(staging.path(), TileSet());
    for (std::size_t n = 0; n < levels.size() && r.ok; ++n)
        r = writelevelmap(staging.filePath(names[qsizetype(n) + 2]), (*pack)[levels[n]]);
    const QString shown = QDir::toNativeSeparators(dir);
    if (!r.ok) // named as the file it was meant to become
        return failed(QString(r.error).replace(QDir::toNativeSeparators(staging.path()), shown) +
                      QStringLiteral("\nIm Ordner „%1“ bleibt alles, wie es war.").arg(shown));
    if (const QString why = movein(staging, dir, names); !why.isEmpty()) return failed(why);
    const int written = int(levels.size());
    out() << written << (written == 1 ? " Karte" : " Karten") << " nach „" << shown << "“ geschrieben.\n";
    return done;
}

int importmaps(const QString& dir, const QString& packpath, int only) {
    auto pack = std::make_unique<LevelPack>();
    if (only >= 0) {
        QString error;
        pack = loadpack(packpath, error);
        if (!pack) return failed(error);
    }
    // Every map is read and checked before the pack is written.
    QStringList maps;
    for (int i = 0; i < levelcount; ++i) {
        if (only >= 0 && i != only) continue;
        const QString tmx = QDir(dir).filePath(levelmapname(i) + QStringLiteral(".tmx"));
        const QString tmj = QDir(dir).filePath(levelmapname(i) + QStringLiteral(".tmj"));
        const bool hastmx = QFileInfo::exists(tmx), hastmj = QFileInfo::exists(tmj);
        if (hastmx == hastmj)
            return failed(QStringLiteral("Im Ordner „%1“ muss für Level %2 genau eine Karte liegen, "
                                         "%3.tmx oder %3.tmj; es sind %4.")
                              .arg(QDir::toNativeSeparators(dir), QString::number(i + 1), levelmapname(i),
                                   hastmx ? QStringLiteral("beide") : QStringLiteral("keine")));
        maps << (hastmx ? tmx : tmj);
        const MapImport map = readlevelmap(maps.back());
        if (!map.ok) return failed(map.error);
        if (map.built.switchesfound > maxswitches)
            err() << "Warnung Level " << i + 1 << ": " << map.built.switchesfound
                  << " Schalter-Ports, nur die ersten 11 bekommen einen Eintrag.\n";
        (*pack)[i] = map.built.record;
    }
    // With --level the pack is read too, and updating it in place is the point.
    if (const QString why = refusedoutput(packpath, maps); !why.isEmpty()) return failed(why);
    // A pack is written whole: what follows one in a longer file would be lost.
    if (const qint64 rest = bytesafterpack(packpath); rest > 0)
        return failed(QStringLiteral("„%1“ wird nicht überschrieben: Die Datei ist %2 Bytes länger als ein "
                                     "Levelpack, und diese Bytes gingen verloren.")
                          .arg(QDir::toNativeSeparators(packpath))
                          .arg(rest));
    const FileResult r = writepack(packpath, *pack);
    if (!r.ok) return failed(r.error);
    out() << (only >= 0 ? 1 : levelcount) << " Level nach „" << QDir::toNativeSeparators(packpath)
          << "“ geschrieben.\n";
    return done;
}

int render(const QString& packpath, int index, const QString& pngpath, int scale) {
    QString error;
    const auto pack = loadpack(packpath, error);
    if (!pack) return failed(error);
    LevelRecord cur = (*pack)[index];
    decodeswitches(cur);
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    renderlevel(TileSet(), cur, scale).save(&buffer, "PNG");
    if (const QString why = refusedoutput(pngpath, {packpath}); !why.isEmpty()) return failed(why);
    const FileResult r = writefileatomically(pngpath, png);
    if (!r.ok) return failed(r.error);
    return done;
}

// What differs between two records, in words.
QStringList differences(const LevelRecord& a, const LevelRecord& b) {
    QStringList what;
    int cells = 0;
    for (int i = 0; i < cellcount; ++i) cells += a[i] != b[i];
    if (cells) what << (cells == 1 ? QStringLiteral("1 Zelle") : QStringLiteral("%1 Zellen").arg(cells));
    const auto differ = [&](int from, int len) {
        return !std::equal(a.begin() + from, a.begin() + from + len, b.begin() + from);
    };
    if (differ(off_title, titlelen)) what << QStringLiteral("Titel");
    if (differ(off_gravity, 1)) what << QStringLiteral("Schwerkraft");
    if (differ(off_infotrons, 1)) what << QStringLiteral("Infotrons benötigt");
    if (differ(off_switchcount, reclen - off_switchcount)) what << QStringLiteral("Schalter");
    if (differ(off_reserved1, 4) || differ(off_fixedspace, 1) || differ(off_reserved2, 1))
        what << QStringLiteral("reservierte Bytes");
    return what;
}

int diff(const QString& apath, const QString& bpath) {
    QString error;
    const auto a = loadpack(apath, error);
    const auto b = a ? loadpack(bpath, error) : nullptr;
    if (!b) {
        err() << error << '\n';
        return wrongusage;
    }
    int differing = 0;
    for (int i = 0; i < levelcount; ++i) {
        const QStringList what = differences((*a)[i], (*b)[i]);
        if (what.isEmpty()) continue;
        ++differing;
        out() << "Level " << levelnumber(i) << ": "
              << what.join(QStringLiteral(", ")) << '\n';
    }
    return differing ? rejected : done;
}

} // namespace

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("tessaron-pack"));
    QCoreApplication::setApplicationVersion(QStringLiteral(TESS_VERSION));
    installgermantexts();

    Usage usage;
    QCommandLineParser& p = usage.parser;
    p.setApplicationDescription(QStringLiteral(
        "Levelpacks auf der Kommandozeile.\n\n"
        "  info PACK [--counts]                eine Zeile je Level; Warnungen auf stderr\n"
        "  export PACK ORDNER [--level N]      Level als Tiled-Karten levelNNN.tmx\n"
        "  import ORDNER PACK [--level N]      Karten (.tmx oder .tmj) zurück ins Pack\n"
        "  render PACK N BILD.png [--scale S]  Level N als Bild, wie der Editor es zeigt\n"
        "  diff A B                            unterschiedliche Level; Status 1, wenn verschieden"));
    const QCommandLineOption help = p.addHelpOption();
    const QCommandLineOption version = p.addVersionOption();
    p.addOption(usage.level);
    p.addOption(usage.scale);
    p.addOption(usage.counts);
    p.addPositionalArgument(QStringLiteral("befehl"), QStringLiteral("info, export, import, render oder diff"));
    p.addPositionalArgument(QStringLiteral("argumente"), QStringLiteral("Die Dateien und Ordner des Befehls."),
                            QStringLiteral("argumente..."));
    if (!p.parse(QCoreApplication::arguments())) return usage.fail(p.errorText());
    if (p.isSet(help)) {
        out() << p.helpText();
        return done;
    }
    if (p.isSet(version)) {
        out() << QCoreApplication::applicationName() << ' ' << QCoreApplication::applicationVersion() << '\n';
        return done;
    }

    const QStringList args = p.positionalArguments();
    const QString verb = args.value(0);
    const auto number = [](const QString& text, int low, int high) {
        bool ok = false;
        const int n = text.toInt(&ok);
        return ok && n >= low && n <= high ? n : -1;
    };
    const int only = p.isSet(usage.level) ? number(p.value(usage.level), 1, levelcount) - 1 : -1;
    if (p.isSet(usage.level) && only < 0) return usage.fail(QStringLiteral("--level braucht eine Zahl von 1 bis 111."));
    if (p.isSet(usage.level) && verb != u"export" && verb != u"import")
        return usage.fail(QStringLiteral("--level gilt nur für export und import."));
    const int scale = number(p.value(usage.scale), 1, 8);
    if (scale < 0) return usage.fail(QStringLiteral("--scale braucht eine Zahl von 1 bis 8."));
    if (p.isSet(usage.scale) && verb != u"render") return usage.fail(QStringLiteral("--scale gilt nur für render."));

    // An empty name would reach Qt's file engine, which answers in English.
    for (qsizetype i = 1; i < args.size(); ++i)
        if (args[i].isEmpty())
            return usage.fail(QStringLiteral("Das %1. Argument von „%2“ ist leer.").arg(QString::number(i), verb));
    const auto needs = [&](int count) { return args.size() == count + 1; };
    if (p.isSet(usage.counts) && verb != u"info") return usage.fail(QStringLiteral("--counts gilt nur für info."));
    if (verb == u"info" && needs(1)) return info(args[1], p.isSet(usage.counts));
    if (verb == u"export" && needs(2)) return exportmaps(args[1], args[2], only);
    if (verb == u"import" && needs(2)) return importmaps(args[1], args[2], only);
    if (verb == u"diff" && needs(2)) return diff(args[1], args[2]);
    if (verb == u"render" && needs(3)) {
        const int n = number(args[2], 1, levelcount);
        if (n < 0) return usage.fail(QStringLiteral("Die Levelnummer muss von 1 bis 111 gehen."));
        return render(args[1], n - 1, args[3], scale);
    }
    if (verb.isEmpty()) return usage.fail(QStringLiteral("Es fehlt ein Befehl."));
    const QStringList verbs = {QStringLiteral("info"), QStringLiteral("export"), QStringLiteral("import"),
                               QStringLiteral("render"), QStringLiteral("diff")};
    if (!verbs.contains(verb)) return usage.fail(QStringLiteral("Unbekannter Befehl „%1“.").arg(verb));
    return usage.fail((args.size() == 2 ? QStringLiteral("„%1“ mit %2 Argument ist kein gültiger Aufruf.")
                                        : QStringLiteral("„%1“ mit %2 Argumenten ist kein gültiger Aufruf."))
                          .arg(verb, QString::number(args.size() - 1)));
}
