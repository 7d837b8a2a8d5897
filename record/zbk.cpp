#include "record/zbk.h"

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cstdio>

#include "game/line.h"
#include "game/position_text.h"
#include "record/encoding.h"
#include "record/line_reader.h"
#include "record/record_file.h"

namespace zubeki {
namespace {

constexpr std::string_view byteOrderMark = "\xEF\xBB\xBF";

std::string header() {
    return std::string(zbkFormatName) + ' ' + std::to_string(zbkVersion);
}

std::string lineName(int line) {
    return "line " + std::to_string(line);
}

ZbkRead refused(ZbkProblem problem, int line, std::string error) {
    ZbkRead r;
    r.problem = problem;
    r.line = line;
    r.error = std::move(error);
    return r;
}

std::string_view trimmed(std::string_view s) {
    const std::size_t first = s.find_first_not_of(' ');
    if (first == std::string_view::npos) return {};
    return s.substr(first, s.find_last_not_of(' ') - first + 1);
}

// Text: UTF-8 without control characters (a tab or a NUL has no place in any item).
bool isText(std::string_view line) {
    for (const char c : line)
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) return false;
    return isValidUtf8(line);
}

// Why the line reader stopped before the end of the file, or None.
ZbkRead stopped(const RecordLineReader& reader) {
    const int line = reader.lineNumber();
    switch (reader.stop()) {
    case RecordLineReader::Stop::TooLong:
        return refused(ZbkProblem::LineTooLong, line,
                       lineName(line) + " is longer than " + std::to_string(maxRecordLineBytes) +
                           " bytes");
    case RecordLineReader::Stop::Binary:
        return refused(ZbkProblem::NotText, line,
                       lineName(line) + " holds bytes that are not text");
    case RecordLineReader::Stop::TooLarge:
        return refused(ZbkProblem::TooLarge, 0,
                       "the file is larger than " + std::to_string(maxRecordFileBytes / 1024) +
                           " KB");
    case RecordLineReader::Stop::ReadError:
        return refused(ZbkProblem::ReadError, 0,
                       "the file could not be read: " +
                           std::generic_category().message(reader.readErrno()));
    default:
        return {};
    }
}

// The first line: the format's name, one blank, the version.
ZbkRead readHeader(std::string_view line) {
    const std::string_view h = trimmed(line);
    const std::string_view name = zbkFormatName;
    if (!h.starts_with(name) || (h.size() > name.size() && h[name.size()] != ' '))
        return refused(ZbkProblem::BadHeader, 1,
                       "not a ZUBEKI game: line 1 is not '" + header() + "'");
    const std::string_view number = trimmed(h.substr(name.size()));
    int version = 0;
    const auto [end, ec] = std::from_chars(number.data(), number.data() + number.size(), version);
    if (number.empty() || ec != std::errc{} || end != number.data() + number.size() || version < 1)
        return refused(ZbkProblem::BadHeader, 1,
                       "line 1: the version " + zubeki::quoted(number) + " is not a number from 1");
    if (version != zbkVersion)
        return refused(ZbkProblem::UnknownVersion, 1,
                       "the file is " + std::string(name) + " version " + std::to_string(version) +
                           "; this program reads version " + std::to_string(zbkVersion));
    return {};
}

// The move lines, each one word, with the file line each stands on.
struct Words {
    std::vector<std::string_view> at;
    std::vector<int> line;
};

// Lines 3.. as move words into `words`, up to a line that holds no move or more than one: the
// fault then. Blank lines are let through at the end of the file only.
ZbkRead moveWords(const std::vector<std::string>& lines, Words& words) {
    std::size_t last = lines.size();
    while (last > 2 && trimmed(lines[last - 1]).empty()) --last;
    for (std::size_t i = 2; i < last; ++i) {
        const std::string_view word = trimmed(lines[i]);
        const int line = static_cast<int>(i) + 1;
        if (word.empty())
            return refused(ZbkProblem::IllegalMove, line, lineName(line) + " is blank");
        if (word.find(' ') != std::string_view::npos)
            return refused(ZbkProblem::IllegalMove, line,
                           lineName(line) + ": " + zubeki::quoted(word) + " is not one move");
        words.at.push_back(word);
        words.line.push_back(line);
    }
    return {};
}

// How many of the words can be played before the move number runs past what the notation
// holds.
std::size_t withinNumbers(const Position& start, const Words& words) {
    int number = start.MOVE_COUNT + 1;
    for (std::size_t k = 0; k < words.at.size(); ++k)
        if (words.at[k] != "pass" && ++number > MAX_POSITION_NUMBER) return k;
    return words.at.size();
}

// The moves played from `r.game.start`, into `r`.
void playWords(const Words& words, ZbkRead& r) {
    const std::size_t usable = withinNumbers(r.game.start, words);
    std::string joined;
    for (std::size_t k = 0; k < usable; ++k) {
        joined += words.at[k];
        joined += ' ';
    }
    const ReadLine played = readLine(r.game.start, joined);
    r.game.moves = played.moves;
    r.end = played.end;
    if (played.ended) {
        MoveOutcome last;
        played.before.back().after(played.moves.back(), &last);
        r.ended = last.end;
    }
    if (!played.ok()) {
        r.line = words.line[static_cast<std::size_t>(played.failedAt - 1)];
        r.problem = played.afterEnd ? ZbkProblem::AfterEnd : ZbkProblem::IllegalMove;
        r.error = lineName(r.line) + ": " +
                  (played.afterEnd
                       ? zubeki::quoted(played.failedWord) + " comes after the end of the game"
                       : played.why);
    } else if (usable < words.at.size()) {
        r.line = words.line[usable];
        r.problem = ZbkProblem::TooLong;
        r.error =
            lineName(r.line) + ": the game runs past move " + std::to_string(MAX_POSITION_NUMBER);
    }
}

ZbkRead readLines(const std::vector<std::string>& lines) {
    if (lines.empty())
        return refused(ZbkProblem::BadHeader, 0, "the file is empty, not a ZUBEKI game");
    if (ZbkRead r = readHeader(lines[0]); !r.ok()) return r;
    if (lines.size() < 2 || trimmed(lines[1]).empty())
        return refused(ZbkProblem::BadPosition, 2, "line 2: no position after the header");
    std::string why;
    const std::optional<Position> start = Position::fromText(trimmed(lines[1]), why);
    if (!start) return refused(ZbkProblem::BadPosition, 2, "line 2: " + why);
    // The moves before a line that holds none are played all the same: one of them may be at
    // fault first, and a refused file still tells what it held before the fault.
    Words words;
    const ZbkRead wordFault = moveWords(lines, words);
    ZbkRead r;
    r.game.start = *start;
    r.end = *start;
    playWords(words, r);
    if (r.ok() && !wordFault.ok()) {
        r.problem = wordFault.problem;
        r.line = wordFault.line;
        r.error = wordFault.error;
    }
    return r;
}

ZbkRead readFrom(const ByteSource& source) {
    RecordLineReader reader(source);
    std::vector<std::string> lines;
    std::string line;
    while (reader.ファイル1_読込(line) == TRUE_CODE) {
        if (lines.empty() && line.starts_with(byteOrderMark)) line.erase(0, byteOrderMark.size());
        // A file that does not begin with the format's name is none of ours, text or not.
        if (lines.empty() && !trimmed(line).starts_with(zbkFormatName)) return readHeader(line);
        if (!isText(line))
            return refused(ZbkProblem::NotText, reader.lineNumber(),
                           lineName(reader.lineNumber()) + " is not UTF-8 text");
        lines.push_back(std::move(line));
    }
    if (ZbkRead r = stopped(reader); !r.ok()) return r;
    return readLines(lines);
}

} // namespace

std::string zbkText(const ZbkGame& game, std::string& why) {
    // What the reader would refuse is never written: the position must read back.
    if (!Position::fromText(game.start.text(), why)) {
        why = "the position: " + why;
        return {};
    }
    std::string text = header() + '\n' + game.start.text() + '\n';
    Position p = game.start;
    bool ended = false;
    const auto play = [&](const Move& m) {
        text += 指し手文字列(m) + '\n';
        ended = p.play(m).end != GameEnd::None;
    };
    for (std::size_t i = 0; i < game.moves.size(); ++i) {
        const Move& m = game.moves[i];
        const std::string which = "move " + std::to_string(i + 1) + " (" + 指し手文字列(m) + ")";
        if (!ended && !m.pass() && !p.hasMove(p.SIDE)) play(Move{});
        if (ended)
            why = which + " comes after the end of the game";
        else if (!p.isLegal(m))
            why = which + " is not legal where it is played";
        else if (!m.pass() && p.MOVE_COUNT + 2 > MAX_POSITION_NUMBER)
            why = which + " runs past move " + std::to_string(MAX_POSITION_NUMBER);
        if (!why.empty()) return {};
        play(m);
    }
    return text;
}

ZbkRead readZbkBytes(std::string_view bytes) {
    return readFrom([&bytes](char* buffer, std::size_t size) -> long {
        const std::size_t n = std::min(size, bytes.size());
        bytes.copy(buffer, n);
        bytes.remove_prefix(n);
        return static_cast<long>(n);
    });
}

ZbkRead readZbk(const std::filesystem::path& file) {
    std::error_code error;
    const OpenedFile input = openForReading(file, error);
    if (error) return refused(ZbkProblem::NotOpened, 0, "cannot be opened: " + error.message());
    if (input.kind == FileKind::Folder)
        return refused(ZbkProblem::NotOpened, 0, "it is a folder, not a file");
    if (input.kind != FileKind::Regular)
        return refused(ZbkProblem::NotOpened, 0, "it is not a regular file");
    if (input.size > maxRecordFileBytes)
        return refused(ZbkProblem::TooLarge, 0,
                       "the file is larger than " + std::to_string(maxRecordFileBytes / 1024) +
                           " KB");
    std::FILE* f = input.file.get();
    return readFrom([f](char* buffer, std::size_t size) -> long {
        const std::size_t n = std::fread(buffer, 1, size, f);
        if (n == 0 && std::ferror(f)) return -1;
        return static_cast<long>(n);
    });
}

ZbkWrite writeZbk(const std::filesystem::path& file, const ZbkGame& game,
                  RecordFileSystem& fileSystem) {
    ZbkWrite result;
    const std::string text = zbkText(game, result.error);
    if (!result.error.empty()) return result;
    result.io = replaceFile(file, text, fileSystem);
    if (result.io) result.error = "cannot write " + file.string() + ": " + result.io.message();
    return result;
}

bool isZbkFile(const std::filesystem::path& file) {
    const std::u8string u8 = file.extension().u8string();
    std::string extension(u8.begin(), u8.end());
    std::transform(extension.begin(), extension.end(), extension.begin(), [](char c) {
        return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
    });
    if (extension == zbkExtension) return true;
    if (extension == recordExtension) return false;
    std::error_code error;
    const OpenedFile input = openForReading(file, error);
    if (error || input.kind != FileKind::Regular) return false;
    char start[32];
    const std::size_t n = std::fread(start, 1, sizeof start, input.file.get());
    return isZbkText(std::string_view(start, n));
}

bool isZbkText(std::string_view bytes) {
    if (bytes.starts_with(byteOrderMark)) bytes.remove_prefix(byteOrderMark.size());
    return bytes.starts_with(std::string(zbkFormatName) + ' ');
}

} // namespace zubeki
