#include "web/core/convert.h"

#include <emscripten/bind.h>

namespace zubeki::web {

std::string pieceLetter(int code) {
    if (!isPieceCode(code)) return {};
    std::string letter = isPromoted(code) ? "+" : "";
    const bool bishop = code == UE_BISHOP || code == UE_BISHOP_PROMOTED || code == SITA_BISHOP ||
                        code == SITA_BISHOP_PROMOTED;
    const char upper = bishop ? 'B' : 'R';
    letter += isLowerPiece(code) ? upper : static_cast<char>(upper - 'A' + 'a');
    return letter;
}

val squareList(const SquareList& squares) {
    val out = val::array();
    for (const Square& s : squares) out.call<void>("push", squareText(s.x, s.y));
    return out;
}

val squareArray(SquareSet squares) {
    val out = val::array();
    squares.forEach([&](int x, int y) { out.call<void>("push", squareText(x, y)); });
    return out;
}

const char* endName(GameEnd end) {
    switch (end) {
    case GameEnd::Capture:
        return "capture";
    case GameEnd::Camp:
        return "camp";
    case GameEnd::Draw:
        return "draw";
    case GameEnd::None:
        break;
    }
    return "none";
}

val moveObject(const Move& m) {
    val out = val::object();
    out.set("text", 指し手文字列(m));
    if (m.pass()) return out;
    out.set("from", squareText(m.移動元X, m.移動元Y));
    out.set("to", squareText(m.移動先X, m.移動先Y));
    out.set("piece", pieceLetter(m.移動前駒));
    out.set("promotes", m.promotes());
    return out;
}

val bytesOut(std::string_view bytes) {
    const val view(emscripten::typed_memory_view(
        bytes.size(), reinterpret_cast<const unsigned char*>(bytes.data())));
    // A copy: the view lies in the module's memory, which the next call may move.
    return val::global("Uint8Array").new_(view);
}

std::string bytesIn(const val& array) {
    if (array.isUndefined() || array.isNull()) return {};
    std::string bytes(array["length"].as<std::size_t>(), '\0');
    val(emscripten::typed_memory_view(bytes.size(), reinterpret_cast<unsigned char*>(bytes.data())))
        .call<void>("set", array);
    return bytes;
}

} // namespace zubeki::web
