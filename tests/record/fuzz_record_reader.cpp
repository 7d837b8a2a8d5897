// libFuzzer target: any bytes as a record file. Besides not crashing, a record the reader accepts
// must be one the window can replay and the writer can write back unchanged.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "record/encoding.h"
#include "record/record_file.h"

namespace {

void require(bool condition) {
    if (!condition) __builtin_trap();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace zubeki;
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);

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
