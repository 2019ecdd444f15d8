// SPDX-License-Identifier: MIT
#include "ui/pixelicon.h"

#include "gui/tileset.h"

#include <QApplication>
#include <QIconEngine>
#include <QPainter>
#include <QStyle>
#include <QStyleOption>

namespace tess {

namespace {

class PixelIconEngine : public QIconEngine {
public:
    explicit PixelIconEngine(QImage picture) : picture_(std::move(picture)) {}

    // size is in device pixels: QIcon asks for the logical size times the ratio.
    QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State) override {
        QPixmap pm = QPixmap::fromImage(scaletile(picture_, size));
        if (mode != QIcon::Normal && qobject_cast<QApplication*>(QCoreApplication::instance())) {
            QStyleOption opt;
            pm = QApplication::style()->generatedIconPixmap(mode, pm, &opt);
        }
        return pm;
    }
    void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode, QIcon::State state) override {
        const qreal ratio = painter->device() ? painter->device()->devicePixelRatioF() : 1.0;
        QPixmap pm = pixmap((QSizeF(rect.size()) * ratio).toSize(), mode, state);
        pm.setDevicePixelRatio(ratio);
        painter->drawPixmap(rect.topLeft(), pm);
    }
    QSize actualSize(const QSize& size, QIcon::Mode, QIcon::State) override { return size; }
    QIconEngine* clone() const override { return new PixelIconEngine(picture_); }
    QString key() const override { return QStringLiteral("tess-pixel"); }

private:
    QImage picture_;

};

} // namespace

QIcon pixelicon(const QImage& picture) { return QIcon(new PixelIconEngine(picture)); }

} // namespace tess
