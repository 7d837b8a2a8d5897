#include "server/store.h"

#include <sqlite3.h>

namespace zubeki::server {

namespace {

constexpr const char* kSchema = R"(
CREATE TABLE IF NOT EXISTS games(
  id INTEGER PRIMARY KEY,
  code TEXT NOT NULL,
  start TEXT NOT NULL,
  lower_name TEXT NOT NULL,
  upper_name TEXT NOT NULL,
  lower_token TEXT NOT NULL UNIQUE,
  upper_token TEXT NOT NULL UNIQUE,
  initial_ms INTEGER,
  increment_ms INTEGER,
  lower_ms INTEGER NOT NULL DEFAULT 0,
  upper_ms INTEGER NOT NULL DEFAULT 0,
  result TEXT,
  reason TEXT,
  started_at TEXT NOT NULL DEFAULT CURRENT_TIMESTAMP,
  ended_at TEXT);
CREATE INDEX IF NOT EXISTS games_unfinished ON games(result) WHERE result IS NULL;
CREATE TABLE IF NOT EXISTS moves(
  game INTEGER NOT NULL REFERENCES games(id),
  n INTEGER NOT NULL,
  move TEXT NOT NULL,
  lower_ms INTEGER,
  upper_ms INTEGER,
  PRIMARY KEY(game, n)) WITHOUT ROWID;
PRAGMA user_version = 1;
)";

std::string column(sqlite3_stmt* s, int i) {
    const unsigned char* text = sqlite3_column_text(s, i);
    return text ? reinterpret_cast<const char*>(text) : "";
}

// Binds a text that lives until the statement is reset.
void bindText(sqlite3_stmt* s, int i, const std::string& text) {
    sqlite3_bind_text(s, i, text.data(), static_cast<int>(text.size()), SQLITE_TRANSIENT);
}

struct Statement {
    sqlite3_stmt* s = nullptr;
    ~Statement() { sqlite3_finalize(s); }
};

} // namespace

std::unique_ptr<Store> Store::open(const std::string& path, std::string& error) {
    sqlite3* db = nullptr;
    if (sqlite3_open_v2(path.c_str(), &db,
                        SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_NOMUTEX,
                        nullptr) != SQLITE_OK) {
        error = db ? sqlite3_errmsg(db) : "out of memory";
        sqlite3_close(db);
        return nullptr;
    }
    std::unique_ptr<Store> store(new Store(db));
    sqlite3_busy_timeout(db, 5000);
    // The log is synced at every commit (FULL): a move announced survives the machine's end
    // too, not only the server's. The server commits the moves that arrive together in one
    // transaction, so the sync is paid once for all of them.
    if (!store->exec("PRAGMA journal_mode=WAL") || !store->exec("PRAGMA synchronous=FULL") ||
        !store->exec("PRAGMA foreign_keys=ON") || !store->exec(kSchema)) {
        error = store->error_;
        return nullptr;
    }
    store->insertMove_ =
        store->prepare("INSERT INTO moves(game, n, move, lower_ms, upper_ms) VALUES(?,?,?,?,?)");
    store->updateGame_ = store->prepare(
        "UPDATE games SET lower_ms=?1, upper_ms=?2, result=?3, reason=?4, "
        "ended_at=CASE WHEN ?3 IS NULL THEN NULL ELSE CURRENT_TIMESTAMP END WHERE id=?5");
    if (!store->insertMove_ || !store->updateGame_) {
        error = store->error_;
        return nullptr;
    }
    return store;
}

Store::~Store() {
    sqlite3_finalize(insertMove_);
    sqlite3_finalize(updateGame_);
    sqlite3_close(db_);
}

bool Store::fail() {
    error_ = sqlite3_errmsg(db_);
    if (!sqlite3_get_autocommit(db_)) sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr);
    return false;
}

bool Store::exec(const char* sql) {
    char* message = nullptr;
    if (sqlite3_exec(db_, sql, nullptr, nullptr, &message) == SQLITE_OK) return true;
    error_ = message ? message : "sqlite error";
    sqlite3_free(message);
    if (!sqlite3_get_autocommit(db_)) sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr);
    return false;
}

sqlite3_stmt* Store::prepare(const char* sql) {
    sqlite3_stmt* s = nullptr;
    if (sqlite3_prepare_v2(db_, sql, -1, &s, nullptr) != SQLITE_OK) {
        error_ = sqlite3_errmsg(db_);
        return nullptr;
    }
    return s;
}

bool Store::addGame(StoredGame& game) {
    Statement st{
        prepare("INSERT INTO games(code, start, lower_name, upper_name, lower_token, upper_token, "
                "initial_ms, increment_ms, lower_ms, upper_ms) VALUES(?,?,?,?,?,?,?,?,?,?)")};
    if (!st.s) return false;
    bindText(st.s, 1, game.code);
    bindText(st.s, 2, game.start);
    for (int i = 0; i < 2; ++i) {
        bindText(st.s, 3 + i, game.names[i]);
        bindText(st.s, 5 + i, game.tokens[i]);
        sqlite3_bind_int64(st.s, 9 + i, game.left[i]);
    }
    if (game.clock) {
        sqlite3_bind_int64(st.s, 7, game.clock->initialMs);
        sqlite3_bind_int64(st.s, 8, game.clock->incrementMs);
    }
    if (sqlite3_step(st.s) != SQLITE_DONE) return fail();
    game.id = sqlite3_last_insert_rowid(db_);
    return true;
}

bool Store::record(std::int64_t game, const std::vector<Ply>& plies, const Clocks& left,
                   Result result, EndReason reason) {
    return begin() && write(game, plies, left, result, reason) && commit();
}

bool Store::begin() {
    return exec("BEGIN IMMEDIATE");
}

bool Store::commit() {
    return exec("COMMIT");
}

bool Store::write(std::int64_t game, const std::vector<Ply>& plies, const Clocks& left,
                  Result result, EndReason reason) {
    for (const Ply& p : plies) {
        sqlite3_reset(insertMove_);
        sqlite3_bind_int64(insertMove_, 1, game);
        sqlite3_bind_int(insertMove_, 2, p.n);
        bindText(insertMove_, 3, p.move);
        for (int i = 0; i < 2; ++i)
            if (p.clocks)
                sqlite3_bind_int64(insertMove_, 4 + i, (*p.clocks)[i]);
            else
                sqlite3_bind_null(insertMove_, 4 + i);
        if (sqlite3_step(insertMove_) != SQLITE_DONE) return fail();
    }
    sqlite3_reset(updateGame_);
    sqlite3_bind_int64(updateGame_, 1, left[0]);
    sqlite3_bind_int64(updateGame_, 2, left[1]);
    if (result == Result::None) {
        sqlite3_bind_null(updateGame_, 3);
        sqlite3_bind_null(updateGame_, 4);
    } else {
        bindText(updateGame_, 3, std::string(resultText(result)));
        bindText(updateGame_, 4, std::string(reasonText(reason)));
    }
    sqlite3_bind_int64(updateGame_, 5, game);
    if (sqlite3_step(updateGame_) != SQLITE_DONE) return fail();
    return true;
}

std::vector<StoredGame> Store::select(const char* where, const std::string& key) {
    std::vector<StoredGame> games;
    const std::string sql =
        std::string("SELECT id, code, start, lower_name, upper_name, lower_token, upper_token, "
                    "initial_ms, increment_ms, lower_ms, upper_ms, result, reason "
                    "FROM games WHERE ") +
        where + " ORDER BY id";
    Statement st{prepare(sql.c_str())};
    Statement moves{prepare("SELECT move FROM moves WHERE game=? ORDER BY n")};
    if (!st.s || !moves.s) return games;
    if (!key.empty()) bindText(st.s, 1, key);
    while (sqlite3_step(st.s) == SQLITE_ROW) {
        StoredGame g;
        g.id = sqlite3_column_int64(st.s, 0);
        g.code = column(st.s, 1);
        g.start = column(st.s, 2);
        g.names = {column(st.s, 3), column(st.s, 4)};
        g.tokens = {column(st.s, 5), column(st.s, 6)};
        if (sqlite3_column_type(st.s, 7) != SQLITE_NULL)
            g.clock = ClockSettings{sqlite3_column_int64(st.s, 7), sqlite3_column_int64(st.s, 8)};
        g.left = {sqlite3_column_int64(st.s, 9), sqlite3_column_int64(st.s, 10)};
        g.result = column(st.s, 11);
        g.reason = column(st.s, 12);
        sqlite3_reset(moves.s);
        sqlite3_bind_int64(moves.s, 1, g.id);
        while (sqlite3_step(moves.s) == SQLITE_ROW) g.moves.push_back(column(moves.s, 0));
        games.push_back(std::move(g));
    }
    return games;
}

std::vector<StoredGame> Store::unfinished() {
    return select("result IS NULL", {});
}

std::optional<StoredGame> Store::byToken(const std::string& tokenHash) {
    std::vector<StoredGame> found = select("?1 IN (lower_token, upper_token)", tokenHash);
    if (found.empty()) return std::nullopt;
    return std::move(found.front());
}

} // namespace zubeki::server
