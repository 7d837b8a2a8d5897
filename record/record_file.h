#pragma once

#include <array>
#include <filesystem>
#include <string>
#include <string_view>
#include <system_error>

#include "record/line_reader.h"
#include "record/movelist.h"
#include "record/record_fs.h"

// Game record (棋譜) files: three header lines, then one 17-character line per move, every line
// ended by CR LF, text in code page 932. The window shows the messages of these results in a
// box titled "棋譜".
namespace zubeki {

inline constexpr std::string_view recordExtension = ".棋譜";

// The three header lines: the game's name, the upper side's player, the lower side's player.
using RecordHeader = std::array<std::string, 3>;

// Puts the window's name fields in file order. Text2 is the game's name, Text3 the first player,
// Text4 the second. The upper side is the second player when the human moved first
// (MAN_SIDE == SIDE_SENTE), otherwise the first.
RecordHeader recordHeader(std::string_view text2, std::string_view text3, std::string_view text4,
                          int manSide);

// folder / (name + ".棋譜"); `name` is UTF-8.
std::filesystem::path recordPath(const std::filesystem::path& folder, std::string_view name);

// Empty when `name` may be used for a record file in a folder, else the message saying why not:
// it is empty, holds a path separator ('/', and '\\' or ':' on Windows), a character the file
// system refuses, or is not UTF-8.
std::string checkRecordName(std::string_view name);

// Move n (1..500) as its line, without the line end: " 5528 801 800   0". A value too wide for
// its column is written in full, so the line is longer; writeRecord never writes such a line.
// Answers "" for an n outside the list.
std::string formatMoveLine(const MoveList& list, int n);

// One field of a move line as a decimal number: blanks anywhere are ignored, an optional sign may
// lead, reading stops at the first character that cannot continue the number, and a field without
// a number gives 0. Numbers past 999999999 read as 999999999.
int parseMoveField(std::string_view field);

// Parses a move line into entry n of `list` (n must be 1..500); fields past the end of a short
// line give 0.
void parseMoveLine(std::string_view line, MoveList& list, int n);

// Whether entry n can be replayed on the board: all four squares are on it, the moving piece is
// one of the eight piece codes, it arrives as itself or promoted, and the destination was empty.
bool isPlayableMove(const MoveList& list, int n);

struct WriteResult {
    bool ok = false;
    std::string error;   // why nothing was written (the old file, if any, is untouched)
    std::string warning; // written, but not quite as asked (characters replaced by '?')
};

// The bytes writeRecord writes for moves 1..RECORD_POS of `list` under `header`, for a record
// that goes elsewhere than a file of ours (the page's download): ok with the bytes, or the error
// that refuses them; the warning as writeRecord's.
struct RecordBytes {
    bool ok = false;
    std::string bytes;
    std::string error;
    std::string warning;
};
RecordBytes recordBytes(const RecordHeader& header, const MoveList& list);

// Writes moves 1..RECORD_POS of `list` under `header` to recordPath(folder, name), replacing any
// record of that name in one step: the text goes to a temporary file in the same folder, is
// pushed to the disk, and only then renamed over the old file, so a write that fails or is
// interrupted leaves the old record as it was. A record that is a symbolic link is written where
// the link leads and stays a link; an old record keeps its permissions, and one this user may not
// change is refused. Temporary files that such interrupted writes left in the folder more than an
// hour ago are removed after a write that went through.
WriteResult writeRecord(const std::filesystem::path& folder, std::string_view name,
                        const RecordHeader& header, const MoveList& list,
                        RecordFileSystem& fileSystem = systemFileSystem());

// Replaces `file` with `bytes` in one step, as writeRecord replaces a record (a temporary file
// beside it pushed to the disk and renamed over it, links followed, permissions kept, old
// leftovers removed); the error when that failed, and then the old file is as it was.
std::error_code replaceFile(const std::filesystem::path& file, std::string_view bytes,
                            RecordFileSystem& fileSystem = systemFileSystem());

struct ReadResult {
    bool ok = false;
    std::string error;   // why the file was refused; then header and moves are to be ignored
    std::string warning; // read, but not all of it (more than 500 moves)
    RecordHeader header; // UTF-8; a line missing from a short file is empty
    MoveList moves;      // on success RECORD_POS = 0 and RECORD_LEN = number of moves read
    int lines = 0;       // lines of the file that were read
    bool opened = true;  // false when the file could not be opened or is not a regular file
};

// The message for a record file that could not be opened: "棋譜ﾌｧｲﾙを開けませんでした：…".
std::string recordOpenFailure(std::error_code error);

// Reads and checks a whole record. The moves go into a list of their own, so the caller can drop
// the game in progress only once the file has been found sound. RECORD_MODE is left to the caller.
// Only a regular file is read (a FIFO, a device or a folder is refused without waiting), and only
// one of at most maxRecordFileBytes bytes, before and while it is read.
ReadResult readRecord(const std::filesystem::path& file);
// The same over bytes already in memory.
ReadResult readRecordBytes(std::string_view bytes);
// The same over any source of bytes.
ReadResult readRecordFrom(const ByteSource& source);

} // namespace zubeki
