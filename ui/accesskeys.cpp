// SPDX-License-Identifier: MIT
#include "ui/accesskeys.h"

#include <QSet>

namespace tess {

namespace {

// The position of the key character after a single '&', or -1.
qsizetype keyposition(const QString& caption) {
    for (qsizetype i = 0; i + 1 < caption.size(); ++i) {
        if (caption[i] != QLatin1Char('&')) continue;
        if (caption[i + 1] == QLatin1Char('&')) {
            ++i;
            continue;
        }
        return i + 1;
    }
    return -1;
}

} // namespace

QStringList uniqueaccesskeys(const QStringList& captions) {
    QSet<QChar> claimed;
    for (const QString& c : captions) {
        const qsizetype k = keyposition(c);
        if (k >= 0) claimed.insert(c[k].toUpper());
    }
    QSet<QChar> used;
    QStringList out;
    for (const QString& caption : captions) {
        const qsizetype k = keyposition(caption);
        if (k < 0 || !used.contains(caption[k].toUpper())) {
            if (k >= 0) used.insert(caption[k].toUpper());
            out << caption;
            continue;
        }
        QString plain = caption;
        plain.remove(k - 1, 1);
        QString shown = plain;
        for (qsizetype i = 0; i < plain.size(); ++i) {
            const QChar ch = plain[i].toUpper();
            if (!plain[i].isLetterOrNumber() || claimed.contains(ch) || used.contains(ch)) continue;
            used.insert(ch);
            shown = plain.left(i) + QLatin1Char('&') + plain.mid(i);
            break;
        }
        out << shown;
    }
    return out;
}

} // namespace tess
