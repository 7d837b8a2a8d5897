// A device of the real sound library on SDL's disk driver, with this test's own file.
#pragma once

#include "disk_audio.h"
#include "wave_builder.h"

#include "zubeki_sound.h"

#include <SDL_mixer.h>
#include <gtest/gtest.h>

namespace zubeki::test {

class LibraryOnDisk : public ::testing::Test {
  protected:
    void SetUp() override {
        device = dsInitialize(0);
        ASSERT_NE(device, 0) << "no audio output; is SDL_AUDIODRIVER=disk set?";
        int frequency = 0, channelCount = 0;
        Uint16 format = 0;
        ASSERT_EQ(Mix_QuerySpec(&frequency, &format, &channelCount), 1);
        ASSERT_EQ(format, AUDIO_S16SYS);
        rate = frequency;
        channels = channelCount;
    }
    void TearDown() override { close(); }

    void close() {
        if (device != 0) dsTerminate(device);
        device = 0;
    }

    intptr_t make(const Bytes& image, int flag) {
        return dsCreateDSB(device, image.data(), image.size(), flag);
    }

    std::uintmax_t frameBytes() const { return static_cast<std::uintmax_t>(channels) * 2; }

    // Lets `seconds` more of output reach the disk file.
    void let(double seconds) {
        const auto more = static_cast<std::uintmax_t>(seconds * rate) * frameBytes();
        ASSERT_TRUE(disk.waitFor(disk.bytes() + more)) << "the disk output stalled";
    }

    // Closes the device, so the file is complete, and answers its first channel.
    std::vector<std::int16_t> left() {
        close();
        const auto all = disk.samples();
        std::vector<std::int16_t> out;
        for (std::size_t i = 0; i + channels <= all.size(); i += static_cast<std::size_t>(channels))
            out.push_back(all[i]);
        return out;
    }

    DiskAudio disk; // before the device opens, so SDL writes to this test's file
    intptr_t device = 0;
    int rate = 0;
    int channels = 0;
};

} // namespace zubeki::test
