#pragma once

#include <QRect>

namespace platform {

// Layouts are given in twips (1/1440 inch). At 96 dpi a logical pixel is 15 twips; Qt scales
// logical pixels to the screen.
constexpr int twips(int value) {
    return (value + (value >= 0 ? 7 : -7)) / 15;
}

constexpr QRect twipsRect(int left, int top, int width, int height) {
    return QRect(twips(left), twips(top), twips(width), twips(height));
}

}  // namespace platform
