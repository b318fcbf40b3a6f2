// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>

namespace morvanta::twips {

// The layouts are written in twips, a twentieth of a point: 15 twips make one pixel at 96 dots
// per inch. Qt's device-independent pixels are those 96-dpi pixels, so the toolkit scales the
// result on dense screens. Rounds to the nearest pixel: 7335 -> 489, -7 -> 0, 120 -> 8.
inline constexpr int kPerPixel = 15;

constexpr int toPixels(int twips) {
    return twips >= 0 ? (twips + kPerPixel / 2) / kPerPixel
                      : -((-twips + kPerPixel / 2) / kPerPixel);
}

constexpr int fromPixels(int pixels) {
    return pixels * kPerPixel;
}

inline QRect rect(int left, int top, int width, int height) {
    return QRect(toPixels(left), toPixels(top), toPixels(width), toPixels(height));
}

inline QPoint point(int left, int top) {
    return QPoint(toPixels(left), toPixels(top));
}

inline QSize size(int width, int height) {
    return QSize(toPixels(width), toPixels(height));
}

}  // namespace morvanta::twips
