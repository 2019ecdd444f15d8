// SPDX-License-Identifier: MIT
#pragma once

// Drawing pixel for pixel on a screen whose pixels are smaller than the
// widgets' own (a device pixel ratio above 1, fractional ones included).

#include <QPainter>
#include <QRect>

#include <cmath>

namespace tess {

// For as long as it lives, switches a painter to its device's own pixels, and
// maps the painter's logical positions to device pixels by rounding, as Qt
// rounds a region it asks to be painted. Rectangles that share a logical edge
// share a device edge, so tiles meet with neither a gap nor an overlap and
// pictures of the device size are copied without scaling.
class DevicePixels {
public:
    explicit DevicePixels(QPainter& p)
        : p_(p), logical_(p.worldTransform()), device_(p.deviceTransform()) {
        p.setWorldTransform(device_.inverted() * logical_);
    }
    ~DevicePixels() { p_.setWorldTransform(logical_); }
    DevicePixels(const DevicePixels&) = delete;
    DevicePixels& operator=(const DevicePixels&) = delete;

    qreal ratio() const { return device_.m11(); }
    int x(int logical) const { return round(device_.dx() + logical * device_.m11()); }
    int y(int logical) const { return round(device_.dy() + logical * device_.m22()); }
    QRect rect(const QRect& r) const {
        return QRect(QPoint(x(r.left()), y(r.top())),
                     QPoint(x(r.left() + r.width()) - 1, y(r.top() + r.height()) - 1));
    }

private:
    QPainter& p_;
    // Halves round up on both sides of zero (qRound rounds -0.5 down): a
    // surface scrolled to a position between screen pixels must not move
    // by a pixel where its left part leaves the window.
    static int round(qreal v) { return static_cast<int>(std::floor(v + 0.5)); }
    QTransform logical_, device_;
};

} // namespace tess
