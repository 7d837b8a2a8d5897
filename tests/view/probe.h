#pragma once

// Reading the canvas back in logical pixels, whatever its device pixel ratio.

#include "view/canvas.h"
#include "view/geometry.h"

#include <QImage>
#include <QRgb>
#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <functional>
#include <initializer_list>
#include <utility>
#include <vector>

namespace zubeki::probe {

// A rectangle of logical pixels, right and bottom exclusive.
struct Box {
    int left, top, right, bottom;
    bool contains(int x, int y) const { return x >= left && x < right && y >= top && y < bottom; }
};

// What a drawing routine covers from (x1, y1) to (x2, y2) twips, both corners included.
inline Box twipsBox(double x1, double y1, double x2, double y2) {
    return {Canvas::toPixel(x1), Canvas::toPixel(y1), Canvas::toPixel(x2) + 1,
            Canvas::toPixel(y2) + 1};
}

// A box given by its top-left in square units and its size in twips.
inline Box unitBox(double u, double v, double widthTwips, double heightTwips) {
    const double x = unitToTwipsX(u), y = unitToTwipsY(v);
    return twipsBox(x, y, x + widthTwips, y + heightTwips);
}

// The picture area of square (x, y): one square's twips, far edge exclusive.
inline Box squareBox(int x, int y) {
    const double left = BOARD_ORIGIN_X + x * SQUARE_WIDTH;
    const double top = BOARD_ORIGIN_Y + y * SQUARE_HEIGHT;
    return {Canvas::toPixel(left), Canvas::toPixel(top), Canvas::toPixel(left + SQUARE_WIDTH),
            Canvas::toPixel(top + SQUARE_HEIGHT)};
}

// The square without its one-pixel outline on the top and left (the bottom and right
// edges belong to the neighbours' outlines).
inline Box squareInterior(int x, int y) {
    const Box b = squareBox(x, y);
    return {b.left + 1, b.top + 1, b.right, b.bottom};
}

// Every device pixel of a logical box.
inline void forEachDevicePixel(const QImage& image, const Box& box,
                               const std::function<void(int, int)>& visit) {
    const qreal dpr = image.devicePixelRatio();
    const int x0 = static_cast<int>(std::lround(box.left * dpr));
    const int x1 = static_cast<int>(std::lround(box.right * dpr));
    const int y0 = static_cast<int>(std::lround(box.top * dpr));
    const int y1 = static_cast<int>(std::lround(box.bottom * dpr));
    for (int y = std::max(0, y0); y < std::min(y1, image.height()); ++y)
        for (int x = std::max(0, x0); x < std::min(x1, image.width()); ++x) visit(x, y);
}

// The colour at the top-left device pixel of a logical pixel.
inline QRgb at(const QImage& image, int x, int y) {
    const qreal dpr = image.devicePixelRatio();
    return image.pixel(static_cast<int>(std::lround(x * dpr)),
                       static_cast<int>(std::lround(y * dpr))) &
           0xFFFFFF;
}

inline bool isPalette(QRgb c, int index) {
    return (c & 0xFFFFFF) == (paletteColour(index).rgb() & 0xFFFFFF);
}

// The core of a white glyph: near-white grey (the cream of the pieces and the wood is not).
inline bool isWhitish(QRgb c) {
    const int lo = std::min({qRed(c), qGreen(c), qBlue(c)});
    const int hi = std::max({qRed(c), qGreen(c), qBlue(c)});
    return lo > 200 && hi - lo < 24;
}

inline int count(const QImage& image, const Box& box, const std::function<bool(QRgb)>& pred) {
    int n = 0;
    forEachDevicePixel(image, box, [&](int x, int y) {
        if (pred(image.pixel(x, y))) ++n;
    });
    return n;
}

inline int countOutside(const QImage& image, const Box& box,
                        const std::function<bool(QRgb)>& pred) {
    return count(image, {0, 0, 100000, 100000}, pred) - count(image, box, pred);
}

inline bool sameIn(const QImage& a, const QImage& b, const Box& box) {
    bool same = true;
    forEachDevicePixel(a, box, [&](int x, int y) {
        if (a.pixel(x, y) != b.pixel(x, y)) same = false;
    });
    return same;
}

// The first logical column in the box holding a pixel that matches, or -1.
inline int firstColumn(const QImage& image, const Box& box, const std::function<bool(QRgb)>& pred) {
    int first = -1;
    const qreal dpr = image.devicePixelRatio();
    forEachDevicePixel(image, box, [&](int x, int y) {
        const int logical = static_cast<int>(std::floor(x / dpr));
        if (pred(image.pixel(x, y)) && (first < 0 || logical < first)) first = logical;
    });
    return first;
}

// Mean difference per channel between a square's interior on the canvas and a square
// picture source (any size; it is scaled to the square first).
inline double squareDifference(const QImage& image, int x, int y, const QImage& source) {
    const qreal dpr = image.devicePixelRatio();
    const Box square = squareBox(x, y);
    const QImage scaled = source.scaled(static_cast<int>(std::lround(33 * dpr)),
                                        static_cast<int>(std::lround(41 * dpr)),
                                        Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    const int originX = static_cast<int>(std::lround(square.left * dpr));
    const int originY = static_cast<int>(std::lround(square.top * dpr));
    double sum = 0;
    int n = 0;
    forEachDevicePixel(image, squareInterior(x, y), [&](int px, int py) {
        const QRgb a = image.pixel(px, py);
        const QRgb b = scaled.pixel(px - originX, py - originY);
        sum += std::abs(qRed(a) - qRed(b)) + std::abs(qGreen(a) - qGreen(b)) +
               std::abs(qBlue(a) - qBlue(b));
        n += 3;
    });
    return n ? sum / n : 1e9;
}

// Which of the candidate pictures a square looks most like.
inline int closestPicture(const QImage& image, int x, int y,
                          const std::vector<std::pair<int, const QImage*>>& candidates) {
    int best = -1;
    double bestDifference = 1e18;
    for (const auto& [code, picture] : candidates) {
        const double d = squareDifference(image, x, y, *picture);
        if (d < bestDifference) {
            bestDifference = d;
            best = code;
        }
    }
    return best;
}

// Every pixel of the one-pixel outline of square (x, y) in the given colour?
inline bool outlinedIn(const QImage& image, int x, int y, int colour) {
    const Box s = squareBox(x, y);
    const int right = s.right, bottom = s.bottom; // the far edge is the neighbour's first line
    auto ok = [&](int px, int py) { return isPalette(at(image, px, py), colour); };
    for (int px = s.left; px <= right; ++px)
        if (!ok(px, s.top) || !ok(px, bottom)) return false;
    for (int py = s.top; py <= bottom; ++py)
        if (!ok(s.left, py) || !ok(right, py)) return false;
    return true;
}

// A waiter that records every wait and what the canvas showed at that moment.
struct WaitRecorder {
    std::vector<double> seconds;
    std::vector<QImage> frames;
    std::function<void(double)> bind(const Canvas& canvas) {
        return [this, &canvas](double s) {
            seconds.push_back(s);
            frames.push_back(canvas.image().copy());
        };
    }
};

} // namespace zubeki::probe
