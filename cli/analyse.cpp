#include "cli/analyse.h"

#include "cli/json.h"
#include "game/moves.h"

namespace zubeki::cli {
namespace {

void writeScore(JsonWriter& w, const ReviewScore& s) {
    if (s.kind == ReviewScore::Kind::Value) {
        w.value(s.value);
        return;
    }
    w.beginObject().key(s.kind == ReviewScore::Kind::Win ? "win" : "lose").value(s.value);
    w.endObject();
}

void writeSide(JsonWriter& w, const ReviewSideSummary& s) {
    w.beginObject();
    w.key("moves").value(s.moves);
    w.key("inaccuracy").value(s.inaccuracies);
    w.key("mistake").value(s.mistakes);
    w.key("blunder").value(s.blunders);
    w.key("average_loss").rounded(s.averageLoss, 4);
    w.endObject();
}

} // namespace

std::string analyseJson(const ReviewResult& r) {
    JsonWriter w;
    w.beginObject().key("moves").beginArray();
    for (const ReviewEntry& e : r.entries) {
        w.beginObject();
        w.key("n").value(e.n);
        w.key("move").value(指し手文字列(e.move));
        w.key("side").value(e.side < 0 ? "l" : "u");
        w.key("best").value(指し手文字列(e.best));
        w.key("pv").beginArray();
        for (const Move& m : e.pv) w.value(指し手文字列(m));
        w.endArray();
        w.key("score");
        writeScore(w, e.score);
        w.key("win_before").rounded(e.winBefore, 4);
        w.key("win_after").rounded(e.winAfter, 4);
        w.key("verdict");
        if (const char* v = verdictName(e.verdict))
            w.value(v);
        else
            w.null();
        w.endObject();
    }
    w.endArray();
    w.key("summary").beginObject();
    w.key("l");
    writeSide(w, r.lower);
    w.key("u");
    writeSide(w, r.upper);
    w.endObject();
    w.endObject();
    return w.str();
}

} // namespace zubeki::cli
