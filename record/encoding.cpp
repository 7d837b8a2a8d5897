#include "record/encoding.h"

#include "record/codepage.h"

namespace zubeki {
namespace {

constexpr std::string_view replacementCharacter = "\xEF\xBF\xBD"; // U+FFFD

} // namespace

std::size_t utf8CharLength(std::string_view s) {
    if (s.empty()) return 0;
    const auto b = [&](std::size_t i) { return static_cast<unsigned char>(s[i]); };
    const unsigned char lead = b(0);
    if (lead < 0x80) return 1;
    std::size_t len;
    unsigned char lo = 0x80, hi = 0xBF; // allowed range of the second byte
    if (lead >= 0xC2 && lead <= 0xDF) {
        len = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        len = 3;
        if (lead == 0xE0) lo = 0xA0; // overlong
        if (lead == 0xED) hi = 0x9F; // surrogates
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        len = 4;
        if (lead == 0xF0) lo = 0x90; // overlong
        if (lead == 0xF4) hi = 0x8F; // past U+10FFFF
    } else {
        return 0;
    }
    if (s.size() < len || b(1) < lo || b(1) > hi) return 0;
    for (std::size_t i = 2; i < len; ++i)
        if (b(i) < 0x80 || b(i) > 0xBF) return 0;
    return len;
}

bool isValidUtf8(std::string_view bytes) {
    while (!bytes.empty()) {
        const std::size_t len = utf8CharLength(bytes);
        if (len == 0) return false;
        bytes.remove_prefix(len);
    }
    return true;
}

Cp932Text utf8ToCp932(std::string_view utf8) {
    Cp932Text result;
    result.bytes.reserve(utf8.size());
    std::string back;
    while (!utf8.empty()) {
        const std::size_t len = utf8CharLength(utf8);
        if (len == 1) { // plain ASCII is the same in code page 932
            result.bytes += utf8.front();
            utf8.remove_prefix(1);
            continue;
        }
        const std::string_view character = utf8.substr(0, len);
        utf8.remove_prefix(len == 0 ? 1 : len);
        // A character is only written when its bytes read back as that very character: the
        // converter also "converts" some by making them another one (¥ into '\\', ‾ into '~',
        // — into ―) or nothing at all (the tag characters).
        const std::size_t at = result.bytes.size();
        if (len > 0 && codepage::utf8ToCp932Prefix(character, result.bytes) == len &&
            result.bytes.size() > at) {
            const std::string_view bytes = std::string_view(result.bytes).substr(at);
            back.clear();
            if (codepage::cp932ToUtf8Prefix(bytes, back) == bytes.size() && back == character)
                continue;
        }
        result.bytes.resize(at);
        result.bytes += '?';
        ++result.replaced;
    }
    return result;
}

std::string cp932ToUtf8(std::string_view cp932) {
    std::string out;
    out.reserve(cp932.size() * 3 / 2);
    if (codepage::cp932ToUtf8Prefix(cp932, out) == cp932.size()) return out;
    if (isValidUtf8(cp932)) return std::string(cp932);

    out.clear();
    while (!cp932.empty()) {
        cp932.remove_prefix(codepage::cp932ToUtf8Prefix(cp932, out));
        if (cp932.empty()) break;
        if (static_cast<unsigned char>(cp932.front()) < 0x80)
            out += cp932.front(); // plain ASCII: only without a converter
        else
            out += replacementCharacter;
        cp932.remove_prefix(1);
    }
    return out;
}

} // namespace zubeki
