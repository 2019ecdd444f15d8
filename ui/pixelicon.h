// SPDX-License-Identifier: MIT
#pragma once

#include <QIcon>
#include <QImage>

namespace tess {

// An icon that shows picture at any size and screen pixel ratio by pixel
// repetition, never smoothing, so a tool bar picture stays crisp at 1.25 and
// 1.5 as at 2. Disabled and selected looks come from the widget style.
QIcon pixelicon(const QImage& picture);

} // namespace tess
