// Reads screenshots of the game's window for the end-to-end tests. Positions on the
// screen are device pixels; SCALE is the window's device pixel ratio (1 or 2).
//
//   zubeki_check_screenshot start SHOT PICTURE_DIR WINDOW_X WINDOW_Y [SCALE]
//       finds the board near where the window's position puts it and checks the starting
//       picture: the green background, the logo and every square. Prints
//       "canvas X Y", the canvas's top-left corner on the screen.
//   zubeki_check_screenshot board SHOT PICTURE_DIR CANVAS_X CANVAS_Y SCALE
//       prints the board as shown, row 1 first, column 1 leftmost: . empty wood,
//       R B the upper rook and bishop, r b the lower ones, ? anything else.
//   zubeki_check_screenshot white SHOT CANVAS_X CANVAS_Y SCALE
//       prints "game N upper N lower N": the pure white pixels where a record's game
//       name and its two players' names are written.
//   zubeki_check_screenshot outline SHOT CANVAS_X CANVAS_Y SCALE X Y RRGGBB
//       succeeds when the outline of square (X, Y) is drawn in that colour.
//   zubeki_check_screenshot edge SHOT PICTURE_DIR CANVAS_X CANVAS_Y SCALE X Y
//       measures the grid line on the left of square (X, Y) and compares the square's
//       picture with the artwork at the screen's density and with the artwork blurred
//       through the logical size; prints "line MIN MAX sharp D blurred D". Succeeds when
//       the line is SCALE pixels wide on every row and, above scale 1, the picture is
//       the sharp one.

#include <QImage>
#include <QString>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <initializer_list>
#include <vector>

namespace {

// Canvas geometry in logical pixels: square (x, y) has its top-left corner at
// (SQUARE_LEFT + SQUARE_W * x, SQUARE_TOP + SQUARE_H * y), so the board's first outline
// pixel stands at (103, 48) (1545, 715 twips).
constexpr int SQUARE_LEFT = 70;
constexpr int SQUARE_TOP = 7;
constexpr int SQUARE_W = 33;
constexpr int SQUARE_H = 41;
constexpr QRgb GREEN = 0x008000;
constexpr QRgb WHITE = 0xFFFFFF;
// The logo's top-left on the canvas (6396, 100 twips) and its size.
constexpr int LOGO_LEFT = 426;
constexpr int LOGO_TOP = 7;
constexpr int LOGO_W = 118;
constexpr int LOGO_H = 39;
// A square matches a picture when it differs by less than this per channel on average.
constexpr double MATCH = 16;

// The starting position, row 1 at the top: R/B upper rook/bishop, r/b lower ones.
const char* const START[9] = {
    "......RBR", "......BRB", "......RBR", ".........", ".........",
    ".........", "rbr......", "brb......", "rbr......",
};
const char KINDS[] = ".RBrb";
const char* const FILES[] = {"kara_masu.png", "ue_sya0.png", "ue_kaku0.png", "sita_sya0.png",
                             "sita_kaku0.png"};

struct Reference {
    char kind;
    QImage picture;
};

[[noreturn]] void usage() {
    std::fputs("usage: zubeki_check_screenshot start SHOT PICTURE_DIR WINDOW_X WINDOW_Y [SCALE]\n"
               "       zubeki_check_screenshot board SHOT PICTURE_DIR CANVAS_X CANVAS_Y SCALE\n"
               "       zubeki_check_screenshot white SHOT CANVAS_X CANVAS_Y SCALE\n"
               "       zubeki_check_screenshot outline SHOT CANVAS_X CANVAS_Y SCALE X Y RRGGBB\n"
               "       zubeki_check_screenshot edge SHOT PICTURE_DIR CANVAS_X CANVAS_Y SCALE X Y\n",
               stderr);
    std::exit(2);
}

QImage readShot(const char* path) {
    const QImage shot = QImage(QString::fromLocal8Bit(path)).convertToFormat(QImage::Format_RGB32);
    if (shot.isNull()) {
        std::fprintf(stderr, "cannot read the screenshot %s\n", path);
        std::exit(2);
    }
    return shot;
}

// The artwork is made at twice the logical size; the game shows it at the screen's density.
QImage loadScaled(const QString& dir, const char* name, int w, int h) {
    QImage source(dir + QStringLiteral("/") + QLatin1String(name));
    if (source.isNull()) {
        std::fprintf(stderr, "cannot read picture %s\n", name);
        std::exit(2);
    }
    source = source.convertToFormat(QImage::Format_RGB32);
    if (source.size() == QSize(w, h)) return source;
    return source.scaled(w, h, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
}

std::vector<Reference> loadReferences(const QString& dir, int scale) {
    std::vector<Reference> refs;
    for (int i = 0; i < 5; ++i)
        refs.push_back({KINDS[i], loadScaled(dir, FILES[i], SQUARE_W * scale, SQUARE_H * scale)});
    return refs;
}

// The colour at (x, y), or black outside the shot.
QRgb at(const QImage& shot, int x, int y) {
    if (x < 0 || y < 0 || x >= shot.width() || y >= shot.height()) return 0;
    return reinterpret_cast<const QRgb*>(shot.constScanLine(y))[x] & 0xFFFFFF;
}

// Mean difference per channel between the shot at (left, top) and a picture; the first
// `skip` rows and columns are left out (the square's outline), and every step-th pixel is read.
double difference(const QImage& shot, int left, int top, const QImage& picture, int skip,
                  int step) {
    if (left < 0 || top < 0 || left + picture.width() > shot.width() ||
        top + picture.height() > shot.height())
        return 1e9;
    double sum = 0;
    int n = 0;
    for (int y = skip; y < picture.height(); y += step) {
        const QRgb* row = reinterpret_cast<const QRgb*>(shot.constScanLine(top + y)) + left;
        const QRgb* ref = reinterpret_cast<const QRgb*>(picture.constScanLine(y));
        for (int x = skip; x < picture.width(); x += step) {
            const QRgb a = row[x], b = ref[x];
            sum += std::abs(qRed(a) - qRed(b)) + std::abs(qGreen(a) - qGreen(b)) +
                   std::abs(qBlue(a) - qBlue(b));
            n += 3;
        }
    }
    return sum / n;
}

struct Canvas {
    int x, y, scale;
    int squareLeft(int column) const { return x + scale * (SQUARE_LEFT + SQUARE_W * column); }
    int squareTop(int row) const { return y + scale * (SQUARE_TOP + SQUARE_H * row); }
};

// The picture square (column, row) shows, or '?' when none is close enough.
char shownAt(const QImage& shot, const std::vector<Reference>& refs, const Canvas& c, int column,
             int row, double* shownDifference = nullptr) {
    char shown = '?';
    double best = 1e18;
    for (const Reference& r : refs) {
        const double d =
            difference(shot, c.squareLeft(column), c.squareTop(row), r.picture, c.scale, 1);
        if (d < best) {
            best = d;
            shown = r.kind;
        }
    }
    if (shownDifference) *shownDifference = best;
    return best < MATCH ? shown : '?';
}

const QImage& startPictureAt(const std::vector<Reference>& refs, int column, int row) {
    for (const Reference& r : refs)
        if (r.kind == START[row - 1][column - 1]) return r.picture;
    return refs.front().picture;
}

int start(const QImage& shot, const QString& dir, int windowX, int windowY, int scale) {
    const std::vector<Reference> refs = loadReferences(dir, scale);

    // Find the board: a menu bar or a frame pushes the canvas down and aside.
    Canvas found{0, 0, scale};
    double best = 1e18;
    for (int dy = -8 * scale; dy <= 80 * scale; ++dy)
        for (int dx = -8 * scale; dx <= 8 * scale; ++dx) {
            const Canvas c{windowX + dx, windowY + dy, scale};
            double score = 0;
            for (int row = 1; row <= 9 && score < best; ++row)
                for (int column = 1; column <= 9; ++column)
                    score += difference(shot, c.squareLeft(column), c.squareTop(row),
                                        startPictureAt(refs, column, row), scale, 4 * scale);
            if (score < best) {
                best = score;
                found = c;
            }
        }
    std::printf("canvas %d %d\n", found.x, found.y);
    std::fprintf(stderr, "the canvas starts %d px below the window\n", found.y - windowY);

    int faults = 0;
    for (int row = 1; row <= 9; ++row)
        for (int column = 1; column <= 9; ++column) {
            double d;
            const char shown = shownAt(shot, refs, found, column, row, &d);
            const char expected = START[row - 1][column - 1];
            if (shown != expected) {
                ++faults;
                std::fprintf(stderr,
                             "square (%d, %d) shows '%c', expected '%c' (difference %.1f)\n",
                             column, row, shown, expected, d);
            }
        }

    // The background around the board and the labels.
    for (const auto& [x, y] : {std::pair{5, 450}, std::pair{300, 480}, std::pair{560, 200},
                               std::pair{80, 300}, std::pair{10, 60}}) {
        const QRgb c = at(shot, found.x + x * scale, found.y + y * scale);
        if (c != GREEN) {
            ++faults;
            std::fprintf(stderr, "background at canvas (%d, %d) is #%06X, not #008000\n", x, y, c);
        }
    }

    const QImage logo = loadScaled(dir, "zubeki.png", LOGO_W * scale, LOGO_H * scale);
    const double logoDifference =
        difference(shot, found.x + LOGO_LEFT * scale, found.y + LOGO_TOP * scale, logo, 0, 1);
    if (logoDifference >= MATCH) {
        ++faults;
        std::fprintf(stderr, "no logo at canvas (%d, %d) (difference %.1f)\n", LOGO_LEFT, LOGO_TOP,
                     logoDifference);
    }

    if (faults) std::fprintf(stderr, "%d faults\n", faults);
    return faults ? 1 : 0;
}

int board(const QImage& shot, const QString& dir, const Canvas& c) {
    const std::vector<Reference> refs = loadReferences(dir, c.scale);
    for (int row = 1; row <= 9; ++row) {
        for (int column = 1; column <= 9; ++column)
            std::putchar(shownAt(shot, refs, c, column, row));
        std::putchar('\n');
    }
    return 0;
}

int countColour(const QImage& shot, const Canvas& c, int left, int top, int w, int h, QRgb colour) {
    int n = 0;
    for (int y = (top)*c.scale; y < (top + h) * c.scale; ++y)
        for (int x = left * c.scale; x < (left + w) * c.scale; ++x)
            n += at(shot, c.x + x, c.y + y) == colour;
    return n;
}

int white(const QImage& shot, const Canvas& c) {
    // The header lines stand at (800, 6350), (3700, 100) and (3700, 6350) twips, 12 points
    // high: under the board on the left, above the board, and under it in the middle. The
    // boxes stop short of the column numbers and of the board.
    std::printf("game %d upper %d lower %d\n", countColour(shot, c, 53, 423, 110, 16, WHITE),
                countColour(shot, c, 247, 7, 110, 15, WHITE),
                countColour(shot, c, 247, 423, 110, 16, WHITE));
    return 0;
}

int outline(const QImage& shot, const Canvas& c, int column, int row, QRgb colour) {
    const int L = c.squareLeft(column), T = c.squareTop(row);
    const int R = c.squareLeft(column + 1), B = c.squareTop(row + 1);
    int total = 0, matching = 0;
    auto look = [&](int x, int y) {
        ++total;
        matching += at(shot, x, y) == colour;
    };
    for (int i = 0; i < c.scale; ++i) {
        for (int x = L; x < R + c.scale; ++x) {
            look(x, T + i);
            look(x, B + i);
        }
        for (int y = T + c.scale; y < B; ++y) {
            look(L + i, y);
            look(R + i, y);
        }
    }
    std::printf("%d of %d outline pixels of square (%d, %d) are #%06X\n", matching, total, column,
                row, colour);
    return matching == total ? 0 : 1;
}

int edge(const QImage& shot, const QString& dir, const Canvas& c, int column, int row) {
    const std::vector<Reference> refs = loadReferences(dir, c.scale);
    const char shown = shownAt(shot, refs, c, column, row);
    if (shown == '?' || shown == '.') {
        std::fprintf(stderr, "square (%d, %d) holds no piece\n", column, row);
        return 1;
    }
    const char* file = FILES[std::strchr(KINDS, shown) - KINDS];
    const QImage sharp = loadScaled(dir, file, SQUARE_W * c.scale, SQUARE_H * c.scale);
    // What a picture drawn at the logical size and then stretched to the screen looks like.
    const QImage blurred =
        loadScaled(dir, file, SQUARE_W, SQUARE_H)
            .scaled(sharp.size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation);

    // Across the square's left edge, row by row: the run of exact grid green.
    const int L = c.squareLeft(column), T = c.squareTop(row);
    int narrowest = 1 << 20, widest = 0;
    for (int y = T + c.scale; y < c.squareTop(row + 1); ++y) {
        int w = 0;
        for (int x = L - 1; at(shot, x, y) == GREEN && w < 8 * c.scale; --x) ++w;
        for (int x = L; at(shot, x, y) == GREEN && w < 8 * c.scale; ++x) ++w;
        narrowest = std::min(narrowest, w);
        widest = std::max(widest, w);
    }
    const double toSharp = difference(shot, L, T, sharp, c.scale, 1);
    const double toBlurred = difference(shot, L, T, blurred, c.scale, 1);
    std::printf("line %d %d sharp %.2f blurred %.2f\n", narrowest, widest, toSharp, toBlurred);

    int faults = 0;
    if (narrowest != c.scale || widest != c.scale) {
        ++faults;
        std::fprintf(stderr, "the grid line is %d to %d px wide, not %d\n", narrowest, widest,
                     c.scale);
    }
    if (toSharp >= MATCH) {
        ++faults;
        std::fprintf(stderr, "the square does not show its picture\n");
    }
    // Above scale 1 the artwork's own detail must be on the screen: a picture blown up from
    // the logical size matches the blurred reference better than the sharp one.
    if (c.scale > 1 && !(toSharp * 2 < toBlurred)) {
        ++faults;
        std::fprintf(stderr, "the picture is blurred (%.2f to the artwork, %.2f to a blow-up)\n",
                     toSharp, toBlurred);
    }
    return faults ? 1 : 0;
}

int number(const char* text) {
    char* end = nullptr;
    const long v = std::strtol(text, &end, 10);
    if (end == text || *end) usage();
    return static_cast<int>(v);
}

} // namespace

int main(int argc, char* argv[]) {
    if (argc < 3) usage();
    const char* mode = argv[1];
    const auto is = [mode](const char* name) { return std::strcmp(mode, name) == 0; };
    const auto arg = [argv](int i) { return number(argv[i]); };
    const QImage shot = readShot(argv[2]);

    if (is("start") && (argc == 6 || argc == 7))
        return start(shot, QString::fromLocal8Bit(argv[3]), arg(4), arg(5), argc == 7 ? arg(6) : 1);
    if (is("board") && argc == 7)
        return board(shot, QString::fromLocal8Bit(argv[3]), Canvas{arg(4), arg(5), arg(6)});
    if (is("white") && argc == 6) return white(shot, Canvas{arg(3), arg(4), arg(5)});
    if (is("outline") && argc == 9)
        return outline(shot, Canvas{arg(3), arg(4), arg(5)}, arg(6), arg(7),
                       static_cast<QRgb>(std::strtoul(argv[8], nullptr, 16)));
    if (is("edge") && argc == 9)
        return edge(shot, QString::fromLocal8Bit(argv[3]), Canvas{arg(4), arg(5), arg(6)}, arg(7),
                    arg(8));
    usage();
}
