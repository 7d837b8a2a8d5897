// picturegen: draws every picture the board shows (the empty square, the eight piece faces, the
// capture burst, the two small marks and the title logo) plus the program's icons.
//
//   picturegen PICTURES_DIR [ICONS_DIR]    (the large pictures go to PICTURES_DIR/large)
//
// Board pictures are drawn at twice their natural size so the game can scale them down into a
// square and still look sharp on high-density screens. They are opaque 24-bit RGB and fill their
// whole rectangle. Everything random comes from fixed seeds, so a rerun writes identical files.

#include <QDir>
#include <QFile>
#include <QFont>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <QTextStream>
#include <QTransform>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <numbers>

namespace {

// Pictures are stored at twice their natural size, and again at six times it for a board that
// fills a large window. Everything below is drawn in pixels of the size being made.
constexpr int kNaturalScale = 2;
constexpr int kLargeScale = 6;
int kScale = kNaturalScale;
QSize squareSize() {
    return {33 * kScale, 41 * kScale};
}
QSize logoSize() {
    return {118 * kScale, 39 * kScale};
}
constexpr std::uint64_t kBoardSeed = 0x5A0BE1u; // one seed, so every square shows the same wood

const QColor kInkBlack(0x14, 0x10, 0x0C);
const QColor kInkRed(0xC0, 0x00, 0x00);
const QColor kPieceEdge(0x7A, 0x55, 0x28);
const QColor kCrack(0x9A, 0x06, 0x06);

// Small deterministic generator: std::uniform_real_distribution differs between standard
// libraries, and the committed pictures must not depend on which one built the tool.
class Rng {
  public:
    explicit Rng(std::uint64_t seed) : state_(seed) {}
    std::uint64_t next() {
        std::uint64_t z = (state_ += 0x9E3779B97F4A7C15u);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9u;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBu;
        return z ^ (z >> 31);
    }
    double uniform() { return static_cast<double>(next() >> 11) * 0x1.0p-53; }
    double uniform(double lo, double hi) { return lo + (hi - lo) * uniform(); }

  private:
    std::uint64_t state_;
};

// Per-pixel hash in [0, 1): fine speckle that does not depend on the drawing order.
double speckle(int x, int y, std::uint64_t seed) {
    std::uint64_t h = seed ^ (static_cast<std::uint64_t>(x) * 0x9E3779B1u) ^
                      (static_cast<std::uint64_t>(y) * 0x85EBCA77u << 20);
    h ^= h >> 33;
    h *= 0xFF51AFD7ED558CCDu;
    h ^= h >> 33;
    return static_cast<double>(h >> 11) * 0x1.0p-53;
}

struct WoodLook {
    QColor base;
    double grainDepth; // how much darker the grain lines are than the base
    double grainPitch; // pixels between neighbouring grain lines
    double waviness;   // sideways wander of the grain, in pixels
    double speckleDepth;
};

// Straight-grained wood running top to bottom, the way a board is cut.
QImage woodTexture(QSize size, const WoodLook& look, std::uint64_t seed) {
    Rng rng(seed);
    const double phase1 = rng.uniform(0, 6.3), phase2 = rng.uniform(0, 6.3);
    const double phase3 = rng.uniform(0, 6.3), phase4 = rng.uniform(0, 6.3);
    const double slant = rng.uniform(-0.06, 0.06);
    // The grain is laid out in pixels of the twice-natural size, so every size shows the same wood.
    const double step = static_cast<double>(kNaturalScale) / kScale;
    QImage img(size, QImage::Format_RGB32);
    for (int y = 0; y < size.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(img.scanLine(y));
        for (int x = 0; x < size.width(); ++x) {
            const double fy = y * step;
            const double u = x * step + slant * fy + look.waviness * std::sin(fy * 0.041 + phase1) +
                             0.4 * look.waviness * std::sin(fy * 0.113 + phase2);
            // Uneven spacing of the growth lines: the pitch itself breathes across the board.
            const double t = u / look.grainPitch + 0.35 * std::sin(u * 0.071 + phase3);
            const double ring = std::pow(0.5 + 0.5 * std::cos(2 * std::numbers::pi * t), 6.0);
            const double band = 0.5 + 0.5 * std::sin(u * 0.029 + phase4);
            const double shade = 1.0 - look.grainDepth * (0.75 * ring + 0.25 * band) -
                                 look.speckleDepth * (speckle(x, y, seed) - 0.5);
            const auto channel = [shade](int c) {
                return std::clamp(static_cast<int>(std::lround(c * shade)), 0, 255);
            };
            line[x] = qRgb(channel(look.base.red()), channel(look.base.green()),
                           channel(look.base.blue()));
        }
    }
    return img;
}

QImage boardWood(QSize size) {
    return woodTexture(size, {QColor(0xE4, 0xC3, 0x88), 0.085, 7.5, 2.6, 0.035}, kBoardSeed);
}

QImage pieceWood(QSize size, std::uint64_t seed) {
    return woodTexture(size, {QColor(0xF7, 0xE2, 0xAE), 0.05, 4.0, 0.8, 0.02}, seed);
}

// The classic outline of a piece, pointing up, inside `box`: a pointed top, sides that narrow a
// little towards the shoulders, and a flat bottom.
QPainterPath pieceOutline(const QRectF& box) {
    const double w = box.width(), h = box.height();
    QPainterPath path;
    path.moveTo(box.left() + 0.5 * w, box.top());
    path.lineTo(box.left() + 0.89 * w, box.top() + 0.22 * h);
    path.lineTo(box.right(), box.bottom());
    path.lineTo(box.left(), box.bottom());
    path.lineTo(box.left() + 0.11 * w, box.top() + 0.22 * h);
    path.closeSubpath();
    return path;
}

QFont minchoFont() {
    QFont font;
    font.setFamilies({"IPAMincho", "IPAPMincho", "IPAexMincho"});
    font.setPixelSize(256);
    font.setWeight(QFont::Bold);
    font.setHintingPreference(QFont::PreferNoHinting);
    return font;
}

// The outline of `text` scaled (keeping its proportions) to fit `box`, centred in it.
QPainterPath fittedText(const QString& text, const QFont& font, const QRectF& box) {
    QPainterPath path;
    path.addText(0, 0, font, text);
    const QRectF ink = path.boundingRect();
    const double s = std::min(box.width() / ink.width(), box.height() / ink.height());
    QTransform fit;
    fit.translate(box.center().x(), box.center().y());
    fit.scale(s, s);
    fit.translate(-ink.center().x(), -ink.center().y());
    return fit.map(path);
}

// Turns a shape drawn pointing up into one pointing down: a half turn about `centre`.
QTransform halfTurn(QPointF centre) {
    QTransform t;
    t.translate(centre.x(), centre.y());
    t.rotate(180);
    t.translate(-centre.x(), -centre.y());
    return t;
}

struct PieceFace {
    QRectF box;      // the upright piece's bounding box, in picture pixels
    bool pointsDown; // the upper side's pieces face the lower side
    QString glyph;   // empty for a bare piece
    QColor ink;
    double unit; // pixels per natural pixel, for edge and stroke widths
};

// Paints a wooden piece with its character. Light always falls from the top left, so the
// shading and the shadow are laid on after the piece has been turned.
void paintPiece(QPainter& p, const PieceFace& face, std::uint64_t grainSeed) {
    const QTransform turn = face.pointsDown ? halfTurn(face.box.center()) : QTransform();
    const QPainterPath outline = turn.map(pieceOutline(face.box));
    const double u = face.unit;

    // Shadow on the board, then the piece's own thickness showing below its face.
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0x4A, 0x2C, 0x0C, 60));
    p.drawPath(outline.translated(0.6 * u, 1.1 * u));
    p.setBrush(QColor(0xB8, 0x8E, 0x52));
    p.setPen(QPen(kPieceEdge, 0.6 * u, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawPath(outline.translated(0, 0.8 * u));

    p.setPen(Qt::NoPen);
    p.setBrush(QBrush(pieceWood(QSize(p.device()->width(), p.device()->height()), grainSeed)));
    p.drawPath(outline);

    const QRectF bounds = outline.boundingRect();
    QLinearGradient light(bounds.topLeft(), bounds.bottomRight());
    light.setColorAt(0.0, QColor(255, 255, 240, 70));
    light.setColorAt(0.5, QColor(255, 255, 240, 0));
    light.setColorAt(1.0, QColor(90, 50, 10, 45));
    p.setBrush(light);
    p.drawPath(outline);

    if (!face.glyph.isEmpty()) {
        const double w = face.box.width(), h = face.box.height();
        // The character sits a little below the middle: the pointed top leaves less room.
        const QRectF glyphBox(face.box.left() + 0.14 * w, face.box.top() + 0.29 * h, 0.72 * w,
                              0.60 * h);
        const QPainterPath glyph = turn.map(fittedText(face.glyph, minchoFont(), glyphBox));
        // The font has one weight only; a stroke around the outline gives it a brush's body.
        p.setBrush(face.ink);
        p.setPen(
            QPen(face.ink, 0.032 * glyphBox.height(), Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.drawPath(glyph);
    }

    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(kPieceEdge, 0.8 * u, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawPath(outline);
}

QImage squarePicture() {
    return boardWood(squareSize());
}

QImage piecePicture(const QString& glyph, bool promoted, bool pointsDown) {
    QImage img = squarePicture();
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    // A rim of board shows around the piece; a little more below it, where its shadow falls.
    const double side = 2.2 * kScale, top = 1.9 * kScale, bottom = 2.7 * kScale;
    const QRectF box(side, top, squareSize().width() - 2 * side,
                     squareSize().height() - top - bottom);
    paintPiece(
        p, {box, pointsDown, glyph, promoted ? kInkRed : kInkBlack, static_cast<double>(kScale)},
        0xC0FFEEu);
    return img;
}

// The spark shown on a piece as it is taken: pink rays of uneven length around a bright core.
QImage burstPicture() {
    QImage img = squarePicture();
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    const QPointF c(squareSize().width() / 2.0, squareSize().height() / 2.0);
    const double reachX = c.x() - 2.5 * kScale, reachY = c.y() - 2.5 * kScale;
    Rng rng(0xB0057u);

    QRadialGradient glow(c, reachY);
    glow.setColorAt(0.0, QColor(255, 120, 190, 150));
    glow.setColorAt(0.5, QColor(255, 120, 190, 40));
    glow.setColorAt(1.0, QColor(255, 120, 190, 0));
    p.fillRect(img.rect(), glow);

    const auto ray = [&](double angle, double length, double halfWidth, const QColor& tip) {
        const QPointF dir(std::cos(angle), std::sin(angle));
        const QPointF side(-dir.y(), dir.x());
        const QPointF base = c + dir * (1.5 * kScale);
        const QPointF end(c.x() + dir.x() * length * reachX, c.y() + dir.y() * length * reachY);
        QPainterPath wedge;
        wedge.moveTo(base + side * halfWidth);
        wedge.lineTo(end);
        wedge.lineTo(base - side * halfWidth);
        wedge.closeSubpath();
        QLinearGradient fade(base, end);
        fade.setColorAt(0.0, QColor(255, 235, 245));
        fade.setColorAt(0.35, QColor(255, 110, 185));
        fade.setColorAt(1.0, tip);
        p.setPen(Qt::NoPen);
        p.setBrush(fade);
        p.drawPath(wedge);
    };
    constexpr int kRays = 18;
    for (int i = 0; i < kRays; ++i) {
        const double angle = (i + rng.uniform(-0.2, 0.2)) * 2 * std::numbers::pi / kRays;
        ray(angle, rng.uniform(0.72, 1.0), rng.uniform(1.4, 2.0) * kScale,
            QColor(235, 40, 140, 230));
    }
    for (int i = 0; i < kRays; ++i) {
        const double angle = (i + 0.5 + rng.uniform(-0.15, 0.15)) * 2 * std::numbers::pi / kRays;
        ray(angle, rng.uniform(0.35, 0.6), rng.uniform(0.8, 1.1) * kScale,
            QColor(255, 150, 200, 200));
    }

    QRadialGradient core(c, 5.0 * kScale);
    core.setColorAt(0.0, QColor(255, 255, 255));
    core.setColorAt(0.45, QColor(255, 215, 235));
    core.setColorAt(1.0, QColor(255, 140, 200, 0));
    p.setBrush(core);
    p.drawEllipse(c, 5.0 * kScale, 5.0 * kScale);
    return img;
}

// A half-size piece with a jagged crack across it; the mark of a piece about to be lost.
QImage crackedPicture(bool pointsDown) {
    QImage img = squarePicture();
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    const QPointF c(squareSize().width() / 2.0, squareSize().height() / 2.0);
    const QSizeF s(15.0 * kScale, 19.0 * kScale);
    const QRectF box(c.x() - s.width() / 2, c.y() - s.height() / 2, s.width(), s.height());
    paintPiece(p, {box, pointsDown, QString(), kInkBlack, static_cast<double>(kScale)}, 0xC0FFEEu);

    // Zigzag from the left flank to the right one, slightly falling, drawn on the upright piece.
    const double x0 = box.left() + 0.5, x1 = box.right() - 0.5;
    const double yMid = box.top() + 0.56 * box.height();
    const double amp = 0.11 * box.height();
    QPainterPath crack;
    constexpr int kTeeth = 6;
    for (int i = 0; i <= kTeeth; ++i) {
        const double x = x0 + (x1 - x0) * i / kTeeth;
        const double y = yMid + (i % 2 == 0 ? -amp : amp) + 0.06 * box.height() * i / kTeeth;
        if (i == 0)
            crack.moveTo(x, y);
        else
            crack.lineTo(x, y);
    }
    const QTransform turn = pointsDown ? halfTurn(box.center()) : QTransform();
    p.setClipPath(turn.map(pieceOutline(box)));
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(kCrack, 1.2 * kScale, Qt::SolidLine, Qt::FlatCap, Qt::MiterJoin));
    p.drawPath(turn.map(crack));
    p.setClipping(false);
    p.setPen(QPen(kPieceEdge, 0.8 * kScale, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawPath(turn.map(pieceOutline(box)));
    return img;
}

// The title: ZUBEKI in gold on a plate of dark red lacquer with a gold frame.
QImage logoPicture() {
    const QSize size = logoSize();
    QImage img = woodTexture(size, {QColor(0x5A, 0x22, 0x14), 0.25, 9.0, 3.0, 0.04}, 0x1AC9u);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF all(0, 0, size.width(), size.height());

    QLinearGradient lacquer(all.topLeft(), all.bottomLeft());
    lacquer.setColorAt(0.0, QColor(255, 200, 170, 40));
    lacquer.setColorAt(0.45, QColor(0, 0, 0, 60));
    lacquer.setColorAt(1.0, QColor(0, 0, 0, 150));
    p.fillRect(all, lacquer);

    const QColor gold(0xD8, 0xAE, 0x4E);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(gold, 1.0 * kScale));
    p.drawRoundedRect(all.adjusted(2.5 * kScale, 2.5 * kScale, -2.5 * kScale, -2.5 * kScale),
                      2.0 * kScale, 2.0 * kScale);
    p.setPen(QPen(QColor(0x9A, 0x74, 0x30), 0.5 * kScale));
    p.drawRoundedRect(all.adjusted(4.2 * kScale, 4.2 * kScale, -4.2 * kScale, -4.2 * kScale),
                      1.2 * kScale, 1.2 * kScale);

    QFont font;
    font.setFamilies({"DejaVu Serif", "IPAexMincho"});
    font.setPixelSize(256);
    font.setWeight(QFont::Bold);
    font.setLetterSpacing(QFont::PercentageSpacing, 112);
    font.setHintingPreference(QFont::PreferNoHinting);
    const QRectF textBox = all.adjusted(11.0 * kScale, 9.5 * kScale, -11.0 * kScale, -9.0 * kScale);
    const QPainterPath letters = fittedText("ZUBEKI", font, textBox);

    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0, 0, 0, 170));
    p.drawPath(letters.translated(0.6 * kScale, 0.8 * kScale));

    const QRectF ink = letters.boundingRect();
    QLinearGradient metal(ink.topLeft(), ink.bottomLeft());
    metal.setColorAt(0.0, QColor(0xFF, 0xF4, 0xC4));
    metal.setColorAt(0.42, QColor(0xF2, 0xC8, 0x5C));
    metal.setColorAt(0.55, QColor(0xB8, 0x84, 0x26));
    metal.setColorAt(1.0, QColor(0xE6, 0xBC, 0x5A));
    p.setBrush(metal);
    p.setPen(QPen(QColor(0x5C, 0x38, 0x0C), 0.35 * kScale));
    p.drawPath(letters);
    return img;
}

// The application icon: a big rook piece standing on a green board tile.
QImage appIcon(int size) {
    QImage img(size, size, QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::transparent);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    const double s = size, unit = std::max(1.0, s / 64.0);
    const QRectF tile(0.03 * s, 0.03 * s, 0.94 * s, 0.94 * s);

    QLinearGradient felt(tile.topLeft(), tile.bottomRight());
    felt.setColorAt(0.0, QColor(0x2B, 0xA8, 0x52));
    felt.setColorAt(1.0, QColor(0x0A, 0x62, 0x26));
    p.setBrush(felt);
    p.setPen(QPen(QColor(0x06, 0x48, 0x1A), unit));
    p.drawRoundedRect(tile, 0.17 * s, 0.17 * s);

    // A few board lines behind the piece.
    p.setPen(QPen(QColor(255, 255, 255, 60), unit));
    for (const double f : {1.0 / 3, 2.0 / 3}) {
        p.drawLine(QPointF(tile.left() + f * tile.width(), tile.top() + 0.06 * s),
                   QPointF(tile.left() + f * tile.width(), tile.bottom() - 0.06 * s));
        p.drawLine(QPointF(tile.left() + 0.06 * s, tile.top() + f * tile.height()),
                   QPointF(tile.right() - 0.06 * s, tile.top() + f * tile.height()));
    }

    const QRectF piece(0.2 * s, 0.1 * s, 0.6 * s, 0.8 * s);
    paintPiece(p, {piece, false, QString::fromUtf8("飛"), kInkBlack, unit * 1.2}, 0x1C0Fu);
    return img;
}

// The icon of a record file: a written sheet with a small piece in its corner.
QImage recordIcon(int size) {
    QImage img(size, size, QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::transparent);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    const double s = size, unit = std::max(1.0, s / 64.0);

    const QRectF sheet(0.14 * s, 0.05 * s, 0.62 * s, 0.86 * s);
    const double fold = 0.16 * s;
    QPainterPath paper;
    paper.moveTo(sheet.topLeft());
    paper.lineTo(sheet.right() - fold, sheet.top());
    paper.lineTo(sheet.right(), sheet.top() + fold);
    paper.lineTo(sheet.bottomRight());
    paper.lineTo(sheet.bottomLeft());
    paper.closeSubpath();
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0, 0, 0, 50));
    p.drawPath(paper.translated(0.7 * unit, 1.0 * unit));
    p.setBrush(QColor(0xFB, 0xF7, 0xEA));
    p.setPen(QPen(QColor(0x80, 0x76, 0x66), unit, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawPath(paper);

    QPainterPath ear;
    ear.moveTo(sheet.right() - fold, sheet.top());
    ear.lineTo(sheet.right() - fold, sheet.top() + fold);
    ear.lineTo(sheet.right(), sheet.top() + fold);
    ear.closeSubpath();
    p.setBrush(QColor(0xE2, 0xDA, 0xC6));
    p.drawPath(ear);

    // Lines of moves, written in columns from the right as a record is written by hand.
    Rng rng(0x41F0u);
    p.setPen(QPen(QColor(0x3A, 0x44, 0x60), 1.4 * unit, Qt::SolidLine, Qt::RoundCap));
    constexpr int kColumns = 5;
    const double step = 0.075 * s;
    for (int i = 0; i < kColumns; ++i) {
        const double x = sheet.right() - 0.1 * s - i * (sheet.width() - 0.16 * s) / (kColumns - 1);
        double y = sheet.top() + (i == 0 ? fold + 0.04 * s : 0.08 * s);
        const double bottom = sheet.bottom() - rng.uniform(0.06, 0.3) * s;
        while (y + 0.5 * step < bottom) {
            const double stroke = std::min(rng.uniform(0.35, 1.0) * step, bottom - y);
            p.drawLine(QPointF(x, y), QPointF(x, y + stroke));
            y += stroke + 0.3 * step;
        }
    }

    const QRectF piece(0.5 * s, 0.5 * s, 0.42 * s, 0.46 * s);
    paintPiece(p, {piece, false, QString::fromUtf8("角"), kInkBlack, unit * 0.9}, 0x1C0Fu);
    return img;
}

// Writes one picture, refusing anything that is not exactly what the game expects.
bool writePng(const QImage& img, const QString& dir, const QString& name, QSize expected,
              bool opaque) {
    if (img.size() != expected) {
        std::fprintf(stderr, "picturegen: %s is %dx%d, expected %dx%d\n", qPrintable(name),
                     img.width(), img.height(), expected.width(), expected.height());
        return false;
    }
    const QImage out = img.convertToFormat(opaque ? QImage::Format_RGB888 : QImage::Format_ARGB32);
    if (opaque && out.hasAlphaChannel()) {
        std::fprintf(stderr, "picturegen: %s must be opaque\n", qPrintable(name));
        return false;
    }
    const QString path = QDir(dir).filePath(name);
    if (!out.save(path, "PNG")) {
        std::fprintf(stderr, "picturegen: cannot write %s\n", qPrintable(path));
        return false;
    }
    return true;
}

bool writeResourceList(const QString& dir, const QStringList& names) {
    QFile file(QDir(dir).filePath("pictures.qrc"));
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Text)) {
        std::fprintf(stderr, "picturegen: cannot write %s\n", qPrintable(file.fileName()));
        return false;
    }
    QTextStream out(&file);
    out << "<!DOCTYPE RCC>\n<RCC version=\"1.0\">\n<qresource prefix=\"/pictures\">\n";
    for (const QString& name : names) out << "    <file>" << name << "</file>\n";
    out << "</qresource>\n</RCC>\n";
    return out.status() == QTextStream::Ok;
}

bool haveFonts() {
    const QStringList families = QFontDatabase::families();
    for (const char* want : {"IPAMincho", "IPAPMincho", "IPAexMincho"})
        if (families.contains(QString::fromLatin1(want))) return true;
    std::fputs("picturegen: no IPA Mincho font installed; the pieces would have no character\n",
               stderr);
    return false;
}

// Writes the board's pictures and the logo into `dir` at the current scale; answers their names.
bool writeBoardPictures(const QString& dir, QStringList* names) {
    if (!QDir().mkpath(dir)) return false;
    const QString kaku = QString::fromUtf8("角"), sya = QString::fromUtf8("飛");
    struct Board {
        const char* name;
        QImage img;
    };
    const Board board[] = {
        {"kara_masu.png", squarePicture()},
        {"ue_kaku0.png", piecePicture(kaku, false, true)},
        {"ue_kaku1.png", piecePicture(kaku, true, true)},
        {"ue_sya0.png", piecePicture(sya, false, true)},
        {"ue_sya1.png", piecePicture(sya, true, true)},
        {"sita_kaku0.png", piecePicture(kaku, false, false)},
        {"sita_kaku1.png", piecePicture(kaku, true, false)},
        {"sita_sya0.png", piecePicture(sya, false, false)},
        {"sita_sya1.png", piecePicture(sya, true, false)},
        {"pa.png", burstPicture()},
        {"ji_naka.png", crackedPicture(false)},
        {"teki_naka.png", crackedPicture(true)},
    };
    bool ok = true;
    for (const Board& b : board) {
        ok = writePng(b.img, dir, b.name, squareSize(), true) && ok;
        *names << b.name;
    }
    ok = writePng(logoPicture(), dir, "zubeki.png", logoSize(), true) && ok;
    *names << "zubeki.png";
    return ok;
}

} // namespace

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    if (argc < 2 || argc > 3) {
        std::fputs("usage: picturegen PICTURES_DIR [ICONS_DIR]\n", stderr);
        return 2;
    }
    if (!haveFonts()) return 1;
    const QString pictures = QString::fromLocal8Bit(argv[1]);
    QStringList names;
    bool ok = writeBoardPictures(pictures, &names);
    kScale = kLargeScale;
    QStringList large;
    ok = writeBoardPictures(QDir(pictures).filePath("large"), &large) && ok;
    kScale = kNaturalScale;
    ok = writeResourceList(pictures, names) && ok;

    if (argc == 3) {
        const QString icons = QString::fromLocal8Bit(argv[2]);
        if (!QDir().mkpath(icons)) return 1;
        for (const int size : {64, 128, 256, 512})
            ok = writePng(appIcon(size), icons, QString("zubeki-%1.png").arg(size), {size, size},
                          false) &&
                 ok;
        for (const int size : {64, 128, 256})
            ok = writePng(recordIcon(size), icons, QString("kifu-%1.png").arg(size), {size, size},
                          false) &&
                 ok;
    }
    return ok ? 0 : 1;
}
