#pragma once

// Runs the real zubeki-cli program and writes records with the game's own writer.

#include <sys/wait.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <iterator>
#include <string>
#include <vector>

#include <unistd.h>

#include "record/movelist.h"
#include "record/record_file.h"

namespace zubeki::cli::test {

namespace fs = std::filesystem;

struct RunResult {
    int status = -1; // exit status, -1 when the program did not exit normally (a crash)
    std::string out;
    std::string err;
};

inline std::string shellQuoted(const std::string& s) {
    std::string q = "'";
    for (char c : s) q += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return q + "'";
}

// A folder of its own under the system's temporary folder, removed with everything in it.
class TempFolder {
  public:
    explicit TempFolder(const std::string& name)
        : path_(fs::temp_directory_path() /
                ("zubeki-cli-" + name + "-" + std::to_string(::getpid()))) {
        fs::remove_all(path_);
        fs::create_directories(path_);
    }
    ~TempFolder() {
        std::error_code ec;
        fs::remove_all(path_, ec);
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;
    const fs::path& path() const { return path_; }

  private:
    fs::path path_;
};

inline std::string readFile(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline RunResult runProgram(const std::vector<std::string>& args) {
    static const TempFolder errFolder("stderr");
    const fs::path errFile = errFolder.path() / "err.txt";
    std::string command = shellQuoted(ZUBEKI_CLI_PROGRAM);
    for (const std::string& a : args) command += " " + shellQuoted(a);
    command += " 2>" + shellQuoted(errFile.string());

    RunResult r;
    FILE* pipe = ::popen(command.c_str(), "r");
    if (pipe == nullptr) return r;
    char buffer[4096];
    for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;)
        r.out.append(buffer, n);
    const int wait = ::pclose(pipe);
    r.status = WIFEXITED(wait) ? WEXITSTATUS(wait) : -1;
    r.err = readFile(errFile);
    return r;
}

struct RecordedMove {
    int fromX, fromY, toX, toY, piece, result;
    int target = 0;
};

inline MoveList moveList(std::initializer_list<RecordedMove> moves) {
    MoveList list;
    int n = 0;
    for (const RecordedMove& m : moves) {
        ++n;
        list.REC_FROM_X[n] = m.fromX;
        list.REC_FROM_Y[n] = m.fromY;
        list.REC_TO_X[n] = m.toX;
        list.REC_TO_Y[n] = m.toY;
        list.REC_PIECE[n] = m.piece;
        list.REC_RESULT[n] = m.result;
        list.REC_TARGET[n] = m.target;
    }
    list.RECORD_POS = list.RECORD_LEN = n;
    return list;
}

// Writes the moves as `name`.棋譜 in `folder` with the game's writer and answers the path.
inline fs::path writeTestRecord(const fs::path& folder, const std::string& name,
                                std::initializer_list<RecordedMove> moves) {
    const WriteResult w =
        writeRecord(folder, name, RecordHeader{"test game", "upper", "lower"}, moveList(moves));
    if (!w.ok) throw std::runtime_error("writeRecord: " + w.error);
    return recordPath(folder, name);
}

// The text between "key": and the next key at the same level would need a parser; the outputs
// are compact, so a field is found by its key and cut at the given following text.
inline std::string field(const std::string& json, const std::string& key, const std::string& next) {
    const std::string open = "\"" + key + "\":";
    const auto a = json.find(open);
    if (a == std::string::npos) return {};
    const auto from = a + open.size();
    const auto b = next.empty() ? json.rfind('}') : json.find(next, from);
    return b == std::string::npos ? std::string{} : json.substr(from, b - from);
}

} // namespace zubeki::cli::test
