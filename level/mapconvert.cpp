// SPDX-License-Identifier: MIT
// Record <-> map, and the foreign_bytes property that carries what a map
// cannot show.
#include "level/levelmap.h"

#include <QStringList>

#include <algorithm>

namespace tess {

namespace {

// A field of the record: a cell, the title, the switch table with its count
// byte, or one of the other bytes. Foreign bytes are listed and put back by
// field, so an edit never leaves half of a field's old bytes behind.
struct Field {
    int first, len;
};

Field fieldat(int offset) {
    if (offset >= off_title && offset < off_title + titlelen) return {off_title, titlelen};
    if (offset >= off_switchcount) return {off_switchcount, reclen - off_switchcount};
    return {offset, 1};
}

template <class Visit>
void eachfield(Visit visit) {
    for (int o = 0; o < reclen;) {
        const Field f = fieldat(o);
        visit(f);
        o = f.first + f.len;
    }
}

constexpr bool iscontrol(unsigned c) { return c < 0x20 || (c >= 0x7F && c < 0xA0); }

// The bytes a record's title field shows, as the map's title property.
QString titletext(const LevelRecord& rec) {
    QString t;
    for (int i = 0; i < titlelen && rec[off_title + i] != 0; ++i) {
        const std::uint8_t b = rec[off_title + i];
        // A control character would not survive the XML; foreign_bytes keeps it.
        t += iscontrol(b) ? QChar(u'?') : QChar(char16_t(b));
    }
    while (t.endsWith(u' ')) t.chop(1);
    return t;
}

BuiltRecord buildplain(const LevelMap& map) {
    LevelRecord cur{};
    std::copy(map.cells.begin(), map.cells.end(), cur.begin());
    StoreFields fields;
    fields.infotronsneeded = static_cast<std::int16_t>(map.infotronsneeded);
    fields.gravity = map.gravity;
    fields.title = map.title.toLatin1().toStdString();
    return buildrecord(cur, fields);
}

bool decimal(QStringView s, int& v) {
    if (s.isEmpty() || s.size() > 4) return false;
    v = 0;
    for (const QChar c : s) {
        if (c < u'0' || c > u'9') return false;
        v = v * 10 + (c.unicode() - u'0');
    }
    return true;
}

bool hexbyte(QStringView s, std::uint8_t& v) {
    bool ok = s.size() == 2;
    const uint n = ok ? s.toUInt(&ok, 16) : 0;
    v = std::uint8_t(n);
    return ok && s[0] != u'+' && s[0] != u'-';
}

} // namespace

bool LevelMap::hasforeign() const {
    return std::any_of(foreign.begin(), foreign.end(), [](const ForeignByte& f) { return f.held; });
}

LevelMap recordtomap(const LevelRecord& rec) {
    LevelMap map;
    LevelRecord cur = rec;
    decodeswitches(cur);
    std::copy_n(cur.begin(), cellcount, map.cells.begin());
    map.title = titletext(rec);
    map.gravity = rec[off_gravity] != 0;
    map.infotronsneeded = rec[off_infotrons];
    const LevelRecord built = buildplain(map).record;
    eachfield([&](Field f) {
        if (std::equal(rec.begin() + f.first, rec.begin() + f.first + f.len, built.begin() + f.first))
            return;
        for (int p = f.first; p < f.first + f.len; ++p) map.foreign[p] = {true, built[p], rec[p]};
    });
    return map;
}

BuiltRecord maptorecord(const LevelMap& map) {
    BuiltRecord out = buildplain(map);
    if (!map.hasforeign()) return out;
    const LevelRecord built = out.record;
    // The record as exported, if the map is unchanged; decoded, its cells are
    // what the export showed. A map from before titles and switch tables were
    // listed whole lists only their differing bytes; the rest is as built.
    LevelRecord exported = built;
    for (int p = 0; p < reclen; ++p)
        if (map.foreign[p].held) exported[p] = map.foreign[p].raw;
    LevelRecord shown = exported;
    decodeswitches(shown);
    eachfield([&](Field f) {
        bool listed = false, unchanged = true;
        for (int p = f.first; p < f.first + f.len; ++p) {
            const ForeignByte& b = map.foreign[p];
            if (!b.held) continue;
            listed = true;
            // A cell compares as shown: a plain tile painted over a marked
            // one builds the same byte but is an edit.
            unchanged = unchanged && (p < cellcount ? map.cells[p] == shown[p] : built[p] == b.built);
        }
        if (listed && unchanged)
            std::copy_n(exported.begin() + f.first, f.len, out.record.begin() + f.first);
    });
    return out;
}

// Runs of neighbouring offsets with the same two bytes are written as one
// range, so the unwritten border ring of a new pack is a few entries.
QString foreigntext(const ForeignBytes& foreign) {
    QStringList parts;
    for (int i = 0; i < reclen;) {
        if (!foreign[i].held) {
            ++i;
            continue;
        }
        int j = i;
        while (j + 1 < reclen && foreign[j + 1] == foreign[i]) ++j;
        const QString offsets = j > i ? QStringLiteral("%1-%2").arg(QString::number(i), QString::number(j))
                                      : QString::number(i);
        parts << QStringLiteral("%1:%2:%3")
                     .arg(offsets, QStringLiteral("%1").arg(foreign[i].built, 2, 16, QChar(u'0')),
                          QStringLiteral("%1").arg(foreign[i].raw, 2, 16, QChar(u'0')));
        i = j + 1;
    }
    return parts.join(u' ');
}

QString excerpt(QStringView value) {
    constexpr qsizetype shown = 40;
    if (value.size() <= shown) return value.toString();
    // Never cut a surrogate pair in two.
    const qsizetype cut = value[shown - 1].isHighSurrogate() ? shown - 1 : shown;
    return value.left(cut).toString() + QChar(0x2026);
}

QString parseforeign(const QString& text, ForeignBytes& out) {
    // Every offset on its own, "1535:ff:ff ", is the longest listing there is.
    constexpr int longest = reclen * 11;
    if (text.size() > longest)
        return QStringLiteral("ist %1 Zeichen lang; ein Level braucht höchstens %2.")
            .arg(QString::number(text.size()), QString::number(longest));
    out = {};
    for (const QString& part : text.simplified().split(u' ', Qt::SkipEmptyParts)) {
        const QStringList f = part.split(u':');
        const qsizetype dash = f[0].indexOf(u'-');
        const QStringView offsets(f[0]);
        int first = 0, last = 0;
        std::uint8_t built = 0, raw = 0;
        if (f.size() != 3 || !decimal(dash < 0 ? offsets : offsets.left(dash), first) ||
            !decimal(dash < 0 ? offsets : offsets.mid(dash + 1), last) || !hexbyte(f[1], built) ||
            !hexbyte(f[2], raw) || last < first || last >= reclen)
            return QStringLiteral("ist bei „%1“ fehlerhaft (erwartet: Offset:gebaut:roh oder "
                                  "Von-Bis:gebaut:roh, etwa 1440:00:7f).")
                .arg(excerpt(part));
        for (int o = first; o <= last; ++o) {
            if (out[o].held)
                return QStringLiteral("nennt Offset %1 mehr als einmal (bei „%2“).").arg(QString::number(o), excerpt(part));
            out[o] = {true, built, raw};
        }
    }
    return {};
}

} // namespace tess
