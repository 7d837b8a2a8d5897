#include "record/record_file.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <random>
#include <string>

#include "game/codes.h"
#include "record/encoding.h"

namespace zubeki {
namespace {

constexpr std::string_view lineEnd = "\r\n";

std::string number(int n) {
    return std::to_string(n);
}

// What went wrong, as the player should hear it. `reading` picks the words for a missing file.
std::string reasonText(std::error_code error, bool reading) {
    switch (static_cast<std::errc>(error.value())) {
    case std::errc::permission_denied:
    case std::errc::operation_not_permitted:
        return reading ? "読み込みが許可されていません" : "書き込みが許可されていません";
    case std::errc::read_only_file_system:
        return "書き込み禁止の媒体です";
    case std::errc::no_space_on_device:
        return "ﾃﾞｨｽｸがいっぱいです";
    case std::errc::no_such_file_or_directory:
        return reading ? "ﾌｧｲﾙが見つかりません" : "ﾌｫﾙﾀﾞが見つかりません";
    case std::errc::not_a_directory:
        return "ﾌｫﾙﾀﾞが見つかりません";
    case std::errc::is_a_directory:
        return reading ? "ﾌｧｲﾙではなくﾌｫﾙﾀﾞです" : "同じ名前のﾌｫﾙﾀﾞがあります";
    case std::errc::filename_too_long:
        return "ﾌｧｲﾙ名が長すぎます";
    case std::errc::illegal_byte_sequence:
    case std::errc::invalid_argument:
        return "ﾌｧｲﾙ名に使えない文字があります";
    case std::errc::io_error:
        return "ﾃﾞﾊﾞｲｽのｴﾗｰです";
    default:
        break;
    }
#ifdef EDQUOT
    if (error.value() == EDQUOT) return "ﾃﾞｨｽｸがいっぱいです";
#endif
    return "ｴﾗｰ " + number(error.value()) + "（" + error.message() + "）";
}

std::string writeError(std::string_view reason) {
    return "棋譜を書き込めませんでした：" + std::string(reason);
}

// "257 KB", "1024 MB": rounded up below a megabyte, so a file just past the limit does not
// seem to be at it.
std::string sizeText(std::uint64_t bytes) {
    constexpr std::uint64_t kb = 1024, mb = 1024 * 1024;
    if (bytes < mb) return std::to_string((bytes + kb - 1) / kb) + " KB";
    return std::to_string(bytes / mb) + " MB";
}

// `size` is empty when the file grew past the limit while it was read.
std::string tooLarge(std::string_view size) {
    return "棋譜ﾌｧｲﾙが大きすぎます（" + std::string(size) + (size.empty() ? "" : "。") +
           "読み込めるのは " + sizeText(maxRecordFileBytes) + " までです）";
}

ReadResult notOpened(std::string_view reason) {
    ReadResult result;
    result.opened = false;
    result.error = "棋譜ﾌｧｲﾙを開けませんでした：" + std::string(reason);
    return result;
}

std::string lineError(int line, std::string_view what) {
    return "棋譜ﾌｧｲﾙの " + number(line) + " 行目" + std::string(what);
}

int promotedCode(int piece) {
    return isUpperPiece(piece) ? piece + 1 : piece - 1;
}

bool isBlank(std::string_view line) {
    return line.find_first_not_of(" \t") == std::string_view::npos;
}

// A header line as code page 932 on one line of its own: line ends inside a name would split it.
std::string headerLine(std::string_view utf8, int& replaced) {
    std::string flat(utf8);
    for (char& c : flat) {
        if (c == '\r' || c == '\n' || c == '\0') {
            c = '?';
            ++replaced;
        }
    }
    Cp932Text text = utf8ToCp932(flat);
    replaced += text.replaced;
    return std::move(text.bytes);
}

std::filesystem::path pathFromUtf8(std::string_view utf8) {
    return std::filesystem::path(
        std::u8string(reinterpret_cast<const char8_t*>(utf8.data()), utf8.size()));
}

constexpr std::string_view temporaryPrefix = ".zubeki-";
constexpr std::string_view temporarySuffix = ".tmp";

// Short, so a long record name still leaves room; hidden and not "*.棋譜", so the file list
// ignores it. The random part keeps writers in one folder apart, and leftovers of writes that
// were cut short can never use up the names.
std::filesystem::path temporaryPath(const std::filesystem::path& folder) {
    thread_local std::mt19937_64 generator = [] {
        std::random_device device;
        std::seed_seq seed{device(), device(), device(), device()};
        return std::mt19937_64(seed);
    }();
    char part[17];
    std::snprintf(part, sizeof part, "%016llx", static_cast<unsigned long long>(generator()));
    return folder / (std::string(temporaryPrefix) + part + std::string(temporarySuffix));
}

// Ours: ".zubeki-" then hexadecimal digits (decimal ones from older versions) then ".tmp".
bool isTemporaryName(std::string_view name) {
    if (name.size() <= temporaryPrefix.size() + temporarySuffix.size() ||
        !name.starts_with(temporaryPrefix) || !name.ends_with(temporarySuffix))
        return false;
    name.remove_prefix(temporaryPrefix.size());
    name.remove_suffix(temporarySuffix.size());
    return name.find_first_not_of("0123456789abcdef") == std::string_view::npos;
}

// Removes the temporary files of writes that were cut off before their rename (the program was
// killed, the machine went down). One younger than an hour may be another window's write going on.
void removeLeftovers(const std::filesystem::path& folder, RecordFileSystem& fileSystem) {
    namespace fs = std::filesystem;
    const auto before = fs::file_time_type::clock::now() - std::chrono::hours(1);
    std::error_code error;
    for (fs::directory_iterator it(folder.empty() ? "." : folder, error), end; !error && it != end;
         it.increment(error)) {
        std::error_code ignored;
        if (!isTemporaryName(it->path().filename().string()) || !it->is_regular_file(ignored) ||
            it->is_symlink(ignored))
            continue;
        const fs::file_time_type written = it->last_write_time(ignored);
        if (!ignored && written < before) fileSystem.remove(it->path());
    }
}

} // namespace

RecordHeader recordHeader(std::string_view text2, std::string_view text3, std::string_view text4,
                          int manSide) {
    if (manSide == SIDE_SENTE) return {std::string(text2), std::string(text4), std::string(text3)};
    return {std::string(text2), std::string(text3), std::string(text4)};
}

std::filesystem::path recordPath(const std::filesystem::path& folder, std::string_view name) {
    return folder / pathFromUtf8(std::string(name) + std::string(recordExtension));
}

std::string checkRecordName(std::string_view name) {
    if (name.empty()) return "ﾌｧｲﾙ名が入力されていません";
#ifdef _WIN32
    constexpr std::string_view separators = "/\\:";
    constexpr std::string_view refused = "*?\"<>|";
#else
    constexpr std::string_view separators = "/";
    constexpr std::string_view refused = "";
#endif
    for (char c : name) {
        if (separators.find(c) != std::string_view::npos)
            return "ﾌｧｲﾙ名に '" + std::string(1, c) + "' は使えません";
        if (refused.find(c) != std::string_view::npos || static_cast<unsigned char>(c) < 0x20 ||
            c == 0x7F)
            return "ﾌｧｲﾙ名に使えない文字があります";
    }
    if (!isValidUtf8(name)) return "ﾌｧｲﾙ名に使えない文字があります";
    return {};
}

std::string formatMoveLine(const MoveList& list, int n) {
    if (n < 1 || n > MoveList::CAPACITY) return {};
    char line[96];
    const int len = std::snprintf(line, sizeof line, "%2d%d%d%d%4d%4d%4d", list.REC_FROM_X[n],
                                  list.REC_FROM_Y[n], list.REC_TO_X[n], list.REC_TO_Y[n],
                                  list.REC_RESULT[n], list.REC_PIECE[n], list.REC_TARGET[n]);
    return std::string(line, len > 0 ? static_cast<std::size_t>(len) : 0);
}

int parseMoveField(std::string_view field) {
    long long value = 0;
    int sign = 0; // 0 until a sign or a digit has been seen
    for (char c : field) {
        if (c == ' ' || c == '\t') continue;
        if (sign == 0 && (c == '-' || c == '+')) {
            sign = c == '-' ? -1 : 1;
            continue;
        }
        if (c < '0' || c > '9') break;
        if (sign == 0) sign = 1;
        value = std::min(value * 10 + (c - '0'), 999'999'999LL); // no field is this wide
    }
    return static_cast<int>(sign < 0 ? -value : value);
}

void parseMoveLine(std::string_view line, MoveList& list, int n) {
    if (n < 1 || n > MoveList::CAPACITY) return;
    const auto field = [&](std::size_t column, std::size_t width) {
        return parseMoveField(column - 1 < line.size() ? line.substr(column - 1, width) : "");
    };
    list.REC_FROM_X[n] = field(1, 2);
    list.REC_FROM_Y[n] = field(3, 1);
    list.REC_TO_X[n] = field(4, 1);
    list.REC_TO_Y[n] = field(5, 1);
    list.REC_RESULT[n] = field(6, 4);
    list.REC_PIECE[n] = field(10, 4);
    list.REC_TARGET[n] = field(14, 4);
}

bool isPlayableMove(const MoveList& list, int n) {
    if (n < 1 || n > MoveList::CAPACITY) return false;
    const int piece = list.REC_PIECE[n];
    const int result = list.REC_RESULT[n];
    return onBoard(list.REC_FROM_X[n], list.REC_FROM_Y[n]) &&
           onBoard(list.REC_TO_X[n], list.REC_TO_Y[n]) && isPieceCode(piece) &&
           list.REC_TARGET[n] == EMPTY &&
           (result == piece || (!isPromoted(piece) && result == promotedCode(piece)));
}

namespace {

WriteResult failedWrite(std::string error) {
    WriteResult result;
    result.error = std::move(error);
    return result;
}

// The record as the file holds it. The whole record is small (at most three names and 500
// lines of 19 bytes), so it is put together first and only then does anything touch the
// disk. `refusal` tells why it cannot be written, if it cannot.
std::string recordText(const RecordHeader& header, const MoveList& list, int& replaced,
                       std::string& refusal) {
    std::string text;
    for (const std::string& line : header) {
        std::string bytes = headerLine(line, replaced);
        if (bytes.size() > maxRecordLineBytes) {
            refusal = writeError("名前が長すぎます");
            return {};
        }
        text += bytes;
        text += lineEnd;
    }
    for (int n = 1; n <= list.RECORD_POS; ++n) {
        if (!isPlayableMove(list, n)) {
            refusal = writeError(number(n) + " 手目が正しくありません");
            return {};
        }
        text += formatMoveLine(list, n);
        text += lineEnd;
    }
    return text;
}

// The file a record's path leads to. A record that is a symbolic link stays one: the file it
// leads to is replaced, in its folder.
WriteTarget writeTarget(const std::filesystem::path& record, RecordFileSystem& fileSystem,
                        std::error_code& error) {
    const WriteTarget target = fileSystem.resolve(record, error);
    if (!error && target.exists && !target.writable)
        error = std::make_error_code(std::errc::permission_denied);
    return target;
}

// A new temporary file beside the target, with the target's permissions if it has any; null,
// with `error`, when none could be made.
std::unique_ptr<RecordOutputFile> createTemporary(const WriteTarget& target,
                                                  RecordFileSystem& fileSystem,
                                                  std::filesystem::path& temporary,
                                                  std::error_code& error) {
    const std::filesystem::path targetFolder = target.file.parent_path();
    std::unique_ptr<RecordOutputFile> file;
    for (int attempt = 0; attempt < 100; ++attempt) {
        temporary = temporaryPath(targetFolder);
        file = fileSystem.createNew(
            temporary, target.exists ? target.permissions : std::filesystem::perms::unknown, error);
        if (file || error != std::errc::file_exists) break;
    }
    return file;
}

// Writes `text` to a temporary file and renames it over the target, so that a write that fails
// leaves the old record as it was; false, with `error`, when it fails, and then a temporary
// file that was made is removed.
bool writeOver(const WriteTarget& target, std::string_view text, RecordFileSystem& fileSystem,
               std::error_code& error) {
    std::filesystem::path temporary;
    std::unique_ptr<RecordOutputFile> file = createTemporary(target, fileSystem, temporary, error);
    if (!file) return false;
    error = file->write(text);
    if (const std::error_code finished = file->finish(); !error) error = finished;
    file.reset();
    if (!error) error = fileSystem.replace(temporary, target.file);
    if (error) {
        fileSystem.remove(temporary);
        return false;
    }
    return true;
}

// The reader stopped: fine at the end of the file (nothing said), otherwise why the file is
// refused.
std::string stopReason(const RecordLineReader& reader) {
    switch (reader.stop()) {
    case RecordLineReader::Stop::TooLong:
        return lineError(reader.lineNumber(), "が長すぎます");
    case RecordLineReader::Stop::Binary:
        return lineError(reader.lineNumber(), "に文字でないﾃﾞｰﾀがあります");
    case RecordLineReader::Stop::TooLarge:
        return tooLarge("");
    case RecordLineReader::Stop::ReadError:
        return "棋譜ﾌｧｲﾙを読み込めませんでした：" +
               reasonText({reader.readErrno(), std::generic_category()}, true);
    default:
        return {};
    }
}

// The move lines after the header, into `result.moves`, `n` of them; why the file is refused
// when one of them refuses it. Lines past the record's capacity are left with a warning.
std::string readMoves(RecordLineReader& reader, std::string& RECORD_LINE, ReadResult& result,
                      int& n) {
    int firstBlank = 0; // file line of the first of the blank lines just read, 0 if none
    int blankMove = 0;
    while (reader.stop() == RecordLineReader::Stop::None &&
           reader.ファイル1_読込(RECORD_LINE) == TRUE_CODE) {
        // Blank lines are let through at the end of the file only (an editor may add one).
        if (isBlank(RECORD_LINE)) {
            if (firstBlank == 0) {
                firstBlank = reader.lineNumber();
                blankMove = n + 1;
            }
            continue;
        }
        if (firstBlank != 0)
            return lineError(firstBlank, "（" + number(blankMove) + " 手目）が空です");
        if (n == MoveList::CAPACITY) {
            result.warning = "棋譜ﾌｧｲﾙの " + number(MoveList::CAPACITY + 1) +
                             " 手目から後は読み込みませんでした";
            break;
        }
        ++n;
        parseMoveLine(RECORD_LINE, result.moves, n);
        if (!isPlayableMove(result.moves, n))
            return lineError(reader.lineNumber(), "（" + number(n) + " 手目）が正しくありません");
    }
    return {};
}

} // namespace

RecordBytes recordBytes(const RecordHeader& header, const MoveList& list) {
    RecordBytes result;
    if (list.RECORD_POS < 0 || list.RECORD_POS > MoveList::CAPACITY) {
        result.error = writeError("手順が正しくありません");
        return result;
    }
    int replaced = 0;
    result.bytes = recordText(header, list, replaced, result.error);
    result.ok = result.error.empty();
    if (!result.ok) result.bytes.clear();
    if (replaced > 0) result.warning = "棋譜ﾌｧｲﾙに書けない文字を '?' にしました";
    return result;
}

std::error_code replaceFile(const std::filesystem::path& file, std::string_view bytes,
                            RecordFileSystem& fileSystem) {
    std::error_code error;
    const WriteTarget target = writeTarget(file, fileSystem, error);
    if (error || !writeOver(target, bytes, fileSystem, error)) return error;
    removeLeftovers(target.file.parent_path(), fileSystem);
    return {};
}

WriteResult writeRecord(const std::filesystem::path& folder, std::string_view name,
                        const RecordHeader& header, const MoveList& list,
                        RecordFileSystem& fileSystem) {
    if (std::string refusal = checkRecordName(name); !refusal.empty())
        return failedWrite(std::move(refusal));
    RecordBytes text = recordBytes(header, list);
    if (!text.ok) return failedWrite(std::move(text.error));

    if (const std::error_code error = replaceFile(recordPath(folder, name), text.bytes, fileSystem))
        return failedWrite(writeError(reasonText(error, false)));
    WriteResult result;
    result.ok = true;
    result.warning = std::move(text.warning);
    return result;
}

ReadResult readRecordFrom(const ByteSource& source) {
    ReadResult result;
    RecordLineReader reader(source);
    std::string RECORD_LINE;
    const auto refuse = [&](std::string error) {
        result = ReadResult{};
        result.error = std::move(error);
        result.lines = reader.lineNumber();
        return result;
    };

    for (std::string& line : result.header) {
        if (reader.ファイル1_読込(RECORD_LINE) != TRUE_CODE) break;
        line = cp932ToUtf8(RECORD_LINE);
    }
    int n = 0;
    if (std::string error = readMoves(reader, RECORD_LINE, result, n); !error.empty())
        return refuse(std::move(error));
    if (std::string error = stopReason(reader); !error.empty()) return refuse(std::move(error));

    result.ok = true;
    result.moves.RECORD_POS = 0;
    result.moves.RECORD_LEN = n;
    result.lines = reader.lineNumber();
    return result;
}

ReadResult readRecordBytes(std::string_view bytes) {
    return readRecordFrom([&bytes](char* buffer, std::size_t size) -> long {
        const std::size_t n = std::min(size, bytes.size());
        bytes.copy(buffer, n);
        bytes.remove_prefix(n);
        return static_cast<long>(n);
    });
}

std::string recordOpenFailure(std::error_code error) {
    return notOpened(reasonText(error, true)).error;
}

ReadResult readRecord(const std::filesystem::path& file) {
    std::error_code error;
    const OpenedFile input = openForReading(file, error);
    if (error) return notOpened(reasonText(error, true));
    if (input.kind == FileKind::Folder) return notOpened("ﾌｧｲﾙではなくﾌｫﾙﾀﾞです");
    if (input.kind != FileKind::Regular) return notOpened("普通のﾌｧｲﾙではありません");
    if (input.size > maxRecordFileBytes) {
        ReadResult result;
        result.error = tooLarge(sizeText(input.size));
        return result;
    }
    std::FILE* f = input.file.get();
    return readRecordFrom([f](char* buffer, std::size_t size) -> long {
        const std::size_t n = std::fread(buffer, 1, size, f);
        if (n == 0 && std::ferror(f)) return -1;
        return static_cast<long>(n);
    });
}

} // namespace zubeki
