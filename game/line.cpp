#include "game/line.h"

namespace zubeki {

namespace {

// Plays `m` in `r.end` and keeps it.
void played(ReadLine& r, const Move& m) {
    r.before.push_back(r.end);
    r.moves.push_back(m);
    r.ended = r.end.play(m).end != GameEnd::None;
}

} // namespace

ReadLine readLine(const Position& start, std::string_view words) {
    ReadLine r;
    r.end = start;
    int n = 0;
    std::size_t at = 0;
    while (at < words.size()) {
        const std::size_t blank = std::min(words.find(' ', at), words.size());
        const std::string_view word = words.substr(at, blank - at);
        at = blank + 1;
        if (word.empty()) continue;
        ++n;
        auto fail = [&](bool afterEnd) {
            r.failedAt = n;
            r.afterEnd = afterEnd;
            r.failedWord = std::string(word);
            return r;
        };
        if (r.ended) return fail(true);
        // A side without a move passes, whether the pass is written or not.
        if (word != "pass" && !r.end.hasMove(r.end.SIDE)) {
            played(r, Move{});
            if (r.ended) return fail(true);
        }
        const std::optional<Move> m = r.end.moveFromText(word, r.why);
        if (!m) return fail(false);
        played(r, *m);
        r.last = std::string(word);
    }
    return r;
}

} // namespace zubeki
