// Writes the game's six wave files into the folder given on the command line.
//   wavegen OUTDIR [--report]
#include "synth.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <string>

namespace {

using zubeki::wavegen::Samples;

void put16(std::ofstream& out, std::uint32_t v) {
    const char bytes[2] = {static_cast<char>(v & 0xFF), static_cast<char>((v >> 8) & 0xFF)};
    out.write(bytes, 2);
}

void put32(std::ofstream& out, std::uint32_t v) {
    put16(out, v & 0xFFFF);
    put16(out, v >> 16);
}

bool writeWave(const std::filesystem::path& path, const Samples& samples) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    if (!out) return false;
    const auto dataBytes = static_cast<std::uint32_t>(samples.size() * 2);
    const std::uint32_t rate = zubeki::wavegen::kSampleRate;
    out.write("RIFF", 4);
    put32(out, 36 + dataBytes);
    out.write("WAVEfmt ", 8);
    put32(out, 16);
    put16(out, 1); // PCM
    put16(out, 1); // mono
    put32(out, rate);
    put32(out, rate * 2);
    put16(out, 2);
    put16(out, 16);
    out.write("data", 4);
    put32(out, dataBytes);
    for (std::int16_t s : samples) put16(out, static_cast<std::uint16_t>(s));
    return static_cast<bool>(out);
}

// Peak, loudness, the edges and the largest step between neighbours (the step across
// the loop's seam is listed apart), for checking the sounds by eye.
void report(const std::string& name, const Samples& s) {
    double peak = 0, energy = 0;
    int step = 0;
    for (std::size_t i = 0; i < s.size(); ++i) {
        peak = std::max(peak, std::abs(static_cast<double>(s[i])));
        energy += static_cast<double>(s[i]) * s[i];
        if (i > 0) step = std::max(step, std::abs(s[i] - s[i - 1]));
    }
    std::printf("%-14s %6.2f s  peak %5.1f%%  rms %5.1f%%  first %6d  last %6d  step %5d  "
                "seam %5d\n",
                name.c_str(), static_cast<double>(s.size()) / zubeki::wavegen::kSampleRate,
                100.0 * peak / 32768,
                100.0 * std::sqrt(energy / static_cast<double>(s.size())) / 32768, s.front(),
                s.back(), step, std::abs(s.front() - s.back()));
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::cerr << "usage: wavegen OUTDIR [--report]\n";
        return 2;
    }
    const std::filesystem::path folder = argv[1];
    const bool wantReport = argc > 2 && std::string(argv[2]) == "--report";
    std::error_code ec;
    std::filesystem::create_directories(folder, ec);

    struct Wave {
        const char8_t* file;
        Samples (*make)();
    };
    const Wave waves[] = {
        {u8"その他.wav", zubeki::wavegen::versionChime},
        {u8"禁止.wav", zubeki::wavegen::refusalBuzz},
        {u8"駒打音.wav", zubeki::wavegen::pieceClick},
        {u8"終局.wav", zubeki::wavegen::gameEndPhrase},
        {u8"消滅.wav", zubeki::wavegen::vanishPop},
        {u8"BGM.wav", zubeki::wavegen::music},
    };
    for (const Wave& w : waves) {
        const std::filesystem::path path = folder / std::filesystem::path(w.file);
        const Samples samples = w.make();
        if (!writeWave(path, samples)) {
            std::cerr << "wavegen: cannot write " << path.string() << "\n";
            return 1;
        }
        if (wantReport) report(reinterpret_cast<const char*>(w.file), samples);
    }
    return 0;
}
