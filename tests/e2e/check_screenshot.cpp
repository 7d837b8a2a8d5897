// Reads a screenshot of the game just after start-up and checks the starting picture:
// the green background, the logo, and every square showing the piece (or the empty
// wood) it should.
//
//   zubeki_check_screenshot SHOT.png PICTURE_DIR WINDOW_X WINDOW_Y
//
// The window's reported position is only a hint: a menu bar above the canvas, or a
// frame, moves the board, so the board is searched for around where the hint puts it.

#include <QImage>
#include <QString>
#include <cstdio>
#include <cstdlib>
#include <initializer_list>
#include <vector>

namespace {

// Where the board's first outline pixel stands on the canvas (1545, 715 twips).
constexpr int BOARD_LEFT = 103;
constexpr int BOARD_TOP = 48;
constexpr int SQUARE_W = 33;
constexpr int SQUARE_H = 41;
constexpr QRgb GREEN = 0x008000;
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

struct Reference {
    char kind;
    QImage picture;
};

QImage loadScaled(const QString& dir, const char* name, int w, int h) {
    QImage source(dir + QStringLiteral("/") + QLatin1String(name));
    if (source.isNull()) {
        std::fprintf(stderr, "cannot read picture %s\n", name);
        std::exit(2);
    }
    return source.convertToFormat(QImage::Format_RGB32)
        .scaled(w, h, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
}

// Mean difference per channel between the shot at (left, top) and a picture; the first
// row and column are left out (the square's outline), and every step-th pixel is read.
double difference(const QImage& shot, int left, int top, const QImage& picture, int skip,
                  int step) {
    double sum = 0;
    int n = 0;
    for (int y = skip; y < picture.height(); y += step)
        for (int x = skip; x < picture.width(); x += step) {
            const int sx = left + x, sy = top + y;
            if (sx < 0 || sy < 0 || sx >= shot.width() || sy >= shot.height()) return 1e9;
            const QRgb a = shot.pixel(sx, sy), b = picture.pixel(x, y);
            sum += std::abs(qRed(a) - qRed(b)) + std::abs(qGreen(a) - qGreen(b)) +
                   std::abs(qBlue(a) - qBlue(b));
            n += 3;
        }
    return sum / n;
}

const QImage& expectedAt(const std::vector<Reference>& refs, int x, int y) {
    for (const Reference& r : refs)
        if (r.kind == START[y][x]) return r.picture;
    return refs.front().picture;
}

double boardScore(const QImage& shot, const std::vector<Reference>& refs, int left, int top,
                  int step) {
    double sum = 0;
    for (int y = 0; y < 9; ++y)
        for (int x = 0; x < 9; ++x)
            sum += difference(shot, left + x * SQUARE_W, top + y * SQUARE_H, expectedAt(refs, x, y),
                              1, step);
    return sum;
}

} // namespace

int main(int argc, char* argv[]) {
    if (argc != 5) {
        std::fprintf(stderr, "usage: %s SHOT.png PICTURE_DIR WINDOW_X WINDOW_Y\n", argv[0]);
        return 2;
    }
    const QImage shot =
        QImage(QString::fromLocal8Bit(argv[1])).convertToFormat(QImage::Format_RGB32);
    if (shot.isNull()) {
        std::fprintf(stderr, "cannot read the screenshot %s\n", argv[1]);
        return 2;
    }
    const QString dir = QString::fromLocal8Bit(argv[2]);
    const int windowX = std::atoi(argv[3]);
    const int windowY = std::atoi(argv[4]);

    std::vector<Reference> refs;
    const char* files[] = {"kara_masu.png", "ue_sya0.png", "ue_kaku0.png", "sita_sya0.png",
                           "sita_kaku0.png"};
    for (int i = 0; i < 5; ++i)
        refs.push_back({KINDS[i], loadScaled(dir, files[i], SQUARE_W, SQUARE_H)});

    // Find the board: a menu bar or frame may push the canvas down and aside.
    int bestLeft = 0, bestTop = 0;
    double best = 1e18;
    for (int dy = -8; dy <= 80; ++dy)
        for (int dx = -8; dx <= 8; ++dx) {
            const int left = windowX + BOARD_LEFT + dx, top = windowY + BOARD_TOP + dy;
            const double score = boardScore(shot, refs, left, top, 4);
            if (score < best) {
                best = score;
                bestLeft = left;
                bestTop = top;
            }
        }
    const int canvasX = bestLeft - BOARD_LEFT, canvasY = bestTop - BOARD_TOP;
    std::printf("board found at (%d, %d): the canvas starts at (%d, %d), %d px below the window\n",
                bestLeft, bestTop, canvasX, canvasY, canvasY - windowY);

    int faults = 0;
    int pieces = 0, empties = 0;
    for (int y = 0; y < 9; ++y) {
        for (int x = 0; x < 9; ++x) {
            const int left = bestLeft + x * SQUARE_W, top = bestTop + y * SQUARE_H;
            char shown = '?';
            double shownDifference = 1e18;
            for (const Reference& r : refs) {
                const double d = difference(shot, left, top, r.picture, 1, 1);
                if (d < shownDifference) {
                    shownDifference = d;
                    shown = r.kind;
                }
            }
            if (shownDifference >= MATCH) shown = '?';
            std::putchar(shown);
            if (shown != START[y][x]) {
                ++faults;
                std::fprintf(stderr,
                             "square (%d, %d) shows '%c', expected '%c' (difference %.1f)\n", x + 1,
                             y + 1, shown, START[y][x], shownDifference);
            } else {
                (shown == '.' ? empties : pieces) += 1;
            }
        }
        std::putchar('\n');
    }
    std::printf("%d pieces and %d empty squares where they belong\n", pieces, empties);

    // The background around the board and the labels.
    for (const auto& [x, y] : {std::pair{5, 450}, std::pair{300, 480}, std::pair{560, 200},
                               std::pair{80, 300}, std::pair{10, 60}}) {
        const int sx = canvasX + x, sy = canvasY + y;
        const QRgb c = sx >= 0 && sy >= 0 && sx < shot.width() && sy < shot.height()
                           ? shot.pixel(sx, sy) & 0xFFFFFF
                           : 0;
        if (c != GREEN) {
            ++faults;
            std::fprintf(stderr, "background at canvas (%d, %d) is #%06X, not #008000\n", x, y, c);
        }
    }

    const QImage logo = loadScaled(dir, "zubeki.png", LOGO_W, LOGO_H);
    const double logoDifference =
        difference(shot, canvasX + LOGO_LEFT, canvasY + LOGO_TOP, logo, 0, 1);
    if (logoDifference >= MATCH) {
        ++faults;
        std::fprintf(stderr, "no logo at canvas (%d, %d) (difference %.1f)\n", LOGO_LEFT, LOGO_TOP,
                     logoDifference);
    }

    if (faults) std::fprintf(stderr, "%d faults\n", faults);
    return faults ? 1 : 0;
}
