#pragma once

#include <cstddef>
#include <functional>
#include <string>

// Reads a record file line by line, the way ファイル1_読込 does, without trusting the file: a line
// has at most maxRecordLineBytes bytes, a NUL byte means the file is not text, and no more than
// maxRecordFileBytes bytes are read of a whole file.
namespace zubeki {

inline constexpr std::size_t maxRecordLineBytes = 4096;
// A record of 500 moves with three long names is about 22 KB; anything far larger is not one, and
// reading it would only keep the window waiting.
inline constexpr std::size_t maxRecordFileBytes = 256 * 1024;

// Where the bytes come from: fills up to `size` bytes of `buffer` and answers how many it put
// there, 0 at the end of the file, or -1 when the read failed (errno then says why).
using ByteSource = std::function<long(char* buffer, std::size_t size)>;

class RecordLineReader {
  public:
    // Why the last read answered FALSE_CODE.
    // TooLarge: the source held more than maxFileBytes bytes.
    enum class Stop { None, EndOfFile, TooLong, Binary, ReadError, TooLarge };

    explicit RecordLineReader(ByteSource source, std::size_t maxLineBytes = maxRecordLineBytes,
                              std::size_t maxFileBytes = maxRecordFileBytes);

    // Reads the next line, without its line end (CR LF, CR alone or LF alone), into 文字列 and
    // answers TRUE_CODE; answers FALSE_CODE, leaving 文字列 as it was, at the end of the file or
    // when the line cannot be read. After one FALSE_CODE every further read answers FALSE_CODE.
    int ファイル1_読込(std::string& 文字列);

    Stop stop() const { return stop_; }
    // errno of a failed read.
    int readErrno() const { return readErrno_; }
    // Lines read so far; during a failed read, the number of the line that failed, counting from 1.
    int lineNumber() const { return lineNumber_; }

  private:
    bool fill(); // refills the buffer; false at the end or on an error
    int peek();  // next byte (0..255) or -1
    void fail(Stop stop);

    ByteSource source_;
    std::size_t maxLineBytes_;
    std::size_t maxFileBytes_;
    std::size_t total_ = 0; // bytes taken from the source so far
    char buffer_[8192];
    std::size_t begin_ = 0;
    std::size_t end_ = 0;
    bool atEnd_ = false;
    Stop stop_ = Stop::None;
    int readErrno_ = 0;
    int lineNumber_ = 0;
    std::string line_;
};

} // namespace zubeki
