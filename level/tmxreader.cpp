// SPDX-License-Identifier: MIT
// The TMX reader: what a map saved by Tiled as XML holds, unchecked.
#include "level/mapreader.h"

#include <QXmlStreamReader>

namespace tess::mapread {

namespace {

int intattr(const QXmlStreamReader& x, const char* name) {
    return x.attributes().value(QLatin1String(name)).toInt();
}

QStringView attr(const QXmlStreamReader& x, const char* name) {
    return x.attributes().value(QLatin1String(name));
}

// Elements nested deeper than limit anywhere in the text; an XML error is
// left to the reading that follows.
bool nestsdeeper(const QByteArray& text, int limit) {
    QXmlStreamReader x(text);
    int depth = 0;
    while (!x.atEnd()) {
        const auto token = x.readNext();
        if (token == QXmlStreamReader::StartElement && ++depth > limit) return true;
        if (token == QXmlStreamReader::EndElement) --depth;
    }
    return false;
}

QString readdata(QXmlStreamReader& x, RawMap& m) {
    const QString encoding = attr(x, "encoding").toString();
    const QString compression = attr(x, "compression").toString();
    QString text;
    while (!x.atEnd()) {
        x.readNext();
        if (x.isCharacters() && !encoding.isEmpty()) text += x.text();
        if (x.isEndElement()) break;
        if (!x.isStartElement()) continue;
        if (x.name() == u"chunk")
            return QStringLiteral("Die Karte ist unendlich; nur Karten fester Größe werden gelesen.");
        if (x.name() == u"tile") m.gids.add(attr(x, "gid").toUInt());
        x.skipCurrentElement();
    }
    if (encoding.isEmpty()) return {};
    return decodelayer(encoding, compression, text, m.gids);
}

void readproperties(QXmlStreamReader& x, std::vector<RawProperty>& out) {
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

void readtileset(const QXmlStreamReader& x, RawMap& m) {
    if (m.tilesets++) return;
    m.tileset.firstgid = intattr(x, "firstgid");
    m.tileset.source = attr(x, "source").toString();
    m.tileset.name = attr(x, "name").toString();
    if (x.attributes().hasAttribute(QLatin1String("tilecount"))) m.tileset.tilecount = intattr(x, "tilecount");
}

// The children of the map element or of a layer group; object and image
// layers are passed over. Groups nest no deeper than the text was checked for.
QString readchildren(QXmlStreamReader& x, RawMap& m, bool top) {
    QString fault;
    while (fault.isEmpty() && x.readNextStartElement()) {
        if (top && x.name() == u"properties") {
            readproperties(x, m.properties);
            continue;
        }
        if (top && x.name() == u"tileset") readtileset(x, m);
        if (x.name() == u"group") {
            fault = readchildren(x, m, false);
            continue;
        }
        if (x.name() == u"layer" && ++m.tilelayers == 1) {
            m.layerwidth = intattr(x, "width");
            m.layerheight = intattr(x, "height");
            while (fault.isEmpty() && x.readNextStartElement()) {
                if (x.name() == u"data") fault = readdata(x, m);
                else x.skipCurrentElement();
            }
            continue;
        }
        x.skipCurrentElement();
    }
    return fault;
}

} // namespace

QString readtmx(const QByteArray& text, RawMap& m) {
    if (nestsdeeper(text, mapnestinglimit))
        return QStringLiteral("Die Elemente sind tiefer als %1 Ebenen verschachtelt.").arg(mapnestinglimit);
    QXmlStreamReader x(text);
    if (x.readNextStartElement()) {
        if (x.name() != u"map")
            return QStringLiteral("Das Dokument ist keine TMX-Karte (<%1>).").arg(excerpt(x.name()));
        m.orientation = attr(x, "orientation").toString();
        m.width = intattr(x, "width");
        m.height = intattr(x, "height");
        m.infinite = attr(x, "infinite") == u"1";
        const QString fault = readchildren(x, m, true);
        if (!fault.isEmpty()) return fault;
    }
    while (!x.atEnd()) x.readNext();
    if (x.hasError())
        return QStringLiteral("XML-Fehler in Zeile %1, Spalte %2: %3")
            .arg(QString::number(x.lineNumber()), QString::number(x.columnNumber()), excerpt(x.errorString()));
    return {};
}

} // namespace tess::mapread
