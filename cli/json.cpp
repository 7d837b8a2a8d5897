#include "cli/json.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <system_error>

namespace zubeki::cli {
namespace {

// Length of the UTF-8 sequence starting at text[i], or 0 when it is not a valid one.
std::size_t utf8Length(std::string_view text, std::size_t i) {
    const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(text[k]); };
    const unsigned char c = byte(i);
    std::size_t n = 0;
    unsigned min = 0;
    unsigned cp = 0;
    if (c < 0x80) return 1;
    if (c >= 0xC2 && c <= 0xDF) {
        n = 2;
        cp = c & 0x1Fu;
        min = 0x80;
    } else if (c >= 0xE0 && c <= 0xEF) {
        n = 3;
        cp = c & 0x0Fu;
        min = 0x800;
    } else if (c >= 0xF0 && c <= 0xF4) {
        n = 4;
        cp = c & 0x07u;
        min = 0x10000;
    } else {
        return 0;
    }
    if (i + n > text.size()) return 0;
    for (std::size_t k = 1; k < n; ++k) {
        if ((byte(i + k) & 0xC0u) != 0x80u) return 0;
        cp = (cp << 6) | (byte(i + k) & 0x3Fu);
    }
    if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return 0;
    return n;
}

} // namespace

std::string jsonString(std::string_view text) {
    std::string out = "\"";
    for (std::size_t i = 0; i < text.size();) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        const std::size_t n = utf8Length(text, i);
        if (n == 0) {
            out += "\xEF\xBF\xBD"; // U+FFFD for a byte that is not UTF-8
            ++i;
            continue;
        }
        if (n > 1) {
            out.append(text.substr(i, n));
            i += n;
            continue;
        }
        switch (c) {
        case '"':
            out += "\\\"";
            break;
        case '\\':
            out += "\\\\";
            break;
        case '\n':
            out += "\\n";
            break;
        case '\r':
            out += "\\r";
            break;
        case '\t':
            out += "\\t";
            break;
        default:
            if (c < 0x20 || c == 0x7F) {
                char esc[8];
                std::snprintf(esc, sizeof esc, "\\u%04x", static_cast<unsigned>(c));
                out += esc;
            } else {
                out += static_cast<char>(c);
            }
        }
        ++i;
    }
    out += '"';
    return out;
}

std::string jsonNumber(double value) {
    if (!std::isfinite(value)) return "null";
    // The shortest digits that read back as the same double: 0.355, not 0.35497104200000001.
    char text[40];
    const auto [end, ec] = std::to_chars(text, text + sizeof text, value);
    return ec == std::errc{} ? std::string(text, end) : "null";
}

void JsonWriter::separate() {
    if (needComma_) out_ += ',';
    needComma_ = true;
}

JsonWriter& JsonWriter::beginObject() {
    separate();
    out_ += '{';
    needComma_ = false;
    return *this;
}

JsonWriter& JsonWriter::endObject() {
    out_ += '}';
    needComma_ = true;
    return *this;
}

JsonWriter& JsonWriter::beginArray() {
    separate();
    out_ += '[';
    needComma_ = false;
    return *this;
}

JsonWriter& JsonWriter::endArray() {
    out_ += ']';
    needComma_ = true;
    return *this;
}

JsonWriter& JsonWriter::key(std::string_view name) {
    separate();
    out_ += jsonString(name);
    out_ += ':';
    needComma_ = false; // the value follows without a comma
    return *this;
}

JsonWriter& JsonWriter::value(int n) {
    return value(static_cast<long long>(n));
}

JsonWriter& JsonWriter::value(long long n) {
    separate();
    out_ += std::to_string(n);
    return *this;
}

JsonWriter& JsonWriter::value(double d) {
    separate();
    out_ += jsonNumber(d);
    return *this;
}

JsonWriter& JsonWriter::rounded(double d, int places) {
    separate();
    if (!std::isfinite(d)) {
        out_ += "null";
        return *this;
    }
    char text[64];
    std::snprintf(text, sizeof text, "%.*f", std::clamp(places, 0, 17), d);
    std::string t = text;
    if (t.find('.') != std::string::npos) {
        while (t.back() == '0') t.pop_back();
        if (t.back() == '.') t.pop_back();
    }
    out_ += t == "-0" ? "0" : t;
    return *this;
}

JsonWriter& JsonWriter::value(bool b) {
    separate();
    out_ += b ? "true" : "false";
    return *this;
}

JsonWriter& JsonWriter::value(std::string_view text) {
    separate();
    out_ += jsonString(text);
    return *this;
}

JsonWriter& JsonWriter::null() {
    separate();
    out_ += "null";
    return *this;
}

JsonWriter& JsonWriter::square(int x, int y) {
    beginArray();
    value(x);
    value(y);
    return endArray();
}

const JsonValue* JsonValue::find(std::string_view key) const {
    const JsonValue* found = nullptr;
    for (std::size_t i = 0; i < keys.size(); ++i) {
        if (keys[i] != key) continue;
        if (found) return nullptr;
        found = &items[i];
    }
    return found;
}

namespace {

// Reads one value at a time from the text, never past its end.
class JsonReader {
  public:
    explicit JsonReader(std::string_view text) : text_(text) {}

    std::optional<JsonValue> document(std::string& error) {
        JsonValue v;
        skipBlanks();
        if (value(v, 0)) {
            skipBlanks();
            if (at_ == text_.size()) return v;
            fail("text after the value");
        }
        error = "at byte " + std::to_string(at_) + ": " + why_;
        return std::nullopt;
    }

  private:
    bool fail(const char* why) {
        if (why_.empty()) why_ = why;
        return false;
    }
    bool more() const { return at_ < text_.size(); }
    char peek() const { return more() ? text_[at_] : '\0'; }
    void skipBlanks() {
        while (more() && (peek() == ' ' || peek() == '\t' || peek() == '\n' || peek() == '\r'))
            ++at_;
    }
    bool word(std::string_view w) {
        if (text_.substr(at_, w.size()) != w) return fail("not a JSON value");
        at_ += w.size();
        return true;
    }

    bool value(JsonValue& v, int depth) {
        if (depth >= JSON_MAX_DEPTH) return fail("nested too deep");
        switch (peek()) {
        case '{':
            return object(v, depth);
        case '[':
            return array(v, depth);
        case '"':
            v.kind = JsonValue::Kind::String;
            return string(v.text);
        case 't':
            v.kind = JsonValue::Kind::Bool;
            v.boolean = true;
            return word("true");
        case 'f':
            v.kind = JsonValue::Kind::Bool;
            return word("false");
        case 'n':
            return word("null");
        default:
            v.kind = JsonValue::Kind::Number;
            return number(v.number);
        }
    }

    bool object(JsonValue& v, int depth) {
        v.kind = JsonValue::Kind::Object;
        ++at_; // '{'
        skipBlanks();
        if (peek() == '}') return ++at_, true;
        for (;;) {
            skipBlanks();
            std::string key;
            if (peek() != '"') return fail("a key must be a string");
            if (!string(key)) return false;
            skipBlanks();
            if (peek() != ':') return fail("':' expected after a key");
            ++at_;
            skipBlanks();
            JsonValue member;
            if (!value(member, depth + 1)) return false;
            v.keys.push_back(std::move(key));
            v.items.push_back(std::move(member));
            skipBlanks();
            if (peek() == '}') return ++at_, true;
            if (peek() != ',') return fail("',' or '}' expected");
            ++at_;
        }
    }

    bool array(JsonValue& v, int depth) {
        v.kind = JsonValue::Kind::Array;
        ++at_; // '['
        skipBlanks();
        if (peek() == ']') return ++at_, true;
        for (;;) {
            skipBlanks();
            JsonValue item;
            if (!value(item, depth + 1)) return false;
            v.items.push_back(std::move(item));
            skipBlanks();
            if (peek() == ']') return ++at_, true;
            if (peek() != ',') return fail("',' or ']' expected");
            ++at_;
        }
    }

    // Four hex digits after "\u".
    bool hex4(unsigned& code) {
        if (text_.size() - at_ < 4) return fail("a \\u escape needs four hex digits");
        code = 0;
        for (int i = 0; i < 4; ++i) {
            const char c = text_[at_++];
            const int digit = c >= '0' && c <= '9'   ? c - '0'
                              : c >= 'a' && c <= 'f' ? c - 'a' + 10
                              : c >= 'A' && c <= 'F' ? c - 'A' + 10
                                                     : -1;
            if (digit < 0) return fail("a \\u escape needs four hex digits");
            code = code * 16 + static_cast<unsigned>(digit);
        }
        return true;
    }

    static void appendUtf8(std::string& out, unsigned code) {
        if (code < 0x80) {
            out += static_cast<char>(code);
        } else if (code < 0x800) {
            out += static_cast<char>(0xC0 | (code >> 6));
            out += static_cast<char>(0x80 | (code & 0x3F));
        } else if (code < 0x10000) {
            out += static_cast<char>(0xE0 | (code >> 12));
            out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (code & 0x3F));
        } else {
            out += static_cast<char>(0xF0 | (code >> 18));
            out += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
            out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (code & 0x3F));
        }
    }

    bool string(std::string& out) {
        ++at_; // '"'
        while (more()) {
            const char c = text_[at_++];
            if (c == '"') return true;
            if (static_cast<unsigned char>(c) < 0x20)
                return fail("a control character in a string");
            if (c != '\\') {
                out += c;
                continue;
            }
            if (!more()) break;
            const char e = text_[at_++];
            unsigned code = 0;
            switch (e) {
            case '"':
            case '\\':
            case '/':
                out += e;
                break;
            case 'b':
                out += '\b';
                break;
            case 'f':
                out += '\f';
                break;
            case 'n':
                out += '\n';
                break;
            case 'r':
                out += '\r';
                break;
            case 't':
                out += '\t';
                break;
            case 'u':
                if (!hex4(code)) return false;
                if (code >= 0xD800 && code <= 0xDBFF) { // a surrogate pair
                    unsigned low = 0;
                    if (text_.substr(at_, 2) != "\\u" || (at_ += 2, !hex4(low)) || low < 0xDC00 ||
                        low > 0xDFFF)
                        return fail("a lone surrogate in a string");
                    code = 0x10000 + ((code - 0xD800) << 10) + (low - 0xDC00);
                } else if (code >= 0xDC00 && code <= 0xDFFF) {
                    return fail("a lone surrogate in a string");
                }
                appendUtf8(out, code);
                break;
            default:
                return fail("an unknown escape in a string");
            }
        }
        return fail("a string without its closing quote");
    }

    // JSON's own number grammar (no '+', no leading zeros, no bare '.'), then the value.
    bool number(double& out) {
        const std::size_t start = at_;
        auto digits = [&] {
            const std::size_t from = at_;
            while (more() && peek() >= '0' && peek() <= '9') ++at_;
            return at_ > from;
        };
        if (peek() == '-') ++at_;
        if (peek() == '0')
            ++at_;
        else if (!digits())
            return fail("not a JSON value");
        if (peek() == '.') {
            ++at_;
            if (!digits()) return fail("a digit must follow the decimal point");
        }
        if (peek() == 'e' || peek() == 'E') {
            ++at_;
            if (peek() == '+' || peek() == '-') ++at_;
            if (!digits()) return fail("a digit must follow the exponent");
        }
        const char* first = text_.data() + start;
        const char* last = text_.data() + at_;
        const auto [ptr, ec] = std::from_chars(first, last, out);
        if (ec != std::errc{} || ptr != last) return fail("a number out of range");
        return true;
    }

    std::string_view text_;
    std::size_t at_ = 0;
    std::string why_;
};

} // namespace

std::optional<JsonValue> parseJson(std::string_view text, std::string& error) {
    return JsonReader(text).document(error);
}

} // namespace zubeki::cli
