// The sound library: devices and buffers are kept in one table inside the library, so
// the handles the game holds are plain numbers that can be checked before use.
#include "zubeki_sound.h"

#include "wave_image.h"

#include <SDL.h>
#include <SDL_mixer.h>

#include <climits>
#include <cstring>
#include <map>
#include <mutex>
#include <set>
#include <utility>
#include <vector>

namespace {

// Output format of the mixer. 1024 frames keep a click within ~25 ms of the press.
constexpr int kOutputRate = 44100;
constexpr int kOutputChannels = 2;
constexpr int kOutputFrames = 1024;

// 16-bit sound at the output rate or half of it, put straight into the output's own layout:
// the common case (the game's waves are 22050 Hz mono) is widened here in one pass, with the
// in-between samples interpolated, and handed to the mixer as it is, instead of going through
// the mixer's general reader and resampler, which cost the game's start a fifth of its time
// for its half-minute of music. Answers false, with `bytes` empty, for anything else.
bool inOutputLayout(const zubeki::sound::WaveImage& wave, std::vector<std::uint8_t>& bytes) {
    constexpr auto rate = static_cast<std::uint32_t>(kOutputRate);
    const bool half = wave.sampleRate * 2 == rate, same = wave.sampleRate == rate;
    bytes.clear();
    if (wave.format != zubeki::sound::kFormatPcm || wave.bitsPerSample != 16 ||
        (wave.channels != 1 && wave.channels != 2) || !(half || same))
        return false;
    const std::size_t in = wave.sampleBytes / (2u * wave.channels);
    if (in == 0) return false;
    auto sample = [&](std::size_t frame, int channel) {
        const std::size_t at =
            (frame * wave.channels + static_cast<std::size_t>(channel % wave.channels)) * 2;
        return static_cast<std::int16_t>(wave.samples[at] | (wave.samples[at + 1] << 8));
    };
    bytes.resize(in * kOutputChannels * 2 * (half ? 2 : 1));
    std::uint8_t* out = bytes.data();
    auto put = [&out](int v) {
        // The mixer's own byte order (AUDIO_S16SYS).
        const auto s16 = static_cast<std::int16_t>(v);
        std::memcpy(out, &s16, 2);
        out += 2;
    };
    for (std::size_t f = 0; f < in; ++f) {
        for (int c = 0; c < kOutputChannels; ++c) put(sample(f, c));
        if (!half) continue;
        const std::size_t g = f + 1 < in ? f + 1 : f;
        for (int c = 0; c < kOutputChannels; ++c) put((sample(f, c) + sample(g, c)) / 2);
    }
    return true;
}

struct Buffer {
    intptr_t device = 0;
    Mix_Chunk* chunk = nullptr;
    std::vector<std::uint8_t> samples; // the chunk's own samples, when we laid them out
    int channel = -1;                  // every buffer sounds on a channel of its own
    int flag = 0;
    bool looping = false;
};

struct Mixer {
    std::mutex lock;
    intptr_t nextHandle = 1; // never reused, so a stale handle finds nothing
    std::set<intptr_t> devices;
    std::map<intptr_t, Buffer> buffers;
    std::vector<int> freeChannels;
    int usedChannels = 0;
};

Mixer& mixer() {
    static Mixer m;
    return m;
}

int takeChannel(Mixer& m) {
    if (!m.freeChannels.empty()) {
        const int channel = m.freeChannels.back();
        m.freeChannels.pop_back();
        return channel;
    }
    const int channel = m.usedChannels++;
    const int allocated = Mix_AllocateChannels(-1);
    if (channel >= allocated)
        Mix_AllocateChannels(allocated * 2 > channel ? allocated * 2 : channel + 1);
    return channel;
}

void release(Mixer& m, std::map<intptr_t, Buffer>::iterator it) {
    Mix_HaltChannel(it->second.channel);
    Mix_FreeChunk(it->second.chunk);
    m.freeChannels.push_back(it->second.channel);
    m.buffers.erase(it);
}

Buffer* findBuffer(Mixer& m, intptr_t handle) {
    auto it = m.buffers.find(handle);
    return it == m.buffers.end() ? nullptr : &it->second;
}

} // namespace

extern "C" {

ZUBEKI_SOUND_API intptr_t dsInitialize(intptr_t /*window*/) {
    Mixer& m = mixer();
    std::lock_guard guard(m.lock);
    if (m.devices.empty()) {
        // The program owns its signals: SDL must not turn SIGTERM and SIGINT into quit
        // events that nobody reads, or a logout or a kill could not end the game.
        SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
        if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) return 0;
        if (Mix_OpenAudio(kOutputRate, AUDIO_S16SYS, kOutputChannels, kOutputFrames) != 0) {
            SDL_QuitSubSystem(SDL_INIT_AUDIO);
            return 0;
        }
        m.freeChannels.clear();
        m.usedChannels = 0;
    }
    const intptr_t handle = m.nextHandle++;
    m.devices.insert(handle);
    return handle;
}

ZUBEKI_SOUND_API intptr_t dsCreateDSB(intptr_t device, const void* image, size_t length, int flag) {
    if (device == 0 || image == nullptr) return 0;
    if (flag != ZUBEKI_SOUND_EFFECT && flag != ZUBEKI_SOUND_MUSIC) return 0;
    Mixer& m = mixer();
    std::lock_guard guard(m.lock);
    if (m.devices.count(device) == 0) return 0;

    const auto wave = zubeki::sound::parseWave(static_cast<const std::uint8_t*>(image), length);
    if (!wave) return 0;
    Buffer buffer;
    Mix_Chunk* chunk = nullptr;
    if (inOutputLayout(*wave, buffer.samples)) {
        if (buffer.samples.size() > static_cast<std::size_t>(UINT32_MAX)) return 0;
        chunk =
            Mix_QuickLoad_RAW(buffer.samples.data(), static_cast<Uint32>(buffer.samples.size()));
    } else {
        // SDL's own reader trusts the sizes it finds, so it only ever sees our rebuilt copy.
        std::vector<std::uint8_t> canonical = zubeki::sound::canonicalWave(*wave);
        if (canonical.size() > static_cast<std::size_t>(INT_MAX)) return 0;
        SDL_RWops* rw = SDL_RWFromConstMem(canonical.data(), static_cast<int>(canonical.size()));
        if (rw == nullptr) return 0;
        chunk = Mix_LoadWAV_RW(rw, 1);
    }
    if (chunk == nullptr) return 0;

    buffer.device = device;
    buffer.chunk = chunk;
    buffer.channel = takeChannel(m);
    buffer.flag = flag;
    Mix_Volume(buffer.channel, MIX_MAX_VOLUME);
    const intptr_t handle = m.nextHandle++;
    // Moved, not copied: the chunk points into the samples the buffer keeps.
    m.buffers.emplace(handle, std::move(buffer));
    return handle;
}

ZUBEKI_SOUND_API void dsPlay(intptr_t handle) {
    Mixer& m = mixer();
    std::lock_guard guard(m.lock);
    Buffer* b = findBuffer(m, handle);
    if (b == nullptr) return;
    b->looping = false;
    Mix_PlayChannel(b->channel, b->chunk, 0); // on its own channel: restarts it if sounding
}

ZUBEKI_SOUND_API void dsPlayLooping(intptr_t handle) {
    Mixer& m = mixer();
    std::lock_guard guard(m.lock);
    Buffer* b = findBuffer(m, handle);
    if (b == nullptr) return;
    // The music carries on when asked again to loop; it does not jump back to its start.
    if (b->flag == ZUBEKI_SOUND_MUSIC && b->looping && Mix_Playing(b->channel) != 0) return;
    b->looping = true;
    Mix_PlayChannel(b->channel, b->chunk, -1);
}

ZUBEKI_SOUND_API void dsStop(intptr_t handle) {
    Mixer& m = mixer();
    std::lock_guard guard(m.lock);
    Buffer* b = findBuffer(m, handle);
    if (b == nullptr) return;
    b->looping = false;
    Mix_HaltChannel(b->channel);
}

ZUBEKI_SOUND_API void dsFree(intptr_t handle) {
    Mixer& m = mixer();
    std::lock_guard guard(m.lock);
    auto it = m.buffers.find(handle);
    if (it != m.buffers.end()) release(m, it);
}

ZUBEKI_SOUND_API void dsTerminate(intptr_t device) {
    Mixer& m = mixer();
    std::lock_guard guard(m.lock);
    if (device == 0 || m.devices.erase(device) == 0) return;
    for (auto it = m.buffers.begin(); it != m.buffers.end();) {
        auto next = std::next(it);
        if (it->second.device == device) release(m, it);
        it = next;
    }
    if (m.devices.empty()) {
        Mix_CloseAudio();
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
    }
}

} // extern "C"
