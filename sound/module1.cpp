#include "sound/module1.h"

#include "sound/dynlib.h"

#include <cerrno>
#include <cstdio>
#include <system_error>
#include <utility>
#include <vector>

namespace zubeki {
namespace {

// A wave file larger than this is refused before it is read whole into memory.
constexpr std::size_t kMaxWaveFileBytes = std::size_t{256} << 20;

std::filesystem::path pathFromUtf8(const std::string& name) {
    return std::filesystem::path(std::u8string(name.begin(), name.end()));
}

bool nameExists(const std::filesystem::path& path) {
    std::error_code ec;
    return std::filesystem::exists(path, ec);
}

// Reads the whole file; answers the system's error when that fails part way.
std::error_code readWholeFile(const std::filesystem::path& path, std::vector<unsigned char>& out) {
    errno = 0;
#if defined(_WIN32)
    std::FILE* file = _wfopen(path.c_str(), L"rb");
#else
    std::FILE* file = std::fopen(path.c_str(), "rb");
#endif
    if (file == nullptr) return {errno != 0 ? errno : EIO, std::generic_category()};
    std::error_code error;
    constexpr std::size_t kStep = 64 * 1024;
    for (;;) {
        const std::size_t had = out.size();
        out.resize(had + kStep);
        errno = 0;
        const std::size_t got = std::fread(out.data() + had, 1, kStep, file);
        out.resize(had + got);
        if (got < kStep) {
            if (std::ferror(file) != 0) error = {errno != 0 ? errno : EIO, std::generic_category()};
            break;
        }
        if (out.size() > kMaxWaveFileBytes) {
            error = std::make_error_code(std::errc::file_too_large);
            break;
        }
    }
    std::fclose(file);
    return error;
}

template <typename Fn> bool resolve(const DynamicLibrary& file, const char* name, Fn& fn) {
    fn = reinterpret_cast<Fn>(file.symbol(name));
    return fn != nullptr;
}

} // namespace

bool SoundLibrary::complete() const {
    return dsInitialize != nullptr && dsCreateDSB != nullptr && dsPlay != nullptr &&
           dsPlayLooping != nullptr && dsStop != nullptr && dsFree != nullptr &&
           dsTerminate != nullptr;
}

Module1::Module1(std::filesystem::path programFolder, MessageBoxFn messageBox,
                 std::optional<SoundLibrary> library)
    : programFolder_(std::move(programFolder)), messageBox_(std::move(messageBox)) {
    if (library) {
        library_ = *library;
        libraryReady_ = library_.complete();
        injected_ = true;
    }
}

Module1::~Module1() {
    SoundTerminate();
}

bool Module1::loadLibrary() {
    if (injected_) return libraryReady_;
    if (libraryReady_) return true;
    auto file = DynamicLibrary::open(programFolder_ / DynamicLibrary::fileName(kSoundLibraryName));
    if (!file) return false;
    SoundLibrary table;
    const bool all = resolve(*file, "dsInitialize", table.dsInitialize) &&
                     resolve(*file, "dsCreateDSB", table.dsCreateDSB) &&
                     resolve(*file, "dsPlay", table.dsPlay) &&
                     resolve(*file, "dsPlayLooping", table.dsPlayLooping) &&
                     resolve(*file, "dsStop", table.dsStop) &&
                     resolve(*file, "dsFree", table.dsFree) &&
                     resolve(*file, "dsTerminate", table.dsTerminate);
    if (!all) return false;
    library_ = table;
    libraryFile_ = std::move(file);
    libraryReady_ = true;
    return true;
}

void Module1::SoundInitialize(std::intptr_t window) {
    SoundTerminate();
    SOUND_DEVICE = loadLibrary() ? library_.dsInitialize(window) : 0;
    if (SOUND_DEVICE == 0) SoundWarning(kNoSoundDeviceText);
}

void Module1::SoundTerminate() {
    if (SOUND_DEVICE == 0) return;
    library_.dsTerminate(SOUND_DEVICE);
    SOUND_DEVICE = 0;
}

std::intptr_t Module1::SoundLoadWave(const std::string& fileName, int flag) {
    if (SOUND_DEVICE == 0 || fileName.empty()) return 0;
    std::filesystem::path path = pathFromUtf8(fileName);
    if (!nameExists(path)) {
        path = programFolder_ / path;
        if (!nameExists(path)) return 0;
    }
    std::vector<unsigned char> image;
    if (const std::error_code error = readWholeFile(path, image)) {
        SoundWarning(error.message());
        return 0;
    }
    return library_.dsCreateDSB(SOUND_DEVICE, image.data(), image.size(), flag);
}

void Module1::SoundWarning(const std::string& text) {
    if (messageBox_) messageBox_(text, kSoundWarningTitle, Buttons::Ok, Icon::Exclamation);
}

void Module1::dsPlay(std::intptr_t buffer) {
    if (libraryReady_) library_.dsPlay(buffer);
}

void Module1::dsPlayLooping(std::intptr_t buffer) {
    if (libraryReady_) library_.dsPlayLooping(buffer);
}

void Module1::dsStop(std::intptr_t buffer) {
    if (libraryReady_) library_.dsStop(buffer);
}

void Module1::dsFree(std::intptr_t buffer) {
    if (libraryReady_) library_.dsFree(buffer);
}

} // namespace zubeki
