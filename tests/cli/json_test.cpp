#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "cli/json.h"

namespace zubeki::cli {
namespace {

TEST(CliJson, EscapesStringsAndKeepsTheOutputUtf8) {
    const struct {
        std::string in, out;
    } cases[] = {
        {"plain", "\"plain\""},
        {"say \"hi\" \\ now", R"("say \"hi\" \\ now")"},
        {"line\nfeed\r\ttab", R"("line\nfeed\r\ttab")"},
        {std::string("nul\0bell\x07", 9), R"("nul\u0000bell\u0007")"},
        {"棋譜ﾌｧｲﾙ", "\"棋譜ﾌｧｲﾙ\""},
        // Bytes that are not UTF-8 (a stray code page 932 byte, a cut sequence, an encoded
        // surrogate, an overlong slash) each become U+FFFD.
        {"a\x82z", "\"a\xEF\xBF\xBDz\""},
        {"\xE6\xA3", "\"\xEF\xBF\xBD\xEF\xBF\xBD\""},
        {"\xED\xA0\x80", "\"\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD\""},
        {"\xC0\xAF", "\"\xEF\xBF\xBD\xEF\xBF\xBD\""},
    };
    for (const auto& c : cases) EXPECT_EQ(jsonString(c.in), c.out) << c.in;
}

TEST(CliJson, WritesNumbersThatRoundTripAndCommasInTheRightPlaces) {
    for (double d : {1.0 / 3.0, -12345.678901234567, 1e-300, 0.0, 99999.0})
        EXPECT_EQ(std::stod(jsonNumber(d)), d) << jsonNumber(d);
    EXPECT_EQ(jsonNumber(std::numeric_limits<double>::infinity()), "null");
    EXPECT_EQ(jsonNumber(std::nan("")), "null");

    JsonWriter w;
    w.beginObject().key("a").value(1).key("b").beginArray().square(1, 2).square(3, 4).endArray();
    w.key("c").beginArray().endArray().key("d").null().key("e").value(false).endObject();
    EXPECT_EQ(w.str(), R"({"a":1,"b":[[1,2],[3,4]],"c":[],"d":null,"e":false})");
}

} // namespace
} // namespace zubeki::cli
