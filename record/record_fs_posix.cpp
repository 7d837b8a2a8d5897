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
    WriteTarget resolve(const std::filesystem::path& path, std::error_code& error) override {
        WriteTarget target;
        target.file = path;
        error.clear();
        for (int links = 0;; ++links) {
            struct stat st {};
            if (::lstat(target.file.c_str(), &st) != 0) {
                if (errno != ENOENT) error = lastError();
                return target; // nothing there yet: the record is made there
            }
            if (!S_ISLNK(st.st_mode)) {
                if (!S_ISREG(st.st_mode)) return target; // a folder: replace() will say so
                target.exists = true;
                target.permissions = static_cast<std::filesystem::perms>(st.st_mode & 0777);
                // Only a refusal for this user counts; a read-only medium is told by createNew.
                target.writable =
                    ::faccessat(AT_FDCWD, target.file.c_str(), W_OK, AT_EACCESS) == 0 ||
                    (errno != EACCES && errno != EPERM);
                return target;
            }
            if (links == 40) {
                error = std::make_error_code(std::errc::too_many_symbolic_link_levels);
                return target;
            }
            const std::filesystem::path next = std::filesystem::read_symlink(target.file, error);
            if (error) return target;
            target.file = next.is_absolute() ? next : target.file.parent_path() / next;
        }
    }

    std::unique_ptr<RecordOutputFile> createNew(const std::filesystem::path& path,
                                                std::filesystem::perms permissions,
                                                std::error_code& error) override {
        int fd;
        do {
            fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        } while (fd < 0 && errno == EINTR);
        if (fd < 0) {
            error = lastError();
            return nullptr;
        }
        // The mode given to open(2) is cut by the umask; the old record's bits are kept whole.
        // A file system without modes (FAT) is no reason to give up the record.
        if (permissions != std::filesystem::perms::unknown)
            ::fchmod(fd, static_cast<mode_t>(permissions) & 0777);
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

OpenedFile openForReading(const std::filesystem::path& path, std::error_code& error) {
    OpenedFile opened;
    // Without O_NONBLOCK, open(2) of a FIFO waits for a writer that may never come.
    int fd;
    do {
        fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    } while (fd < 0 && errno == EINTR);
    struct stat st {};
    if (fd < 0) {
        error = lastError();
        // A socket, or a device with nothing behind it, cannot even be opened: still no file.
        if (::stat(path.c_str(), &st) == 0 && !S_ISREG(st.st_mode) && !S_ISDIR(st.st_mode))
            error.clear();
        return opened;
    }
    if (::fstat(fd, &st) != 0) {
        error = lastError();
        ::close(fd);
        return opened;
    }
    error.clear();
    opened.kind = S_ISREG(st.st_mode)   ? FileKind::Regular
                  : S_ISDIR(st.st_mode) ? FileKind::Folder
                                        : FileKind::Other;
    if (opened.kind != FileKind::Regular) {
        ::close(fd);
        return opened;
    }
    opened.size = static_cast<std::uint64_t>(st.st_size);
    // A regular file is read as usual from here on.
    const int flags = ::fcntl(fd, F_GETFL);
    if (flags < 0 || ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK) != 0) {
        error = lastError();
        ::close(fd);
        return opened;
    }
    opened.file.reset(::fdopen(fd, "rb"));
    if (!opened.file) {
        error = lastError();
        ::close(fd);
    }
    return opened;
}

} // namespace zubeki
