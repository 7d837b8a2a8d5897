#include "app/command_line.h"

#include <ostream>
#include <string>
#include <string_view>

namespace zubeki {
namespace {

constexpr int kExitUsage = 2;

constexpr const char* kHelp =
    "usage: zubeki [--lang ja|en] [--reset-settings] [RECORD.棋譜]\n"
    "       zubeki [--lang ja|en] --online-create SERVER [--side S] [--name N]\n"
    "       zubeki [--lang ja|en] --online-join SERVER --code C [--name N]\n"
    "       zubeki --help | --version\n"
    "\n"
    "Starts the game; with a record (a .棋譜 file) the game starts with the record read.\n"
    "\n"
    "      --lang L   speak Japanese (ja) or English (en); without it the system's\n"
    "                 language chooses: Japanese for Japanese and C, else English;\n"
    "                 the language chosen is kept for the next runs\n"
    "      --reset-settings\n"
    "                 forget the level, options, language, window places and record\n"
    "                 folder kept from earlier runs, and start as on a first run\n"
    "      --online-create SERVER, --online-join SERVER --code C, --side S, --name N\n"
    "                 begin a game online at once, as 対局 > 通信対局 > 作成 or 参加 would\n"
    "                 with SERVER (host[:port] of a zubeki-server), your side S (lower,\n"
    "                 upper; the server chooses without it), no clock; the invitation code\n"
    "                 of a game created is printed on standard output too, for a script\n"
    "                 to pass on\n"
    "  -h, --help     print this text and exit\n"
    "      --version  print the version and exit\n"
    "      --         the next argument is the record, even when it starts with '-'\n"
    "\n"
    "SDL_AUDIODRIVER chooses the audio driver (dummy and disk play nothing aloud),\n"
    "QT_QPA_PLATFORM the Qt platform (xcb, wayland). More in zubeki(6).\n";

int refuse(std::ostream& err, std::string_view why) {
    err << "zubeki: " << why << " (try 'zubeki --help')\n";
    return kExitUsage;
}

} // namespace

CommandLine readCommandLine(int argc, char* argv[], std::ostream& out, std::ostream& err) {
    CommandLine line;
    line.qtArguments.push_back(argc > 0 ? argv[0] : const_cast<char*>("zubeki"));
    bool optionsEnded = false;
    char* record = nullptr;
    for (int i = 1; i < argc; ++i) {
        const std::string_view a = argv[i];
        const bool isOption = !optionsEnded && a.size() > 1 && a.front() == '-';
        if (isOption && a == "--") {
            optionsEnded = true;
        } else if (isOption && (a == "--help" || a == "-h")) {
            out << kHelp;
            line.exitStatus = 0;
            return line;
        } else if (isOption && a == "--version") {
            out << "zubeki " << ZUBEKI_VERSION << '\n';
            line.exitStatus = 0;
            return line;
        } else if (isOption && a == "--reset-settings") {
            line.resetSettings = true;
        } else if (isOption && (a == "--lang" || a.starts_with("--lang="))) {
            const bool joined = a.size() > 6;
            if (!joined && i + 1 >= argc) {
                line.exitStatus = refuse(err, "--lang needs a language: ja or en");
                return line;
            }
            const std::string_view value = joined ? a.substr(7) : std::string_view(argv[++i]);
            if (value != "ja" && value != "en") {
                line.exitStatus =
                    refuse(err, "--lang must be ja or en, not '" + std::string(value) + "'");
                return line;
            }
            line.language = value == "ja" ? "ja" : "en";
        } else if (isOption && (a == "--online-create" || a == "--online-join" || a == "--code" ||
                                a == "--name" || a == "--side")) {
            if (i + 1 >= argc) {
                line.exitStatus = refuse(err, std::string(a) + " needs a value");
                return line;
            }
            std::string& value = a == "--online-create" ? line.onlineCreate
                                 : a == "--online-join" ? line.onlineJoin
                                 : a == "--code"        ? line.onlineCode
                                 : a == "--side"        ? line.onlineSide
                                                        : line.onlineName;
            value = argv[++i];
        } else if (isOption) {
            line.exitStatus = refuse(err, "unknown option '" + std::string(a) + "'");
            return line;
        } else if (record != nullptr) {
            line.exitStatus =
                refuse(err, "one record at a time: '" + std::string(a) + "' is one too many");
            return line;
        } else {
            record = argv[i];
        }
    }
    if (!line.onlineCreate.empty() && !line.onlineJoin.empty())
        line.exitStatus = refuse(err, "--online-create and --online-join go one at a time");
    else if (!line.onlineSide.empty() && line.onlineSide != "lower" && line.onlineSide != "upper")
        line.exitStatus = refuse(err, "--side must be lower or upper");
    else if (line.onlineJoin.empty() != line.onlineCode.empty())
        line.exitStatus = refuse(err, "--online-join and --code go together");
    else if (record != nullptr && (!line.onlineCreate.empty() || !line.onlineJoin.empty()))
        line.exitStatus = refuse(err, "a record and a game online go one at a time");
    if (record != nullptr) line.qtArguments.push_back(record);
    return line;
}

} // namespace zubeki
