#include "synth.h"

#include <algorithm>
#include <cmath>
#include <cstddef>

namespace zubeki::wavegen {
namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr double kRate = kSampleRate;

using Buffer = std::vector<double>;

std::size_t samplesFor(double seconds) {
    return static_cast<std::size_t>(seconds * kRate + 0.5);
}

double midiHz(int note) {
    return 440.0 * std::pow(2.0, (note - 69) / 12.0);
}

// Rises from 0 to 1 along half a cosine over `seconds`, so nothing starts with a step.
double rise(double t, double seconds) {
    if (t >= seconds) return 1.0;
    if (t <= 0.0) return 0.0;
    return 0.5 - 0.5 * std::cos(kPi * t / seconds);
}

// Deterministic white noise in [-1, 1].
class Noise {
  public:
    double next() {
        state_ ^= state_ << 13;
        state_ ^= state_ >> 17;
        state_ ^= state_ << 5;
        return static_cast<double>(state_) / 2147483648.0 - 1.0;
    }

  private:
    std::uint32_t state_ = 0x2545F491u;
};

// Scales to `peak` of full scale, fades the last `fadeSeconds` to silence and rounds
// to 16 bits. Effects start from silence on their own (every voice rises from 0).
Samples finish(const Buffer& in, double peak, double fadeSeconds) {
    double most = 0.0;
    for (double v : in) most = std::max(most, std::abs(v));
    const double gain = most > 0.0 ? peak * 32767.0 / most : 0.0;
    const std::size_t fade = std::min(in.size(), samplesFor(fadeSeconds));
    Samples out(in.size());
    for (std::size_t i = 0; i < in.size(); ++i) {
        double v = in[i] * gain;
        const std::size_t left = in.size() - 1 - i;
        if (fade > 0 && left < fade)
            v *= rise(static_cast<double>(left), static_cast<double>(fade));
        out[i] = static_cast<std::int16_t>(std::lround(std::clamp(v, -32767.0, 32767.0)));
    }
    return out;
}

// A struck body: a sum of decaying sine modes.
struct Mode {
    double hz;
    double amplitude;
    double decay; // seconds to fall to 1/e
};

void addModes(Buffer& out, std::size_t start, const Mode* modes, std::size_t count, double attack,
              double gain) {
    for (std::size_t i = start; i < out.size(); ++i) {
        const double t = static_cast<double>(i - start) / kRate;
        double v = 0.0;
        for (std::size_t m = 0; m < count; ++m)
            v += modes[m].amplitude * std::exp(-t / modes[m].decay) *
                 std::sin(2.0 * kPi * modes[m].hz * t);
        out[i] += gain * rise(t, attack) * v;
    }
}

} // namespace

Samples pieceClick() {
    // A hard, short knock: a few inharmonic wood modes that die within ~20 ms, a thud
    // underneath and a breath of filtered noise for the contact.
    Buffer out(samplesFor(0.09), 0.0);
    const Mode wood[] = {{170.0, 0.55, 0.010},
                         {820.0, 1.0, 0.012},
                         {1630.0, 0.55, 0.008},
                         {2470.0, 0.35, 0.006},
                         {3900.0, 0.2, 0.004}};
    addModes(out, 0, wood, std::size(wood), 0.0004, 1.0);
    Noise noise;
    double low = 0.0;
    for (std::size_t i = 0; i < out.size(); ++i) {
        const double t = static_cast<double>(i) / kRate;
        low += 0.35 * (noise.next() - low); // one-pole low-pass: woody, not hissy
        out[i] += 0.6 * rise(t, 0.0003) * std::exp(-t / 0.0018) * low;
    }
    return finish(out, 0.70, 0.005);
}

Samples refusalBuzz() {
    // A low square-ish tone, band-limited so it buzzes without aliasing, with a fast
    // flutter that makes it read as "no".
    const double f0 = 98.0;
    Buffer out(samplesFor(0.28), 0.0);
    const double length = static_cast<double>(out.size()) / kRate;
    for (std::size_t i = 0; i < out.size(); ++i) {
        const double t = static_cast<double>(i) / kRate;
        double v = 0.0;
        for (int k = 1; k * f0 < 4000.0; ++k) {
            const double weight = (k % 2 == 1) ? 1.0 / k : 0.35 / k;
            v += weight * std::sin(2.0 * kPi * k * f0 * t);
        }
        const double flutter = 1.0 - 0.25 * (0.5 - 0.5 * std::cos(2.0 * kPi * 14.0 * t));
        out[i] = v * flutter * rise(t, 0.008) * rise(length - t, 0.06);
    }
    return finish(out, 0.42, 0.002);
}

Samples vanishPop() {
    // A round "bloop": a sine whose pitch drops quickly, with a soft onset.
    Buffer out(samplesFor(0.15), 0.0);
    double phase = 0.0;
    for (std::size_t i = 0; i < out.size(); ++i) {
        const double t = static_cast<double>(i) / kRate;
        const double hz = 260.0 + 700.0 * std::exp(-t / 0.025);
        phase += 2.0 * kPi * hz / kRate;
        const double v = std::sin(phase) + 0.15 * std::sin(2.0 * phase);
        out[i] = v * rise(t, 0.003) * std::exp(-t / 0.04);
    }
    return finish(out, 0.55, 0.01);
}

Samples gameEndPhrase() {
    // Five mallet notes climbing the yo scale from D5 to D6; the top one rings longest.
    struct Note {
        double at;
        int midi;
        double decay;
    };
    const Note notes[] = {
        {0.00, 74, 0.30}, {0.14, 76, 0.30}, {0.28, 79, 0.30}, {0.42, 81, 0.30}, {0.60, 86, 0.45}};
    Buffer out(samplesFor(1.45), 0.0);
    for (const Note& n : notes) {
        const double hz = midiHz(n.midi);
        const Mode mallet[] = {
            {hz, 1.0, n.decay}, {2.0 * hz, 0.25, n.decay * 0.5}, {3.93 * hz, 0.18, n.decay * 0.25}};
        addModes(out, samplesFor(n.at), mallet, std::size(mallet), 0.004, 1.0);
    }
    return finish(out, 0.60, 0.08);
}

Samples versionChime() {
    // Two small bells a fifth apart, struck one after the other.
    Buffer out(samplesFor(0.9), 0.0);
    const double strikes[][2] = {{0.0, midiHz(88)}, {0.09, midiHz(95)}}; // E6, B6
    for (const auto& s : strikes) {
        const double hz = s[1];
        const Mode bell[] = {{hz, 1.0, 0.30},
                             {2.0 * hz, 0.35, 0.20},
                             {2.76 * hz, 0.25, 0.16},
                             {5.40 * hz, 0.10, 0.09}};
        addModes(out, samplesFor(s[0]), bell, std::size(bell), 0.002, 1.0);
    }
    return finish(out, 0.50, 0.06);
}

namespace {

// The tune is rendered onto a ring: whatever sounds past the last sample carries on
// from the first, so the file is one period of an endless signal and the loop joins
// without a step.
class Ring {
  public:
    explicit Ring(std::size_t length) : samples_(length, 0.0) {}
    void add(std::size_t index, double value) { samples_[index % samples_.size()] += value; }
    std::size_t size() const { return samples_.size(); }
    const Buffer& samples() const { return samples_; }

  private:
    Buffer samples_;
};

constexpr double kBeat = 60.0 / 90.0; // 90 beats a minute
constexpr int kBeats = 48;            // twelve bars of four: 32 s

// A plucked string, koto-like: bright partials that fade fast over a rounder body.
void pluck(Ring& ring, double beat, double beats, int midi, double gain) {
    const double hz = midiHz(midi);
    const double sounding = beats * kBeat + 1.2;
    const std::size_t start = samplesFor(beat * kBeat);
    const std::size_t count = samplesFor(sounding);
    for (std::size_t i = 0; i < count; ++i) {
        const double t = static_cast<double>(i) / kRate;
        double v = 0.0;
        for (int n = 1; n <= 8; ++n) {
            const double partial = n * hz * (1.0 + 0.0004 * n * n);
            if (partial > 9000.0) break;
            const double decay = 1.1 / (1.0 + 0.6 * (n - 1));
            v += std::pow(n, -1.1) * std::exp(-t / decay) * std::sin(2.0 * kPi * partial * t);
        }
        ring.add(start + i, gain * rise(t, 0.004) * rise(sounding - t, 0.3) * v);
    }
}

// A soft, round bass note under each bar.
void bass(Ring& ring, double beat, double beats, int midi, double gain) {
    const double hz = midiHz(midi);
    const double sounding = beats * kBeat + 0.5;
    const std::size_t start = samplesFor(beat * kBeat);
    const std::size_t count = samplesFor(sounding);
    for (std::size_t i = 0; i < count; ++i) {
        const double t = static_cast<double>(i) / kRate;
        const double v = std::sin(2.0 * kPi * hz * t) + 0.2 * std::sin(4.0 * kPi * hz * t);
        ring.add(start + i,
                 gain * rise(t, 0.03) * std::exp(-t / 1.6) * rise(sounding - t, 0.4) * v);
    }
}

// A quiet drone on D and A whose pitches fit a whole number of cycles into the ring
// and whose swell repeats four times in it, so it is periodic on its own.
void drone(Ring& ring, double gain) {
    const double period = static_cast<double>(ring.size()) / kRate;
    const double tones[][2] = {{midiHz(50), 1.0}, {midiHz(57), 0.7}, {midiHz(62), 0.35}};
    for (std::size_t i = 0; i < ring.size(); ++i) {
        const double t = static_cast<double>(i) / kRate;
        double v = 0.0;
        for (const auto& tone : tones) {
            const double hz = std::round(tone[0] * period) / period;
            v += tone[1] * std::sin(2.0 * kPi * hz * t);
        }
        const double swell = 0.75 + 0.25 * std::sin(2.0 * kPi * 4.0 * t / period);
        ring.add(i, gain * swell * v);
    }
}

} // namespace

Samples music() {
    // The yo scale on D (D E G A B): A4 G4 E4 | D4 ... ; three four-bar phrases.
    struct Note {
        double beat;
        double beats;
        int midi;
    };
    constexpr int D4 = 62, E4 = 64, G4 = 67, A4 = 69, B4 = 71, D5 = 74;
    const Note melody[] = {
        {0, 2, A4},  {2, 1, G4},  {3, 1, E4},  {4, 3, D4},  {7, 1, E4},  {8, 1, G4},
        {9, 1, A4},  {10, 2, B4}, {12, 4, A4}, {16, 2, D5}, {18, 1, B4}, {19, 1, A4},
        {20, 2, G4}, {22, 1, A4}, {23, 1, G4}, {24, 2, E4}, {26, 1, G4}, {27, 1, E4},
        {28, 4, D4}, {32, 1, E4}, {33, 1, G4}, {34, 2, A4}, {36, 1, B4}, {37, 1, D5},
        {38, 1, B4}, {39, 1, A4}, {40, 2, G4}, {42, 2, E4}, {44, 2, D4},
    };
    constexpr int D3 = 50, E3 = 52, G2 = 43, A2 = 45;
    const int roots[12] = {D3, D3, G2, A2, D3, G2, E3, D3, E3, G2, A2, D3};

    Ring ring(samplesFor(kBeats * kBeat));
    for (const Note& n : melody) pluck(ring, n.beat, n.beats, n.midi, 1.0);
    // The last bar's notes are short enough to die away before the ring closes, so the
    // very first start, from silence, is as smooth as every later pass over the seam.
    for (int bar = 0; bar < 12; ++bar)
        bass(ring, bar * 4.0, bar < 11 ? 4.0 : 2.0, roots[bar], 0.45);
    drone(ring, 0.06);
    return finish(ring.samples(), 0.40, 0.0);
}

} // namespace zubeki::wavegen
