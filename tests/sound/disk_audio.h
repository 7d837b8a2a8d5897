// SDL's disk driver writes what the mixer plays into a file; these helpers give each
// test its own file and read it back as 16-bit samples.
#pragma once

#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

namespace zubeki::test {

class DiskAudio {
  public:
    // Derives this test's own file from SDL_DISKAUDIOFILE, so tests of one binary
    // running side by side never share a file.
    DiskAudio() {
        // The name given to the binary, read before any test points SDL elsewhere.
        static const std::string base = [] {
            const char* name = std::getenv("SDL_DISKAUDIOFILE");
            return std::string(name != nullptr ? name : "zubeki_disk_audio.raw");
        }();
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        std::string own = std::string(info->test_suite_name()) + "." + info->name();
        for (char& c : own)
            if (c == '/') c = '_';
        path_ = base + "." + own;
        std::error_code ec;
        std::filesystem::remove(path_, ec);
#if defined(_WIN32)
        _putenv_s("SDL_DISKAUDIOFILE", path_.c_str());
#else
        setenv("SDL_DISKAUDIOFILE", path_.c_str(), 1);
#endif
    }
    ~DiskAudio() {
        std::error_code ec;
        std::filesystem::remove(path_, ec);
    }

    // Bytes that have reached the file so far (the writer buffers a little more).
    std::uintmax_t bytes() const {
        std::error_code ec;
        const auto size = std::filesystem::file_size(path_, ec);
        return ec ? 0 : size;
    }

    // Waits until the file has grown to `target` bytes; false if the output stalls.
    bool waitFor(std::uintmax_t target) const {
        for (int i = 0; i < 800 && bytes() < target; ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        return bytes() >= target;
    }

    std::vector<std::int16_t> samples() const {
        std::ifstream in(path_, std::ios::binary);
        std::vector<char> raw((std::istreambuf_iterator<char>(in)), {});
        std::vector<std::int16_t> out(raw.size() / 2);
        std::memcpy(out.data(), raw.data(), out.size() * 2);
        return out;
    }

  private:
    std::string path_;
};

} // namespace zubeki::test
