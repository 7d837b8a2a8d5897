// The record files' file operations on POSIX systems: open(2) with O_EXCL for the temporary file,
// fsync(2) before the rename, and rename(2), which replaces the old record in one step.
#include "record/record_fs.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace zubeki {
namespace {

std::error_code lastError() {
    return {errno, std::generic_category()};
}

class PosixOutputFile final : public RecordOutputFile {
  public:
    explicit PosixOutputFile(int fd) : fd_(fd) {}
    ~PosixOutputFile() override {
        if (fd_ >= 0) ::close(fd_);
    }

    std::error_code write(std::string_view bytes) override {
        while (!bytes.empty()) {
            const ssize_t n = ::write(fd_, bytes.data(), bytes.size());
            if (n < 0) {
                if (errno == EINTR) continue;
                return lastError();
            }
            bytes.remove_prefix(static_cast<std::size_t>(n));
        }
        return {};
    }

    std::error_code finish() override {
        std::error_code error;
        if (::fsync(fd_) != 0) error = lastError();
        // close(2) can report a deferred write error (on network file systems above all).
        if (::close(fd_) != 0 && !error) error = lastError();
        fd_ = -1;
        return error;
    }

  private:
    int fd_;
};

class PosixFileSystem final : public RecordFileSystem {
  public:
    std::unique_ptr<RecordOutputFile> createNew(const std::filesystem::path& path,
                                                std::error_code& error) override {
        int fd;
        do {
            fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        } while (fd < 0 && errno == EINTR);
        if (fd < 0) {
            error = lastError();
            return nullptr;
        }
        error.clear();
        return std::make_unique<PosixOutputFile>(fd);
    }

    std::error_code replace(const std::filesystem::path& from,
                            const std::filesystem::path& to) override {
        if (::rename(from.c_str(), to.c_str()) != 0) return lastError();
        // Make the new name itself durable; a folder that cannot be synced is no error.
        const int dir = ::open(to.parent_path().empty() ? "." : to.parent_path().c_str(),
                               O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (dir >= 0) {
            ::fsync(dir);
            ::close(dir);
        }
        return {};
    }

    void remove(const std::filesystem::path& path) noexcept override { ::unlink(path.c_str()); }
};

} // namespace

RecordFileSystem& systemFileSystem() {
    static PosixFileSystem fileSystem;
    return fileSystem;
}

InputFile openForReading(const std::filesystem::path& path, std::error_code& error) {
    InputFile file(std::fopen(path.c_str(), "rbe"));
    if (!file) {
        error = lastError();
        return file;
    }
    // fopen(3) opens a folder for reading too; only reads would fail.
    struct stat st {};
    if (::fstat(::fileno(file.get()), &st) == 0 && S_ISDIR(st.st_mode)) {
        error = std::make_error_code(std::errc::is_a_directory);
        return nullptr;
    }
    error.clear();
    return file;
}

} // namespace zubeki
