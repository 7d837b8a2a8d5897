#include "record/codepage_table.h"

#include "record/encoding.h"

#include <array>
#include <cstdint>

namespace zubeki::codepage::table {
namespace {

#include "record/cp932_table.inc"

constexpr int kLead = -2;

int leadIndex(unsigned char lead) {
    return lead <= 0x9F ? lead - 0x81 : lead - 0xE0 + (0x9F - 0x81 + 1);
}

// The code point of the character at the start of `in` and its length in bytes, or length 0.
std::size_t decodeOne(std::string_view in, char32_t& c) {
    const auto lead = static_cast<unsigned char>(in[0]);
    const int single = kSingle[lead];
    if (single >= 0) {
        c = static_cast<char32_t>(single);
        return 1;
    }
    if (single != kLead || in.size() < 2) return 0;
    const auto trail = static_cast<unsigned char>(in[1]);
    if (trail < 0x40 || trail > 0xFC) return 0;
    c = kPair[leadIndex(lead)][trail - 0x40];
    return c == 0 ? 0 : 2;
}

void appendUtf8(char32_t c, std::string& out) {
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | c >> 6);
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xE0 | c >> 12);
        out += static_cast<char>(0x80 | (c >> 6 & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

char32_t utf8Value(std::string_view s, std::size_t len) {
    static constexpr unsigned char leadMask[] = {0, 0x7F, 0x1F, 0x0F, 0x07};
    char32_t c = static_cast<unsigned char>(s[0]) & leadMask[len];
    for (std::size_t i = 1; i < len; ++i) c = c << 6 | (static_cast<unsigned char>(s[i]) & 0x3F);
    return c;
}

// Every code point of the basic plane with its bytes (one byte below 0x100; 0 for none but
// U+0000 itself): the first sequence that decodes to it, unless iconv chooses another.
struct EncodeTable {
    std::array<std::uint16_t, 0x10000> bytes{};
    EncodeTable() {
        for (int b = 0xFF; b >= 0; --b)
            if (kSingle[b] >= 0)
                bytes[static_cast<std::size_t>(kSingle[b])] = static_cast<std::uint16_t>(b);
        for (int lead = 0xFC; lead >= 0x81; --lead) {
            if (lead > 0x9F && lead < 0xE0) continue;
            for (int t = 0xFC; t >= 0x40; --t)
                if (const char32_t c = kPair[leadIndex(static_cast<unsigned char>(lead))][t - 0x40])
                    bytes[c] = static_cast<std::uint16_t>(lead << 8 | t);
        }
        for (const auto& [c, b] : kEncodeOverride) bytes[c] = static_cast<std::uint16_t>(b);
    }
};

} // namespace

std::size_t cp932ToUtf8Prefix(std::string_view in, std::string& out) {
    std::size_t used = 0;
    while (used < in.size()) {
        char32_t c = 0;
        const std::size_t len = decodeOne(in.substr(used), c);
        if (len == 0) break;
        appendUtf8(c, out);
        used += len;
    }
    return used;
}

std::size_t utf8ToCp932Prefix(std::string_view in, std::string& out) {
    static const EncodeTable table;
    std::size_t used = 0;
    while (used < in.size()) {
        const std::size_t len = utf8CharLength(in.substr(used));
        if (len == 0 || len == 4) break; // not UTF-8, or past the basic plane: no place in 932
        const char32_t c = utf8Value(in.substr(used), len);
        const std::uint16_t b = table.bytes[c];
        if (b == 0 && c != 0) break;
        if (b > 0xFF) out += static_cast<char>(b >> 8);
        out += static_cast<char>(b & 0xFF);
        used += len;
    }
    return used;
}

} // namespace zubeki::codepage::table
