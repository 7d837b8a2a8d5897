#include "play/review.h"

#include "game/moves.h"

#include <algorithm>
#include <cmath>

namespace zubeki {

namespace {

constexpr int kWin = Level4Search::kWinScore;

// One position of the game: the one before entry k, k = 0..moves (and one more when the
// last is a pass).
struct ReviewPosition {
    Position state;
    int side = 0;
    int n = 1;           // the number of the next move
    bool ended = false;  // the game ended with the move before it
    bool passes = false; // the side to move has no move
};

std::vector<ReviewPosition> positionsOf(const ReviewGame& g) {
    std::vector<ReviewPosition> out;
    ReviewPosition p;
    p.state = g.start;
    p.side = g.side;
    for (std::size_t k = 0;; ++k) {
        p.n = p.state.MOVE_COUNT + 1;
        LegalMoves legal;
        合法手一覧(p.state, p.side, legal);
        p.passes = !p.ended && legal.size == 1 && legal.at[0].pass();
        out.push_back(p);
        if (k == g.moves.size()) break;
        const AfterMove after = 指し手後(p.state, p.side, g.moves[k]);
        p.state = after.state;
        p.side = -p.side;
        p.ended = after.ended;
    }
    // The last side to move has none: the value there is that of the position after its pass.
    if (out.back().passes) {
        const AfterMove after = 指し手後(p.state, p.side, Move{});
        p.state = after.state;
        p.side = -p.side;
        p.ended = after.ended;
        p.passes = false;
        out.push_back(p);
    }
    return out;
}

} // namespace

// The searches of a review and the entries made from them, shared by its threads.
class ReviewAnalysis {
  public:
    ReviewAnalysis(const ReviewGame& game, const ThinkBudget& budget, const std::atomic<bool>* stop,
                   const ReviewProgress& progress, const std::vector<ReviewEntry>& earlier)
        : game_(game), positions_(positionsOf(game)), budget_(budget), stop_(stop),
          progress_(progress), searches_(positions_.size()), done_(positions_.size(), false) {
        budget_.threads = 1;
        budget_.multiPv = 1;
        result_.total = static_cast<int>(game.moves.size());
        // The positions before the first new entry are never read again: the search starts at
        // the one the first new move was played in.
        const std::size_t from = std::min(earlier.size(), game.moves.size());
        result_.entries.assign(earlier.begin(), earlier.begin() + static_cast<long>(from));
        next_ = from;
        result_.complete = result_.entries.size() == game.moves.size();
        summariseReview(result_);
    }

    // Searches positions until none is left or the review is stopped.
    void work() {
        Computer computer;
        computer.budget = budget_;
        std::size_t noted = 0;
        while (workOne(computer, noted)) {
        }
    }

    // Searches the next position no one has taken; false when none is left or the review is
    // stopped. `noted` counts the earlier positions `computer` has been told of.
    bool workOne(Computer& computer, std::size_t& noted) {
        const std::size_t k = next_.fetch_add(1);
        if (k >= positions_.size() || stopped()) return false;
        const ReviewPosition& p = positions_[k];
        ReviewSearch s;
        if (!p.ended && !p.passes) {
            // The earlier positions of the game, so that LEVEL4 sees a return to one.
            for (; noted < k; ++noted)
                if (!positions_[noted].ended) computer.note(positions_[noted].state);
            s = search(computer, p);
            if (stopped()) return false;
        }
        finish(k, std::move(s));
        return true;
    }

    ReviewResult result() const {
        std::lock_guard lock(dataMutex_);
        return result_;
    }

  private:
    bool stopped() const { return stop_ && stop_->load(std::memory_order_relaxed); }

    ReviewSearch search(Computer& computer, const ReviewPosition& p) {
        std::vector<Move> line;
        const Level4Reporter report = [&line](const Level4Report& r) {
            if (!r.lines.empty()) line = r.lines.front().pv;
        };
        Position board = p.state;
        const ComputerMove m = computer.choose(board, sideOfSign(p.side), LEVEL_MAX,
                                               ClockDigit::fixed(0), stop_, &report);
        ReviewSearch s;
        s.score = static_cast<int>(m.BEST_SCORE);
        s.best = static_cast<const Move&>(m);
        s.pv = line;
        if (s.pv.empty() || !(s.pv.front() == s.best)) s.pv.assign(1, s.best);
        return s;
    }

    // Position k has been searched: the entries it completes are made and reported in order.
    void finish(std::size_t k, ReviewSearch s) {
        std::lock_guard order(reportMutex_);
        std::vector<ReviewEntry> made;
        {
            std::lock_guard lock(dataMutex_);
            searches_[k] = std::move(s);
            done_[k] = true;
            while (result_.entries.size() < game_.moves.size()) {
                const std::size_t e = result_.entries.size();
                if (!known(e) || !known(e + 1)) break;
                result_.entries.push_back(entry(e));
                made.push_back(result_.entries.back());
            }
            result_.complete = result_.entries.size() == game_.moves.size();
            summariseReview(result_);
        }
        if (progress_)
            for (const ReviewEntry& e : made)
                progress_(e, e.index + 1, static_cast<int>(game_.moves.size()));
    }

    // Whether the value of position k is known; a pass takes the value of the position after.
    bool known(std::size_t k) const {
        for (; k < positions_.size(); ++k)
            if (!done_[k])
                return false;
            else if (!positions_[k].passes)
                return true;
        return true;
    }

    // The score of position k for its side to move, and the engine's line there.
    ReviewSearch valueOf(std::size_t k) const {
        const ReviewPosition& p = positions_[k];
        if (p.ended) return {};
        if (!p.passes) {
            ReviewSearch s = searches_[k];
            if (!Level4Search::isWinScore(s.score) && !Level4Search::isLossScore(s.score))
                s.score -= MOVER_OFFSET;
            return s;
        }
        ReviewSearch s;
        if (k + 1 < positions_.size()) {
            const ReviewSearch next = valueOf(k + 1);
            s.score = -next.score;
            // The pass is one more move to a forced end.
            if (Level4Search::isWinScore(s.score)) --s.score;
            if (Level4Search::isLossScore(s.score)) ++s.score;
            s.pv.push_back(Move{});
            for (const Move& m : next.pv) s.pv.push_back(m);
        }
        return s;
    }

    ReviewEntry entry(std::size_t e) const {
        const ReviewPosition& p = positions_[e];
        const ReviewPosition& after = positions_[e + 1];
        ReviewEntry r;
        r.index = static_cast<int>(e);
        r.n = p.n;
        r.side = p.side;
        r.move = game_.moves[e];
        const ReviewSearch before = valueOf(e);
        r.best = before.pv.empty() ? Move{} : before.pv.front();
        r.pv = before.pv;
        r.ends = after.ended;
        // A move that ends the game wins it; the second pass in a row draws it.
        const int forMover = after.ended ? (r.move.pass() ? 0 : kWin) : -valueOf(e + 1).score;
        r.score = ReviewScore::of(p.side < 0 ? forMover : -forMover);
        if (p.passes) {
            r.winBefore = r.winAfter = winChance(forMover);
            return r;
        }
        const Judgement j = judgeMove(r.move, before, forMover);
        r.winBefore = j.winBefore;
        r.winAfter = j.winAfter;
        r.loss = j.loss;
        r.verdict = j.verdict;
        return r;
    }

    const ReviewGame& game_;
    const std::vector<ReviewPosition> positions_;
    ThinkBudget budget_;
    const std::atomic<bool>* stop_;
    const ReviewProgress& progress_;
    std::atomic<std::size_t> next_{0};
    std::mutex reportMutex_; // progress calls one at a time, in order
    mutable std::mutex dataMutex_;
    std::vector<ReviewSearch> searches_;
    std::vector<bool> done_;
    ReviewResult result_;
};

double winChance(int score) {
    if (Level4Search::isWinScore(score)) return 1;
    if (Level4Search::isLossScore(score)) return 0;
    return 1 / (1 + std::exp(-score / WIN_CHANCE_SCALE));
}

const char* verdictName(Verdict v) {
    switch (v) {
    case Verdict::Inaccuracy:
        return "inaccuracy";
    case Verdict::Mistake:
        return "mistake";
    case Verdict::Blunder:
        return "blunder";
    default:
        return nullptr;
    }
}

ReviewScore ReviewScore::of(int score) {
    if (Level4Search::isWinScore(score)) return {Kind::Win, kWin - score};
    if (Level4Search::isLossScore(score)) return {Kind::Loss, kWin + score};
    return {Kind::Value, score};
}

Judgement judgeMove(const Move& played, const ReviewSearch& before, int afterForMover) {
    Judgement j;
    j.winBefore = winChance(before.score);
    j.winAfter = winChance(afterForMover);
    // The engine's own move is never held against the mover, whatever the search after it
    // sees beyond the first one's horizon.
    if (played == before.best) return j;
    j.loss = std::max(0.0, j.winBefore - j.winAfter);
    j.verdict = j.loss >= BLUNDER_DROP      ? Verdict::Blunder
                : j.loss >= MISTAKE_DROP    ? Verdict::Mistake
                : j.loss >= INACCURACY_DROP ? Verdict::Inaccuracy
                                            : Verdict::None;
    // The opponent wins with its next move (capture or camp), where the engine's move kept
    // that off: the best move loses in two at the soonest only when every move allows it.
    if (afterForMover == -(kWin - 1) && before.score > -(kWin - 2)) j.verdict = Verdict::Blunder;
    // A forced win thrown away.
    if (Level4Search::isWinScore(before.score) && !Level4Search::isWinScore(afterForMover))
        j.verdict = std::max(j.verdict, Verdict::Mistake);
    return j;
}

void summariseReview(ReviewResult& r) {
    r.lower = {};
    r.upper = {};
    double lowerLoss = 0, upperLoss = 0;
    for (const ReviewEntry& e : r.entries) {
        if (e.move.pass()) continue;
        ReviewSideSummary& s = e.side < 0 ? r.lower : r.upper;
        (e.side < 0 ? lowerLoss : upperLoss) += e.loss;
        ++s.moves;
        s.inaccuracies += e.verdict == Verdict::Inaccuracy;
        s.mistakes += e.verdict == Verdict::Mistake;
        s.blunders += e.verdict == Verdict::Blunder;
    }
    r.lower.averageLoss = r.lower.moves > 0 ? lowerLoss / r.lower.moves : 0;
    r.upper.averageLoss = r.upper.moves > 0 ? upperLoss / r.upper.moves : 0;
}

std::optional<ReviewGame> prepareReview(const Position& start, int side,
                                        const std::vector<Move>& moves, std::string& why) {
    ReviewGame g;
    g.start = start;
    g.start.SIDE = sideOfSign(side);
    g.side = side;
    Position s = g.start;
    bool ended = false;
    for (std::size_t i = 0; i < moves.size(); ++i) {
        const Move& m = moves[i];
        const std::string name = "move " + std::to_string(i + 1) + " (" + 指し手文字列(m) + ")";
        if (ended) {
            why = name + " comes after the end of the game";
            return std::nullopt;
        }
        LegalMoves legal;
        合法手一覧(s, side, legal);
        const bool mustPass = legal.size == 1 && legal.at[0].pass();
        // A record leaves out the pass of a side without a move.
        if (mustPass && !m.pass()) {
            g.moves.push_back(Move{});
            const AfterMove after = 指し手後(s, side, Move{});
            s = after.state;
            side = -side;
            if (after.ended) {
                why = name + " comes after the end of the game";
                return std::nullopt;
            }
            legal.size = 0;
            合法手一覧(s, side, legal);
        }
        if (std::find(legal.begin(), legal.end(), m) == legal.end()) {
            why = name + " is not a legal move of the " + (side < 0 ? "lower" : "upper") + " side";
            return std::nullopt;
        }
        g.moves.push_back(m);
        const AfterMove after = 指し手後(s, side, m);
        s = after.state;
        side = -side;
        ended = after.ended;
    }
    return g;
}

ReviewResult analyseGame(const ReviewGame& game, const ThinkBudget& budget,
                         const std::atomic<bool>* stop, const ReviewProgress& progress,
                         const std::vector<ReviewEntry>& earlier) {
    ReviewAnalysis a(game, budget, stop, progress, earlier);
    const int threads = std::clamp(budget.threads, 1, Level4Search::kMaxThreads);
    std::vector<std::thread> helpers;
    for (int i = 1; i < threads; ++i) helpers.emplace_back([&a] { a.work(); });
    a.work();
    for (std::thread& t : helpers) t.join();
    return a.result();
}

GameReview::GameReview(ReviewGame game, ThinkBudget budget, ReviewProgress progress,
                       std::vector<ReviewEntry> earlier) {
    result_.total = static_cast<int>(game.moves.size());
    if (earlier.size() > game.moves.size()) earlier.resize(game.moves.size());
    result_.entries = earlier;
    summariseReview(result_);
    thread_ = std::thread([this, game = std::move(game), budget, progress = std::move(progress),
                           earlier = std::move(earlier)] {
        const ReviewProgress keep = [this, &progress](const ReviewEntry& e, int done, int total) {
            {
                std::lock_guard lock(mutex_);
                result_.entries.push_back(e);
                summariseReview(result_);
            }
            if (progress) progress(e, done, total);
        };
        ReviewResult r = analyseGame(game, budget, &stop_, keep, earlier);
        {
            std::lock_guard lock(mutex_);
            result_ = std::move(r);
        }
        finished_ = true;
    });
}

GameReview::~GameReview() {
    stop();
}

void GameReview::stop() {
    stop_ = true;
    if (thread_.joinable()) thread_.join();
}

bool GameReview::finished() const {
    return finished_;
}

ReviewResult GameReview::result() const {
    std::lock_guard lock(mutex_);
    return result_;
}

ReviewSteps::ReviewSteps(ReviewGame game, const ThinkBudget& budget,
                         const std::vector<ReviewEntry>& earlier)
    : game_(std::move(game)),
      progress_([this](const ReviewEntry& e, int, int) { made_.push_back(e); }),
      analysis_(std::make_unique<ReviewAnalysis>(game_, budget, nullptr, progress_, earlier)) {
    computer_.budget = budget;
    computer_.budget.threads = 1;
    computer_.budget.multiPv = 1;
}

ReviewSteps::~ReviewSteps() = default;

std::vector<ReviewEntry> ReviewSteps::step() {
    made_.clear();
    if (!finished()) analysis_->workOne(computer_, noted_);
    return made_;
}

bool ReviewSteps::finished() const {
    return analysis_->result().complete;
}

ReviewResult ReviewSteps::result() const {
    return analysis_->result();
}

ThinkBudget defaultReviewBudget() {
    ThinkBudget budget;
    budget.nodes = REVIEW_NODES;
    budget.threads = std::max(1, static_cast<int>(std::thread::hardware_concurrency()));
    return budget;
}

} // namespace zubeki
