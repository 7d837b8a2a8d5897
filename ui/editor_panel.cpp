#include "ui/editor_panel.h"

#include "ui/game_texts.h"
#include "view/board_view.h"
#include "view/canvas.h"

#include <QCoreApplication>
#include <QLabel>
#include <QPushButton>
#include <QShortcut>
#include <QToolButton>

namespace zubeki {

namespace {

QRect twipsRect(int left, int top, int width, int height) {
    return QRect(Canvas::toPixel(left), Canvas::toPixel(top), Canvas::toPixel(width),
                 Canvas::toPixel(height));
}

// Where the editor's controls stand, in twips: the palette and the buttons right of the board,
// the notation and the reason under it.
constexpr int kRightX = 6450;
constexpr int kPieceWidth = 540;
constexpr int kPieceHeight = 660;
constexpr int kButtonWidth = 1500;
constexpr int kButtonHeight = 360;
constexpr int kLineX = 600;
constexpr int kLineWidth = 5700;

// The palette: each side's rook, bishop and their promoted pieces, the upper side above.
struct PalettePiece {
    const char* name;
    int code;
    int column, row;
};
constexpr PalettePiece kPalette[] = {
    {"UE_SYA", UE_ROOK, 0, 0},
    {"UE_KAKU", UE_BISHOP, 1, 0},
    {"UE_SYA_NARI", UE_ROOK_PROMOTED, 0, 1},
    {"UE_KAKU_NARI", UE_BISHOP_PROMOTED, 1, 1},
    {"SITA_SYA", SITA_ROOK, 0, 2},
    {"SITA_KAKU", SITA_BISHOP, 1, 2},
    {"SITA_SYA_NARI", SITA_ROOK_PROMOTED, 0, 3},
    {"SITA_KAKU_NARI", SITA_BISHOP_PROMOTED, 1, 3},
};
constexpr int kPaletteTops[] = {900, 1600, 2500, 3200};

QString tr(const char* source) {
    return QCoreApplication::translate("Editor", source);
}

} // namespace

std::string faultWords(PositionFault fault) {
    switch (fault) {
    case PositionFault::TooManyPieces:
        return "駒が９枚より多い側があります";
    case PositionFault::PromotedInOwnCamp:
        return "成った駒が自陣の中にあります（自陣には止まれません）";
    case PositionFault::CampFilled:
        return "敵陣がもう埋まっています（対局は終わっています）";
    case PositionFault::GroupWithoutLiberty:
        return "空いた隣のマスがない駒の一団があります";
    case PositionFault::None:
        break;
    }
    return {};
}

EditorPanel::EditorPanel(Canvas& canvas, BoardView& view, const Position& from, Hooks hooks)
    : canvas_(canvas), view_(view), editor_(from), hooks_(std::move(hooks)) {
    build();
    place();
    changed();
}

EditorPanel::~EditorPanel() {
    // Later: the panel may close from inside one of its own buttons' clicks.
    for (auto& [control, natural] : geometry_) {
        control->hide();
        control->deleteLater();
    }
    for (QShortcut* shortcut : shortcuts_) delete shortcut;
}

QPushButton* EditorPanel::button(const char* name, const char* caption, QRect twips,
                                 const std::function<void()>& clicked) {
    auto* b = new QPushButton(tr(caption), &canvas_);
    b->setObjectName(QLatin1String(name));
    b->setFocusPolicy(Qt::NoFocus);
    b->setGeometry(twips);
    QObject::connect(b, &QPushButton::clicked, b, [clicked] { clicked(); });
    geometry_.emplace_back(b, twips);
    return b;
}

void EditorPanel::build() {
    buildPalette();
    buildButtons();
    buildLines();
    for (auto& [control, natural] : geometry_) control->show();
}

void EditorPanel::buildPalette() {
    for (const PalettePiece& piece : kPalette) {
        auto* b = new QToolButton(&canvas_);
        b->setObjectName(QLatin1String(piece.name));
        b->setCheckable(true);
        b->setFocusPolicy(Qt::NoFocus);
        QSize natural;
        if (const QImage* picture = view_.pictures().forCode(piece.code, &natural))
            b->setIcon(QIcon(QPixmap::fromImage(*picture)));
        const QRect at = twipsRect(kRightX + piece.column * kPieceWidth, kPaletteTops[piece.row],
                                   kPieceWidth, kPieceHeight);
        b->setGeometry(at);
        const int code = piece.code;
        QObject::connect(b, &QToolButton::clicked, b, [this, code] { choose(code); });
        geometry_.emplace_back(b, at);
        palette_.emplace_back(b, code);
    }
}

void EditorPanel::buildButtons() {
    int top = 4050;
    const auto next = [&top](int gap = 390) {
        const int at = top;
        top += gap;
        return twipsRect(kRightX, at, kButtonWidth, kButtonHeight);
    };
    side_ = button("EDIT_SIDE", QT_TRANSLATE_NOOP("Editor", "手番：下手"), next(480), [this] {
        editor_.setSide(opposite(editor_.position().SIDE));
        changed();
    });
    button("EDIT_START", QT_TRANSLATE_NOOP("Editor", "初期配置"), next(), [this] {
        picked_.reset();
        editor_.startPosition();
        changed();
    });
    button("EDIT_CLEAR", QT_TRANSLATE_NOOP("Editor", "全消去"), next(), [this] {
        picked_.reset();
        editor_.clear();
        changed();
    });
    undo_ =
        button("EDIT_UNDO", QT_TRANSLATE_NOOP("Editor", "元に戻す"), next(), [this] { undo(); });
    redo_ =
        button("EDIT_REDO", QT_TRANSLATE_NOOP("Editor", "やり直し"), next(480), [this] { redo(); });
    // Ctrl+Z and Ctrl+Y anywhere in the window while the editor is open. (Shortcuts of the
    // window's own: a button's key would click it only a moment later.)
    const std::pair<QKeySequence, void (EditorPanel::*)()> keys[] = {
        {QKeySequence(QKeySequence::Undo), &EditorPanel::undo},
        {QKeySequence(Qt::CTRL | Qt::Key_Y), &EditorPanel::redo}};
    for (const auto& [sequence, step] : keys) {
        auto* shortcut = new QShortcut(sequence, &canvas_);
        shortcut->setContext(Qt::WindowShortcut);
        const auto act = step;
        QObject::connect(shortcut, &QShortcut::activated, shortcut,
                         [this, act] { (this->*act)(); });
        shortcuts_.push_back(shortcut);
    }
    button("EDIT_DONE", QT_TRANSLATE_NOOP("Editor", "完了"), next(), [this] { finish(); });
    button("EDIT_CANCEL", QT_TRANSLATE_NOOP("Editor", "中止"), next(), [this] {
        // A copy: the hook closes the editor, this panel and its hooks with it.
        const std::function<void()> cancelled = hooks_.cancelled;
        if (cancelled) cancelled();
    });
}

void EditorPanel::buildLines() {
    const auto line = [this](const char* name, QRect twips) {
        auto* label = new QLabel(&canvas_);
        label->setObjectName(QLatin1String(name));
        label->setGeometry(twips);
        label->setAutoFillBackground(true);
        QPalette colours = label->palette();
        colours.setColor(QPalette::Window, paletteColour(BOARD_COLOUR));
        colours.setColor(QPalette::WindowText, paletteColour(COLOUR_WHITE));
        label->setPalette(colours);
        label->setWordWrap(true);
        label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        geometry_.emplace_back(label, twips);
        return label;
    };
    text_ = line("EDIT_TEXT", twipsRect(kLineX, 6330, kLineWidth, 330));
    text_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    fault_ = line("EDIT_FAULT", twipsRect(kLineX, 6680, kLineWidth, 700));
}

void EditorPanel::place() {
    const double scale = canvas_.scale();
    for (const auto& [control, natural] : geometry_)
        control->setGeometry(canvas_.toWidget(natural));
    QFont font = windowFont();
    if (scale != 1) font.setPointSizeF(font.pointSizeF() * scale);
    for (const auto& [control, natural] : geometry_) control->setFont(font);
    for (const auto& [piece, code] : palette_) {
        const QSize icon = piece->size() - QSize(6, 6);
        piece->setIconSize(icon);
    }
}

std::string EditorPanel::reason() const {
    if (const PositionFault fault = editor_.fault(); fault != PositionFault::None)
        return faultWords(fault);
    if (editor_.nobodyMoves()) return "どちらの側にも指せる手がありません";
    return "この局面で始められます";
}

void EditorPanel::changed() {
    const Position& p = editor_.position();
    text_->setText(QString::fromStdString(p.text()));
    fault_->setText(shownText(reason()));
    QPalette colours = fault_->palette();
    colours.setColor(QPalette::WindowText,
                     paletteColour(editor_.valid() ? COLOUR_WHITE : COLOUR_LIGHT_RED));
    fault_->setPalette(colours);
    side_->setText(tr(p.SIDE == Side::Lower ? QT_TRANSLATE_NOOP("Editor", "手番：下手")
                                            : QT_TRANSLATE_NOOP("Editor", "手番：上手")));
    undo_->setEnabled(editor_.canUndo());
    redo_->setEnabled(editor_.canRedo());
    for (const auto& [piece, code] : palette_) piece->setChecked(code == chosen_);
    draw();
}

void EditorPanel::draw() {
    const Position& p = editor_.position();
    const SquareSet faulty = faultSquares(p, editor_.fault());
    for (int x = 1; x <= BOARD_SIZE; ++x)
        for (int y = 1; y <= BOARD_SIZE; ++y) {
            if (p.BOARD[x][y] != EMPTY)
                view_.描画_絵(p.BOARD[x][y], x, y);
            else
                view_.描画_桝(x, y);
            const bool picked = picked_ && picked_->first == x && picked_->second == y;
            const int colour = picked                  ? COLOUR_LIGHT_RED
                               : faulty.contains(x, y) ? COLOUR_LIGHT_BLUE
                                                       : BOARD_COLOUR;
            if (colour != BOARD_COLOUR) view_.描画_桝輪郭(colour, x, y);
        }
    // The outlines drawn last, so that a neighbour's plain edge does not cover them.
    if (picked_) view_.描画_桝輪郭(COLOUR_LIGHT_RED, picked_->first, picked_->second);
    canvas_.update();
}

void EditorPanel::choose(int code) {
    chosen_ = chosen_ == code ? EMPTY : code;
    picked_.reset();
    changed();
}

void EditorPanel::setDown(int x, int y) {
    const auto [fx, fy] = *picked_;
    picked_.reset();
    editor_.move(fx, fy, x, y);
}

void EditorPanel::press(int button, int x, int y) {
    if (button != 1 && button != RIGHT_BUTTON) return;
    if (!onBoard(x, y)) {
        picked_.reset();
        changed();
        return;
    }
    const int here = editor_.position().BOARD[x][y];
    if (button == RIGHT_BUTTON) {
        picked_.reset();
        editor_.put(x, y, EMPTY);
    } else if (picked_) {
        // The second press of a move: the piece goes there (the same square puts it back).
        setDown(x, y);
    } else if (here != EMPTY) {
        picked_ = std::make_pair(x, y);
        dragging_ = true;
    } else if (chosen_ != EMPTY) {
        editor_.put(x, y, chosen_);
    }
    changed();
}

void EditorPanel::release(int button, int x, int y) {
    if (button == RIGHT_BUTTON || !dragging_) return;
    dragging_ = false;
    // Let go where it was picked up: the piece stays picked, for a press on its square-to-be.
    if (!picked_ || (picked_->first == x && picked_->second == y)) return;
    if (onBoard(x, y))
        setDown(x, y);
    else
        picked_.reset();
    changed();
}

void EditorPanel::paste(const Position& p) {
    picked_.reset();
    editor_.replace(p);
    changed();
}

void EditorPanel::undo() {
    picked_.reset();
    editor_.undo();
    changed();
}

void EditorPanel::redo() {
    picked_.reset();
    editor_.redo();
    changed();
}

bool EditorPanel::finish() {
    if (!editor_.valid()) {
        if (hooks_.forbidden) hooks_.forbidden();
        if (hooks_.message) hooks_.message(reason(), "編集");
        return false;
    }
    // A copy of the hook and the position: the hook closes the editor, this panel with it.
    const std::function<void(const Position&)> done = hooks_.done;
    const Position edited = editor_.position();
    if (done) done(edited);
    return true;
}

} // namespace zubeki
