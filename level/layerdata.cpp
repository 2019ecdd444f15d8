// SPDX-License-Identifier: MIT
// The cells of a tile layer from its CSV or base64 text, plain, zlib or gzip.
#include "level/mapreader.h"

#include <zlib.h>

namespace tess::mapread {

namespace {

QString inflated(const QByteArray& packed, QStringView compression, QByteArray& out) {
    const bool gzip = compression == u"gzip";
    if (!gzip && compression != u"zlib")
        return QStringLiteral("Die Kompression „%1“ wird nicht unterstützt (nur zlib und gzip).")
            .arg(excerpt(compression));
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

// Number by number, without a string per cell: a layer may be far larger
// than a level.
QString decodecsv(QStringView text, Gids& gids) {
    const qsizetype n = text.size();
    for (qsizetype i = 0;;) {
        const qsizetype start = i;
        while (i < n && text[i].isSpace()) ++i;
        std::uint64_t value = 0;
        int digits = 0;
        while (i < n && text[i] >= u'0' && text[i] <= u'9' && value <= 0xFFFFFFFFu) {
            value = value * 10 + (text[i].unicode() - u'0');
            ++digits, ++i;
        }
        while (i < n && text[i].isSpace()) ++i;
        if (digits == 0 || value > 0xFFFFFFFFu || (i < n && text[i] != u',')) {
            qsizetype end = start;
            while (end < n && end - start < 24 && text[end] != u',') ++end;
            return QStringLiteral("Der CSV-Eintrag „%1“ ist keine Zahl.").arg(text.mid(start, end - start).trimmed());
        }
        gids.add(std::uint32_t(value));
        if (i == n || gids.toomany) return {};
        ++i;
    }
}

} // namespace

QString decodelayer(QStringView encoding, QStringView compression, QStringView text, Gids& gids) {
    if (encoding == u"csv") return decodecsv(text, gids);
    if (encoding != u"base64")
        return QStringLiteral("Die Kodierung „%1“ wird nicht unterstützt.").arg(excerpt(encoding));
    // Other tools break base64 into lines; Tiled reads it so, and so do we.
    QByteArray packed;
    packed.reserve(text.size());
    for (const QChar c : text)
        if (!c.isSpace()) packed += c.unicode() < 0x80 ? char(c.unicode()) : '!';
    const auto decoded = QByteArray::fromBase64Encoding(packed, QByteArray::AbortOnBase64DecodingErrors);
    if (!decoded) return QStringLiteral("Die base64-Daten der Kachelebene sind fehlerhaft.");
    QByteArray bytes = *decoded;
    if (!compression.isEmpty()) {
        const QString fault = inflated(*decoded, compression, bytes);
        if (!fault.isEmpty()) return fault;
    }
    if (bytes.size() % 4 != 0)
        return QStringLiteral("Die Kachelebene hat %1 Bytes, kein Vielfaches von 4.").arg(bytes.size());
    const auto* p = reinterpret_cast<const std::uint8_t*>(bytes.constData());
    for (qsizetype i = 0; i < bytes.size() && !gids.toomany; i += 4)
        gids.add(p[i] | p[i + 1] << 8 | p[i + 2] << 16 | std::uint32_t(p[i + 3]) << 24);
    return {};
}

} // namespace tess::mapread
