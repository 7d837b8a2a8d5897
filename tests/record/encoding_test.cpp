// Code page 932 in and out: the characters players type into the name fields, what happens to the
// ones the code page cannot hold, and lines that are not code page 932 at all.
#include <gtest/gtest.h>

#include <string>

#include "record/encoding.h"

namespace zubeki {
namespace {

struct Pair {
    const char* what;
    std::string utf8;
    std::string cp932;
};

// Half-width katakana are one byte each; the NEC and IBM extensions and the characters that
// "SHIFT_JIS" tables get wrong must all survive.
const Pair pairs[] = {
    {"ascii", "Kifu 1-2", "Kifu 1-2"},
    {"half-width katakana", "ﾌｧｲﾙ", "\xCC\xA7\xB2\xD9"},
    {"kanji", "棋譜", "\x8A\xFB\x95\x88"},
    {"circled one", "①", "\x87\x40"},
    {"wave dash", "～", "\x81\x60"},
    {"full-width minus", "－", "\x81\x7C"},
    {"parallel", "∥", "\x81\x61"},
    {"not sign", "￢", "\x81\xCA"},
    {"IBM extension kanji", "髙", "\xFB\xFC"},
    {"backslash and tilde", "\\~", "\\~"},
    {"mixed", "先手 ｱﾏﾀﾞ①", "\x90\xE6\x8E\xE8 \xB1\xCF\xC0\xDE\x87\x40"},
};

TEST(Encoding, RoundTripsTheCharactersOfTheNameFields) {
    for (const Pair& p : pairs) {
        SCOPED_TRACE(p.what);
        const Cp932Text written = utf8ToCp932(p.utf8);
        EXPECT_EQ(written.bytes, p.cp932);
        EXPECT_EQ(written.replaced, 0);
        EXPECT_EQ(cp932ToUtf8(p.cp932), p.utf8);
    }
}

TEST(Encoding, WritesAQuestionMarkForEachCharacterItCannotHold) {
    const struct {
        const char* what;
        std::string utf8;
        std::string cp932;
        int replaced;
    } cases[] = {
        {"hangul between ascii", "a한b", "a?b", 1},
        {"emoji (four bytes)", "\xF0\x9F\x98\x80!", "?!", 1},
        {"two in a row", "한글", "??", 2},
        {"stray continuation byte", "x\x80y", "x?y", 1},
        {"cut-off character at the end", "ok\xE6\xA3", "ok??", 2},
        {"kanji kept around a hole", "棋한譜", "\x8A\xFB?\x95\x88", 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const Cp932Text written = utf8ToCp932(c.utf8);
        EXPECT_EQ(written.bytes, c.cp932);
        EXPECT_EQ(written.replaced, c.replaced);
    }
}

std::string utf8Of(char32_t c) {
    if (c < 0x80) return std::string(1, static_cast<char>(c));
    const int length = c < 0x800 ? 2 : c < 0x10000 ? 3 : 4;
    std::string tail;
    for (int i = 1; i < length; ++i, c >>= 6)
        tail.insert(0, 1, static_cast<char>(0x80 | (c & 0x3F)));
    return static_cast<char>(((0xF00 >> length) & 0xFF) | c) + tail;
}

// Every code point is either written so that it reads back as itself or written as one counted
// '?': the converter also takes some (¥ ‾ ¢ £ ¬ — ‖ − 〜, the tag characters) only to give back
// others, or nothing.
TEST(Encoding, EveryCharacterWrittenReadsBackAsItself) {
    int kept = 0;
    std::string changed;
    for (char32_t c = 1; c <= 0x10FFFF; ++c) {
        if (c >= 0xD800 && c <= 0xDFFF) continue;
        const std::string utf8 = utf8Of(c);
        const Cp932Text written = utf8ToCp932(utf8);
        if (written.replaced == 0) ++kept;
        if (written.replaced == 0 ? cp932ToUtf8(written.bytes) != utf8 : written.bytes != "?")
            changed += std::to_string(static_cast<unsigned>(c)) + " ";
    }
    EXPECT_EQ(changed, "");
    EXPECT_GT(kept, 9000); // ASCII, the half-width katakana and the two-byte sets stay
    for (const char* lookalike : {"¥", "‾", "—", "〜", "\xF3\xA0\x80\x81"})
        EXPECT_EQ(utf8ToCp932(lookalike).bytes, "?") << lookalike;
}

TEST(Encoding, ReadsALineThatIsNotCodePage932) {
    const std::string fffd = "\xEF\xBF\xBD";
    const struct {
        const char* what;
        std::string bytes;
        std::string utf8;
    } cases[] = {
        // UTF-8 kanji that are no code page 932 sequence: taken as they stand.
        {"utf-8 names", "対局名 髙橋", "対局名 髙橋"},
        {"utf-8 hangul", "김", "김"},
        // Neither: every byte that does not fit becomes U+FFFD, the rest is still converted.
        {"undefined single byte",
         "a\x80"
         "b",
         "a" + fffd + "b"},
        {"lead byte without a trail byte", "\x8A\xFB\x81 x", "棋" + fffd + " x"},
        {"cut off at the end", "\xCC\xA7\x81", "ﾌｧ" + fffd},
        {"high bytes", "\xFD\xFE\xFF", fffd + fffd + fffd},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const std::string read = cp932ToUtf8(c.bytes);
        EXPECT_EQ(read, c.utf8);
        EXPECT_TRUE(isValidUtf8(read));
    }
}

TEST(Encoding, TellsWellFormedUtf8FromLookalikes) {
    const struct {
        std::string bytes;
        bool valid;
    } cases[] = {
        {"", true},
        {"棋譜 ①", true},
        {"\xF4\x8F\xBF\xBF", true},  // U+10FFFF
        {"\xC0\xAF", false},         // overlong '/'
        {"\xE0\x9F\xBF", false},     // overlong three-byte form
        {"\xED\xA0\x80", false},     // surrogate
        {"\xF4\x90\x80\x80", false}, // past U+10FFFF
        {"\xE6\xA3", false},         // cut off
        {"\xCC\xA7\xB2\xD9", false}, // half-width katakana in code page 932
    };
    for (const auto& c : cases)
        EXPECT_EQ(isValidUtf8(c.bytes), c.valid) << testing::PrintToString(c.bytes);
}

} // namespace
} // namespace zubeki
