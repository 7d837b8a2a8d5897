// Draws the pictures of the players' guide with the game's own window, off screen:
// the starting position, a check, and a group vanishing.
//   guideshots OUTPUT_FOLDER
#include "ui/form1.h"
#include "view/canvas.h"

#include <QApplication>
#include <QDir>
#include <QImage>
#include <cstdio>

using namespace zubeki;

namespace {

QImage board(const QImage& canvas) {
    // The window without its empty right-hand margin.
    return canvas.copy(0, 0, static_cast<int>(535 * canvas.devicePixelRatio()),
                       static_cast<int>(470 * canvas.devicePixelRatio()));
}

bool save(const QImage& image, const QString& folder, const char* name) {
    const QString path = QDir(folder).filePath(QString::fromLatin1(name));
    if (!image.save(path)) {
        std::fprintf(stderr, "guideshots: cannot write %s\n", qPrintable(path));
        return false;
    }
    return true;
}

} // namespace

int main(int argc, char* argv[]) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: guideshots OUTPUT_FOLDER\n");
        return 2;
    }
    const QString folder = QString::fromLocal8Bit(argv[1]);
    QDir().mkpath(folder);

    std::vector<QImage> frames;
    Form1* form = nullptr;
    Seams seams;
    seams.messageBox = [](const std::string&, const std::string&, Buttons b, Icon) {
        return b == Buttons::YesNo ? Answer::No : Answer::Ok;
    };
    seams.wait = [&](double) { frames.push_back(form->canvas().image()); };
    seams.clockDigit = [] { return 0; };
    seams.endProgram = [] {};
    seams.soundLibrary = SoundLibrary{}; // silent: no sound device
    Form1 window(seams);
    form = &window;
    window.Form_Load();
    bool ok = save(board(window.canvas().image()), folder, "guide-start.png");

    // Two humans: the lower rook runs round to stand beside the upper rook on (7, 3).
    window.START_Click();
    Game& game = window.game();
    game.指し手実行({3, 7, 6, 7, SITA_ROOK, SITA_ROOK});
    game.指し手実行({9, 3, 9, 6, UE_ROOK, UE_ROOK});
    game.指し手実行({6, 7, 6, 3, SITA_ROOK, SITA_ROOK});
    ok = save(board(window.canvas().image()), folder, "guide-check.png") && ok;

    // A lone upper bishop on (5, 5) with lower pieces on three sides: the rook closes the fourth.
    game.初期設定();
    Position position = game.state();
    position.BOARD[5][5] = UE_BISHOP;
    position.BOARD[4][5] = SITA_ROOK;
    position.BOARD[5][4] = SITA_BISHOP;
    position.BOARD[5][6] = SITA_ROOK;
    position.BOARD[6][9] = SITA_ROOK;
    position.BOARD[1][9] = EMPTY;
    position.BOARD[2][9] = EMPTY;
    position.BOARD[2][8] = EMPTY;
    game.restore(position, game.record());
    window.START_Click();
    frames.clear();
    game.指し手実行({6, 9, 6, 5, SITA_ROOK, SITA_ROOK});
    // The frames of the vanishing piece come after the check blink: its side picture, the
    // burst, then the empty square.
    if (frames.size() >= 3) {
        ok = save(board(frames[frames.size() - 3]), folder, "guide-capture-1.png") && ok;
        ok = save(board(frames[frames.size() - 2]), folder, "guide-capture-2.png") && ok;
    }
    return ok ? 0 : 1;
}
