// SPDX-License-Identifier: MIT
// The JSON (.tmj) reader: what a map saved by Tiled as JSON holds, unchecked.
#include "level/mapreader.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace tess::mapread {

namespace {

// Objects and arrays nested deeper than limit, brackets inside strings not
// counted; malformed JSON is left to the parser.
bool nestsdeeper(const QByteArray& text, int limit) {
    int depth = 0;
    bool instring = false, escaped = false;
    for (const char c : text) {
        if (instring) {
            if (escaped) escaped = false;
            else if (c == '\\') escaped = true;
            else if (c == '"') instring = false;
        } else if (c == '"') {
            instring = true;
        } else if (c == '{' || c == '[') {
            if (++depth > limit) return true;
        } else if (c == '}' || c == ']') {
            --depth;
        }
    }
    return false;
}

QString readlayers(const QJsonArray& layers, RawMap& m) {
    for (const QJsonValue& v : layers) {
        const QJsonObject layer = v.toObject();
        const QString type = layer.value(u"type").toString();
        if (type == u"group") {
            const QString fault = readlayers(layer.value(u"layers").toArray(), m);
            if (!fault.isEmpty()) return fault;
        }
        if (type != u"tilelayer" || ++m.tilelayers > 1) continue;
        if (layer.contains(u"chunks"))
            return QStringLiteral("Die Karte ist unendlich; nur Karten fester Größe werden gelesen.");
        m.layerwidth = layer.value(u"width").toInt();
        m.layerheight = layer.value(u"height").toInt();
        const QJsonValue data = layer.value(u"data");
        if (!data.isArray()) {
            const QString fault = decodelayer(layer.value(u"encoding").toString(),
                                              layer.value(u"compression").toString(), data.toString(), m.gids);
            if (!fault.isEmpty()) return fault;
            continue;
        }
        for (const QJsonValue& gid : data.toArray()) {
            const double d = gid.toDouble(-1);
            if (d < 0 || d > 0xFFFFFFFFu || d != std::uint32_t(d))
                return QStringLiteral("Zelle %1,%2 hält keine gid.")
                    .arg(QString::number(m.gids.count % gridcols), QString::number(m.gids.count / gridcols));
            m.gids.add(std::uint32_t(d));
            if (m.gids.toomany) break;
        }
    }
    return {};
}

} // namespace

QString readtmj(const QByteArray& text, RawMap& m) {
    if (nestsdeeper(text, mapnestinglimit))
        return QStringLiteral("Objekte und Listen sind tiefer als %1 Ebenen verschachtelt.").arg(mapnestinglimit);
    QJsonParseError err;
    const QJsonDocument doc = QJsonDocument::fromJson(text, &err);
    if (err.error != QJsonParseError::NoError)
        return QStringLiteral("JSON-Fehler bei Zeichen %1: %2").arg(QString::number(err.offset), err.errorString());
    const QJsonObject root = doc.object();
    if (root.value(u"type").toString() != u"map")
        return QStringLiteral("Das Dokument ist keine JSON-Karte (type ist nicht „map“).");
    m.orientation = root.value(u"orientation").toString();
    m.width = root.value(u"width").toInt();
    m.height = root.value(u"height").toInt();
    m.infinite = root.value(u"infinite").toBool();
    const QJsonArray tilesets = root.value(u"tilesets").toArray();
    m.tilesets = int(tilesets.size());
    if (!tilesets.isEmpty()) {
        const QJsonObject t = tilesets.first().toObject();
        m.tileset = {t.value(u"firstgid").toInt(), t.value(u"source").toString(), t.value(u"name").toString(),
                     t.value(u"tilecount").toInt(-1)};
    }
    for (const QJsonValue& v : root.value(u"properties").toArray()) {
        const QJsonObject p = v.toObject();
        const QJsonValue value = p.value(u"value");
        QString text = value.toString();
        if (value.isBool()) text = value.toBool() ? QStringLiteral("true") : QStringLiteral("false");
        if (value.isDouble()) text = QString::number(value.toDouble(), 'g', 17);
        // Tiled leaves the type out of a string property written by other tools.
        QString type = p.value(u"type").toString();
        if (type.isEmpty()) type = QStringLiteral("string");
        m.properties.push_back({p.value(u"name").toString(), type, text});
    }
    return readlayers(root.value(u"layers").toArray(), m);
}

} // namespace tess::mapread
