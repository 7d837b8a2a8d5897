// The six wave files the build puts beside the program.
#include "library_fixture.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>

namespace zubeki::test {
namespace {

struct GameWave {
    const char8_t* file;
    int flag;
};

constexpr GameWave kWaves[] = {
    {u8"その他.wav", 3}, {u8"禁止.wav", 3}, {u8"駒打音.wav", 3},
    {u8"終局.wav", 3},   {u8"消滅.wav", 3}, {u8"BGM.wav", 1},
};

Bytes readFile(const GameWave& w) {
    const auto path = std::filesystem::path(ZUBEKI_WAVE_DIR) / std::filesystem::path(w.file);
    std::ifstream in(path, std::ios::binary);
    return Bytes((std::istreambuf_iterator<char>(in)), {});
}

std::string nameOf(const GameWave& w) {
    return reinterpret_cast<const char*>(w.file);
}

std::uint32_t le32(const Bytes& b, std::size_t at) {
    return b[at] | (b[at + 1] << 8) | (b[at + 2] << 16) |
           (static_cast<std::uint32_t>(b[at + 3]) << 24);
}

// The generator writes the plain 44-byte header; anything else means it changed.
std::vector<std::int16_t> samplesOf(const Bytes& file) {
    EXPECT_GE(file.size(), 46u);
    if (file.size() < 46) return {};
    EXPECT_EQ(std::string(file.begin(), file.begin() + 4), "RIFF");
    EXPECT_EQ(le32(file, 4), file.size() - 8);
    EXPECT_EQ(std::string(file.begin() + 8, file.begin() + 16), "WAVEfmt ");
    EXPECT_EQ(le32(file, 20), 0x00010001u) << "PCM, mono";
    EXPECT_EQ(le32(file, 24), 22050u);
    EXPECT_EQ(le32(file, 32), 0x00100002u) << "16-bit";
    EXPECT_EQ(le32(file, 40), file.size() - 44);
    std::vector<std::int16_t> s((file.size() - 44) / 2);
    std::memcpy(s.data(), file.data() + 44, s.size() * 2);
    return s;
}

int peakOf(const std::vector<std::int16_t>& s) {
    int most = 0;
    for (std::int16_t v : s) most = std::max(most, std::abs(static_cast<int>(v)));
    return most;
}

TEST(GeneratedWaves, AreMonoSixteenBitAudibleAndLeaveRoomToMix) {
    for (const GameWave& w : kWaves) {
        const Bytes file = readFile(w);
        const auto s = samplesOf(file);
        ASSERT_FALSE(s.empty()) << nameOf(w);
        EXPECT_GE(peakOf(s), 32767 / 4) << nameOf(w) << " is too quiet";
        EXPECT_LE(peakOf(s), 32767 * 3 / 4) << nameOf(w) << " leaves no headroom";
        EXPECT_LT(file.size(), w.flag == 1 ? 1'800'000u : 200'000u) << nameOf(w);
    }
}

TEST(GeneratedWaves, EffectsAreShortAndBeginAndEndInSilence) {
    for (const GameWave& w : kWaves) {
        if (w.flag != 3) continue;
        const auto s = samplesOf(readFile(w));
        ASSERT_FALSE(s.empty()) << nameOf(w);
        const double seconds = static_cast<double>(s.size()) / 22050;
        EXPECT_GT(seconds, 0.05) << nameOf(w);
        EXPECT_LT(seconds, 2.0) << nameOf(w);
        EXPECT_LE(std::abs(s.front()), 32) << nameOf(w) << " starts with a click";
        EXPECT_LE(std::abs(s.back()), 32) << nameOf(w) << " ends with a click";
    }
}

TEST(GeneratedWaves, MusicIsCalmLengthAndLoopsWithoutAStep) {
    const auto s = samplesOf(readFile(kWaves[5]));
    ASSERT_GT(s.size(), 3u);
    const double seconds = static_cast<double>(s.size()) / 22050;
    EXPECT_GE(seconds, 20.0);
    EXPECT_LE(seconds, 40.0);
    // The first start is from silence, so the first sample must be near it.
    EXPECT_LE(std::abs(s.front()), 328);
    // Across the seam the wave must move no more than it does on either side of it.
    const std::size_t n = s.size();
    const int seam = std::abs(s[0] - s[n - 1]);
    const int nextTo = std::max(std::abs(s[1] - s[0]), std::abs(s[n - 1] - s[n - 2]));
    EXPECT_LE(seam, 2 * nextTo + 32);
    // No stretch of the tune falls silent: every two seconds carry sound.
    for (std::size_t from = 0; from + 44100 <= n; from += 44100) {
        double energy = 0;
        for (std::size_t i = from; i < from + 44100; ++i) energy += double(s[i]) * s[i];
        EXPECT_GT(std::sqrt(energy / 44100), 32767 * 0.01)
            << "silent near " << from / 22050 << " s";
    }
}

TEST_F(LibraryOnDisk, TakesEveryGeneratedWave) {
    for (const GameWave& w : kWaves) {
        const Bytes file = readFile(w);
        EXPECT_NE(make(file, w.flag), 0) << nameOf(w);
    }
}

} // namespace
} // namespace zubeki::test
