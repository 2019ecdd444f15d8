// SPDX-License-Identifier: MIT
// A map read from TMX or JSON checked and turned into a level map.
#include "level/mapreader.h"

#include <QDir>

#include <algorithm>

namespace tess {

namespace mapread {

namespace {

constexpr std::uint32_t flipbits = 0xF0000000u; // horizontal, vertical, diagonal, hexagonal 120°

QString num(qint64 n) { return QString::number(n); }

QString checktitle(const QString& title) {
    for (qsizetype i = 0; i < title.size(); ++i) {
        const char16_t c = title[i].unicode();
        if (c > 0xFF)
            return QStringLiteral("Der Titel „%1“ enthält Zeichen außerhalb von Latin-1.").arg(excerpt(title));
        if (c < 0x20 || (c >= 0x7F && c < 0xA0))
            return QStringLiteral("Der Titel enthält an Stelle %1 das Steuerzeichen U+%2.")
                .arg(num(i + 1), QStringLiteral("%1").arg(c, 4, 16, QChar(u'0')).toUpper());
    }
    if (title.size() > titlelen)
        return QStringLiteral("Der Titel „%1“ hat %2 Zeichen, höchstens %3 sind erlaubt.")
            .arg(excerpt(title), num(title.size()), num(titlelen));
    return {};
}

QString checkproperty(const RawProperty& p, LevelMap& map) {
    const auto wrongtype = [&p](const char* type) {
        return QStringLiteral("Die Eigenschaft „%1“ hat den Typ „%2“ statt „%3“.")
            .arg(excerpt(p.name), excerpt(p.type), QLatin1String(type));
    };
    if (p.name == u"title") {
        if (p.type != u"string") return wrongtype("string");
        const QString fault = checktitle(p.value);
        if (!fault.isEmpty()) return fault;
        map.title = p.value;
    } else if (p.name == u"gravity") {
        if (p.type != u"bool") return wrongtype("bool");
        if (p.value != u"true" && p.value != u"false")
            return QStringLiteral("Die Eigenschaft „gravity“ hat den Wert „%1“ statt true oder false.").arg(excerpt(p.value));
        map.gravity = p.value == u"true";
    } else if (p.name == u"infotrons_needed") {
        if (p.type != u"int") return wrongtype("int");
        bool ok = false;
        map.infotronsneeded = p.value.toInt(&ok);
        if (!ok || map.infotronsneeded < 0 || map.infotronsneeded > 255)
            return QStringLiteral("Die Eigenschaft „infotrons_needed“ ist %1, erlaubt sind 0 bis 255.").arg(excerpt(p.value));
    } else if (p.name == u"foreign_bytes") {
        if (p.type != u"string") return wrongtype("string");
        const QString fault = parseforeign(p.value, map.foreign);
        if (!fault.isEmpty()) return QStringLiteral("Die Eigenschaft „foreign_bytes“ ") + fault;
    }
    // Other properties carry nothing of the record and are left alone.
    return {};
}

// Ours is tiles.tsx beside the map, or the same tileset embedded.
QString checktileset(const RawMap& m) {
    const RawTileset& t = m.tileset;
    if (m.tilesets != 1)
        return QStringLiteral("Die Karte hat %1 Tilesets, erwartet wird genau eins (%2).")
            .arg(num(m.tilesets), QLatin1String(tilesetfilename));
    const bool external = !t.source.isEmpty();
    const QString file = t.source.section(u'/', -1).section(u'\\', -1);
    if (external ? file != QLatin1String(tilesetfilename) : t.name != QLatin1String(tilesetname))
        return QStringLiteral("Die Karte verwendet das Tileset „%1“ statt %2.")
            .arg(excerpt(external ? t.source : t.name), QLatin1String(tilesetfilename));
    if (t.tilecount != sheettilecount && (!external || t.tilecount != -1))
        return QStringLiteral("Das Tileset „%1“ hat %2 Kacheln statt %3.")
            .arg(excerpt(external ? t.source : t.name), num(t.tilecount), num(sheettilecount));
    if (t.firstgid != 1) return QStringLiteral("Das Tileset beginnt bei gid %1 statt 1.").arg(t.firstgid);
    return {};
}

} // namespace

QString checkmap(const RawMap& m, LevelMap& map) {
    const auto size = [](int w, int h) { return QStringLiteral("%1 × %2").arg(num(w), num(h)); };
    const QString level = size(gridcols, gridrows);
    if (m.orientation != u"orthogonal")
        return QStringLiteral("Die Karte ist nicht orthogonal, sondern „%1“.").arg(excerpt(m.orientation));
    if (m.infinite) return QStringLiteral("Die Karte ist unendlich; nur Karten fester Größe werden gelesen.");
    if (m.width != gridcols || m.height != gridrows)
        return QStringLiteral("Die Karte ist %1 Kacheln groß, ein Level hat %2.").arg(size(m.width, m.height), level);
    if (const QString fault = checktileset(m); !fault.isEmpty()) return fault;
    if (m.tilelayers != 1)
        return m.tilelayers == 0 ? QStringLiteral("Die Karte hat keine Kachelebene.")
                                 : QStringLiteral("Die Karte hat %1 Kachelebenen, erwartet wird genau eine.")
                                       .arg(m.tilelayers);
    if (m.layerwidth != gridcols || m.layerheight != gridrows)
        return QStringLiteral("Die Kachelebene ist %1 Kacheln groß, ein Level hat %2.")
            .arg(size(m.layerwidth, m.layerheight), level);
    if (m.gids.toomany) return QStringLiteral("Die Kachelebene hat mehr als %1 Zellen.").arg(cellcount);
    if (m.gids.count != cellcount)
        return QStringLiteral("Die Kachelebene hat %1 Zellen statt %2.").arg(num(m.gids.count), num(cellcount));
    for (int i = 0; i < cellcount; ++i) {
        const std::uint32_t gid = m.gids.gid[i];
        const QString cell = QStringLiteral("Zelle %1,%2").arg(num(i % gridcols), num(i / gridcols));
        if (gid & flipbits) return QStringLiteral("%1 ist gespiegelt oder gedreht.").arg(cell);
        if (gid == 0) return QStringLiteral("%1 ist leer (gid 0).").arg(cell);
        if (gid > std::uint32_t(sheettilecount))
            return QStringLiteral("%1 hat gid %2, das Tileset hat nur %3 Kacheln.")
                .arg(cell, num(gid), num(sheettilecount));
        map.cells[i] = static_cast<std::uint8_t>(gid - 1);
    }
    for (const RawProperty& p : m.properties) {
        const QString fault = checkproperty(p, map);
        if (!fault.isEmpty()) return fault;
    }
    return {};
}

} // namespace mapread

MapRead parsemap(const QByteArray& text, const QString& path) {
    MapRead out;
    mapread::RawMap raw;
    const bool json = text.trimmed().startsWith('{');
    QString fault = json ? mapread::readtmj(text, raw) : mapread::readtmx(text, raw);
    if (fault.isEmpty()) fault = mapread::checkmap(raw, out.map);
    if (!fault.isEmpty()) {
        out.error = QStringLiteral("Die Datei „%1“ ist keine gültige Karte: %2")
                        .arg(QDir::toNativeSeparators(path), fault);
        out.map = {};
        return out;
    }
    out.ok = true;
    return out;
}

} // namespace tess
