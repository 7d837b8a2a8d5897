#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

#include "game/position.h"
#include "record/record_fs.h"

// Games from any position (.zbk files): UTF-8 text, one item a line, LF line ends.
//
//   ZUBEKI-GAME 1                                  the format and its version
//   6rbr/6brb/6rbr/9/9/9/RBR6/BRB6/RBR6 l - 0 1    the position the game starts from
//   7g7e                                           the moves as move strings, one a line,
//   3c8c                                           "pass" for the pass of a side without a move
//
// The writer writes every pass. The reader also takes CR LF line ends, a byte-order mark, blanks
// around an item, blank lines at the end, and passes left out (as a .棋譜 record leaves them
// out); it plays every move to check it, and refuses the whole file at the first fault.
namespace zubeki {

inline constexpr std::string_view zbkExtension = ".zbk";
inline constexpr std::string_view zbkFormatName = "ZUBEKI-GAME";
inline constexpr int zbkVersion = 1;

struct ZbkGame {
    Position start;          // the side to move in start.SIDE
    std::vector<Move> moves; // every move and pass, in order
};

enum class ZbkProblem {
    None,
    NotOpened,      // missing, a folder, a FIFO or a device, or not readable
    ReadError,      // the read failed half-way
    TooLarge,       // more than maxRecordFileBytes
    LineTooLong,    // a line of more than maxRecordLineBytes
    NotText,        // a NUL or control byte, or bytes that are not UTF-8
    BadHeader,      // the first line does not name the format
    UnknownVersion, // a version of the format this program does not know
    BadPosition,    // the position is missing or refused
    IllegalMove,    // a move that is not legal where it is played
    AfterEnd,       // a move after the game has ended
    TooLong,        // the moves run the move number past MAX_POSITION_NUMBER
};

struct ZbkRead {
    ZbkProblem problem = ZbkProblem::None;
    int line = 0;      // the line at fault, counting from 1 (the header); 0 for the whole file
    std::string error; // one English line saying what is wrong, "" when the file was read
    // The game read; when a move is refused, the moves before it (the position, when that
    // could be read, and nothing at all for a fault before it).
    ZbkGame game;
    Position end;                  // the position after the last move of `game`
    GameEnd ended = GameEnd::None; // how the last move ended the game, if it did
    bool ok() const { return problem == ZbkProblem::None; }
};

// The text of the game, every pass written (one left out before a move is put in); "" with the
// reason in `why` when the position is one no game can reach, or a move is not legal where it
// is played or comes after the end.
std::string zbkText(const ZbkGame& game, std::string& why);

// Reads and checks a whole file.
ZbkRead readZbkBytes(std::string_view bytes);
// The same from a file: only a regular file of at most maxRecordFileBytes is read.
ZbkRead readZbk(const std::filesystem::path& file);

struct ZbkWrite {
    std::string error;  // one English line, "" when written
    std::error_code io; // the file system's error, when that was the reason
    bool ok() const { return error.empty(); }
};

// Writes the game to `file`, replacing it in one step (see replaceFile); nothing is written
// when the game cannot be (see zbkText).
ZbkWrite writeZbk(const std::filesystem::path& file, const ZbkGame& game,
                  RecordFileSystem& fileSystem = systemFileSystem());

// Whether `file` holds a game from any position rather than a .棋譜 record: a name ending in
// .zbk does, one ending in .棋譜 does not, and any other by whether its first line begins with
// the format's name.
bool isZbkFile(const std::filesystem::path& file);
// Whether a file's bytes (its beginning is enough) name the format on their first line.
bool isZbkText(std::string_view bytes);

} // namespace zubeki
