#include "view/canvas.h"
#include "view/startup_trace.h"

#include "view/geometry.h"

#include <QEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QWindow>
#include <algorithm>
#include <cmath>

namespace zubeki {

QColor paletteColour(int index) {
    static const QRgb palette[16] = {0x000000, 0x000080, 0x008000, 0x008080, 0x800000, 0x800080,
                                     0x808000, 0xC0C0C0, 0x808080, 0x0000FF, 0x00FF00, 0x00FFFF,
                                     0xFF0000, 0xFF00FF, 0xFFFF00, 0xFFFFFF};
    return QColor(palette[std::clamp(index, 0, 15)]);
}

Canvas::Canvas(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    ensureImage();
}

int Canvas::toPixel(double twips) {
    return static_cast<int>(std::floor(twips / TWIPS_PER_PIXEL + 0.5));
}

int Canvas::toDevice(int logicalPixel) const {
    return static_cast<int>(std::lround(logicalPixel * image_.devicePixelRatio()));
}

void Canvas::ensureImage() {
    // The image covers the whole form whatever the widget's size, so drawing
    // never depends on the window's frame or the menu bar.
    const QSize logical(std::max(width(), toPixel(FORM_WIDTH)),
                        std::max(height(), toPixel(FORM_HEIGHT)));
    const qreal dpr = devicePixelRatioF();
    const QSize device(static_cast<int>(std::ceil(logical.width() * dpr)),
                       static_cast<int>(std::ceil(logical.height() * dpr)));
    if (!image_.isNull() && image_.size() == device && image_.devicePixelRatio() == dpr) return;

    QImage next(device, QImage::Format_RGB32);
    next.setDevicePixelRatio(dpr);
    next.fill(paletteColour(BOARD_COLOUR));
    if (!image_.isNull()) {
        // Keep what was drawn: scale the old content onto the new density.
        QPainter p(&next);
        p.drawImage(QRectF(0, 0, image_.width() / image_.devicePixelRatio(),
                           image_.height() / image_.devicePixelRatio()),
                    image_);
    }
    image_ = std::move(next);
}

void Canvas::fillRect(double x1, double y1, double x2, double y2, int colour) {
    const int l = toDevice(toPixel(std::min(x1, x2)));
    const int t = toDevice(toPixel(std::min(y1, y2)));
    const int r = toDevice(toPixel(std::max(x1, x2)) + 1);
    const int b = toDevice(toPixel(std::max(y1, y2)) + 1);
    QPainter p(&image_);
    p.setWorldTransform(
        QTransform::fromScale(1 / image_.devicePixelRatio(), 1 / image_.devicePixelRatio()));
    p.fillRect(QRect(l, t, r - l, b - t), paletteColour(colour));
}

void Canvas::outlineRect(double x1, double y1, double x2, double y2, int colour) {
    const int lx = toPixel(std::min(x1, x2));
    const int ty = toPixel(std::min(y1, y2));
    const int rx = toPixel(std::max(x1, x2));
    const int by = toPixel(std::max(y1, y2));
    const QColor c = paletteColour(colour);
    QPainter p(&image_);
    p.setWorldTransform(
        QTransform::fromScale(1 / image_.devicePixelRatio(), 1 / image_.devicePixelRatio()));
    const int line = std::max(1, toDevice(1));
    const int L = toDevice(lx), T = toDevice(ty), R = toDevice(rx), B = toDevice(by);
    p.fillRect(QRect(L, T, R - L + line, line), c);
    p.fillRect(QRect(L, B, R - L + line, line), c);
    p.fillRect(QRect(L, T, line, B - T + line), c);
    p.fillRect(QRect(R, T, line, B - T + line), c);
}

void Canvas::drawPicture(const QImage& source, QSize naturalSize, double x, double y) {
    if (source.isNull()) return;
    const int L = toDevice(toPixel(x));
    const int T = toDevice(toPixel(y));
    const QRect target(L, T, toDevice(naturalSize.width()), toDevice(naturalSize.height()));
    QPainter p(&image_);
    p.setWorldTransform(
        QTransform::fromScale(1 / image_.devicePixelRatio(), 1 / image_.devicePixelRatio()));
    p.setRenderHint(QPainter::SmoothPixmapTransform, target.size() != source.size());
    p.drawImage(target, source);
}

void Canvas::drawText(double x, double y, const QString& text, int colour, const QFont& font,
                      int pointSize) {
    if (text.isEmpty()) return;
    QFont f = font;
    // Points at the usual 96 dots per inch, so the size does not depend on the screen.
    f.setPixelSize(std::max(1, static_cast<int>(std::lround(pointSize * 96.0 / 72.0))));
    QPainter p(&image_);
    p.setRenderHint(QPainter::TextAntialiasing);
    p.setFont(f);
    p.setPen(paletteColour(colour));
    const QPointF topLeft(toPixel(x), toPixel(y));
    p.drawText(QRectF(topLeft, QSizeF(4000, 400)),
               Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, text);
}

void Canvas::refresh() {
    repaint();
}

void Canvas::paintEvent(QPaintEvent*) {
    if (devicePixelRatioF() != image_.devicePixelRatio()) ensureImage();
    QPainter p(this);
    p.drawImage(QPointF(0, 0), image_);
    if (!painted_) {
        painted_ = true;
        startupMark("painted");
    }
}

void Canvas::mousePressEvent(QMouseEvent* event) {
    if (onMousePress) onMousePress(event);
}

void Canvas::resizeEvent(QResizeEvent*) {
    ensureImage();
}

void Canvas::changeEvent(QEvent* event) {
    if (event->type() == QEvent::ScreenChangeInternal) ensureImage();
    QWidget::changeEvent(event);
}

} // namespace zubeki
