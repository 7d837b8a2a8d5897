#include "app/command_line.h"

#include <ostream>
#include <string_view>

namespace zubeki {
namespace {

constexpr int kExitUsage = 2;

constexpr const char* kHelp =
    "usage: zubeki [RECORD.棋譜]\n"
    "       zubeki --help | --version\n"
    "\n"
    "Starts the game; with a record (a .棋譜 file) the game starts with the record read.\n"
    "\n"
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
    if (record != nullptr) line.qtArguments.push_back(record);
    return line;
}

} // namespace zubeki
