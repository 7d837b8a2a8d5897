#include "view/canvas.h"
#include "view/startup_trace.h"

#include "view/geometry.h"

#include <QEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QRegion>
#include <QWindow>
#include <algorithm>
#include <cmath>

namespace zubeki {

namespace {

// The board's natural size: the whole form in logical pixels.
QSize formSize() {
    return QSize(Canvas::toPixel(FORM_WIDTH), Canvas::toPixel(FORM_HEIGHT));
}

// A painter that draws in device pixels of the image.
void deviceUnits(QPainter& p, const QImage& image) {
    p.setWorldTransform(
        QTransform::fromScale(1 / image.devicePixelRatio(), 1 / image.devicePixelRatio()));
}

} // namespace

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

QPointF Canvas::toBoard(QPointF widgetPosition) const {
    return (widgetPosition - QPointF(origin_)) / scale_;
}

QRect Canvas::toWidget(const QRect& boardRect) const {
    return QRectF(QPointF(origin_) + QPointF(boardRect.topLeft()) * scale_,
                  QSizeF(boardRect.size()) * scale_)
        .toRect();
}

void Canvas::ensureImage() {
    // The image holds the whole form whatever the widget's size, so drawing never depends
    // on the window's frame or the menu bar.
    const qreal screen = devicePixelRatioF();
    const qreal ratio = screen * scale_;
    const QSize device(static_cast<int>(std::ceil(formSize().width() * ratio)),
                       static_cast<int>(std::ceil(formSize().height() * ratio)));
    if (!image_.isNull() && image_.size() == device && image_.devicePixelRatio() == ratio) return;

    screenRatio_ = screen;
    image_ = QImage(device, QImage::Format_RGB32);
    image_.setDevicePixelRatio(ratio);
    image_.fill(paletteColour(BOARD_COLOUR));
    sized_.clear();
    for (Op& op : ops_) paint(op);
}

void Canvas::fitToWindow() {
    // The board grows with the window in both directions alike, never below its natural size.
    const QSize form = formSize();
    const QWidget* w = window();
    const double s = std::max(1.0, std::min(static_cast<double>(w->width()) / form.width(),
                                            static_cast<double>(w->height()) / form.height()));
    // What the widget shows of the form at the natural size: the form less the menu bar.
    const int shownHeight =
        std::clamp(form.height() - (w == this ? 0 : w->height() - height()), 1, form.height());
    const QPoint origin(
        std::max(0, static_cast<int>(std::lround((width() - form.width() * s) / 2))),
        std::max(0, static_cast<int>(std::lround((height() - shownHeight * s) / 2))));
    if (s == scale_ && origin == origin_) return;
    scale_ = s;
    origin_ = origin;
    ensureImage();
    if (onScaleChanged) onScaleChanged();
    update();
}

void Canvas::keep(Op op) {
    // A drawing that this one paints over whole is no longer needed to draw the board afresh.
    // Roundings at other scales may move an edge by one device pixel, so a drawing is dropped
    // only when it has the same shape as this one or lies a pixel inside it.
    const bool opaque = op.kind == Kind::Fill || op.kind == Kind::Picture;
    std::erase_if(ops_, [&op, opaque](const Op& old) {
        if (op.kind == Kind::Outline)
            return old.kind == Kind::Outline && old.x1 == op.x1 && old.y1 == op.y1 &&
                   old.x2 == op.x2 && old.y2 == op.y2;
        if (!opaque) return false;
        if (old.kind == op.kind && old.bounds == op.bounds) return true;
        return op.bounds.contains(old.bounds.adjusted(-1, -1, 1, 1));
    });
    paint(op);
    ops_.push_back(std::move(op));
}

void Canvas::fillRect(double x1, double y1, double x2, double y2, int colour) {
    const int l = toPixel(std::min(x1, x2)), t = toPixel(std::min(y1, y2));
    const int r = toPixel(std::max(x1, x2)), b = toPixel(std::max(y1, y2));
    keep({Kind::Fill, x1, y1, x2, y2, colour, {}, {}, {}, {}, QRect(l, t, r - l + 1, b - t + 1)});
}

void Canvas::outlineRect(double x1, double y1, double x2, double y2, int colour) {
    const int l = toPixel(std::min(x1, x2)), t = toPixel(std::min(y1, y2));
    const int r = toPixel(std::max(x1, x2)), b = toPixel(std::max(y1, y2));
    keep(
        {Kind::Outline, x1, y1, x2, y2, colour, {}, {}, {}, {}, QRect(l, t, r - l + 1, b - t + 1)});
}

void Canvas::drawPicture(const QImage& source, QSize naturalSize, double x, double y,
                         LargePicture large) {
    if (source.isNull()) return;
    keep({Kind::Picture,
          x,
          y,
          static_cast<double>(naturalSize.width()),
          static_cast<double>(naturalSize.height()),
          0,
          source,
          std::move(large),
          {},
          {},
          QRect(QPoint(toPixel(x), toPixel(y)), naturalSize)});
}

void Canvas::drawText(double x, double y, const QString& text, int colour, const QFont& font,
                      int pointSize) {
    if (text.isEmpty()) return;
    QFont f = font;
    // Points at the usual 96 dots per inch, so the size does not depend on the screen.
    f.setPixelSize(std::max(1, static_cast<int>(std::lround(pointSize * 96.0 / 72.0))));
    keep({Kind::Text, x, y, 0, 0, colour, {}, {}, text, f, {}});
}

void Canvas::paint(Op& op) {
    QPainter p(&image_);
    switch (op.kind) {
    case Kind::Fill: {
        const int l = toDevice(toPixel(std::min(op.x1, op.x2)));
        const int t = toDevice(toPixel(std::min(op.y1, op.y2)));
        const int r = toDevice(toPixel(std::max(op.x1, op.x2)) + 1);
        const int b = toDevice(toPixel(std::max(op.y1, op.y2)) + 1);
        deviceUnits(p, image_);
        p.fillRect(QRect(l, t, r - l, b - t), paletteColour(op.colour));
        break;
    }
    case Kind::Outline: {
        const QColor c = paletteColour(op.colour);
        deviceUnits(p, image_);
        const int line = std::max(1, toDevice(1));
        const int L = toDevice(op.bounds.left()), T = toDevice(op.bounds.top());
        const int R = toDevice(op.bounds.right()), B = toDevice(op.bounds.bottom());
        p.fillRect(QRect(L, T, R - L + line, line), c);
        p.fillRect(QRect(L, B, R - L + line, line), c);
        p.fillRect(QRect(L, T, line, B - T + line), c);
        p.fillRect(QRect(R, T, line, B - T + line), c);
        break;
    }
    case Kind::Picture: {
        const QRect target(toDevice(op.bounds.left()), toDevice(op.bounds.top()),
                           toDevice(op.bounds.width()), toDevice(op.bounds.height()));
        deviceUnits(p, image_);
        if (!op.large || target.width() <= op.source.width()) {
            p.setRenderHint(QPainter::SmoothPixmapTransform, target.size() != op.source.size());
            p.drawImage(target, op.source);
        } else {
            p.drawImage(target.topLeft(), sizedPicture(op.large(), target.size()));
        }
        break;
    }
    case Kind::Text: {
        p.setRenderHint(QPainter::TextAntialiasing);
        p.setFont(op.font);
        p.setPen(paletteColour(op.colour));
        const QPointF topLeft(toPixel(op.x1), toPixel(op.y1));
        QRectF drawn;
        p.drawText(QRectF(topLeft, QSizeF(4000, 400)),
                   Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, op.text, &drawn);
        op.bounds = drawn.toAlignedRect().adjusted(-1, -1, 1, 1);
        break;
    }
    }
}

QImage Canvas::sizedPicture(const QImage& large, QSize target) {
    // Brought down from the large source with area averaging, once per size.
    const auto key = std::make_tuple(large.cacheKey(), target.width(), target.height());
    auto found = sized_.find(key);
    if (found == sized_.end())
        found =
            sized_
                .emplace(key, large.scaled(target, Qt::IgnoreAspectRatio, Qt::SmoothTransformation))
                .first;
    return found->second;
}

void Canvas::refresh() {
    repaint();
}

void Canvas::paintEvent(QPaintEvent*) {
    if (devicePixelRatioF() != screenRatio_) ensureImage();
    QPainter p(this);
    const QRect board(origin_, QSize(static_cast<int>(std::ceil(image_.width() / screenRatio_)),
                                     static_cast<int>(std::ceil(image_.height() / screenRatio_))));
    // Around the board the window shows the board's colour.
    for (const QRect& margin : QRegion(rect()).subtracted(QRegion(board)))
        p.fillRect(margin, paletteColour(BOARD_COLOUR));
    p.drawImage(QRectF(QPointF(origin_),
                       QSizeF(image_.width() / screenRatio_, image_.height() / screenRatio_)),
                image_);
    if (!painted_) {
        painted_ = true;
        startupMark("painted");
        if (onFirstPaint) onFirstPaint();
    }
}

void Canvas::mousePressEvent(QMouseEvent* event) {
    if (onMousePress) onMousePress(event);
}

void Canvas::mouseReleaseEvent(QMouseEvent* event) {
    if (onMouseRelease) onMouseRelease(event);
}

void Canvas::resizeEvent(QResizeEvent*) {
    fitToWindow();
}

void Canvas::changeEvent(QEvent* event) {
    if (event->type() == QEvent::ScreenChangeInternal) ensureImage();
    QWidget::changeEvent(event);
}

} // namespace zubeki
