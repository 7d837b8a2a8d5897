#include "cli/commands.h"

#include "cli/command_line.h"
#include "cli/json.h"

namespace zubeki::cli {
namespace {

constexpr const char* kUsage =
    "usage: zubeki-cli COMMAND [OPTIONS]\n"
    "\n"
    "  replay FILE                      play a record through the rules\n"
    "  think FILE | --position P [--moves M] [--level N] [--digit D] [--ms T | --nodes N]\n"
    "                                   the computer's move after FILE, or in a position\n"
    "  analyse FILE | --position P --moves M [--ms T | --nodes N] [--threads J]\n"
    "                                   each move judged against the computer's\n"
    "  perft [--position P] --depth D [--divide]\n"
    "                                   count the move sequences of D moves\n"
    "  selfplay --games N [--seed S] [--level L] [--lower random|computer] [--openings K]\n"
    "           [--records DIR] [--ms T | --nodes N] [--position P]\n"
    "                                   computer against a random mover or against itself\n"
    "  match --a LEVEL --b LEVEL --games N [--first-pair K] [--openings K] [--seed S]\n"
    "        [--ms T | --nodes N] [--concurrency J] [--records DIR]\n"
    "        [--sprt elo0=E0,elo1=E1,alpha=A,beta=B] [--position P]\n"
    "                                   two computer levels against each other\n"
    "  match --merge FILE... [--sprt ...]\n"
    "                                   the results of several match runs as one\n"
    "\n"
    "Each command prints one JSON object on standard output and its messages on standard\n"
    "error. Exit status: 0 success, 1 an illegal record (or, for think, a finished game),\n"
    "2 a usage error or a file that cannot be read or written. 'zubeki-cli COMMAND --help'\n"
    "(or -h) tells more; 'zubeki-cli --version' prints the version.\n"
    "\n"
    "A position P is one line of five fields, e.g. the starting position\n"
    "  '6rbr/6brb/6rbr/9/9/9/RBR6/BRB6/RBR6 l - 0 1'\n"
    "(board ranks from the top, side to move l|u, check squares or -, passes, move number);\n"
    "a move is written like 9g9f, 3c1a+ (promoting) or pass.\n";

} // namespace

int runCli(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    if (!args.empty() && args[0] == "--version") {
        err << "zubeki-cli " << ZUBEKI_VERSION << '\n';
        JsonWriter w;
        w.beginObject().key("version").value(ZUBEKI_VERSION).endObject();
        out << w.str() << '\n';
        return EXIT_OK;
    }
    if (args.empty()) return usageError(out, err, "no command", "");
    const std::string& command = args[0];
    if (command == "--help" || command == "-h" || command == "help")
        return printHelp(out, err, kUsage);
    if (command == "replay") return replayCommand(args, out, err);
    if (command == "think") return thinkCommand(args, out, err);
    if (command == "perft") return perftCommand(args, out, err);
    if (command == "analyse") return analyseCommand(args, out, err);
    if (command == "selfplay") return selfplayCommand(args, out, err);
    if (command == "match") return matchCommand(args, out, err);
    return usageError(out, err, "unknown command '" + command + "'", "");
}

} // namespace zubeki::cli
