// The sound library for real, on SDL's disk driver: what is played must appear in the
// disk output, and what the library refuses must never be read past its end.
#include "disk_audio.h"
#include "library_fixture.h"
#include "wave_builder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>

namespace zubeki::test {
namespace {

constexpr int kLoud = 300;

long firstLoud(const std::vector<std::int16_t>& v, int threshold = kLoud) {
    for (std::size_t i = 0; i < v.size(); ++i)
        if (std::abs(v[i]) > threshold) return static_cast<long>(i);
    return -1;
}

long lastLoud(const std::vector<std::int16_t>& v, int threshold = kLoud) {
    for (std::size_t i = v.size(); i-- > 0;)
        if (std::abs(v[i]) > threshold) return static_cast<long>(i);
    return -1;
}

long countNear(const std::vector<std::int16_t>& v, int value, int tolerance = 30) {
    return std::count_if(v.begin(), v.end(),
                         [&](std::int16_t s) { return std::abs(s - value) <= tolerance; });
}

int peak(const std::vector<std::int16_t>& v) {
    int most = 0;
    for (std::int16_t s : v) most = std::max(most, std::abs(static_cast<int>(s)));
    return most;
}

TEST_F(LibraryOnDisk, PlayedToneReachesTheOutputOnce) {
    // 22050 Hz against a 44100 Hz output: the mixer converts it, and its length holds.
    const intptr_t tone = make(monoWave(sine(440, 0.25, 22050, 12000), 22050), 3);
    ASSERT_NE(tone, 0);
    dsPlay(tone);
    let(0.6);
    const auto out = left();
    const long first = firstLoud(out);
    ASSERT_GE(first, 0) << "the tone never reached the output";
    const double seconds = static_cast<double>(lastLoud(out) - first) / rate;
    EXPECT_NEAR(seconds, 0.25, 0.02);
    EXPECT_NEAR(peak(out), 12000, 1500);
}

TEST_F(LibraryOnDisk, MusicLoopsPastItsLengthAndFallsSilentAfterStop) {
    // 500 Hz fits 50 whole cycles into 0.1 s, so the loop itself is seamless.
    const auto loop = sine(500, 0.1, 44100, 12000);
    const intptr_t music = make(monoWave(loop, 44100), 1);
    ASSERT_NE(music, 0);
    dsPlayLooping(music);
    let(0.6);
    const auto stopFrame = static_cast<long>(disk.bytes() / frameBytes());
    dsStop(music);
    let(0.5);
    const auto out = left();

    const long first = firstLoud(out);
    ASSERT_GE(first, 0);
    ASSERT_LT(first, stopFrame);
    EXPECT_GT(stopFrame - first, 4 * static_cast<long>(loop.size()))
        << "the music should have gone round several times";
    long quietRun = 0, longestQuietRun = 0;
    for (long i = first; i < stopFrame; ++i) {
        quietRun = std::abs(out[i]) < 200 ? quietRun + 1 : 0;
        longestQuietRun = std::max(longestQuietRun, quietRun);
    }
    EXPECT_LT(longestQuietRun, 5) << "the music broke off while looping";

    // What the writer still held at the stop, plus a mixer buffer or two, may sound.
    const long silentFrom = stopFrame + static_cast<long>(0.15 * rate);
    ASSERT_LT(silentFrom + rate / 10, static_cast<long>(out.size()));
    EXPECT_LT(lastLoud(out, 0), silentFrom) << "still sounding after dsStop";
}

TEST_F(LibraryOnDisk, EffectsSoundTogetherOverTheMusic) {
    const intptr_t music = make(monoWave(level(1000, 0.05, 44100), 44100), 1);
    const intptr_t a = make(monoWave(level(3000, 0.5, 44100), 44100), 3);
    const intptr_t b = make(monoWave(level(5000, 0.5, 44100), 44100), 3);
    ASSERT_TRUE(music != 0 && a != 0 && b != 0);
    dsPlayLooping(music);
    let(0.15);
    dsPlay(a);
    dsPlay(b);
    let(0.9);
    const auto out = left();
    EXPECT_GT(countNear(out, 9000), static_cast<long>(0.4 * rate)) << "not all three together";
    EXPECT_LE(peak(out), 9030);
    const long last = lastLoud(out, 8000);
    ASSERT_GE(last, 0);
    EXPECT_GT(std::count_if(out.begin() + last, out.end(),
                            [](std::int16_t s) { return std::abs(s - 1000) <= 30; }),
              rate / 10)
        << "the music should carry on when the effects end";
}

TEST_F(LibraryOnDisk, PlayingAnEffectAgainRestartsIt) {
    const intptr_t click = make(monoWave(level(4000, 0.3, 44100), 44100), 3);
    ASSERT_NE(click, 0);
    dsPlay(click);
    let(0.15);
    dsPlay(click);
    let(0.7);
    const auto out = left();
    EXPECT_LE(peak(out), 4030) << "the second play was layered over the first";
    const long first = firstLoud(out), last = lastLoud(out);
    ASSERT_GE(first, 0);
    const double seconds = static_cast<double>(last - first + 1) / rate;
    EXPECT_GT(seconds, 0.38) << "the second play did not start it again";
    EXPECT_LT(seconds, 0.7);
    EXPECT_EQ(countNear(out, 4000), last - first + 1) << "a gap where it restarted";
}

TEST_F(LibraryOnDisk, ZeroAndStaleHandlesChangeNothing) {
    const Bytes constant = monoWave(level(3000, 0.05, 44100), 44100);
    const intptr_t music = make(constant, 1);
    const intptr_t freed = make(constant, 3);
    ASSERT_TRUE(music != 0 && freed != 0);
    dsFree(freed);
    dsPlayLooping(music);
    let(0.2);

    dsPlay(0);
    dsPlayLooping(0);
    dsStop(0);
    dsFree(0);
    dsTerminate(0);
    dsPlay(freed);
    dsPlayLooping(freed);
    dsStop(freed);
    dsFree(freed);
    dsStop(device); // a device is not a buffer
    dsFree(device);
    dsTerminate(music); // nor is a buffer a device
    EXPECT_EQ(dsCreateDSB(0, constant.data(), constant.size(), 3), 0);
    EXPECT_EQ(dsCreateDSB(freed, constant.data(), constant.size(), 3), 0);
    EXPECT_EQ(dsCreateDSB(device, nullptr, constant.size(), 3), 0);

    const auto mark = static_cast<long>(disk.bytes() / frameBytes());
    let(0.4);
    EXPECT_NE(make(constant, 3), 0) << "the device should still be open";
    const auto out = left();
    ASSERT_LT(mark + rate * 3 / 10, static_cast<long>(out.size()));
    const std::vector<std::int16_t> after(out.begin() + mark, out.begin() + mark + rate * 3 / 10);
    EXPECT_EQ(countNear(after, 3000), static_cast<long>(after.size()))
        << "the music was disturbed by calls that should do nothing";
}

TEST_F(LibraryOnDisk, OddlyLaidOutImagePlaysItsOwnSamples) {
    // A padded odd-sized chunk first, the samples before the format, junk after the RIFF
    // end: every byte of the level must still be found where it is.
    Bytes image = riff({chunk("LIST", {'a', 'b', 'c'}),
                        chunk("data", pcm16(level(6000, 0.2, 44100))), fmtChunk(Format{})});
    append(image, {'J', 'U', 'N', 'K', 1, 2, 3});
    const intptr_t sound = make(image, 3);
    ASSERT_NE(sound, 0);
    dsPlay(sound);
    let(0.5);
    const auto out = left();
    EXPECT_NEAR(static_cast<double>(countNear(out, 6000)) / rate, 0.2, 0.005);
    EXPECT_LE(peak(out), 6030);
}

TEST_F(LibraryOnDisk, HalfRateSoundIsWidenedWithItsInBetweenSamples) {
    // A 22050 Hz ramp of even values: at 44100 Hz the interpolated samples fill in the odd
    // ones, so the output climbs by exactly one a frame, on both channels alike.
    std::vector<std::int16_t> ramp;
    for (int i = 1; i <= 8000; ++i) ramp.push_back(static_cast<std::int16_t>(2 * i));
    ASSERT_EQ(rate, 44100);
    const intptr_t sound = make(monoWave(ramp, 22050), 3);
    ASSERT_NE(sound, 0);
    dsPlay(sound);
    let(0.6);
    close();
    const auto all = disk.samples();
    std::size_t at = 0;
    while (at < all.size() && all[at] != 2) at += static_cast<std::size_t>(channels);
    ASSERT_LT(at + 2 * 15998, all.size()) << "the ramp never started";
    for (int k = 0; k < 15998; ++k) {
        const std::size_t frame = at + static_cast<std::size_t>(k * channels);
        ASSERT_EQ(all[frame], 2 + k) << k;
        ASSERT_EQ(all[frame + 1], all[frame]) << k;
    }
}

struct Broken {
    const char* what;
    Bytes image;
};

Bytes good() {
    return monoWave(sine(440, 0.01, 22050, 8000), 22050);
}

Bytes with32(std::size_t at, std::uint32_t v) {
    Bytes b = good();
    set32(b, at, v);
    return b;
}

Bytes with16(std::size_t at, std::uint32_t v) {
    Bytes b = good();
    set16(b, at, v);
    return b;
}

Bytes prefix(std::size_t n) {
    const Bytes b = good();
    return Bytes(b.begin(), b.begin() + static_cast<long>(n));
}

Bytes formatOf(std::uint16_t tag, std::uint16_t channels, std::uint32_t rate, std::uint16_t bits) {
    return riff({fmtChunk({tag, channels, rate, bits}), chunk("data", Bytes(64, 0))});
}

// The canonical 44-byte layout: RIFF size at 4, fmt size at 16, channels at 22,
// block align at 32, data size at 40.
std::vector<Broken> brokenImages() {
    const Bytes samples = pcm16(sine(440, 0.01, 22050, 8000));
    return {
        {"nothing", {}},
        {"shorter than a RIFF header", prefix(11)},
        {"RIFF header only", prefix(12)},
        {"cut inside fmt", prefix(30)},
        {"cut inside the data header", prefix(42)},
        {"cut after the data header", prefix(44)},
        {"one byte short", prefix(good().size() - 1)},
        {"RIFF size past the image", with32(4, 0xFFFFFFFFu)},
        {"RIFF size too small for WAVE", with32(4, 2)},
        {"data size past the image", with32(40, 1u << 20)},
        {"data size one byte past", with32(40, static_cast<std::uint32_t>(samples.size() + 1))},
        {"fmt size past the image", with32(16, 0x7FFFFFF0u)},
        {"fmt too short", riff({chunk("fmt ", Bytes(14, 1)), chunk("data", samples)})},
        {"not RIFF",
         [] {
             Bytes b = good();
             b[3] = 'X';
             return b;
         }()},
        {"not WAVE",
         [] {
             Bytes b = good();
             b[8] = 'A';
             return b;
         }()},
        {"no fmt", riff({chunk("data", samples)})},
        {"no data", riff({fmtChunk(Format{})})},
        {"two fmt", riff({fmtChunk(Format{}), fmtChunk(Format{}), chunk("data", samples)})},
        {"no channels", with16(22, 0)},
        {"block align lies", with16(32, 3)},
        {"three channels", formatOf(1, 3, 44100, 16)},
        {"12-bit", formatOf(1, 1, 44100, 12)},
        {"no sample rate", formatOf(1, 1, 0, 16)},
        {"compressed", formatOf(2, 1, 44100, 16)},
        {"16-bit float", formatOf(3, 1, 44100, 16)},
        {"less than one frame", riff({fmtChunk(Format{}), chunk("data", {7})})},
    };
}

TEST_F(LibraryOnDisk, RefusesTruncatedLyingAndForeignImages) {
    for (const Broken& c : brokenImages()) {
        // A copy of exactly the image's size: reading one byte past it is caught.
        const auto exact =
            std::make_unique<std::uint8_t[]>(std::max<std::size_t>(c.image.size(), 1));
        std::copy(c.image.begin(), c.image.end(), exact.get());
        EXPECT_EQ(dsCreateDSB(device, exact.get(), c.image.size(), 3), 0) << c.what;
    }
    const Bytes fine = good();
    EXPECT_EQ(dsCreateDSB(device, fine.data(), 100, 3), 0) << "length shorter than the header says";
    EXPECT_EQ(dsCreateDSB(device, fine.data(), fine.size(), 2), 0) << "unknown flag";
}

Bytes extensibleFmt(std::uint16_t subformat) {
    Bytes body;
    put16(body, 0xFFFE);
    put16(body, 2);
    put32(body, 48000);
    put32(body, 48000 * 4);
    put16(body, 4);
    put16(body, 16);
    put16(body, 22);
    put16(body, 16);
    put32(body, 3);
    put16(body, subformat);
    append(body,
           {0x00, 0x00, 0x00, 0x00, 0x10, 0x00, 0x80, 0x00, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71});
    return chunk("fmt ", body);
}

TEST_F(LibraryOnDisk, AcceptsTheWaveLayoutsPlayersBring) {
    const Bytes four(96, 0);
    const std::vector<Broken> fine = {
        {"plain", good()},
        {"extensible PCM", riff({extensibleFmt(1), chunk("data", four)})},
        {"float stereo", formatOf(3, 2, 48000, 32)},
        {"24-bit", formatOf(1, 2, 44100, 24)},
        {"8-bit, odd last chunk without its pad",
         riff({fmtChunk({1, 1, 11025, 8}), chunk("data", Bytes(51, 128), false)})},
        {"cue chunk after the data",
         riff({fmtChunk(Format{}), chunk("data", four), chunk("cue ", Bytes(28, 0))})},
    };
    for (const Broken& c : fine) {
        EXPECT_NE(dsCreateDSB(device, c.image.data(), c.image.size(), 3), 0) << c.what;
        EXPECT_NE(dsCreateDSB(device, c.image.data(), c.image.size(), 1), 0) << c.what;
    }
}

} // namespace
} // namespace zubeki::test
