// SPDX-License-Identifier: MIT
#include "document/iniformat.h"

#include "document/editorsettings.h"

#include <QIODevice>
#include <QMap>
#include <QStringList>

#include <optional>

namespace tess {

namespace {

int hexvalue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

bool ishex(QChar c) { return c.unicode() < 128 && hexvalue(static_cast<char>(c.unicode())) >= 0; }

// "%XX", "%UXXXX" and "\" (for "/") in a key or section name.
QString unescapekey(QByteArrayView raw) {
    const QString in = QString::fromUtf8(raw);
    QString out;
    for (qsizetype i = 0; i < in.size(); ++i) {
        const QChar c = in[i];
        if (c == u'\\') {
            out += u'/';
            continue;
        }
        const qsizetype digits = i + 1 < in.size() && in[i + 1] == u'U' ? 4 : 2;
        const qsizetype first = i + 1 + (digits == 4 ? 1 : 0);
        bool ok = c == u'%' && first + digits <= in.size();
        const ushort code = ok ? QStringView(in).sliced(first, digits).toUShort(&ok, 16) : 0;
        if (!ok) {
            out += c;
            continue;
        }
        out += QChar(code);
        i = first + digits - 1;
    }
    return out;
}

QByteArray escapekey(const QString& key) {
    QByteArray out;
    for (const QChar c : key) {
        const char16_t u = c.unicode();
        if ((u >= 'a' && u <= 'z') || (u >= 'A' && u <= 'Z') || (u >= '0' && u <= '9') || u == '_' ||
            u == '-' || u == '.')
            out += static_cast<char>(u);
        else if (u == '/')
            out += '\\';
        else if (u <= 0xff)
            out += '%' + QByteArray::number(u, 16).rightJustified(2, '0').toUpper();
        else
            out += "%U" + QByteArray::number(u, 16).rightJustified(4, '0').toUpper();
    }
    return out;
}

// "a//b/" as "a/b".
QString normalkey(const QString& key) { return key.split(u'/', Qt::SkipEmptyParts).join(u'/'); }

// One value's text as its elements: several when commas outside quotes
// split it. Quotes keep spaces, backslash escapes give any character, and
// outside quotes a ';' ends the value.
QStringList unescapevalue(QByteArrayView raw) {
    QStringList out;
    QString now;
    bool quoted = false, wasquoted = false;
    qsizetype keep = 0; // trailing blanks after this are dropped when not quoted
    const auto chop = [&] {
        if (wasquoted) return;
        while (now.size() > keep && (now.back() == u' ' || now.back() == u'\t')) now.chop(1);
    };
    qsizetype i = 0;
    const auto skipblanks = [&] {
        while (i < raw.size() && (raw[i] == ' ' || raw[i] == '\t')) ++i;
        keep = now.size();
    };
    skipblanks();
    while (i < raw.size()) {
        const char c = raw[i];
        if (c == '\\') {
            if (++i >= raw.size()) break;
            const char e = raw[i++];
            static constexpr char plain[][2] = {{'a', '\a'}, {'b', '\b'}, {'f', '\f'}, {'n', '\n'},
                                                {'r', '\r'}, {'t', '\t'}, {'v', '\v'}, {'"', '"'},
                                                {'?', '?'},  {'\'', '\''}, {'\\', '\\'}};
            bool done = false;
            for (const auto& p : plain)
                if (e == p[0]) {
                    now += QLatin1Char(p[1]);
                    done = true;
                }
            if (!done && (e == 'x' || (e >= '0' && e <= '7'))) {
                const int base = e == 'x' ? 16 : 8;
                char16_t v = e == 'x' ? 0 : static_cast<char16_t>(e - '0');
                bool any = e != 'x';
                for (int d; i < raw.size() && (d = hexvalue(raw[i])) >= 0 && d < base; ++i, any = true)
                    v = static_cast<char16_t>(v * base + d);
                if (any) now += QChar(v);
            }
            keep = now.size();
        } else if (c == '"') {
            ++i;
            wasquoted = true;
            quoted = !quoted;
            if (!quoted) skipblanks();
        } else if (c == ',' && !quoted) {
            chop();
            out << now;
            now.clear();
            wasquoted = false;
            ++i;
            skipblanks();
        } else if (c == ';' && !quoted) {
            break;
        } else {
            qsizetype j = i + 1;
            while (j < raw.size() && raw[j] != '\\' && raw[j] != '"' && raw[j] != ',' && raw[j] != ';') ++j;
            now += QString::fromUtf8(raw.sliced(i, j - i));
            i = j;
        }
    }
    chop();
    out << now;
    return out;
}

// An element as text: "@@x" is "@x"; any other "@" marks a typed value,
// which is not text.
std::optional<QString> elementtext(const QString& e) {
    if (!e.startsWith(u'@')) return e;
    if (e.startsWith(QLatin1String("@@"))) return e.mid(1);
    return std::nullopt;
}

void escapevalue(const QString& s, QByteArray& out) {
    const QString text = s.startsWith(u'@') ? u'@' + s : s;
    const qsizetype start = out.size();
    bool quotes = false, escapehex = false;
    QString run; // plain characters, written as UTF-8 together so surrogate pairs stay whole
    const auto flush = [&](const QByteArray& escaped) {
        out += run.toUtf8() + escaped;
        run.clear();
    };
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        if (escapehex && ishex(c)) {
            flush("\\x" + QByteArray::number(u, 16));
            continue;
        }
        escapehex = false;
        if (u == ';' || u == ',' || u == '=') quotes = true;
        switch (u) {
        case '\n': flush("\\n"); break;
        case '\r': flush("\\r"); break;
        case '\t': flush("\\t"); break;
        case '"': flush("\\\""); break;
        case '\\': flush("\\\\"); break;
        default:
            if (u < 0x20 || u == 0x7f) {
                flush("\\x" + QByteArray::number(u, 16));
                escapehex = true;
            } else {
                run += c;
            }
        }
    }
    flush({});
    if (quotes || (out.size() > start && (out[start] == ' ' || out.back() == ' '))) {
        out.insert(start, '"');
        out += '"';
    }
}

} // namespace

bool readini(QIODevice& device, QSettings::SettingsMap& map) {
    const QByteArray all = device.read(maxsettingsbytes + 1);
    if (all.size() > maxsettingsbytes) return false;
    QString section;
    for (qsizetype from = 0, to; from < all.size(); from = to + 1) {
        to = all.indexOf('\n', from);
        if (to < 0) to = all.size();
        const QByteArrayView l = QByteArrayView(all).sliced(from, to - from).trimmed();
        if (l.isEmpty() || l.front() == ';' || l.front() == '#') continue;
        if (l.front() == '[') {
            const qsizetype end = l.indexOf(']');
            const QByteArrayView name = l.sliced(1, (end < 0 ? l.size() : end) - 1).trimmed();
            section = name == "General" ? QString() : unescapekey(name);
            if (section == QLatin1String("%General")) section = QStringLiteral("General");
            continue;
        }
        const qsizetype eq = l.indexOf('=');
        if (eq <= 0) continue;
        const QString key = normalkey(section + u'/' + unescapekey(l.first(eq).trimmed()));
        if (key.isEmpty()) continue;
        QStringList values;
        bool text = true;
        for (const QString& e : unescapevalue(l.sliced(eq + 1))) {
            const std::optional<QString> t = elementtext(e);
            text = text && t && t->isValidUtf16();
            if (text) values << *t;
        }
        if (!text)
            map.remove(key);
        else if (values.size() == 1)
            map.insert(key, values.front());
        else
            map.insert(key, values);
    }
    return true;
}

bool writeini(QIODevice& device, const QSettings::SettingsMap& map) {
    QMap<QString, QByteArray> sections;
    for (auto it = map.begin(); it != map.end(); ++it) {
        const QVariant& v = it.value();
        QStringList values;
        if (v.typeId() == QMetaType::QStringList)
            values = v.toStringList();
        else if (v.canConvert<QString>() && v.typeId() != QMetaType::QByteArray)
            values << v.toString();
        if (values.isEmpty()) continue;
        const qsizetype slash = it.key().indexOf(u'/');
        const QString section = slash < 0 ? QString() : it.key().first(slash);
        QByteArray& out = sections[section];
        out += escapekey(it.key().sliced(slash + 1)) + '=';
        for (qsizetype i = 0; i < values.size(); ++i) {
            if (i) out += ", ";
            escapevalue(values[i], out);
        }
        out += '\n';
    }
    QByteArray all;
    for (auto it = sections.begin(); it != sections.end(); ++it) {
        if (!all.isEmpty()) all += '\n';
        const QByteArray name = it.key().isEmpty()                      ? QByteArray("General")
                                : it.key() == QLatin1String("General") ? QByteArray("%General")
                                                                        : escapekey(it.key());
        all += '[' + name + "]\n" + it.value();
    }
    return device.write(all) == all.size();
}

QSettings::Format iniformat() {
    static const QSettings::Format format = QSettings::registerFormat(QStringLiteral("conf"), readini, writeini);
    return format;
}

} // namespace tess
