// Record files: the move line's columns, the header order, writing that never loses the old
// record, and reading files that are short, long, foreign or broken.
#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <grp.h>
#include <iterator>
#include <string>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

#include "game/codes.h"
#include "record/record_file.h"

namespace zubeki {
namespace {

namespace fs = std::filesystem;

struct Move {
    int fromX, fromY, toX, toY, result, piece, target;
};

void put(MoveList& list, int n, const Move& m) {
    list.REC_FROM_X[n] = m.fromX;
    list.REC_FROM_Y[n] = m.fromY;
    list.REC_TO_X[n] = m.toX;
    list.REC_TO_Y[n] = m.toY;
    list.REC_RESULT[n] = m.result;
    list.REC_PIECE[n] = m.piece;
    list.REC_TARGET[n] = m.target;
}

Move entry(const MoveList& list, int n) {
    return {list.REC_FROM_X[n], list.REC_FROM_Y[n], list.REC_TO_X[n],  list.REC_TO_Y[n],
            list.REC_RESULT[n], list.REC_PIECE[n],  list.REC_TARGET[n]};
}

bool operator==(const Move& a, const Move& b) {
    return a.fromX == b.fromX && a.fromY == b.fromY && a.toX == b.toX && a.toY == b.toY &&
           a.result == b.result && a.piece == b.piece && a.target == b.target;
}

void PrintTo(const Move& m, std::ostream* os) {
    *os << "(" << m.fromX << "," << m.fromY << ")->(" << m.toX << "," << m.toY << ") " << m.piece
        << "=>" << m.result << " on " << m.target;
}

// A playable move n: every square and code differs from its neighbours', both sides and all
// four kinds turn up, and some moves promote.
Move sampleMove(int n) {
    const int pieces[] = {SITA_ROOK, UE_BISHOP, SITA_BISHOP_PROMOTED, UE_ROOK};
    const int piece = pieces[n % 4];
    const bool promotes = n % 3 == 0 && !isPromoted(piece);
    return {n % 9 + 1,
            n / 9 % 9 + 1,
            (n + 4) % 9 + 1,
            (n * 7) % 9 + 1,
            promotes ? (isUpperPiece(piece) ? piece + 1 : piece - 1) : piece,
            piece,
            EMPTY};
}

MoveList sampleGame(int moves, int position) {
    MoveList list;
    for (int n = 1; n <= moves; ++n) put(list, n, sampleMove(n));
    list.RECORD_LEN = moves;
    list.RECORD_POS = position;
    return list;
}

std::string moveLine(int n) {
    MoveList list;
    put(list, 1, sampleMove(n));
    return formatMoveLine(list, 1);
}

std::string bytesOf(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

void writeBytes(const fs::path& path, std::string_view bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

std::vector<std::string> namesIn(const fs::path& folder) {
    std::vector<std::string> names;
    for (const auto& e : fs::directory_iterator(folder)) names.push_back(e.path().filename());
    std::sort(names.begin(), names.end());
    return names;
}

// ".zubeki-" and a random part of hexadecimal digits, then ".tmp".
bool isHiddenTemporary(const fs::path& name) {
    const std::string s = name.string();
    return s.size() > 12 && s.starts_with(".zubeki-") && s.ends_with(".tmp") &&
           s.find_first_not_of("0123456789abcdef", 8) == s.size() - 4;
}

// A fresh folder of our own for each test.
class RecordFolder : public testing::Test {
  protected:
    void SetUp() override {
        std::string pattern = (fs::temp_directory_path() / "zubeki-record-XXXXXX").string();
        ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
        folder = pattern;
    }
    void TearDown() override {
        std::error_code ignored;
        fs::permissions(folder, fs::perms::owner_all, fs::perm_options::add, ignored);
        fs::remove_all(folder, ignored);
    }
    fs::path folder;
};

const RecordHeader names = {"名人戦 第①局", "ﾔﾏﾀﾞ 髙志", "後手～－∥￢"};
// The same names as the file holds them.
const std::string namesCp932 = "\x96\xBC\x90\x6C\x90\xED \x91\xE6\x87\x40\x8B\xC7\r\n"
                               "\xD4\xCF\xC0\xDE \xFB\xFC\x8E\x75\r\n"
                               "\x8C\xE3\x8E\xE8\x81\x60\x81\x7C\x81\x61\x81\xCA\r\n";

TEST(MoveLine, WritesEachFieldInItsColumns) {
    const struct {
        Move move;
        const char* line;
    } cases[] = {
        {{5, 5, 2, 8, UE_BISHOP_PROMOTED, UE_BISHOP, EMPTY}, " 5528 801 800   0"},
        {{2, 8, 2, 4, SITA_ROOK, SITA_ROOK, EMPTY}, " 2824-900-900   0"},
        {{9, 1, 9, 9, SITA_BISHOP_PROMOTED, SITA_BISHOP, EMPTY}, " 9199-801-800   0"},
        {{1, 9, 1, 1, UE_ROOK_PROMOTED, UE_ROOK_PROMOTED, EMPTY}, " 1911 901 901   0"},
    };
    for (const auto& c : cases) {
        MoveList list;
        put(list, 7, c.move);
        EXPECT_EQ(formatMoveLine(list, 7), c.line);
        MoveList back;
        parseMoveLine(c.line, back, 3);
        EXPECT_EQ(entry(back, 3), c.move) << c.line;
    }
    EXPECT_EQ(formatMoveLine(MoveList{}, 0), "");
    EXPECT_EQ(formatMoveLine(MoveList{}, MoveList::CAPACITY + 1), "");
}

TEST(MoveLine, ReadsAFieldAsADecimalNumber) {
    const struct {
        const char* field;
        int value;
    } cases[] = {
        {"   0", 0},
        {"-900", -900},
        {" 801", 801},
        {"8 0 1", 801},
        {"- 9 0 0", -900},
        {"\t80\t1", 801},
        {"+901", 901},
        {"12ab", 12},
        {"9-1", 9},
        {"ab12", 0},
        {"", 0},
        {"    ", 0},
        {"  - ", 0},
        {"--9", 0},
        {"１２", 0},
        {"99999999999999", 999'999'999},
        {"-99999999999999", -999'999'999},
    };
    for (const auto& c : cases)
        EXPECT_EQ(parseMoveField(c.field), c.value) << '"' << c.field << '"';
}

TEST(MoveLine, MissingFieldsOfAShortLineAreZero) {
    const struct {
        const char* line;
        Move move;
    } cases[] = {
        {"", {0, 0, 0, 0, 0, 0, 0}},
        {" 5", {5, 0, 0, 0, 0, 0, 0}},
        {" 5528 801", {5, 5, 2, 8, 801, 0, 0}},
        {" 5528 801 800", {5, 5, 2, 8, 801, 800, 0}},
        {" 5528 801 800   0 trailing words", {5, 5, 2, 8, 801, 800, 0}},
        {"x5528?801 8x0", {0, 5, 2, 8, 0, 8, 0}},
    };
    for (const auto& c : cases) {
        MoveList list = sampleGame(2, 2); // stale values must not survive in the entry
        parseMoveLine(c.line, list, 1);
        EXPECT_EQ(entry(list, 1), c.move) << '"' << c.line << '"';
    }
}

TEST(RecordHeader, PutsTheUpperSidesPlayerOnLineTwo) {
    // Text2 = game, Text3 = first player, Text4 = second player.
    EXPECT_EQ(recordHeader("対局", "先手の名", "後手の名", SIDE_SENTE),
              (RecordHeader{"対局", "後手の名", "先手の名"}));
    EXPECT_EQ(recordHeader("対局", "先手の名", "後手の名", SIDE_GOTE),
              (RecordHeader{"対局", "先手の名", "後手の名"}));
}

TEST(RecordName, RefusesNamesThatAreNotOneFileName) {
    const struct {
        const char* name;
        const char* message;
    } cases[] = {
        {"対局①", ""},
        {"a b.c", ""},
        {"", "ﾌｧｲﾙ名が入力されていません"},
        {"../x", "ﾌｧｲﾙ名に '/' は使えません"},
        {"sub/対局", "ﾌｧｲﾙ名に '/' は使えません"},
        {"tab\there", "ﾌｧｲﾙ名に使えない文字があります"},
        {"bad\xFFutf8", "ﾌｧｲﾙ名に使えない文字があります"},
    };
    for (const auto& c : cases) EXPECT_EQ(checkRecordName(c.name), c.message) << c.name;
    EXPECT_EQ(recordPath("/tmp/棋譜", "対局①").string(), "/tmp/棋譜/対局①.棋譜");
}

TEST_F(RecordFolder, WritesTheMovesUpToThePositionAndReadsThemBack) {
    const MoveList game = sampleGame(12, 5);
    const WriteResult written = writeRecord(folder, "対局①", names, game);
    ASSERT_TRUE(written.ok) << written.error;
    EXPECT_EQ(written.warning, "");

    const fs::path file = folder / "対局①.棋譜";
    std::string expected = namesCp932;
    for (int n = 1; n <= 5; ++n) expected += moveLine(n) + "\r\n";
    EXPECT_EQ(bytesOf(file), expected);
    EXPECT_EQ(namesIn(folder), std::vector<std::string>{"対局①.棋譜"}); // no temporary left

    const ReadResult read = readRecord(file);
    ASSERT_TRUE(read.ok) << read.error;
    EXPECT_EQ(read.warning, "");
    EXPECT_EQ(read.header, names);
    EXPECT_EQ(read.moves.RECORD_POS, 0);
    EXPECT_EQ(read.moves.RECORD_LEN, 5);
    EXPECT_EQ(read.lines, 8);
    for (int n = 1; n <= 5; ++n) EXPECT_EQ(entry(read.moves, n), entry(game, n)) << n;
    EXPECT_EQ(entry(read.moves, 6), (Move{0, 0, 0, 0, 0, 0, 0}));
}

TEST_F(RecordFolder, ReplacesARecordOfTheSameName) {
    writeBytes(folder / "対局.棋譜", "old record\r\nthat is longer than the new one\r\n" +
                                         std::string(3000, 'x') + "\r\n");
    // A fresh temporary file (another window may be writing) is neither reused nor removed.
    writeBytes(folder / ".zubeki-0.tmp", "not ours");

    ASSERT_TRUE(writeRecord(folder, "対局", {"a", "b", "c"}, sampleGame(3, 1)).ok);
    EXPECT_EQ(bytesOf(folder / "対局.棋譜"), "a\r\nb\r\nc\r\n" + moveLine(1) + "\r\n");
    EXPECT_EQ(bytesOf(folder / ".zubeki-0.tmp"), "not ours");
    EXPECT_EQ(namesIn(folder), (std::vector<std::string>{".zubeki-0.tmp", "対局.棋譜"}));
}

TEST_F(RecordFolder, WritesCharactersCodePage932CannotHoldAsQuestionMarks) {
    const WriteResult written =
        writeRecord(folder, "k", {"한국", "line\r\nbreak", "ok"}, sampleGame(1, 1));
    ASSERT_TRUE(written.ok) << written.error;
    EXPECT_EQ(written.warning, "棋譜ﾌｧｲﾙに書けない文字を '?' にしました");
    EXPECT_EQ(bytesOf(folder / "k.棋譜"), "??\r\nline??break\r\nok\r\n" + moveLine(1) + "\r\n");

    // Characters the code page only holds as other ones are no exception: the names read back
    // exactly as they were written, and the player is told.
    const WriteResult lookalikes =
        writeRecord(folder, "y", {"¥100", "〜‖", "tag\xF3\xA0\x80\x81"}, sampleGame(1, 1));
    ASSERT_TRUE(lookalikes.ok) << lookalikes.error;
    EXPECT_EQ(lookalikes.warning, "棋譜ﾌｧｲﾙに書けない文字を '?' にしました");
    const ReadResult back = readRecord(folder / "y.棋譜");
    EXPECT_EQ(back.header, (RecordHeader{"?100", "??", "tag?"}));
}

TEST_F(RecordFolder, RefusesToWriteWhereItCannot) {
    writeBytes(folder / "plain", "a file, not a folder");
    MoveList unplayable = sampleGame(3, 3);
    unplayable.REC_TO_X[2] = 10;
    MoveList beyondTheList = sampleGame(1, 1);
    beyondTheList.RECORD_POS = MoveList::CAPACITY + 1;

    const struct {
        const char* what;
        fs::path folder;
        std::string name;
        RecordHeader header;
        MoveList list;
        std::string error;
    } cases[] = {
        {"slash in the name", folder, "sub/k", names, sampleGame(2, 2),
         "ﾌｧｲﾙ名に '/' は使えません"},
        {"folder that is a file", folder / "plain", "k", names, sampleGame(2, 2),
         "棋譜を書き込めませんでした：ﾌｫﾙﾀﾞが見つかりません"},
        {"missing folder", folder / "none", "k", names, sampleGame(2, 2),
         "棋譜を書き込めませんでした：ﾌｫﾙﾀﾞが見つかりません"},
        {"name too long", folder, std::string(300, 'n'), names, sampleGame(2, 2),
         "棋譜を書き込めませんでした：ﾌｧｲﾙ名が長すぎます"},
        {"off-board move", folder, "k", names, unplayable,
         "棋譜を書き込めませんでした：2 手目が正しくありません"},
        {"position past the list", folder, "k", names, beyondTheList,
         "棋譜を書き込めませんでした：手順が正しくありません"},
        {"header line too long",
         folder,
         "k",
         {"", std::string(5000, 'a'), ""},
         sampleGame(1, 1),
         "棋譜を書き込めませんでした：名前が長すぎます"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const WriteResult written = writeRecord(c.folder, c.name, c.header, c.list);
        EXPECT_FALSE(written.ok);
        EXPECT_EQ(written.error, c.error);
        EXPECT_EQ(namesIn(folder), std::vector<std::string>{"plain"});
    }
}

TEST_F(RecordFolder, RefusesToWriteIntoAReadOnlyFolder) {
    writeBytes(folder / "k.棋譜", "old");
    fs::permissions(folder, fs::perms::owner_read | fs::perms::owner_exec);
    if (::access(folder.c_str(), W_OK) == 0) // root writes anyway
        GTEST_SKIP() << "folder permissions do not stop this user from writing";
    const WriteResult written = writeRecord(folder, "k", names, sampleGame(2, 2));
    EXPECT_FALSE(written.ok);
    EXPECT_EQ(written.error, "棋譜を書き込めませんでした：書き込みが許可されていません");
    EXPECT_EQ(bytesOf(folder / "k.棋譜"), "old");
}

// The real file system, except that one step fails the way a full disk, a broken device or a
// locked file makes it fail.
class FailingFileSystem final : public RecordFileSystem {
  public:
    enum class Step { Create, Write, Finish, Replace }; // Create: the first `budget` calls
    std::vector<fs::path> tried;                        // names given to createNew
    FailingFileSystem(Step step, std::size_t bytesBeforeFailure, std::errc error)
        : step_(step), budget_(bytesBeforeFailure), error_(std::make_error_code(error)) {}

    WriteTarget resolve(const fs::path& path, std::error_code& error) override {
        return systemFileSystem().resolve(path, error);
    }
    std::unique_ptr<RecordOutputFile> createNew(const fs::path& path, fs::perms permissions,
                                                std::error_code& error) override {
        tried.push_back(path);
        if (step_ == Step::Create && budget_ > 0 && budget_-- > 0) {
            error = error_;
            return nullptr;
        }
        auto real = systemFileSystem().createNew(path, permissions, error);
        if (!real) return nullptr;
        return std::make_unique<File>(std::move(real), *this);
    }
    std::error_code replace(const fs::path& from, const fs::path& to) override {
        if (step_ == Step::Replace) return error_;
        return systemFileSystem().replace(from, to);
    }
    void remove(const fs::path& path) noexcept override { systemFileSystem().remove(path); }

  private:
    struct File final : RecordOutputFile {
        File(std::unique_ptr<RecordOutputFile> real, FailingFileSystem& fs)
            : real_(std::move(real)), fs_(fs) {}
        std::error_code write(std::string_view bytes) override {
            if (fs_.step_ != Step::Write || bytes.size() <= fs_.budget_) return real_->write(bytes);
            // Part of the text reaches the disk, then it is full.
            if (auto e = real_->write(bytes.substr(0, fs_.budget_))) return e;
            return fs_.error_;
        }
        std::error_code finish() override {
            const std::error_code e = real_->finish();
            return fs_.step_ == Step::Finish ? fs_.error_ : e;
        }
        std::unique_ptr<RecordOutputFile> real_;
        FailingFileSystem& fs_;
    };

    Step step_;
    std::size_t budget_;
    std::error_code error_;
};

TEST_F(RecordFolder, AFailedWriteLeavesTheOldRecordAsItWas) {
    const std::string old = namesCp932 + moveLine(1) + "\r\n";
    const struct {
        const char* what;
        FailingFileSystem::Step step;
        std::size_t budget;
        std::errc error;
        const char* message;
    } cases[] = {
        {"disk full half-way", FailingFileSystem::Step::Write, 40, std::errc::no_space_on_device,
         "棋譜を書き込めませんでした：ﾃﾞｨｽｸがいっぱいです"},
        {"nothing fits", FailingFileSystem::Step::Write, 0, std::errc::no_space_on_device,
         "棋譜を書き込めませんでした：ﾃﾞｨｽｸがいっぱいです"},
        {"flush to the device", FailingFileSystem::Step::Finish, 0, std::errc::io_error,
         "棋譜を書き込めませんでした：ﾃﾞﾊﾞｲｽのｴﾗｰです"},
        {"rename refused", FailingFileSystem::Step::Replace, 0, std::errc::permission_denied,
         "棋譜を書き込めませんでした：書き込みが許可されていません"},
        {"unexpected error", FailingFileSystem::Step::Replace, 0, std::errc::too_many_links,
         "棋譜を書き込めませんでした：ｴﾗｰ 31（Too many links）"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        writeBytes(folder / "対局.棋譜", old);
        FailingFileSystem failing(c.step, c.budget, c.error);
        const WriteResult written = writeRecord(folder, "対局", names, sampleGame(12, 12), failing);
        EXPECT_FALSE(written.ok);
        EXPECT_EQ(written.error, c.message);
        EXPECT_EQ(bytesOf(folder / "対局.棋譜"), old);
        EXPECT_EQ(namesIn(folder), std::vector<std::string>{"対局.棋譜"});
    }
}

std::string header3 = "game\r\nupper\r\nlower\r\n";

std::string lines(int from, int to) {
    std::string text;
    for (int n = from; n <= to; ++n) text += moveLine(n) + "\r\n";
    return text;
}

TEST_F(RecordFolder, TemporaryNamesAreRandomAndRetriedButNotForEver) {
    FailingFileSystem someTaken(FailingFileSystem::Step::Create, 5, std::errc::file_exists);
    ASSERT_TRUE(writeRecord(folder, "k", names, sampleGame(2, 2), someTaken).ok);
    std::vector<fs::path> tried = someTaken.tried;
    ASSERT_EQ(tried.size(), 6u);
    for (const fs::path& p : tried)
        EXPECT_TRUE(isHiddenTemporary(p.filename()) && p.parent_path() == folder) << p;
    std::sort(tried.begin(), tried.end());
    EXPECT_EQ(std::unique(tried.begin(), tried.end()), tried.end());

    FailingFileSystem allTaken(FailingFileSystem::Step::Create, 1'000'000, std::errc::file_exists);
    EXPECT_EQ(writeRecord(folder, "k", names, sampleGame(1, 1), allTaken).error,
              "棋譜を書き込めませんでした：ｴﾗｰ 17（File exists）");
    EXPECT_LE(allTaken.tried.size(), 100u);
}

// What a hundred writes killed before their rename leave must not stop the next write, which
// clears away our own leftovers once they are an hour old and touches nothing else.
TEST_F(RecordFolder, LeftoverTemporaryFilesNeverBlockWritingAndAreCleared) {
    std::vector<std::string> kept = {"k.棋譜"};
    const auto leave = [&](const std::string& name, bool removed, int hoursOld) {
        writeBytes(folder / name, "cut off");
        fs::last_write_time(folder / name,
                            fs::file_time_type::clock::now() - std::chrono::hours(hoursOld));
        if (!removed) kept.push_back(name);
    };
    for (int n = 0; n < 100; ++n)
        leave(".zubeki-" + std::to_string(n) + ".tmp", n % 2 == 0, n % 2 == 0 ? 2 : 0);
    leave(".zubeki-0123456789abcdef.tmp", true, 2);
    for (const char* other :
         {".zubeki-notes.txt", "zubeki-5.tmp", ".zubeki-.tmp", ".zubeki-XY.tmp"})
        leave(other, false, 3);
    fs::create_directory(folder / ".zubeki-300.tmp");
    kept.push_back(".zubeki-300.tmp");

    ASSERT_TRUE(writeRecord(folder, "k", names, sampleGame(3, 3)).ok);
    std::sort(kept.begin(), kept.end());
    EXPECT_EQ(namesIn(folder), kept);
}

// A record linked into the folder stays linked: the file at the end of the links is replaced,
// through a temporary file beside it.
TEST_F(RecordFolder, WritesThroughASymbolicLink) {
    fs::create_directory(folder / "sub");
    const struct {
        std::vector<std::pair<std::string, std::string>> links; // name -> where it leads
        std::string written; // the file that must then hold the record
        std::string error;
    } cases[] = {
        {{{"a.棋譜", "sub/real.棋譜"}}, "sub/real.棋譜", ""},
        {{{"a.棋譜", "b.棋譜"}, {"b.棋譜", (folder / "sub/real.棋譜").string()}},
         "sub/real.棋譜",
         ""},
        {{{"a.棋譜", "sub/new.棋譜"}}, "sub/new.棋譜", ""},
        {{{"a.棋譜", "b.棋譜"}, {"b.棋譜", "a.棋譜"}},
         "",
         "棋譜を書き込めませんでした：ｴﾗｰ 40（Too many levels of symbolic links）"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.links.back().second);
        writeBytes(folder / "sub/real.棋譜", "old");
        for (const auto& [name, to] : c.links) fs::create_symlink(to, folder / name);
        EXPECT_EQ(writeRecord(folder, "a", names, sampleGame(2, 2)).error, c.error);
        for (const auto& [name, to] : c.links) EXPECT_EQ(fs::read_symlink(folder / name), to);
        EXPECT_TRUE(c.written.empty() || bytesOf(folder / c.written) == namesCp932 + lines(1, 2));
        EXPECT_EQ(bytesOf(folder / "sub/real.棋譜") == "old", c.written != "sub/real.棋譜");
        EXPECT_EQ(namesIn(folder / "sub").size(), c.written == "sub/new.棋譜" ? 2u : 1u);
        for (const auto& [name, to] : c.links) fs::remove(folder / name);
        fs::remove(folder / "sub/new.棋譜");
    }
}

mode_t modeOf(const fs::path& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 ? st.st_mode & 0777 : 0;
}

TEST_F(RecordFolder, AReplacedRecordKeepsItsPermissions) {
    for (const mode_t mode : {0600, 0640, 0604, 0755}) {
        writeBytes(folder / "k.棋譜", "old");
        ASSERT_EQ(::chmod((folder / "k.棋譜").c_str(), mode), 0);
        ASSERT_TRUE(writeRecord(folder, "k", names, sampleGame(1, 1)).ok);
        EXPECT_EQ(modeOf(folder / "k.棋譜"), mode);
    }
}

// Runs `write` as a user whom permissions bind: this one, or "nobody" in a child process when the
// tests run as root. Answers the write's error, "" when it went through.
std::string errorAsAnOrdinaryUser(const std::function<WriteResult()>& write) {
    if (::geteuid() != 0) return write().error;
    int out[2];
    if (::pipe(out) != 0) return "no pipe";
    const pid_t child = ::fork();
    if (child == 0) {
        if (::setgroups(0, nullptr) != 0 || ::setgid(65534) != 0 || ::setuid(65534) != 0)
            ::_exit(3);
        const std::string error = write().error;
        ::_exit(::write(out[1], error.data(), error.size()) == static_cast<ssize_t>(error.size())
                    ? 0
                    : 4);
    }
    ::close(out[1]);
    std::string error;
    char buffer[256];
    for (ssize_t n; (n = ::read(out[0], buffer, sizeof buffer)) > 0;)
        error.append(buffer, static_cast<std::size_t>(n));
    ::close(out[0]);
    int status = 0;
    ::waitpid(child, &status, 0);
    return WIFEXITED(status) && WEXITSTATUS(status) == 0 ? error : "the child failed";
}

TEST_F(RecordFolder, ARecordThatMayNotBeChangedIsNotReplaced) {
    const std::string denied = "棋譜を書き込めませんでした：書き込みが許可されていません";
    const struct {
        const char* name;
        mode_t fileMode;
        std::string error;
    } cases[] = {
        {"ro", 0444, denied}, {"rw", 0666, ""}, {"locked/k", 0666, denied}, // in a read-only folder
    };
    fs::create_directory(folder / "locked");
    for (const auto& c : cases) {
        writeBytes(folder / (std::string(c.name) + ".棋譜"), "old");
        ASSERT_EQ(::chmod((folder / (std::string(c.name) + ".棋譜")).c_str(), c.fileMode), 0);
    }
    ASSERT_EQ(::chmod((folder / "locked").c_str(), 0555), 0);
    ASSERT_EQ(::chmod(folder.c_str(), 0777), 0); // the other user must reach it too
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const fs::path file = folder / (std::string(c.name) + ".棋譜");
        EXPECT_EQ(errorAsAnOrdinaryUser([&] {
                      return writeRecord(file.parent_path(), file.stem().string(), names,
                                         sampleGame(1, 1));
                  }),
                  c.error);
        EXPECT_EQ(bytesOf(file) == "old", !c.error.empty());
        EXPECT_EQ(modeOf(file), c.fileMode);
    }
}

TEST(RecordReader, AcceptsEveryLineEndAndShortFiles) {
    const struct {
        const char* what;
        std::string bytes;
        RecordHeader header;
        int moves;
    } cases[] = {
        {"CR LF", header3 + lines(1, 3), {"game", "upper", "lower"}, 3},
        {"CR alone",
         "game\rupper\rlower\r" + moveLine(1) + "\r" + moveLine(2) + "\r",
         {"game", "upper", "lower"},
         2},
        {"LF alone", "game\nupper\nlower\n" + moveLine(1) + "\n", {"game", "upper", "lower"}, 1},
        {"mixed, no end on the last line",
         "g\r\n\r" + std::string("l\n") + moveLine(1) + "\r" + moveLine(2),
         {"g", "", "l"},
         2},
        {"header only", header3, {"game", "upper", "lower"}, 0},
        {"two lines", "game\r\nupper\r\n", {"game", "upper", ""}, 0},
        {"empty file", "", {"", "", ""}, 0},
        {"blank lines at the end",
         header3 + lines(1, 2) + "\r\n   \r\n\r\n",
         {"game", "upper", "lower"},
         2},
        {"line of the longest length",
         std::string(maxRecordLineBytes, 'g') + "\r\nu\r\nl\r\n",
         {std::string(maxRecordLineBytes, 'g'), "u", "l"},
         0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const ReadResult read = readRecordBytes(c.bytes);
        ASSERT_TRUE(read.ok) << read.error;
        EXPECT_EQ(read.header, c.header);
        EXPECT_EQ(read.moves.RECORD_LEN, c.moves);
        EXPECT_EQ(read.moves.RECORD_POS, 0);
        for (int n = 1; n <= c.moves; ++n) EXPECT_EQ(entry(read.moves, n), sampleMove(n)) << n;
    }
}

TEST(RecordReader, RefusesTheWholeFileForOneBadLine) {
    const std::string good = header3 + lines(1, 2); // lines 4 and 5
    const std::string third = "棋譜ﾌｧｲﾙの 6 行目（3 手目）が正しくありません";
    const struct {
        const char* what;
        std::string bytes;
        std::string error;
    } cases[] = {
        {"column 10", good + "10555 801 800   0\r\n", third},
        {"column 0", good + " 0528 801 800   0\r\n", third},
        {"row 0", good + " 5028 801 800   0\r\n", third},
        {"negative column", good + "-5528 801 800   0\r\n", third},
        {"not a piece", good + " 5528 701 700   0\r\n", third},
        {"occupied target", good + " 5528 800 800 900\r\n", third},
        {"turns into a rook", good + " 5528 901 800   0\r\n", third},
        {"changes sides", good + " 5528-800 800   0\r\n", third},
        {"lower piece promotes upwards", good + " 5528-799-800   0\r\n", third},
        {"promoted piece demoted", good + " 5528 800 801   0\r\n", third},
        {"short line", good + " 5528\r\n", third},
        {"first move", header3 + "garbage\r\n", "棋譜ﾌｧｲﾙの 4 行目（1 手目）が正しくありません"},
        {"blank line between moves", header3 + moveLine(1) + "\r\n\r\n" + moveLine(2) + "\r\n",
         "棋譜ﾌｧｲﾙの 5 行目（2 手目）が空です"},
        {"NUL in a move", good + " 55" + '\0' + "28\r\n",
         "棋譜ﾌｧｲﾙの 6 行目に文字でないﾃﾞｰﾀがあります"},
        {"NUL in the header", std::string("g\r\nu\0", 5),
         "棋譜ﾌｧｲﾙの 2 行目に文字でないﾃﾞｰﾀがあります"},
        {"UTF-16", std::string("\xFF\xFEg\0a\0", 6), "棋譜ﾌｧｲﾙの 1 行目に文字でないﾃﾞｰﾀがあります"},
        {"line too long", header3 + std::string(maxRecordLineBytes + 1, ' ') + "\r\n",
         "棋譜ﾌｧｲﾙの 4 行目が長すぎます"},
        {"header too long, no line end", std::string(100000, 'g'), "棋譜ﾌｧｲﾙの 1 行目が長すぎます"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const ReadResult read = readRecordBytes(c.bytes);
        EXPECT_FALSE(read.ok);
        EXPECT_EQ(read.error, c.error);
        EXPECT_EQ(read.moves.RECORD_LEN, 0);
        EXPECT_EQ(read.header, (RecordHeader{}));
    }
}

TEST(RecordReader, KeepsThePreviousLineWhenAReadFails) {
    // One byte per read, so every line end falls on a boundary between reads.
    const std::string text = "a\r\nbc\rd\n\re";
    std::size_t at = 0;
    RecordLineReader reader([&](char* buffer, std::size_t) -> long {
        if (at == text.size()) return 0;
        buffer[0] = text[at++];
        return 1;
    });
    std::string RECORD_LINE = "before";
    std::vector<std::string> got;
    while (reader.ファイル1_読込(RECORD_LINE) == TRUE_CODE) got.push_back(RECORD_LINE);
    EXPECT_EQ(got, (std::vector<std::string>{"a", "bc", "d", "", "e"}));
    EXPECT_EQ(RECORD_LINE, "e");
    EXPECT_EQ(reader.stop(), RecordLineReader::Stop::EndOfFile);
    EXPECT_EQ(reader.ファイル1_読込(RECORD_LINE), FALSE_CODE);
    EXPECT_EQ(RECORD_LINE, "e");
    EXPECT_EQ(reader.lineNumber(), 5);
}

TEST(RecordReader, ReportsAReadErrorInTheMiddle) {
    int calls = 0;
    const ReadResult read = readRecordFrom([&](char* buffer, std::size_t) -> long {
        if (++calls > 1) {
            errno = EIO;
            return -1;
        }
        const std::string_view first = "game\r\nupp";
        first.copy(buffer, first.size());
        return static_cast<long>(first.size());
    });
    EXPECT_FALSE(read.ok);
    EXPECT_EQ(read.error, "棋譜ﾌｧｲﾙを読み込めませんでした：ﾃﾞﾊﾞｲｽのｴﾗｰです");
}

TEST_F(RecordFolder, ReadsTheFirst500MovesOfALongerRecord) {
    writeBytes(folder / "long.棋譜", header3 + lines(1, 600));
    const ReadResult read = readRecord(folder / "long.棋譜");
    ASSERT_TRUE(read.ok) << read.error;
    EXPECT_EQ(read.warning, "棋譜ﾌｧｲﾙの 501 手目から後は読み込みませんでした");
    EXPECT_EQ(read.moves.RECORD_LEN, MoveList::CAPACITY);
    EXPECT_EQ(entry(read.moves, 500), sampleMove(500));

    writeBytes(folder / "full.棋譜", header3 + lines(1, 500) + "\r\n");
    const ReadResult full = readRecord(folder / "full.棋譜");
    ASSERT_TRUE(full.ok) << full.error;
    EXPECT_EQ(full.warning, "");
    EXPECT_EQ(full.moves.RECORD_LEN, MoveList::CAPACITY);
}

TEST_F(RecordFolder, ReadsHeadersInCodePage932AndOtherwise) {
    const std::string fffd = "\xEF\xBF\xBD";
    writeBytes(folder / "mixed.棋譜", namesCp932.substr(0, namesCp932.find('\n') + 1) +
                                          "対局者 髙橋\r\n" // UTF-8 from another editor
                                          "\x8A\xFB\x81\r\n" +
                                          moveLine(1) + "\r\n");
    const ReadResult mixed = readRecord(folder / "mixed.棋譜");
    ASSERT_TRUE(mixed.ok) << mixed.error;
    EXPECT_EQ(mixed.header, (RecordHeader{names[0], "対局者 髙橋", "棋" + fffd}));
    EXPECT_EQ(mixed.moves.RECORD_LEN, 1);

    writeBytes(folder / "cp932.棋譜", namesCp932 + lines(1, 2));
    const ReadResult cp932 = readRecord(folder / "cp932.棋譜");
    ASSERT_TRUE(cp932.ok) << cp932.error;
    EXPECT_EQ(cp932.header, names);
}

TEST_F(RecordFolder, ReportsAFileThatCannotBeOpened) {
    fs::create_directory(folder / "dir.棋譜");
    EXPECT_EQ(readRecord(folder / "none.棋譜").error,
              "棋譜ﾌｧｲﾙを開けませんでした：ﾌｧｲﾙが見つかりません");
    EXPECT_EQ(readRecord(folder / "dir.棋譜").error,
              "棋譜ﾌｧｲﾙを開けませんでした：ﾌｧｲﾙではなくﾌｫﾙﾀﾞです");
}

// Only regular files are read: a FIFO nobody writes to must not keep the window waiting, and a
// device is no empty record.
TEST_F(RecordFolder, RefusesWhatIsNotARegularFileWithoutWaiting) {
    const fs::path fifo = folder / "fifo.棋譜", socketPath = folder / "socket.棋譜";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0644), 0);
    fs::create_symlink(fifo, folder / "link.棋譜");
    const int sock = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{AF_UNIX, {}};
    socketPath.string().copy(address.sun_path, sizeof address.sun_path - 1);
    ASSERT_EQ(::bind(sock, reinterpret_cast<const sockaddr*>(&address), sizeof address), 0);
    ::alarm(20); // a reader stuck in open(2) ends the tests instead of hanging them
    for (const fs::path& path : {fifo, folder / "link.棋譜", socketPath, fs::path("/dev/null")}) {
        const ReadResult read = readRecord(path);
        EXPECT_FALSE(read.opened) << path;
        EXPECT_EQ(read.error, "棋譜ﾌｧｲﾙを開けませんでした：普通のﾌｧｲﾙではありません") << path;
    }
    ::alarm(0);
    ::close(sock);
}

// A record is a few kilobytes: a larger file is refused by its size before it is read, and one
// that grows while it is read is not read past the limit.
TEST_F(RecordFolder, RefusesAFileFarLargerThanAnyRecord) {
    const std::string record = header3 + lines(1, 3), upTo = "読み込めるのは 256 KB までです）";
    const struct {
        std::uint64_t size; // the record, then blank lines up to this size (or a hole past 1 MB)
        std::string error;
    } cases[] = {
        {maxRecordFileBytes, ""},
        {maxRecordFileBytes + 1, "棋譜ﾌｧｲﾙが大きすぎます（257 KB。" + upTo},
        {std::uint64_t{1} << 30, "棋譜ﾌｧｲﾙが大きすぎます（1024 MB。" + upTo},
    };
    for (const auto& c : cases) {
        writeBytes(folder / "big.棋譜",
                   record +
                       std::string(std::min<std::uint64_t>(c.size, 1 << 20) - record.size(), '\n'));
        fs::resize_file(folder / "big.棋譜", c.size);
        const ReadResult read = readRecord(folder / "big.棋譜");
        EXPECT_EQ(read.error, c.error);
        EXPECT_EQ(read.moves.RECORD_LEN, c.error.empty() ? 3 : 0);
    }
    std::size_t given = 0; // a file that grows for ever
    const ReadResult endless = readRecordFrom([&](char* buffer, std::size_t size) -> long {
        std::fill_n(buffer, size, '\n');
        given += size;
        return static_cast<long>(size);
    });
    EXPECT_EQ(endless.error, "棋譜ﾌｧｲﾙが大きすぎます（" + upTo);
    EXPECT_EQ(given, maxRecordFileBytes + 1);
}

} // namespace
} // namespace zubeki
