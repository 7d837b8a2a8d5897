#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace zubeki::cli {

// Exit statuses of the tool.
inline constexpr int EXIT_OK = 0;
inline constexpr int EXIT_ILLEGAL = 1; // the record is illegal, or its game has ended (think)
inline constexpr int EXIT_USAGE = 2;   // bad arguments, or a file that cannot be read

// Runs one command line (without the program's name). Exactly one JSON object goes to `out`,
// messages to `err`; the answer is the exit status.
int runCli(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

} // namespace zubeki::cli
