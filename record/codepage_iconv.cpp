// Code page 932 through glibc iconv. "CP932" is Microsoft's table: it keeps the NEC and IBM
// extensions (①, ∥, ￢, 髙) and maps 0x5C to the backslash; "SHIFT_JIS" does neither.
#include "record/codepage.h"

#include <cerrno>
#include <iconv.h>

namespace zubeki::codepage {
namespace {

class Converter {
  public:
    Converter(const char* to, const char* from) : cd_(iconv_open(to, from)) {}
    ~Converter() {
        if (ok()) iconv_close(cd_);
    }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;

    bool ok() const { return cd_ != reinterpret_cast<iconv_t>(-1); }

    std::size_t convertPrefix(std::string_view in, std::string& out) {
        if (!ok()) return 0;
        iconv(cd_, nullptr, nullptr, nullptr, nullptr); // back to the initial state
        char* src = const_cast<char*>(in.data());
        std::size_t srcLeft = in.size();
        char buffer[1024];
        while (srcLeft > 0) {
            char* dst = buffer;
            std::size_t dstLeft = sizeof buffer;
            const std::size_t r = iconv(cd_, &src, &srcLeft, &dst, &dstLeft);
            out.append(buffer, static_cast<std::size_t>(dst - buffer));
            if (r != static_cast<std::size_t>(-1)) continue;
            if (errno == E2BIG) continue; // buffer full: flushed above, go on
            break;                        // EILSEQ or EINVAL: stop before the bad sequence
        }
        return in.size() - srcLeft;
    }

  private:
    iconv_t cd_;
};

} // namespace

// One converter per direction and thread: opening iconv for every header line would be wasteful.
std::size_t utf8ToCp932Prefix(std::string_view in, std::string& out) {
    thread_local Converter converter("CP932", "UTF-8");
    return converter.convertPrefix(in, out);
}

std::size_t cp932ToUtf8Prefix(std::string_view in, std::string& out) {
    thread_local Converter converter("UTF-8", "CP932");
    return converter.convertPrefix(in, out);
}

} // namespace zubeki::codepage
