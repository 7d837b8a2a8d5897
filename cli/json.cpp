#include "cli/json.h"

#include <cmath>
#include <cstdio>

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
    char text[40];
    std::snprintf(text, sizeof text, "%.17g", value);
    return text;
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

} // namespace zubeki::cli
