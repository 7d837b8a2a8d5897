// Wave images made in the tests: a well-formed one, and the pieces to break it with.
#pragma once

#include <cmath>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

namespace zubeki::test {

using Bytes = std::vector<std::uint8_t>;

inline void put16(Bytes& b, std::uint32_t v) {
    b.push_back(static_cast<std::uint8_t>(v & 0xFF));
    b.push_back(static_cast<std::uint8_t>((v >> 8) & 0xFF));
}
inline void put32(Bytes& b, std::uint32_t v) {
    put16(b, v & 0xFFFF);
    put16(b, v >> 16);
}
inline void putTag(Bytes& b, const char* tag) {
    for (int i = 0; i < 4; ++i) b.push_back(static_cast<std::uint8_t>(tag[i]));
}
inline void append(Bytes& b, const Bytes& more) {
    for (std::uint8_t x : more) b.push_back(x);
}
inline void set32(Bytes& b, std::size_t at, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) b[at + i] = static_cast<std::uint8_t>((v >> (8 * i)) & 0xFF);
}
inline void set16(Bytes& b, std::size_t at, std::uint32_t v) {
    b[at] = static_cast<std::uint8_t>(v & 0xFF);
    b[at + 1] = static_cast<std::uint8_t>((v >> 8) & 0xFF);
}

struct Format {
    std::uint16_t tag = 1;
    std::uint16_t channels = 1;
    std::uint32_t rate = 44100;
    std::uint16_t bits = 16;
};

inline Bytes fmtChunk(const Format& f) {
    Bytes b;
    putTag(b, "fmt ");
    put32(b, 16);
    put16(b, f.tag);
    put16(b, f.channels);
    put32(b, f.rate);
    put32(b, f.rate * f.channels * (f.bits / 8u));
    put16(b, f.channels * (f.bits / 8u));
    put16(b, f.bits);
    return b;
}

inline Bytes chunk(const char* tag, const Bytes& body, bool pad = true) {
    Bytes b;
    putTag(b, tag);
    put32(b, static_cast<std::uint32_t>(body.size()));
    append(b, body);
    if (pad && body.size() % 2 == 1) b.push_back(0);
    return b;
}

// RIFF/WAVE around the given chunks, the RIFF size telling the truth.
inline Bytes riff(const std::vector<Bytes>& chunks) {
    Bytes b;
    putTag(b, "RIFF");
    put32(b, 0);
    putTag(b, "WAVE");
    for (const Bytes& c : chunks) append(b, c);
    set32(b, 4, static_cast<std::uint32_t>(b.size() - 8));
    return b;
}

inline Bytes pcm16(const std::vector<std::int16_t>& samples) {
    Bytes b;
    for (std::int16_t s : samples) put16(b, static_cast<std::uint16_t>(s));
    return b;
}

// The plain 44-byte-header file of mono 16-bit samples.
inline Bytes monoWave(const std::vector<std::int16_t>& samples, std::uint32_t rate) {
    Format f;
    f.rate = rate;
    return riff({fmtChunk(f), chunk("data", pcm16(samples))});
}

inline std::vector<std::int16_t> sine(double hz, double seconds, std::uint32_t rate,
                                      double amplitude) {
    const auto count = static_cast<std::size_t>(seconds * rate);
    std::vector<std::int16_t> s(count);
    for (std::size_t i = 0; i < count; ++i)
        s[i] = static_cast<std::int16_t>(std::lround(
            amplitude * std::sin(2.0 * 3.14159265358979 * hz * static_cast<double>(i) / rate)));
    return s;
}

// A constant level: mixed sounds then add up to a level that can be read off exactly.
inline std::vector<std::int16_t> level(std::int16_t value, double seconds, std::uint32_t rate) {
    return std::vector<std::int16_t>(static_cast<std::size_t>(seconds * rate), value);
}

} // namespace zubeki::test
