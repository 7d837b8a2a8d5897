// The sound module: the game's four sound routines over our sound library, which is
// loaded at run time from the program's folder. Without it the game runs silently.
#pragma once

#include "play/dialog.h"
#include "sound/library/zubeki_sound.h"

#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>

namespace zubeki {

// Load options of SoundLoadWave, handed to the library unchanged.
inline constexpr int kSoundEffect = ZUBEKI_SOUND_EFFECT; // 3
inline constexpr int kSoundMusic = ZUBEKI_SOUND_MUSIC;   // 1

inline constexpr const char* kSoundLibraryName = "ZUBEKI";
inline constexpr const char* kSoundWarningTitle = "ZUBEKI.dll";
inline constexpr const char* kNoSoundDeviceText = "Direct Soundインターフェースが作成できません。";

// The library's exports. Module1 resolves them from the library file; tests hand in
// their own. A table with any entry missing counts as no library at all.
struct SoundLibrary {
    dsInitializeFn dsInitialize = nullptr;
    dsCreateDSBFn dsCreateDSB = nullptr;
    dsPlayFn dsPlay = nullptr;
    dsPlayLoopingFn dsPlayLooping = nullptr;
    dsStopFn dsStop = nullptr;
    dsFreeFn dsFree = nullptr;
    dsTerminateFn dsTerminate = nullptr;

    bool complete() const;
};

class DynamicLibrary;

class Module1 {
  public:
    // `programFolder` holds the library and the game's own wave files. Without a
    // `library` table the library file is loaded from that folder at SoundInitialize.
    Module1(std::filesystem::path programFolder, MessageBoxFn messageBox,
            std::optional<SoundLibrary> library = std::nullopt);
    // Releases a device still open, before the library it lives in is unloaded.
    ~Module1();
    Module1(const Module1&) = delete;
    Module1& operator=(const Module1&) = delete;

    // Opens the sound device; warns once and leaves the game silent when it cannot.
    // Called again (start-up runs again), it first releases the earlier device and
    // every sound made on it, so only one music stream can ever play.
    void SoundInitialize(std::intptr_t window);
    // Releases the device and every sound made on it.
    void SoundTerminate();
    // A buffer for the wave file `fileName` (UTF-8), found in the current directory or
    // else in the program's folder; 0 when there is no device or no such file. A file
    // that cannot be read is reported with the system's text for the error.
    std::intptr_t SoundLoadWave(const std::string& fileName, int flag);
    // The sound module's warning box: exclamation, OK, title "ZUBEKI.dll".
    void SoundWarning(const std::string& text);

    // The library's buffer calls; they do nothing while there is no library.
    void dsPlay(std::intptr_t buffer);
    void dsPlayLooping(std::intptr_t buffer);
    void dsStop(std::intptr_t buffer);
    void dsFree(std::intptr_t buffer);

    // The device handle; 0 while there is no sound device.
    std::intptr_t soundDevice() const { return SOUND_DEVICE; }

  private:
    bool loadLibrary();

    std::filesystem::path programFolder_;
    MessageBoxFn messageBox_;
    SoundLibrary library_;
    bool injected_ = false;
    bool libraryReady_ = false;
    std::unique_ptr<DynamicLibrary> libraryFile_;
    std::intptr_t SOUND_DEVICE = 0;
};

} // namespace zubeki
