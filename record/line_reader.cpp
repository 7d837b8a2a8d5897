#include "record/line_reader.h"

#include <algorithm>
#include <cerrno>
#include <utility>

#include "game/codes.h"

namespace zubeki {

RecordLineReader::RecordLineReader(ByteSource source, std::size_t maxLineBytes,
                                   std::size_t maxFileBytes)
    : source_(std::move(source)), maxLineBytes_(maxLineBytes), maxFileBytes_(maxFileBytes) {}

bool RecordLineReader::fill() {
    if (atEnd_) return false;
    // Never more than one byte past the limit: enough to know a file is too large (or grew too
    // large while it was read) without reading the rest of it.
    const std::size_t want = std::min(sizeof buffer_, maxFileBytes_ - total_ + 1);
    long n;
    do {
        errno = 0;
        n = source_(buffer_, want);
    } while (n < 0 && errno == EINTR);
    if (n < 0) {
        readErrno_ = errno;
        atEnd_ = true;
        fail(Stop::ReadError);
        return false;
    }
    if (n == 0 || static_cast<std::size_t>(n) > want) {
        atEnd_ = true;
        return false;
    }
    total_ += static_cast<std::size_t>(n);
    if (total_ > maxFileBytes_) {
        atEnd_ = true;
        fail(Stop::TooLarge);
        return false;
    }
    begin_ = 0;
    end_ = static_cast<std::size_t>(n);
    return true;
}

int RecordLineReader::peek() {
    if (begin_ == end_ && !fill()) return -1;
    return static_cast<unsigned char>(buffer_[begin_]);
}

void RecordLineReader::fail(Stop stop) {
    if (stop_ == Stop::None) stop_ = stop;
}

int RecordLineReader::ファイル1_読込(std::string& 文字列) {
    if (stop_ != Stop::None) return FALSE_CODE;
    int c = peek();
    if (c < 0) {
        fail(Stop::EndOfFile);
        return FALSE_CODE;
    }
    ++lineNumber_; // from here on, a failure is a failure of this line
    line_.clear();
    while (c >= 0 && c != '\r' && c != '\n') {
        if (c == 0) {
            fail(Stop::Binary);
            return FALSE_CODE;
        }
        if (line_.size() == maxLineBytes_) {
            fail(Stop::TooLong);
            return FALSE_CODE;
        }
        line_ += static_cast<char>(c);
        ++begin_;
        c = peek();
    }
    if (c == '\r') {
        ++begin_;
        if (peek() == '\n') ++begin_;
    } else if (c == '\n') {
        ++begin_;
    }
    if (stop_ != Stop::None) return FALSE_CODE; // the source failed or ran past the limit
    文字列 = line_;
    return TRUE_CODE;
}

} // namespace zubeki
