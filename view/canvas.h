#pragma once

#include <QColor>
#include <QFont>
#include <QImage>
#include <QWidget>
#include <functional>

class QMouseEvent;

namespace zubeki {

// The 16-colour palette the game draws with.
QColor paletteColour(int index);

// The window's client area as a persistent image. Everything is drawn into the image
// in twips; painting only copies the image. The image carries the screen's device pixel
// ratio so lines and text are sharp on dense screens.
class Canvas : public QWidget {
  public:
    explicit Canvas(QWidget* parent = nullptr);

    // Logical pixel (rounded) of a twips coordinate.
    static int toPixel(double twips);

    // Filled rectangle with both corners included, as the board's erasing tool.
    void fillRect(double x1, double y1, double x2, double y2, int colour);
    // Rectangle outline with both corners included, one logical pixel wide.
    void outlineRect(double x1, double y1, double x2, double y2, int colour);
    // A picture at its natural size (in logical pixels) with its top-left at (x, y) twips.
    void drawPicture(const QImage& source, QSize naturalSize, double x, double y);
    // Text with a transparent background, its top-left corner at (x, y) twips.
    void drawText(double x, double y, const QString& text, int colour, const QFont& font,
                  int pointSize);

    // Shows what has been drawn at once (a synchronous repaint).
    void refresh();

    const QImage& image() const { return image_; }
    qreal pixelRatio() const { return image_.devicePixelRatio(); }

    std::function<void(QMouseEvent*)> onMousePress;

  protected:
    void paintEvent(QPaintEvent*) override;
    void mousePressEvent(QMouseEvent* event) override;
    void resizeEvent(QResizeEvent*) override;
    void changeEvent(QEvent* event) override;

  private:
    void ensureImage();
    int toDevice(int logicalPixel) const;

    QImage image_;
    bool painted_ = false; // the first paint is noted for start-up timing
};

} // namespace zubeki
