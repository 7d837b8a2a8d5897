// Record files for the page: a .棋譜 file's bytes read into its header and moves, and a game's
// moves written as the bytes the window writes for them.
#include <emscripten/bind.h>

#include "record/record_file.h"
#include "web/core/convert.h"

namespace zubeki::web {
namespace {

// {ok, error, warning, header: [name, upper, lower], moves: ["9g9f", ...], firstSide: -1 or 1}.
val readRecord(const val& bytes) {
    const ReadResult r = readRecordBytes(bytesIn(bytes));
    val out = val::object();
    out.set("ok", r.ok);
    out.set("error", r.error);
    out.set("warning", r.warning);
    val header = val::array();
    for (const std::string& line : r.header) header.call<void>("push", line);
    out.set("header", header);
    val moves = val::array();
    for (int n = 1; r.ok && n <= r.moves.RECORD_LEN; ++n)
        moves.call<void>("push", 指し手文字列(r.moves.move(n)));
    out.set("moves", moves);
    out.set("firstSide", r.ok && r.moves.RECORD_LEN > 0 ? sideOf(r.moves.REC_PIECE[1]) : -1);
    return out;
}

// The moves (texts) played from the starting position, `firstSide` (-1 lower, +1 upper) first,
// and written under the header: {ok, bytes, error, warning}; a move the rules refuse is the error.
val writeRecord(const val& header, const val& moves, int firstSide) {
    Position p = Position::start();
    p.SIDE = firstSide > 0 ? Side::Upper : Side::Lower;
    MoveList list;
    val out = val::object();
    const auto count = moves["length"].as<unsigned>();
    for (unsigned i = 0; i < count; ++i) {
        std::string why;
        const std::optional<Move> m = p.moveFromText(moves[i].as<std::string>(), why);
        if (!m || m->pass()) {
            out.set("ok", false);
            out.set("error", "move " + std::to_string(i + 1) + ": " + (m ? "pass" : why));
            return out;
        }
        list.手順保存(m->移動元X, m->移動元Y, m->移動先X, m->移動先Y, m->移動前駒, m->移動駒,
                      p.at(m->移動先X, m->移動先Y));
        p.play(*m);
    }
    const RecordBytes r = recordBytes(
        {header[0].as<std::string>(), header[1].as<std::string>(), header[2].as<std::string>()},
        list);
    out.set("ok", r.ok);
    out.set("bytes", bytesOut(r.bytes));
    out.set("error", r.error);
    out.set("warning", r.warning);
    return out;
}

} // namespace

EMSCRIPTEN_BINDINGS(zubeki_record) {
    emscripten::function("readRecord", &readRecord);
    emscripten::function("writeRecord", &writeRecord);
}

} // namespace zubeki::web
