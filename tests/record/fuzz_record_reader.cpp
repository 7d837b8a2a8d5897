// libFuzzer target: any bytes as a record file of either kind, a .棋譜 record and a game from any
// position (.zbk). Besides not crashing, a file a reader accepts must be one the window can
// replay and the writer can write back unchanged, and one it refuses is refused in one line.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "record/encoding.h"
#include "record/record_file.h"
#include "record/zbk.h"

namespace {

void require(bool condition) {
    if (!condition) __builtin_trap();
}

// A game from any position: refused with one line, or written back as a file that reads as the
// same game.
void checkZbk(std::string_view bytes) {
    using namespace zubeki;
    const ZbkRead read = readZbkBytes(bytes);
    if (!read.ok()) {
        require(!read.error.empty() && read.error.find('\n') == std::string::npos);
        require(isValidUtf8(read.error));
        return;
    }
    std::string why;
    const std::string text = zbkText(read.game, why);
    require(why.empty() && !text.empty());
    const ZbkRead back = readZbkBytes(text);
    require(back.ok() && back.game.start == read.game.start && back.game.moves == read.game.moves);
    require(back.end == read.end && back.ended == read.ended);
    std::string endWhy;
    require(Position::fromText(read.end.text(), endWhy).has_value() || read.ended != GameEnd::None);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace zubeki;
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    checkZbk(bytes);

    const ReadResult read = readRecordBytes(bytes);
    if (!read.ok) {
        require(!read.error.empty() && read.moves.RECORD_LEN == 0);
        return 0;
    }
    require(read.moves.RECORD_POS == 0);
    require(read.moves.RECORD_LEN >= 0 && read.moves.RECORD_LEN <= MoveList::CAPACITY);
    for (int n = 1; n <= read.moves.RECORD_LEN; ++n) {
        require(isPlayableMove(read.moves, n));
        const std::string line = formatMoveLine(read.moves, n);
        require(line.size() == 17);
        MoveList back;
        parseMoveLine(line, back, 1);
        require(back.REC_FROM_X[1] == read.moves.REC_FROM_X[n] &&
                back.REC_FROM_Y[1] == read.moves.REC_FROM_Y[n] &&
                back.REC_TO_X[1] == read.moves.REC_TO_X[n] &&
                back.REC_TO_Y[1] == read.moves.REC_TO_Y[n] &&
                back.REC_RESULT[1] == read.moves.REC_RESULT[n] &&
                back.REC_PIECE[1] == read.moves.REC_PIECE[n] &&
                back.REC_TARGET[1] == read.moves.REC_TARGET[n]);
    }
    for (const std::string& header : read.header) {
        require(isValidUtf8(header));
        // A name the code page can hold comes back from a written file as it was.
        const Cp932Text written = utf8ToCp932(header);
        if (written.replaced == 0) require(cp932ToUtf8(written.bytes) == header);
    }
    return 0;
}
