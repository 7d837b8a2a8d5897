#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <optional>

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
    const struct {
        double in;
        const char* out;
    } shortest[] = {{0.355, "0.355"}, {0.1 + 0.2, "0.30000000000000004"},
                    {-149.0, "-149"}, {1e-300, "1e-300"},
                    {0.0, "0"},       {2.5e20, "2.5e+20"}};
    for (const auto& c : shortest) EXPECT_EQ(jsonNumber(c.in), c.out);
    EXPECT_EQ(jsonNumber(std::numeric_limits<double>::infinity()), "null");
    EXPECT_EQ(jsonNumber(std::nan("")), "null");

    JsonWriter w;
    w.beginObject().key("a").value(1).key("b").beginArray().square(1, 2).square(3, 4).endArray();
    w.key("c").beginArray().endArray().key("d").null().key("e").value(false).endObject();
    EXPECT_EQ(w.str(), R"({"a":1,"b":[[1,2],[3,4]],"c":[],"d":null,"e":false})");
}

// The reader takes what the writer makes back, and refuses anything else with a reason.
TEST(CliJson, ReadsBackWhatItWritesAndRefusesWhatIsNotJson) {
    JsonWriter w;
    w.beginObject().key("n").value(-12345.678901234567).key("s").value("棋譜 \"a\"\\\n\x01");
    w.key("a").beginArray().value(true).null().beginArray().endArray().endArray();
    w.key("o").beginObject().endObject().endObject();
    std::string error;
    const std::optional<JsonValue> v = parseJson(" " + w.str() + "\n", error);
    ASSERT_TRUE(v) << error;
    EXPECT_EQ(v->find("n")->number, -12345.678901234567);
    EXPECT_EQ(v->find("s")->text, "棋譜 \"a\"\\\n\x01");
    ASSERT_EQ(v->find("a")->items.size(), 3u);
    EXPECT_EQ(v->find("a")->items[2].kind, JsonValue::Kind::Array);
    EXPECT_EQ(v->find("o")->kind, JsonValue::Kind::Object);
    EXPECT_EQ(v->find("x"), nullptr);
    EXPECT_EQ(parseJson(R"({"k":1,"k":2})", error)->find("k"), nullptr) << "a key given twice";
    EXPECT_EQ(parseJson(R"("\u00e9\ud83c\udfb2\/")", error)->text, "é🎲/");
    EXPECT_TRUE(
        parseJson(std::string(JSON_MAX_DEPTH, '[') + std::string(JSON_MAX_DEPTH, ']'), error));

    for (const std::string& bad :
         {std::string(""),
          std::string("01"),
          std::string("1."),
          std::string(".5"),
          std::string("+1"),
          std::string("-"),
          std::string("1e"),
          std::string("1e999"),
          std::string("nul"),
          std::string("[1,]"),
          std::string("{\"a\"}"),
          std::string("{1:2}"),
          std::string("\"a"),
          std::string("\"\\x\""),
          std::string("\"\\ud83c\""),
          std::string("\"\\udfb2\""),
          std::string("\"\\u12\""),
          std::string("\"a\nb\""),
          std::string("[1] 2"),
          std::string("\0", 1),
          std::string(JSON_MAX_DEPTH + 1, '[') + std::string(JSON_MAX_DEPTH + 1, ']')}) {
        error.clear();
        EXPECT_FALSE(parseJson(bad, error)) << bad;
        EXPECT_EQ(error.rfind("at byte ", 0), 0u) << bad;
    }
    // Every cut of a whole text is refused, never read past its end.
    for (std::size_t n = 0; n < w.str().size(); ++n)
        EXPECT_FALSE(parseJson(w.str().substr(0, n), error)) << n;
}

} // namespace
} // namespace zubeki::cli
