// Module1 over a recording fake library, over broken installs, and once over the real
// library beside the program.
#include "sound/module1.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <system_error>
#include <vector>

#if !defined(_WIN32)
#include <unistd.h>
#endif

namespace zubeki {
namespace {

namespace fs = std::filesystem;

// The fake library writes every call it gets into one log.
struct Fake {
    static inline std::vector<std::string> calls;
    static inline std::vector<std::vector<unsigned char>> images;
    static inline intptr_t device = 7;

    static void reset() {
        calls.clear();
        images.clear();
        device = 7;
    }
    static intptr_t initialize(intptr_t window) {
        calls.push_back("dsInitialize(" + std::to_string(window) + ")");
        return device;
    }
    static intptr_t create(intptr_t dev, const void* image, size_t length, int flag) {
        calls.push_back("dsCreateDSB(" + std::to_string(dev) + "," + std::to_string(flag) + ")");
        const auto* bytes = static_cast<const unsigned char*>(image);
        images.emplace_back(bytes, bytes + length);
        return 100 + static_cast<intptr_t>(images.size());
    }
    static void play(intptr_t h) { calls.push_back("dsPlay(" + std::to_string(h) + ")"); }
    static void loop(intptr_t h) { calls.push_back("dsPlayLooping(" + std::to_string(h) + ")"); }
    static void stop(intptr_t h) { calls.push_back("dsStop(" + std::to_string(h) + ")"); }
    static void free(intptr_t h) { calls.push_back("dsFree(" + std::to_string(h) + ")"); }
    static void terminate(intptr_t d) { calls.push_back("dsTerminate(" + std::to_string(d) + ")"); }

    static SoundLibrary table() { return {initialize, create, play, loop, stop, free, terminate}; }
};

struct Shown {
    std::string text, title;
    Buttons buttons;
    Icon icon;
};

class Module1Test : public ::testing::Test {
  protected:
    void SetUp() override {
        Fake::reset();
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        root = fs::temp_directory_path() /
               ("zubeki_module1_" + std::string(info->name()) + "_" + std::to_string(processId()));
        program = root / "program";
        fs::remove_all(root);
        fs::create_directories(root / "current");
        fs::create_directories(program);
        previous = fs::current_path();
        fs::current_path(root / "current");
    }
    void TearDown() override {
        fs::current_path(previous);
        std::error_code ec;
        fs::permissions(root / "current" / "BGM.wav", fs::perms::owner_all, ec);
        fs::remove_all(root, ec);
    }

    static long processId() {
#if defined(_WIN32)
        return 0;
#else
        return static_cast<long>(getpid());
#endif
    }

    MessageBoxFn recorder() {
        return [this](const std::string& text, const std::string& title, Buttons b, Icon i) {
            shown.push_back({text, title, b, i});
            return Answer::Ok;
        };
    }

    static void write(const fs::path& path, const std::string& content) {
        std::ofstream(path, std::ios::binary) << content;
    }

    void expectOneWarning(const std::string& text) {
        ASSERT_EQ(shown.size(), 1u);
        EXPECT_EQ(shown[0].text, text);
        EXPECT_EQ(shown[0].title, "ZUBEKI.dll");
        EXPECT_EQ(shown[0].buttons, Buttons::Ok);
        EXPECT_EQ(shown[0].icon, Icon::Exclamation);
    }

    fs::path root;
    fs::path program;
    fs::path previous;
    std::vector<Shown> shown;
};

TEST_F(Module1Test, OpensTheDeviceQuietlyAndForwardsBufferCalls) {
    Module1 sound(program, recorder(), Fake::table());
    sound.SoundInitialize(42);
    EXPECT_TRUE(shown.empty());
    EXPECT_EQ(sound.soundDevice(), 7);
    sound.dsPlay(101);
    sound.dsPlayLooping(106);
    sound.dsStop(0);
    sound.dsFree(106);
    sound.SoundTerminate();
    sound.SoundTerminate();
    EXPECT_EQ(Fake::calls,
              (std::vector<std::string>{"dsInitialize(42)", "dsPlay(101)", "dsPlayLooping(106)",
                                        "dsStop(0)", "dsFree(106)", "dsTerminate(7)"}));
    EXPECT_EQ(sound.soundDevice(), 0);
}

TEST_F(Module1Test, FailedStartWarnsOnceAndTheGameGoesOnSilently) {
    const fs::path partial = ZUBEKI_PARTIAL_LIBRARY_DIR;
    SoundLibrary missingExport = Fake::table();
    missingExport.dsStop = nullptr;
    struct Case {
        const char* what;
        fs::path folder;
        std::optional<SoundLibrary> library;
        intptr_t device;
    };
    const Case cases[] = {
        {"the library answers no device", program, Fake::table(), 0},
        {"a table without one export", program, missingExport, 7},
        {"no library file beside the program", program, std::nullopt, 7},
        {"a library file without most exports", partial, std::nullopt, 7},
    };
    write(root / "current" / "駒打音.wav", "RIFF");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Fake::reset();
        Fake::device = c.device;
        shown.clear();
        {
            Module1 sound(c.folder, recorder(), c.library);
            sound.SoundInitialize(42);
            expectOneWarning("Direct Soundインターフェースが作成できません。");
            EXPECT_EQ(sound.soundDevice(), 0);
            EXPECT_EQ(sound.SoundLoadWave("駒打音.wav", 3), 0);
            sound.dsPlayLooping(0);
            sound.SoundTerminate();
        }
        EXPECT_EQ(shown.size(), 1u);
        const bool tableUsable = c.library && c.library->complete();
        EXPECT_EQ(Fake::calls,
                  tableUsable ? (std::vector<std::string>{"dsInitialize(42)", "dsPlayLooping(0)"})
                              : std::vector<std::string>{});
    }
}

TEST_F(Module1Test, HandsTheWholeFileAndTheFlagToTheLibrary) {
    // Larger than one read step, with every byte value, so no byte is lost or changed.
    std::string content;
    for (int i = 0; i < 200000; ++i) content.push_back(static_cast<char>((i * 7) & 0xFF));
    write(root / "current" / "BGM.wav", content);
    Module1 sound(program, recorder(), Fake::table());
    sound.SoundInitialize(1);
    EXPECT_EQ(sound.SoundLoadWave("BGM.wav", 1), 101);
    EXPECT_TRUE(shown.empty());
    ASSERT_EQ(Fake::images.size(), 1u);
    EXPECT_EQ(Fake::images[0], std::vector<unsigned char>(content.begin(), content.end()));
    EXPECT_EQ(Fake::calls.back(), "dsCreateDSB(7,1)");
}

TEST_F(Module1Test, LooksInTheCurrentDirectoryBeforeTheProgramFolder) {
    Module1 sound(program, recorder(), Fake::table());
    sound.SoundInitialize(1);
    EXPECT_EQ(sound.SoundLoadWave("終局.wav", 3), 0) << "a missing file is silent";

    write(program / "終局.wav", "beside the program");
    EXPECT_NE(sound.SoundLoadWave("終局.wav", 3), 0);
    write(root / "current" / "終局.wav", "the player's own");
    EXPECT_NE(sound.SoundLoadWave("終局.wav", 3), 0);

    EXPECT_TRUE(shown.empty());
    ASSERT_EQ(Fake::images.size(), 2u);
    EXPECT_EQ(std::string(Fake::images[0].begin(), Fake::images[0].end()), "beside the program");
    EXPECT_EQ(std::string(Fake::images[1].begin(), Fake::images[1].end()), "the player's own");
}

TEST_F(Module1Test, ReadErrorWarnsWithTheSystemsTextAndThatSoundIsSilent) {
    // A folder in the current directory named like the wave: it is found, but cannot
    // be read, and the good file beside the program is not taken in its place.
    fs::create_directory(root / "current" / "BGM.wav");
    write(program / "BGM.wav", "good");
    Module1 sound(program, recorder(), Fake::table());
    sound.SoundInitialize(1);
    EXPECT_EQ(sound.SoundLoadWave("BGM.wav", 1), 0);
#if defined(__linux__)
    expectOneWarning(std::error_code(EISDIR, std::generic_category()).message());
#else
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_FALSE(shown[0].text.empty());
#endif
    EXPECT_TRUE(Fake::images.empty());
}

#if !defined(_WIN32)
TEST_F(Module1Test, UnreadableFileWarnsWithTheSystemsText) {
    if (geteuid() == 0) GTEST_SKIP() << "root reads every file";
    write(root / "current" / "BGM.wav", "locked");
    fs::permissions(root / "current" / "BGM.wav", fs::perms::none);
    Module1 sound(program, recorder(), Fake::table());
    sound.SoundInitialize(1);
    EXPECT_EQ(sound.SoundLoadWave("BGM.wav", 1), 0);
    expectOneWarning(std::error_code(EACCES, std::generic_category()).message());
}
#endif

TEST_F(Module1Test, StartingAgainReleasesTheEarlierDeviceAndLeavingReleasesTheLast) {
    {
        Module1 sound(program, recorder(), Fake::table());
        sound.SoundInitialize(1);
        Fake::device = 8;
        sound.SoundInitialize(1);
        EXPECT_EQ(sound.soundDevice(), 8);
    }
    EXPECT_EQ(Fake::calls, (std::vector<std::string>{"dsInitialize(1)", "dsTerminate(7)",
                                                     "dsInitialize(1)", "dsTerminate(8)"}));
}

TEST_F(Module1Test, PlaysThroughTheRealLibraryAndTheGeneratedWaves) {
    const std::string disk =
        std::string(std::getenv("SDL_DISKAUDIOFILE") != nullptr ? std::getenv("SDL_DISKAUDIOFILE")
                                                                : "zubeki_module1.raw") +
        ".real";
#if defined(_WIN32)
    _putenv_s("SDL_DISKAUDIOFILE", disk.c_str());
#else
    setenv("SDL_DISKAUDIOFILE", disk.c_str(), 1);
#endif
    // The current directory is empty: every wave is found beside the program.
    Module1 sound(ZUBEKI_PROGRAM_DIR, recorder());
    sound.SoundInitialize(0);
    ASSERT_TRUE(shown.empty()) << shown[0].text;
    ASSERT_NE(sound.soundDevice(), 0);
    const intptr_t piece = sound.SoundLoadWave("駒打音.wav", 3);
    const intptr_t music = sound.SoundLoadWave("BGM.wav", 1);
    EXPECT_NE(piece, 0);
    EXPECT_NE(music, 0);
    sound.dsPlayLooping(music);
    sound.dsPlay(piece);
    sound.dsStop(music);
    sound.dsFree(piece);
    sound.dsFree(music);
    sound.SoundTerminate();
    EXPECT_TRUE(shown.empty());
    std::error_code ec;
    fs::remove(disk, ec);
}

} // namespace
} // namespace zubeki
