#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

// A small hand-written JSON writer: the tool prints one object per command and nothing else;
// and a reader for what it wrote, for commands that take results back (match --merge).
namespace zubeki::cli {

// The text as a JSON string literal, quotes included. Control characters are escaped and bytes
// that are not UTF-8 become U+FFFD, so the output is always valid JSON.
std::string jsonString(std::string_view text);

// A double as a JSON number in the shortest form that reads back exactly; null when it is not
// finite.
std::string jsonNumber(double value);

// Appends values with the commas in the right places. Callers open and close the brackets.
class JsonWriter {
  public:
    JsonWriter& beginObject();
    JsonWriter& endObject();
    JsonWriter& beginArray();
    JsonWriter& endArray();
    JsonWriter& key(std::string_view name);
    JsonWriter& value(int n);
    JsonWriter& value(long long n);
    JsonWriter& value(double d);
    // A number rounded to `places` decimals, written without trailing zeros: 0.48, not
    // 0.47999999999999998.
    JsonWriter& rounded(double d, int places);
    JsonWriter& value(bool b);
    JsonWriter& value(std::string_view text);
    JsonWriter& value(const char* text) { return value(std::string_view(text)); }
    JsonWriter& null();
    // A square as [x, y].
    JsonWriter& square(int x, int y);

    const std::string& str() const { return out_; }

  private:
    void separate();

    std::string out_;
    bool needComma_ = false;
};

// One JSON value as read. Only what the tool writes needs reading back, but any text is taken
// apart without harm: it comes from files.
struct JsonValue {
    enum class Kind { Null, Bool, Number, String, Array, Object };
    Kind kind = Kind::Null;
    bool boolean = false;
    double number = 0;
    std::string text;              // a string
    std::vector<JsonValue> items;  // an array's elements, or an object's values
    std::vector<std::string> keys; // an object's keys, in the order read, beside its values

    // An object's value for `key`; nullptr when it has none, or more than one.
    const JsonValue* find(std::string_view key) const;
};

// Deepest nesting the reader follows; what the tool writes nests two deep.
inline constexpr int JSON_MAX_DEPTH = 64;

// The one value `text` holds, blanks around it allowed; nullopt with `error` saying where and
// why when it is not JSON, or nests deeper than JSON_MAX_DEPTH.
std::optional<JsonValue> parseJson(std::string_view text, std::string& error);

} // namespace zubeki::cli
