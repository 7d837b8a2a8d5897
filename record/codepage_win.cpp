// Code page 932 on Windows: MultiByteToWideChar and WideCharToMultiByte, one character at a
// time so the conversion can stop exactly before the first character that does not fit.
#include "record/codepage.h"

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

namespace zubeki::codepage {
namespace {

constexpr UINT kCp932 = 932;

// Bytes of the character starting at `lead` in UTF-8 (0: not a lead byte).
std::size_t utf8Length(unsigned char lead) {
    if (lead < 0x80) return 1;
    if (lead >= 0xC2 && lead <= 0xDF) return 2;
    if (lead >= 0xE0 && lead <= 0xEF) return 3;
    if (lead >= 0xF0 && lead <= 0xF4) return 4;
    return 0;
}

// Bytes of the character starting at `lead` in code page 932 (0: not a lead byte).
std::size_t cp932Length(unsigned char lead) {
    if (lead < 0x80 || (lead >= 0xA1 && lead <= 0xDF)) return 1;
    if ((lead >= 0x81 && lead <= 0x9F) || (lead >= 0xE0 && lead <= 0xFC)) return 2;
    return 0;
}

// One character from code page `from` to code page `to`; false when it does not convert
// cleanly both ways.
bool convertOne(std::string_view ch, UINT from, UINT to, std::string& out) {
    wchar_t wide[4];
    const int n = ::MultiByteToWideChar(from, MB_ERR_INVALID_CHARS, ch.data(),
                                        static_cast<int>(ch.size()), wide, 4);
    if (n <= 0) return false;
    char bytes[8];
    BOOL usedDefault = FALSE;
    const int m =
        ::WideCharToMultiByte(to, to == CP_UTF8 ? 0 : WC_NO_BEST_FIT_CHARS, wide, n, bytes,
                              sizeof bytes, nullptr, to == CP_UTF8 ? nullptr : &usedDefault);
    if (m <= 0 || usedDefault) return false;
    out.append(bytes, static_cast<std::size_t>(m));
    return true;
}

template <class Length>
std::size_t convertPrefix(std::string_view in, std::string& out, UINT from, UINT to,
                          Length length) {
    std::size_t used = 0;
    while (used < in.size()) {
        const std::size_t n = length(static_cast<unsigned char>(in[used]));
        if (n == 0 || used + n > in.size()) break;
        if (!convertOne(in.substr(used, n), from, to, out)) break;
        used += n;
    }
    return used;
}

} // namespace

std::size_t utf8ToCp932Prefix(std::string_view in, std::string& out) {
    return convertPrefix(in, out, CP_UTF8, kCp932, utf8Length);
}

std::size_t cp932ToUtf8Prefix(std::string_view in, std::string& out) {
    return convertPrefix(in, out, kCp932, CP_UTF8, cp932Length);
}

} // namespace zubeki::codepage
