// SPDX-License-Identifier: MIT
// The TMX map of a level and tiles.tsx, as Tiled 1.8.2 lays them out.
#include "level/levelmap.h"

#include <QXmlStreamWriter>

namespace tess {

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
    if (map.hasforeign()) property("foreign_bytes", nullptr, foreigntext(map.foreign));
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
    w.writeAttribute(QStringLiteral("name"), QLatin1String(tilesetname));
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

} // namespace tess
