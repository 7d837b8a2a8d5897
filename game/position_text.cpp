#include "game/position_text.h"

#include "game/moves.h"
#include "game/position.h"
#include "game/position_check.h"

#include <algorithm>
#include <charconv>
#include <vector>

namespace zubeki {

namespace {

char letterOf(int code) {
    switch (code) {
    case SITA_ROOK:
    case SITA_ROOK_PROMOTED:
        return 'R';
    case SITA_BISHOP:
    case SITA_BISHOP_PROMOTED:
        return 'B';
    case UE_ROOK:
    case UE_ROOK_PROMOTED:
        return 'r';
    case UE_BISHOP:
    case UE_BISHOP_PROMOTED:
        return 'b';
    default:
        return '?';
    }
}

int codeOf(char letter, bool promoted) {
    int code = EMPTY;
    switch (letter) {
    case 'R':
        code = SITA_ROOK;
        break;
    case 'B':
        code = SITA_BISHOP;
        break;
    case 'r':
        code = UE_ROOK;
        break;
    case 'b':
        code = UE_BISHOP;
        break;
    default:
        return EMPTY;
    }
    return promoted ? 成駒(code) : code;
}

std::vector<std::string_view> split(std::string_view text, char by) {
    std::vector<std::string_view> parts;
    std::size_t at = 0;
    for (;;) {
        const std::size_t next = text.find(by, at);
        parts.push_back(text.substr(at, next == std::string_view::npos ? next : next - at));
        if (next == std::string_view::npos) return parts;
        at = next + 1;
    }
}

// The bytes of the UTF-8 character that starts at `at`: the byte and the continuation bytes
// after it, so that a letter quoted back is never cut in two.
std::size_t characterLength(std::string_view text, std::size_t at) {
    std::size_t n = 1;
    while (at + n < text.size() && (static_cast<unsigned char>(text[at + n]) & 0xC0) == 0x80) ++n;
    return n;
}

// One square written as the notation writes it ("9g"), or false.
bool readSquare(std::string_view text, int& x, int& y) {
    if (text.size() != 2 || text[0] < '1' || text[0] > '9' || text[1] < 'a' || text[1] > 'i')
        return false;
    x = 10 - (text[0] - '0');
    y = text[1] - 'a' + 1;
    return true;
}

std::string readBoard(std::string_view field, Position& s) {
    const std::vector<std::string_view> ranks = split(field, '/');
    if (ranks.size() != 9) return "the board has " + std::to_string(ranks.size()) + " ranks, not 9";
    int pieces[2] = {0, 0};
    for (int y = 1; y <= 9; ++y) {
        const std::string_view rank = ranks[static_cast<std::size_t>(y - 1)];
        int x = 1;
        for (std::size_t i = 0; i < rank.size(); ++i) {
            const char c = rank[i];
            if (c >= '1' && c <= '9') {
                x += c - '0';
            } else {
                const bool promoted = c == '+';
                const char letter = promoted && i + 1 < rank.size() ? rank[++i] : c;
                const int code = codeOf(letter, promoted);
                if (code == EMPTY)
                    return "rank " + std::to_string(y) + " holds an unknown letter " +
                           quoted(rank.substr(i, characterLength(rank, i))) +
                           " (R B r b, + or 1-9)";
                if (x <= 9) s.BOARD[x][y] = code;
                ++x;
                if (++pieces[isUpperPiece(code) ? 1 : 0] > 9)
                    return std::string("the ") + (isUpperPiece(code) ? "upper" : "lower") +
                           " side has more than nine pieces";
            }
            if (x > 10) break;
        }
        if (x != 10)
            return "rank " + std::to_string(y) + " holds " + std::to_string(x - 1) +
                   " squares, not 9";
    }
    return {};
}

std::string readCheck(std::string_view field, Position& s, int side) {
    if (field == "-") return {};
    for (const std::string_view item : split(field, ',')) {
        int x = 0, y = 0;
        if (!readSquare(item, x, y)) return "the check square " + quoted(item) + " is no square";
        if (sideOf(s.BOARD[x][y]) != side)
            return "the check square " + std::string(item) + " holds no piece of the side to move";
        if (s.CHECK_SQUARES[x][y] == TRUE_CODE)
            return "the check square " + std::string(item) + " is given twice";
        s.CHECK_SQUARES[x][y] = TRUE_CODE;
        s.CHECK_ACTIVE = true;
    }
    return {};
}

bool readNumber(std::string_view text, int lo, int hi, int& out) {
    int v = 0;
    const char* end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), end, v);
    if (text.empty() || ec != std::errc{} || ptr != end || v < lo || v > hi) return false;
    out = v;
    return true;
}

} // namespace

std::string Position::text() const {
    const Position& s = *this;
    const int side = sign(SIDE);
    std::string text;
    for (int y = 1; y <= 9; ++y) {
        if (y > 1) text += '/';
        int run = 0;
        for (int x = 1; x <= 9; ++x) {
            const int code = s.BOARD[x][y];
            if (!isPieceCode(code)) {
                ++run;
                continue;
            }
            if (run > 0) text += static_cast<char>('0' + run);
            run = 0;
            if (isPromoted(code)) text += '+';
            text += letterOf(code);
        }
        if (run > 0) text += static_cast<char>('0' + run);
    }
    text += side > 0 ? " u " : " l ";
    std::string check;
    for (int x = 1; x <= 9; ++x)
        for (int y = 1; y <= 9; ++y)
            if (s.CHECK_ACTIVE && s.CHECK_SQUARES[x][y] == TRUE_CODE) {
                if (!check.empty()) check += ',';
                check += squareText(x, y);
            }
    text += check.empty() ? "-" : check;
    text += ' ';
    text += s.PASS_COUNT > 0 ? '1' : '0';
    text += ' ';
    text += std::to_string(s.MOVE_COUNT + 1);
    return text;
}

std::optional<Position> Position::fromText(std::string_view text, std::string& why) {
    const std::vector<std::string_view> fields = split(text, ' ');
    if (fields.size() != 5) {
        why = "a position has 5 fields separated by one blank (board side check passes "
              "number), not " +
              std::to_string(fields.size());
        return std::nullopt;
    }
    Position s;
    if (why = readBoard(fields[0], s); !why.empty()) return std::nullopt;
    if (fields[1] != "l" && fields[1] != "u") {
        why = "the side to move " + quoted(fields[1]) + " is neither l nor u";
        return std::nullopt;
    }
    s.SIDE = fields[1] == "u" ? Side::Upper : Side::Lower;
    if (why = readCheck(fields[2], s, sign(s.SIDE)); !why.empty()) return std::nullopt;
    if (!readNumber(fields[3], 0, 1, s.PASS_COUNT)) {
        why = "the passes " + quoted(fields[3]) + " are neither 0 nor 1";
        return std::nullopt;
    }
    int number = 0;
    if (!readNumber(fields[4], 1, MAX_POSITION_NUMBER, number)) {
        why = "the move number " + quoted(fields[4]) + " is not 1.." +
              std::to_string(MAX_POSITION_NUMBER);
        return std::nullopt;
    }
    s.MOVE_COUNT = number - 1;
    // Well formed, but no game can stand there. (A group without a liberty can: a side may shut
    // in its own group.)
    if (const PositionFault fault = unreachableFault(s); fault != PositionFault::None) {
        why = faultText(fault);
        return std::nullopt;
    }
    return s;
}

std::string 局面表記(const Position& 局面, int side) {
    Position p = 局面;
    p.SIDE = sideOfSign(side);
    return p.text();
}

ReadPosition 局面読込(std::string_view text) {
    ReadPosition r;
    const std::optional<Position> p = Position::fromText(text, r.error);
    if (!p) return r;
    r.state = *p;
    r.side = sign(p->SIDE);
    r.ok = true;
    return r;
}

std::string quoted(std::string_view text) {
    constexpr std::size_t kMax = 40;
    // Appended piece by piece: GCC 12 warns falsely about "'" + std::string(...) at -O3.
    // Cut before a character, never inside one.
    std::size_t cut = std::min(kMax, text.size());
    while (cut < text.size() && cut > 0 && (static_cast<unsigned char>(text[cut]) & 0xC0) == 0x80)
        --cut;
    std::string q = "'";
    q += text.substr(0, cut);
    q += text.size() > cut ? "…'" : "'";
    return q;
}

std::string squareText(int x, int y) {
    if (!onBoard(x, y)) return "??";
    std::string text;
    text += static_cast<char>('0' + (10 - x));
    text += static_cast<char>('a' + (y - 1));
    return text;
}

std::string 指し手文字列(const Move& m) {
    if (m.pass()) return "pass";
    std::string text = squareText(m.移動元X, m.移動元Y) + squareText(m.移動先X, m.移動先Y);
    if (m.promotes()) text += '+';
    return text;
}

std::optional<Move> Position::moveFromText(std::string_view text, std::string& why) const {
    LegalMoves legal;
    legalMoves(legal);
    const bool mustPass = legal.size == 1 && legal.at[0].pass();
    if (text == "pass") {
        if (mustPass) return legal.at[0];
        why = "pass: the side to move has a legal move";
        return std::nullopt;
    }
    int fx = 0, fy = 0, tx = 0, ty = 0;
    const bool promote = text.size() == 5 && text[4] == '+';
    if ((text.size() != 4 && !promote) || !readSquare(text.substr(0, 2), fx, fy) ||
        !readSquare(text.substr(2, 2), tx, ty)) {
        why = quoted(text) + " is not a move (a move is like 9g9f, 3c1a+ or pass)";
        return std::nullopt;
    }
    for (const Move& m : legal)
        if (!m.pass() && m.移動元X == fx && m.移動元Y == fy && m.移動先X == tx && m.移動先Y == ty &&
            m.promotes() == promote)
            return m;
    why = quoted(text) + " is not a legal move here";
    return std::nullopt;
}

} // namespace zubeki
