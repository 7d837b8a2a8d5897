#pragma once

#include <string>
#include <string_view>

// A small hand-written JSON writer: the tool prints one object per command and nothing else.
namespace zubeki::cli {

// The text as a JSON string literal, quotes included. Control characters are escaped and bytes
// that are not UTF-8 become U+FFFD, so the output is always valid JSON.
std::string jsonString(std::string_view text);

// A double as a JSON number with 17 significant digits; null when it is not finite.
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

} // namespace zubeki::cli
