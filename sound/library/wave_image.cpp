#include "wave_image.h"

#include <algorithm>
#include <cstring>

namespace zubeki::sound {
namespace {

std::uint16_t le16(const std::uint8_t* p) {
    return static_cast<std::uint16_t>(p[0] | (p[1] << 8));
}

std::uint32_t le32(const std::uint8_t* p) {
    return static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
           (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}

bool tagIs(const std::uint8_t* p, const char (&tag)[5]) {
    return std::memcmp(p, tag, 4) == 0;
}

// The tail shared by every WAVE_FORMAT_EXTENSIBLE sub-format GUID; the first two bytes
// carry the plain format tag.
constexpr std::uint8_t kGuidTail[14] = {0x00, 0x00, 0x00, 0x00, 0x10, 0x00, 0x80,
                                        0x00, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71};

struct Format {
    std::uint16_t tag;
    std::uint16_t channels;
    std::uint32_t sampleRate;
    std::uint16_t blockAlign;
    std::uint16_t bits;
};

std::optional<Format> readFormat(const std::uint8_t* body, std::uint32_t size) {
    if (size < 16) return std::nullopt;
    Format f{le16(body), le16(body + 2), le32(body + 4), le16(body + 12), le16(body + 14)};
    if (f.tag == 0xFFFE) {
        // Extensible: 2 bytes of extra size, valid bits, channel mask, then the GUID.
        if (size < 40 || le16(body + 16) < 22) return std::nullopt;
        const std::uint8_t* guid = body + 24;
        if (std::memcmp(guid + 2, kGuidTail, sizeof kGuidTail) != 0) return std::nullopt;
        f.tag = le16(guid);
    }
    if (f.channels < 1 || f.channels > 2) return std::nullopt;
    if (f.sampleRate < 4000 || f.sampleRate > 192000) return std::nullopt;
    const bool pcm =
        f.tag == kFormatPcm && (f.bits == 8 || f.bits == 16 || f.bits == 24 || f.bits == 32);
    const bool flt = f.tag == kFormatFloat && f.bits == 32;
    if (!pcm && !flt) return std::nullopt;
    if (f.blockAlign != f.channels * (f.bits / 8)) return std::nullopt;
    return f;
}

void put16(std::vector<std::uint8_t>& out, std::uint32_t v) {
    out.push_back(static_cast<std::uint8_t>(v & 0xFF));
    out.push_back(static_cast<std::uint8_t>((v >> 8) & 0xFF));
}

void put32(std::vector<std::uint8_t>& out, std::uint32_t v) {
    put16(out, v & 0xFFFF);
    put16(out, v >> 16);
}

void putTag(std::vector<std::uint8_t>& out, const char (&tag)[5]) {
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<std::uint8_t>(tag[i]));
}

} // namespace

std::optional<WaveImage> parseWave(const std::uint8_t* image, std::size_t length) {
    if (image == nullptr || length < 12) return std::nullopt;
    if (!tagIs(image, "RIFF") || !tagIs(image + 8, "WAVE")) return std::nullopt;
    // The RIFF size must not claim more than we were given; bytes after it are ignored.
    const std::uint64_t riffEnd = std::uint64_t{8} + le32(image + 4);
    if (riffEnd > length || riffEnd < 12) return std::nullopt;

    std::optional<Format> format;
    const std::uint8_t* data = nullptr;
    std::uint32_t dataSize = 0;
    std::uint64_t pos = 12;
    while (riffEnd - pos >= 8) {
        const std::uint8_t* header = image + pos;
        const std::uint32_t size = le32(header + 4);
        const std::uint64_t body = pos + 8;
        if (size > riffEnd - body) return std::nullopt; // the chunk runs past the image
        if (tagIs(header, "fmt ")) {
            if (format) return std::nullopt;
            format = readFormat(image + body, size);
            if (!format) return std::nullopt;
        } else if (tagIs(header, "data")) {
            if (data != nullptr) return std::nullopt;
            data = image + body;
            dataSize = size;
        }
        // Odd chunks carry a pad byte; a last chunk may lack it.
        pos = std::min(body + size + (size & 1u), riffEnd);
    }
    if (!format || data == nullptr) return std::nullopt;

    WaveImage wave;
    wave.format = format->tag;
    wave.channels = format->channels;
    wave.sampleRate = format->sampleRate;
    wave.bitsPerSample = format->bits;
    wave.samples = data;
    const std::uint64_t frames = dataSize / format->blockAlign;
    wave.sampleBytes = static_cast<std::size_t>(frames * format->blockAlign);
    if (frames == 0 || wave.sampleBytes > kMaxDataBytes) return std::nullopt;
    if (frames > kMaxSeconds * format->sampleRate) return std::nullopt;
    return wave;
}

std::vector<std::uint8_t> canonicalWave(const WaveImage& wave) {
    const auto dataSize = static_cast<std::uint32_t>(wave.sampleBytes);
    const std::uint32_t pad = dataSize & 1u;
    const auto blockAlign = static_cast<std::uint32_t>(wave.channels * (wave.bitsPerSample / 8));
    std::vector<std::uint8_t> out;
    out.reserve(44 + wave.sampleBytes + pad);
    putTag(out, "RIFF");
    put32(out, 36 + dataSize + pad);
    putTag(out, "WAVE");
    putTag(out, "fmt ");
    put32(out, 16);
    put16(out, wave.format);
    put16(out, wave.channels);
    put32(out, wave.sampleRate);
    put32(out, wave.sampleRate * blockAlign);
    put16(out, blockAlign);
    put16(out, wave.bitsPerSample);
    putTag(out, "data");
    put32(out, dataSize);
    out.insert(out.end(), wave.samples, wave.samples + wave.sampleBytes);
    if (pad != 0) out.push_back(0);
    return out;
}

} // namespace zubeki::sound
