// Reading a wave file image that arrives as bytes from a file we do not control.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

namespace zubeki::sound {

inline constexpr std::uint16_t kFormatPcm = 1;
inline constexpr std::uint16_t kFormatFloat = 3;

// Ceilings that keep a hostile or broken file from making us allocate without end:
// the samples are converted to the output format, which can be many times larger.
inline constexpr std::size_t kMaxDataBytes = std::size_t{256} << 20;
inline constexpr std::uint64_t kMaxSeconds = 600;

struct WaveImage {
    std::uint16_t format = 0; // kFormatPcm or kFormatFloat
    std::uint16_t channels = 0;
    std::uint32_t sampleRate = 0;
    std::uint16_t bitsPerSample = 0;
    const std::uint8_t* samples = nullptr; // inside the image that was parsed
    std::size_t sampleBytes = 0;           // whole frames only
};

// Answers the sound in `image`, or nothing when the image is not a wave file we can
// play: a bad magic, a chunk or header size that points past `length`, a missing or
// duplicated fmt or data chunk, or a sample format outside what the mixer takes.
// Never reads outside [image, image + length).
std::optional<WaveImage> parseWave(const std::uint8_t* image, std::size_t length);

// A plain RIFF/WAVE image holding just the fmt and data chunks of `wave`, with every
// size field consistent, for a decoder that trusts what it is handed.
std::vector<std::uint8_t> canonicalWave(const WaveImage& wave);

} // namespace zubeki::sound
