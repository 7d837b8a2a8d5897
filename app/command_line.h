#pragma once

#include <iosfwd>
#include <optional>
#include <string>
#include <vector>

namespace zubeki {

// What the game's command line asks for: either an exit status at once (--help,
// --version, or a line refused), or the arguments to hand to Qt — the program's name and
// at most one record — the language asked for ("ja", "en"; empty: the one kept from an earlier
// run, else the system's), and whether the choices kept between runs are to be forgotten.
struct CommandLine {
    std::optional<int> exitStatus;
    std::vector<char*> qtArguments;
    std::string language;
    bool resetSettings = false; // --reset-settings: the kept choices forgotten before start
    // A game online begun at start: --online-create SERVER or --online-join SERVER --code C,
    // with --name N (the kept name without it).
    std::string onlineCreate, onlineJoin, onlineCode, onlineName, onlineSide;
};

// Reads argv; prints the help and the version on `out` and a refusal as one line on `err`.
CommandLine readCommandLine(int argc, char* argv[], std::ostream& out, std::ostream& err);

} // namespace zubeki
