#pragma once

#include "server/game.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

struct sqlite3;
struct sqlite3_stmt;

// The games on disk, in SQLite: one row a game and one a move. A move is in the database
// (committed) before anyone hears of it, so a server stopped at any moment loses no move it
// announced. The journal is a write-ahead log, synced on every commit. No Qt.
namespace zubeki::server {

struct StoredGame {
    std::int64_t id = 0;
    std::string code;
    std::string start; // the position notation of the starting position
    std::array<std::string, 2> names;
    std::array<std::string, 2> tokens; // what comes back on `resume`: hashes, never the tokens
    std::optional<ClockSettings> clock;
    Clocks left{};
    std::vector<std::string> moves;
    std::string result; // "" while the game goes on
    std::string reason;
};

class Store {
  public:
    // Opens (and makes, with its folder's file) the database; nullptr with the reason.
    static std::unique_ptr<Store> open(const std::string& path, std::string& error);
    ~Store();
    Store(const Store&) = delete;
    Store& operator=(const Store&) = delete;

    // Each call is one transaction; false (and nothing written) when it could not commit.
    bool addGame(StoredGame& game); // sets game.id
    // The moves a request led to, the time left after them and, when it ended the game, how.
    bool record(std::int64_t game, const std::vector<Ply>& plies, const Clocks& left,
                Result result = Result::None, EndReason reason = EndReason::None);
    // The same for many requests in one transaction (one sync of the log for all of them):
    // begin, write each, then commit; a failed write or commit leaves nothing written.
    bool begin();
    bool write(std::int64_t game, const std::vector<Ply>& plies, const Clocks& left, Result result,
               EndReason reason);
    bool commit();

    // Every game that has not ended, with its moves in order.
    std::vector<StoredGame> unfinished();
    // The game one of whose players holds the token with this hash.
    std::optional<StoredGame> byToken(const std::string& tokenHash);
    const std::string& lastError() const { return error_; }

  private:
    explicit Store(sqlite3* db) : db_(db) {}
    bool exec(const char* sql);
    sqlite3_stmt* prepare(const char* sql);
    bool fail();
    std::vector<StoredGame> select(const char* where, const std::string& key);

    sqlite3* db_;
    std::string error_;
    sqlite3_stmt* insertMove_ = nullptr;
    sqlite3_stmt* updateGame_ = nullptr;
};

} // namespace zubeki::server
