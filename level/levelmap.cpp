// SPDX-License-Identifier: MIT
#include "level/levelmap.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QXmlStreamReader>
#include <QXmlStreamWriter>

#include <zlib.h>

#include <algorithm>

namespace tess {

namespace {

// The bytes a record's title field shows, as the map's title property.
QString titletext(const LevelRecord& rec) {
    QString t;
    for (int i = 0; i < titlelen && rec[off_title + i] != 0; ++i) {
        const std::uint8_t b = rec[off_title + i];
        // Below 0x20 a byte would make the XML invalid; foreign_bytes keeps it.
        t += b < 0x20 ? QChar(u'?') : QChar(char16_t(b));
    }
    while (t.endsWith(u' ')) t.chop(1);
    return t;
}

// Runs of neighbouring offsets with the same two bytes are written as one
// range, so the unwritten border ring of a new pack is a few entries.
QString foreigntext(const std::vector<ForeignByte>& foreign) {
    QStringList parts;
    for (std::size_t i = 0; i < foreign.size();) {
        std::size_t j = i;
        while (j + 1 < foreign.size() && foreign[j + 1].offset == foreign[j].offset + 1 &&
               foreign[j + 1].built == foreign[i].built && foreign[j + 1].raw == foreign[i].raw)
            ++j;
        QString offsets = QString::number(foreign[i].offset);
        if (j > i) offsets += QStringLiteral("-%1").arg(foreign[j].offset);
        parts << QStringLiteral("%1:%2:%3")
                     .arg(offsets)
                     .arg(foreign[i].built, 2, 16, QChar(u'0'))
                     .arg(foreign[i].raw, 2, 16, QChar(u'0'));
        i = j + 1;
    }
    return parts.join(u' ');
}

bool parseforeign(const QString& text, std::vector<ForeignByte>& out, QString& bad) {
    for (const QString& part : text.split(u' ', Qt::SkipEmptyParts)) {
        const QStringList f = part.split(u':');
        const QStringList range = f.value(0).split(u'-');
        bool ok[4] = {false, false, false, range.size() == 1};
        const int first = range.value(0).toInt(&ok[0], 10);
        const int last = range.size() == 2 ? range[1].toInt(&ok[3], 10) : first;
        const uint built = f.value(1).toUInt(&ok[1], 16), raw = f.value(2).toUInt(&ok[2], 16);
        if (f.size() != 3 || range.size() > 2 || !(ok[0] && ok[1] && ok[2] && ok[3]) ||
            first < 0 || last < first || last >= reclen || f[1].size() != 2 || f[2].size() != 2) {
            bad = part;
            return false;
        }
        for (int offset = first; offset <= last; ++offset)
            out.push_back({offset, std::uint8_t(built), std::uint8_t(raw)});
    }
    return true;
}

// What either file format yields, before it is checked.
struct RawProperty {
    QString name, type, value;
};

struct RawMap {
    QString orientation;
    int width = 0, height = 0;
    bool infinite = false;
    struct Tileset {
        int firstgid;
        int tilecount; // -1 for an external tileset
    };
    std::vector<Tileset> tilesets;
    int tilelayers = 0;
    int layerwidth = 0, layerheight = 0;
    std::vector<std::uint32_t> gids;
    std::vector<RawProperty> properties;
};

constexpr std::uint32_t flipbits = 0xF0000000u; // horizontal, vertical, diagonal, hexagonal 120°

QString inflated(const QByteArray& packed, const QString& compression, QByteArray& out) {
    const bool gzip = compression == u"gzip";
    if (!gzip && compression != u"zlib")
        return QStringLiteral("Die Kompression „%1“ wird nicht unterstützt (nur zlib und gzip).")
            .arg(compression);
    // One byte more than a layer needs, so that a longer stream is seen.
    out.resize(cellcount * 4 + 1);
    z_stream z{};
    if (inflateInit2(&z, gzip ? 15 + 16 : 15) != Z_OK) return QStringLiteral("zlib versagt.");
    z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(packed.data()));
    z.avail_in = static_cast<uInt>(packed.size());
    z.next_out = reinterpret_cast<Bytef*>(out.data());
    z.avail_out = static_cast<uInt>(out.size());
    const int rc = inflate(&z, Z_FINISH);
    out.resize(out.size() - z.avail_out);
    inflateEnd(&z);
    if (rc != Z_STREAM_END)
        return QStringLiteral("Die %1-Daten der Kachelebene sind beschädigt.").arg(compression);
    return {};
}

// Layer data as the encoding and compression attributes say.
QString decodedata(const QString& encoding, const QString& compression, const QString& text,
                   std::vector<std::uint32_t>& gids) {
    if (encoding == u"csv") {
        for (const QString& item : text.split(u',')) {
            bool ok = false;
            gids.push_back(item.trimmed().toUInt(&ok, 10));
            if (!ok)
                return QStringLiteral("Der CSV-Eintrag „%1“ ist keine Zahl.").arg(item.trimmed());
        }
        return {};
    }
    if (encoding != u"base64")
        return QStringLiteral("Die Kodierung „%1“ wird nicht unterstützt.").arg(encoding);
    const auto decoded = QByteArray::fromBase64Encoding(
        text.trimmed().toLatin1(), QByteArray::AbortOnBase64DecodingErrors);
    if (!decoded) return QStringLiteral("Die base64-Daten der Kachelebene sind fehlerhaft.");
    QByteArray bytes = *decoded;
    if (!compression.isEmpty()) {
        const QString fault = inflated(*decoded, compression, bytes);
        if (!fault.isEmpty()) return fault;
    }
    if (bytes.size() % 4 != 0)
        return QStringLiteral("Die Kachelebene hat %1 Bytes, kein Vielfaches von 4.").arg(bytes.size());
    const auto* p = reinterpret_cast<const std::uint8_t*>(bytes.constData());
    for (qsizetype i = 0; i < bytes.size(); i += 4)
        gids.push_back(p[i] | p[i + 1] << 8 | p[i + 2] << 16 | std::uint32_t(p[i + 3]) << 24);
    return {};
}

// --- TMX ---

int intattr(const QXmlStreamReader& x, const char* name) {
    return x.attributes().value(QLatin1String(name)).toInt();
}

QString readtmxdata(QXmlStreamReader& x, RawMap& m) {
    const QString encoding = x.attributes().value(QLatin1String("encoding")).toString();
    const QString compression = x.attributes().value(QLatin1String("compression")).toString();
    QString text;
    while (!x.atEnd()) {
        x.readNext();
        if (x.isCharacters()) text += x.text();
        if (x.isEndElement()) break;
        if (!x.isStartElement()) continue;
        if (x.name() == u"chunk")
            return QStringLiteral("Die Karte ist unendlich; nur Karten fester Größe werden gelesen.");
        if (x.name() == u"tile") m.gids.push_back(x.attributes().value(QLatin1String("gid")).toUInt());
        x.skipCurrentElement();
    }
    if (encoding.isEmpty()) return {};
    return decodedata(encoding, compression, text, m.gids);
}

void readtmxproperties(QXmlStreamReader& x, std::vector<RawProperty>& out) {
    while (x.readNextStartElement()) {
        if (x.name() != u"property") {
            x.skipCurrentElement();
            continue;
        }
        const auto a = x.attributes();
        RawProperty p{a.value(QLatin1String("name")).toString(), a.value(QLatin1String("type")).toString(),
                      a.value(QLatin1String("value")).toString()};
        if (p.type.isEmpty()) p.type = QStringLiteral("string");
        // A value with line breaks is saved as the element's text.
        const QString text = x.readElementText(QXmlStreamReader::SkipChildElements);
        if (!a.hasAttribute(QLatin1String("value"))) p.value = text;
        out.push_back(p);
    }
}

void readtmxtileset(const QXmlStreamReader& x, RawMap& m) {
    const bool embedded = x.attributes().hasAttribute(QLatin1String("tilecount"));
    m.tilesets.push_back({intattr(x, "firstgid"), embedded ? intattr(x, "tilecount") : -1});
}

// The children of the map element or of a layer group; object and image
// layers are passed over.
QString readtmxchildren(QXmlStreamReader& x, RawMap& m, bool top) {
    QString fault;
    while (fault.isEmpty() && x.readNextStartElement()) {
        if (top && x.name() == u"properties") {
            readtmxproperties(x, m.properties);
            continue;
        }
        if (top && x.name() == u"tileset") readtmxtileset(x, m);
        if (x.name() == u"group") {
            fault = readtmxchildren(x, m, false);
            continue;
        }
        if (x.name() == u"layer" && ++m.tilelayers == 1) {
            m.layerwidth = intattr(x, "width");
            m.layerheight = intattr(x, "height");
            while (fault.isEmpty() && x.readNextStartElement()) {
                if (x.name() == u"data") fault = readtmxdata(x, m);
                else x.skipCurrentElement();
            }
            continue;
        }
        x.skipCurrentElement();
    }
    return fault;
}

QString readtmx(const QByteArray& text, RawMap& m) {
    QXmlStreamReader x(text);
    if (x.readNextStartElement()) {
        if (x.name() != u"map")
            return QStringLiteral("Das Dokument ist keine TMX-Karte (<%1>).").arg(x.name());
        m.orientation = x.attributes().value(QLatin1String("orientation")).toString();
        m.width = intattr(x, "width");
        m.height = intattr(x, "height");
        m.infinite = x.attributes().value(QLatin1String("infinite")) == u"1";
        const QString fault = readtmxchildren(x, m, true);
        if (!fault.isEmpty()) return fault;
    }
    while (!x.atEnd()) x.readNext();
    if (x.hasError())
        return QStringLiteral("XML-Fehler in Zeile %1, Spalte %2: %3")
            .arg(x.lineNumber())
            .arg(x.columnNumber())
            .arg(x.errorString());
    return {};
}

// --- JSON ---

QString readjsonlayers(const QJsonArray& layers, RawMap& m) {
    for (const QJsonValue& v : layers) {
        const QJsonObject layer = v.toObject();
        const QString type = layer.value(u"type").toString();
        if (type == u"group") {
            const QString fault = readjsonlayers(layer.value(u"layers").toArray(), m);
            if (!fault.isEmpty()) return fault;
        }
        if (type != u"tilelayer" || ++m.tilelayers > 1) continue;
        if (layer.contains(u"chunks"))
            return QStringLiteral("Die Karte ist unendlich; nur Karten fester Größe werden gelesen.");
        m.layerwidth = layer.value(u"width").toInt();
        m.layerheight = layer.value(u"height").toInt();
        const QJsonValue data = layer.value(u"data");
        if (data.isArray()) {
            for (const QJsonValue& gid : data.toArray()) {
                const double d = gid.toDouble(-1);
                if (d < 0 || d > 0xFFFFFFFFu || d != std::uint32_t(d))
                    return QStringLiteral("Zelle %1,%2 hält keine gid.")
                        .arg(m.gids.size() % gridcols).arg(m.gids.size() / gridcols);
                m.gids.push_back(std::uint32_t(d));
            }
        } else {
            const QString fault = decodedata(layer.value(u"encoding").toString(), 
                                             layer.value(u"compression").toString(),
                                             data.toString(), m.gids);
            if (!fault.isEmpty()) return fault;
        }
    }
    return {};
}

QString readjson(const QByteArray& text, RawMap& m) {
    QJsonParseError err;
    const QJsonDocument doc = QJsonDocument::fromJson(text, &err);
    if (err.error != QJsonParseError::NoError)
        return QStringLiteral("JSON-Fehler bei Zeichen %1: %2").arg(err.offset).arg(err.errorString());
    const QJsonObject root = doc.object();
    if (root.value(u"type").toString() != u"map")
        return QStringLiteral("Das Dokument ist keine JSON-Karte (type ist nicht „map“).");
    m.orientation = root.value(u"orientation").toString();
    m.width = root.value(u"width").toInt();
    m.height = root.value(u"height").toInt();
    m.infinite = root.value(u"infinite").toBool();
    for (const QJsonValue& v : root.value(u"tilesets").toArray()) {
        const QJsonObject t = v.toObject();
        m.tilesets.push_back({t.value(u"firstgid").toInt(), t.value(u"tilecount").toInt(-1)});
    }
    for (const QJsonValue& v : root.value(u"properties").toArray()) {
        const QJsonObject p = v.toObject();
        const QJsonValue value = p.value(u"value");
        QString text = value.toString();
        if (value.isBool()) text = value.toBool() ? QStringLiteral("true") : QStringLiteral("false");
        if (value.isDouble()) text = QString::number(value.toDouble(), 'g', 17);
        m.properties.push_back({p.value(u"name").toString(), p.value(u"type").toString(), text});
    }
    return readjsonlayers(root.value(u"layers").toArray(), m);
}

// --- checking what was read ---

QString checkproperty(const RawProperty& p, LevelMap& map) {
    const auto wrongtype = [&p](const char* type) {
        return QStringLiteral("Die Eigenschaft „%1“ hat den Typ „%2“ statt „%3“.")
            .arg(p.name, p.type, QLatin1String(type));
    };
    if (p.name == u"title") {
        if (p.type != u"string") return wrongtype("string");
        if (std::any_of(p.value.begin(), p.value.end(), [](QChar c) { return c.unicode() > 0xFF; }))
            return QStringLiteral("Der Titel „%1“ enthält Zeichen außerhalb von Latin-1.").arg(p.value);
        if (p.value.size() > titlelen)
            return QStringLiteral("Der Titel „%1“ hat %2 Zeichen, höchstens %3 sind erlaubt.")
                .arg(p.value)
                .arg(p.value.size())
                .arg(titlelen);
        map.title = p.value;
    } else if (p.name == u"gravity") {
        if (p.type != u"bool") return wrongtype("bool");
        if (p.value != u"true" && p.value != u"false")
            return QStringLiteral("Die Eigenschaft „gravity“ hat den Wert „%1“ statt true oder false.")
                .arg(p.value);
        map.gravity = p.value == u"true";
    } else if (p.name == u"infotrons_needed") {
        if (p.type != u"int") return wrongtype("int");
        bool ok = false;
        map.infotronsneeded = p.value.toInt(&ok);
        if (!ok || map.infotronsneeded < 0 || map.infotronsneeded > 255)
            return QStringLiteral("Die Eigenschaft „infotrons_needed“ ist %1, erlaubt sind 0 bis 255.")
                .arg(p.value);
    } else if (p.name == u"foreign_bytes") {
        if (p.type != u"string") return wrongtype("string");
        QString bad;
        if (!parseforeign(p.value, map.foreign, bad))
            return QStringLiteral("Die Eigenschaft „foreign_bytes“ ist bei „%1“ fehlerhaft "
                                  "(erwartet: Offset:gebaut:roh oder Von-Bis:gebaut:roh, etwa 1440:00:7f).")
                .arg(bad);
    }
    // Other properties carry nothing of the record and are left alone.
    return {};
}

QString checkmap(const RawMap& m, LevelMap& map) {
    if (m.orientation != u"orthogonal")
        return QStringLiteral("Die Karte ist nicht orthogonal, sondern „%1“.").arg(m.orientation);
    if (m.infinite)
        return QStringLiteral("Die Karte ist unendlich; nur Karten fester Größe werden gelesen.");
    if (m.width != gridcols || m.height != gridrows)
        return QStringLiteral("Die Karte ist %1 × %2 Kacheln groß, ein Level hat %3 × %4.")
            .arg(m.width).arg(m.height).arg(gridcols).arg(gridrows);
    if (m.tilesets.size() != 1)
        return QStringLiteral("Die Karte hat %1 Tilesets, erwartet wird genau eins (%2).")
            .arg(m.tilesets.size()).arg(QLatin1String(tilesetfilename));
    if (m.tilesets[0].firstgid != 1)
        return QStringLiteral("Das Tileset beginnt bei gid %1 statt 1.").arg(m.tilesets[0].firstgid);
    if (m.tilesets[0].tilecount > sheettilecount)
        return QStringLiteral("Das Tileset hat %1 Kacheln, höchstens %2 sind erlaubt.")
            .arg(m.tilesets[0].tilecount).arg(sheettilecount);
    if (m.tilelayers != 1)
        return m.tilelayers == 0
                   ? QStringLiteral("Die Karte hat keine Kachelebene.")
                   : QStringLiteral("Die Karte hat %1 Kachelebenen, erwartet wird genau eine.")
                         .arg(m.tilelayers);
    if (m.layerwidth != gridcols || m.layerheight != gridrows)
        return QStringLiteral("Die Kachelebene ist %1 × %2 Kacheln groß, ein Level hat %3 × %4.")
            .arg(m.layerwidth).arg(m.layerheight).arg(gridcols).arg(gridrows);
    if (m.gids.size() != std::size_t(cellcount))
        return QStringLiteral("Die Kachelebene hat %1 Zellen statt %2.").arg(m.gids.size()).arg(cellcount);
    for (int i = 0; i < cellcount; ++i) {
        const std::uint32_t gid = m.gids[i];
        const QString cell = QStringLiteral("Zelle %1,%2").arg(i % gridcols).arg(i / gridcols);
        if (gid & flipbits) return QStringLiteral("%1 ist gespiegelt oder gedreht.").arg(cell);
        if (gid == 0) return QStringLiteral("%1 ist leer (gid 0).").arg(cell);
        if (gid > std::uint32_t(sheettilecount))
            return QStringLiteral("%1 hat gid %2, das Tileset hat nur %3 Kacheln.")
                .arg(cell).arg(gid).arg(sheettilecount);
        map.cells[i] = static_cast<std::uint8_t>(gid - 1);
    }
    for (const RawProperty& p : m.properties) {
        const QString fault = checkproperty(p, map);
        if (!fault.isEmpty()) return fault;
    }
    return {};
}

QString shown(const QString& path) { return QDir::toNativeSeparators(path); }

} // namespace

// --- record <-> map ---

LevelMap recordtomap(const LevelRecord& rec) {
    LevelMap map;
    LevelRecord cur = rec;
    decodeswitches(cur);
    std::copy_n(cur.begin(), cellcount, map.cells.begin());
    map.title = titletext(rec);
    map.gravity = rec[off_gravity] != 0;
    map.infotronsneeded = rec[off_infotrons];
    const LevelRecord built = maptorecord(map).record;
    for (int i = 0; i < reclen; ++i)
        if (built[i] != rec[i]) map.foreign.push_back({i, built[i], rec[i]});
    return map;
}

BuiltRecord maptorecord(const LevelMap& map) {
    LevelRecord cur{};
    std::copy(map.cells.begin(), map.cells.end(), cur.begin());
    StoreFields fields;
    fields.infotronsneeded = static_cast<std::int16_t>(map.infotronsneeded);
    fields.gravity = map.gravity;
    fields.title = map.title.toLatin1().toStdString();
    BuiltRecord out = buildrecord(cur, fields);
    for (const ForeignByte& f : map.foreign)
        if (out.record[f.offset] == f.built) out.record[f.offset] = f.raw;
    return out;
}

// --- files ---

QByteArray writetmx(const LevelMap& map) {
    QByteArray out;
    QXmlStreamWriter w(&out);
    w.setAutoFormatting(true);
    w.setAutoFormattingIndent(1);
    w.writeStartDocument();
    w.writeStartElement(QStringLiteral("map"));
    const auto attr = [&w](const char* name, const QString& value) {
        w.writeAttribute(QLatin1String(name), value);
    };
    attr("version", QStringLiteral("1.8"));
    attr("tiledversion", QStringLiteral("1.8.2"));
    attr("orientation", QStringLiteral("orthogonal"));
    attr("renderorder", QStringLiteral("right-down"));
    attr("width", QString::number(gridcols));
    attr("height", QString::number(gridrows));
    attr("tilewidth", QString::number(maptilesize));
    attr("tileheight", QString::number(maptilesize));
    attr("infinite", QStringLiteral("0"));
    attr("nextlayerid", QStringLiteral("2"));
    attr("nextobjectid", QStringLiteral("1"));

    // Tiled keeps properties sorted by name.
    w.writeStartElement(QStringLiteral("properties"));
    const auto property = [&](const char* name, const char* type, const QString& value) {
        w.writeEmptyElement(QStringLiteral("property"));
        attr("name", QLatin1String(name));
        if (type) attr("type", QLatin1String(type));
        attr("value", value);
    };
    if (!map.foreign.empty()) property("foreign_bytes", nullptr, foreigntext(map.foreign));
    property("gravity", "bool", map.gravity ? QStringLiteral("true") : QStringLiteral("false"));
    property("infotrons_needed", "int", QString::number(map.infotronsneeded));
    property("title", nullptr, map.title);
    w.writeEndElement();

    w.writeEmptyElement(QStringLiteral("tileset"));
    attr("firstgid", QStringLiteral("1"));
    attr("source", QLatin1String(tilesetfilename));

    w.writeStartElement(QStringLiteral("layer"));
    attr("id", QStringLiteral("1"));
    attr("name", QStringLiteral("Level"));
    attr("width", QString::number(gridcols));
    attr("height", QString::number(gridrows));
    w.writeStartElement(QStringLiteral("data"));
    attr("encoding", QStringLiteral("csv"));
    QString csv = QStringLiteral("\n");
    for (int i = 0; i < cellcount; ++i) {
        csv += QString::number(map.cells[i] + 1);
        if (i + 1 < cellcount) csv += u',';
        if (i % gridcols == gridcols - 1) csv += u'\n';
    }
    w.writeCharacters(csv);
    w.writeEndDocument();
    return out;
}

QByteArray writetsx() {
    QByteArray out;
    QXmlStreamWriter w(&out);
    w.setAutoFormatting(true);
    w.setAutoFormattingIndent(1);
    w.writeStartDocument();
    w.writeStartElement(QStringLiteral("tileset"));
    w.writeAttribute(QStringLiteral("version"), QStringLiteral("1.8"));
    w.writeAttribute(QStringLiteral("tiledversion"), QStringLiteral("1.8.2"));
    w.writeAttribute(QStringLiteral("name"), QStringLiteral("tiles"));
    w.writeAttribute(QStringLiteral("tilewidth"), QString::number(maptilesize));
    w.writeAttribute(QStringLiteral("tileheight"), QString::number(maptilesize));
    w.writeAttribute(QStringLiteral("tilecount"), QString::number(sheettilecount));
    w.writeAttribute(QStringLiteral("columns"), QString::number(sheetcolumns));
    w.writeEmptyElement(QStringLiteral("image"));
    w.writeAttribute(QStringLiteral("source"), QLatin1String(sheetfilename));
    w.writeAttribute(QStringLiteral("width"), QString::number(sheetcolumns * maptilesize));
    w.writeAttribute(QStringLiteral("height"),
                     QString::number(sheettilecount / sheetcolumns * maptilesize));
    w.writeEndDocument();
    return out;
}

MapRead parsemap(const QByteArray& text, const QString& path) {
    MapRead out;
    RawMap raw;
    const bool json = text.trimmed().startsWith('{');
    QString fault = json ? readjson(text, raw) : readtmx(text, raw);
    if (fault.isEmpty()) fault = checkmap(raw, out.map);
    if (!fault.isEmpty()) {
        out.error = QStringLiteral("Die Datei „%1“ ist keine gültige Karte: %2").arg(shown(path), fault);
        return out;
    }
    out.ok = true;
    return out;
}

FileResult writelevelmap(const QString& path, const LevelRecord& rec) {
    return writefileatomically(path, writetmx(recordtomap(rec)));
}

FileResult writetilesetfile(const QString& dir) {
    return writefileatomically(QDir(dir).filePath(QLatin1String(tilesetfilename)), writetsx());
}

MapImport readlevelmap(const QString& path) {
    MapImport out;
    // A level map is a few dozen kilobytes; anything far larger is not one.
    constexpr qint64 sizelimit = 16 << 20;
    QFile file(path);
    if (QFileInfo(path).isDir() || !file.open(QIODevice::ReadOnly)) {
        out.error = QStringLiteral("Die Datei „%1“ konnte nicht geöffnet werden: %2")
                        .arg(shown(path), QFileInfo(path).isDir() ? QStringLiteral("Es ist ein Ordner.")
                                                                  : file.errorString());
        return out;
    }
    if (file.size() > sizelimit) {
        out.error = QStringLiteral("Die Datei „%1“ ist keine gültige Karte: Sie ist %2 Bytes groß.")
                        .arg(shown(path)).arg(file.size());
        return out;
    }
    const MapRead read = parsemap(file.readAll(), path);
    out.error = read.error;
    if (!read.ok) return out;
    out.built = maptorecord(read.map);
    out.ok = true;
    return out;
}

} // namespace tess
