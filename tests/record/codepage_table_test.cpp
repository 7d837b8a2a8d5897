// Our own code page 932 table against glibc iconv: every one- and two-byte sequence read, every
// character of the basic plane written, and the places both must stop, byte for byte alike.
#include <gtest/gtest.h>

#include <string>

#include "record/codepage.h"
#include "record/codepage_table.h"

namespace zubeki {
namespace {

std::string utf8Of(char32_t c) {
    std::string s;
    if (c < 0x80) {
        s += static_cast<char>(c);
    } else if (c < 0x800) {
        s += static_cast<char>(0xC0 | c >> 6);
        s += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        s += static_cast<char>(0xE0 | c >> 12);
        s += static_cast<char>(0x80 | (c >> 6 & 0x3F));
        s += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        s += static_cast<char>(0xF0 | c >> 18);
        s += static_cast<char>(0x80 | (c >> 12 & 0x3F));
        s += static_cast<char>(0x80 | (c >> 6 & 0x3F));
        s += static_cast<char>(0x80 | (c & 0x3F));
    }
    return s;
}

// Both converters given the same input (with a known tail, so the stop is seen) agree.
template <class A, class B> void expectSame(A iconvWay, B tableWay, const std::string& in) {
    std::string a = "x", b = "x";
    const std::size_t usedA = iconvWay(in, a);
    const std::size_t usedB = tableWay(in, b);
    ASSERT_EQ(usedA, usedB) << testing::PrintToString(in);
    ASSERT_EQ(a, b) << testing::PrintToString(in);
}

TEST(Cp932Table, ReadsEverySequenceAsIconvDoes) {
    for (int first = 0; first < 256; ++first) {
        const std::string one(1, static_cast<char>(first));
        expectSame(codepage::cp932ToUtf8Prefix, codepage::table::cp932ToUtf8Prefix, one + "A");
        expectSame(codepage::cp932ToUtf8Prefix, codepage::table::cp932ToUtf8Prefix, one);
        for (int second = 0; second < 256; ++second)
            expectSame(codepage::cp932ToUtf8Prefix, codepage::table::cp932ToUtf8Prefix,
                       one + static_cast<char>(second) + "\x82\xa0");
    }
}

TEST(Cp932Table, WritesEveryCharacterAsIconvDoes) {
    for (char32_t c = 0; c < 0x110000; c += (c < 0x10000 ? 1 : 0x3FF)) {
        if (c >= 0xD800 && c <= 0xDFFF) continue;
        expectSame(codepage::utf8ToCp932Prefix, codepage::table::utf8ToCp932Prefix,
                   utf8Of(c) + "\xef\xbd\xba"); // then ｺ
    }
    // Not UTF-8: an overlong form, a surrogate, a stray continuation byte, a cut-off character.
    for (const char* bad : {"a\xc0\xafz", "a\xed\xa0\x80z", "a\x80z", "a\xe3\x81"})
        expectSame(codepage::utf8ToCp932Prefix, codepage::table::utf8ToCp932Prefix, bad);
}

} // namespace
} // namespace zubeki
