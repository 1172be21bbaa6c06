#pragma once

#include <QRect>
#include <QWidget>
#include <cmath>

namespace pellorin::twips {

// The window layouts are given in twips; Qt works in pixels. Every conversion goes through here
// so a layout reads like its table and rounds the same way everywhere.
inline constexpr int kPerPixel = 15;

inline int toPixels(int twips) {
    return static_cast<int>(std::lround(static_cast<double>(twips) / kPerPixel));
}

inline int fromPixels(int pixels) {
    return pixels * kPerPixel;
}

inline QRect rect(int left, int top, int width, int height) {
    return QRect(toPixels(left), toPixels(top), toPixels(width), toPixels(height));
}

inline void place(QWidget* widget, int left, int top, int width, int height) {
    widget->setGeometry(rect(left, top, width, height));
}

}  // namespace pellorin::twips
