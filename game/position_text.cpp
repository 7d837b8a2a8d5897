#include "game/position_text.h"

#include "game/moves.h"

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

// One square written as the notation writes it ("9g"), or false.
bool readSquare(std::string_view text, int& x, int& y) {
    if (text.size() != 2 || text[0] < '1' || text[0] > '9' || text[1] < 'a' || text[1] > 'i')
        return false;
    x = 10 - (text[0] - '0');
    y = text[1] - 'a' + 1;
    return true;
}

std::string readBoard(std::string_view field, GameState& s) {
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
                           quoted(std::string_view(&rank[i], 1)) + " (R B r b, + or 1-9)";
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

std::string readCheck(std::string_view field, GameState& s, int side) {
    if (field == "-") return {};
    for (const std::string_view item : split(field, ',')) {
        int x = 0, y = 0;
        if (!readSquare(item, x, y)) return "the check square " + quoted(item) + " is no square";
        if (sideOf(s.BOARD[x][y]) != side)
            return "the check square " + std::string(item) + " holds no piece of the side to move";
        if (s.CHECK_SQUARES[x][y] == TRUE_CODE)
            return "the check square " + std::string(item) + " is given twice";
        s.CHECK_SQUARES[x][y] = TRUE_CODE;
        s.CHECK_ACTIVE = TRUE_CODE;
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

std::string 局面表記(const GameState& s, int side) {
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
            if (s.CHECK_ACTIVE == TRUE_CODE && s.CHECK_SQUARES[x][y] == TRUE_CODE) {
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

ReadPosition 局面読込(std::string_view text) {
    ReadPosition r;
    const std::vector<std::string_view> fields = split(text, ' ');
    if (fields.size() != 5) {
        r.error = "a position has 5 fields separated by one blank (board side check passes "
                  "number), not " +
                  std::to_string(fields.size());
        return r;
    }
    GameState& s = r.state;
    s.初期設定();
    for (int x = 1; x <= 9; ++x)
        for (int y = 1; y <= 9; ++y) s.BOARD[x][y] = EMPTY;
    if (std::string why = readBoard(fields[0], s); !why.empty()) {
        r.error = why;
        return r;
    }
    if (fields[1] != "l" && fields[1] != "u") {
        r.error = "the side to move " + quoted(fields[1]) + " is neither l nor u";
        return r;
    }
    r.side = fields[1] == "u" ? 1 : -1;
    if (std::string why = readCheck(fields[2], s, r.side); !why.empty()) {
        r.error = why;
        return r;
    }
    if (!readNumber(fields[3], 0, 1, s.PASS_COUNT)) {
        r.error = "the passes " + quoted(fields[3]) + " are neither 0 nor 1";
        return r;
    }
    int number = 0;
    if (!readNumber(fields[4], 1, MAX_POSITION_NUMBER, number)) {
        r.error = "the move number " + quoted(fields[4]) + " is not 1.." +
                  std::to_string(MAX_POSITION_NUMBER);
        return r;
    }
    s.MOVE_COUNT = number - 1;
    s.手番設定(r.side);
    r.ok = true;
    return r;
}

} // namespace zubeki
