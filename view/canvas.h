#pragma once

#include <QColor>
#include <QFont>
#include <QImage>
#include <QWidget>
#include <functional>
#include <map>
#include <tuple>
#include <vector>

class QMouseEvent;

namespace zubeki {

// The 16-colour palette the game draws with.
QColor paletteColour(int index);

// The window's client area as a persistent image. Everything is drawn into the image
// in twips; painting only copies the image. The image carries the screen's device pixel
// ratio so lines and text are sharp on dense screens.
//
// The board scales with the window as one picture: at scale s the image is s times as large
// and everything in it is drawn at that size (text and outlines from their shapes, pictures from
// their large sources), centred in the widget on the board's colour. Every drawing is kept in a
// short list, so a new scale draws the board afresh rather than stretching the old image; a
// drawing that a later opaque one covers whole is dropped from the list.
class Canvas : public QWidget {
  public:
    explicit Canvas(QWidget* parent = nullptr);

    // Logical pixel (rounded) of a twips coordinate.
    static int toPixel(double twips);

    // Filled rectangle with both corners included, as the board's erasing tool.
    void fillRect(double x1, double y1, double x2, double y2, int colour);
    // Rectangle outline with both corners included, one logical pixel wide.
    void outlineRect(double x1, double y1, double x2, double y2, int colour);
    // A picture at its natural size (in logical pixels) with its top-left at (x, y) twips;
    // `large`, when given, is the same picture drawn larger, used once the board is scaled
    // beyond what `source` holds.
    // `large` is asked for the picture only then, so that it need not be made before.
    using LargePicture = std::function<QImage()>;
    void drawPicture(const QImage& source, QSize naturalSize, double x, double y,
                     LargePicture large = {});
    // Text with a transparent background, its top-left corner at (x, y) twips.
    void drawText(double x, double y, const QString& text, int colour, const QFont& font,
                  int pointSize);

    // Shows what has been drawn at once (a synchronous repaint).
    void refresh();

    const QImage& image() const { return image_; }
    // The screen's device pixel ratio (the image's ratio is this times the scale).
    qreal pixelRatio() const { return screenRatio_; }
    // How many times its natural size the board is shown, and where its top-left corner
    // stands in the widget (logical pixels).
    double scale() const { return scale_; }
    QPoint origin() const { return origin_; }
    // A widget position as a position on the unscaled board (logical pixels).
    QPointF toBoard(QPointF widgetPosition) const;
    // A rectangle of the unscaled board (logical pixels) as it stands in the widget.
    QRect toWidget(const QRect& boardRect) const;
    // Drawings kept for drawing the board afresh at a new scale.
    std::size_t keptDrawings() const { return ops_.size(); }

    std::function<void(QMouseEvent*)> onMousePress;
    // The button let go again (a piece dragged in the position editor).
    std::function<void(QMouseEvent*)> onMouseRelease;
    // Called after the scale or the board's place in the widget changed.
    std::function<void()> onScaleChanged;
    // Called once, after the first paint.
    std::function<void()> onFirstPaint;

  protected:
    void paintEvent(QPaintEvent*) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void resizeEvent(QResizeEvent*) override;
    void changeEvent(QEvent* event) override;

  private:
    enum class Kind { Fill, Outline, Picture, Text };
    struct Op {
        Kind kind;
        double x1, y1, x2, y2; // twips (a picture's natural size in x2, y2)
        int colour;
        QImage source;
        LargePicture large;
        QString text;
        QFont font;
        QRect bounds; // logical pixels it may touch
    };

    void ensureImage();
    void fitToWindow();
    int toDevice(int logicalPixel) const;
    void keep(Op op);
    void paint(Op& op);
    QImage sizedPicture(const QImage& large, QSize target);

    QImage image_;
    qreal screenRatio_ = 1;
    double scale_ = 1;
    QPoint origin_;
    std::vector<Op> ops_;
    // Large pictures brought to the size they are drawn at, by source and size.
    std::map<std::tuple<qint64, int, int>, QImage> sized_;
    bool painted_ = false; // the first paint is noted for start-up timing
};

} // namespace zubeki
