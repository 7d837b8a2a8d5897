#pragma once

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <string_view>
#include <system_error>

// The few file operations a record file needs. Writing goes through RecordFileSystem so a test
// can make the disk fill up or a rename fail half-way through; the real one is systemFileSystem().
namespace zubeki {

// A file being written. Its destructor closes it if finish() was not called.
class RecordOutputFile {
  public:
    virtual ~RecordOutputFile() = default;
    // Writes all of `bytes` or answers why not.
    virtual std::error_code write(std::string_view bytes) = 0;
    // Pushes everything to the disk and closes the file.
    virtual std::error_code finish() = 0;
};

// The file a record's path stands for when the record is written.
struct WriteTarget {
    std::filesystem::path file; // the path itself, or the file its symbolic links lead to
    bool exists = false;        // a regular file is there (else a new one is made)
    bool writable = true;       // false for an existing file this user may not change
    std::filesystem::perms permissions = std::filesystem::perms::unknown; // of the existing file
};

class RecordFileSystem {
  public:
    virtual ~RecordFileSystem() = default;
    // Follows the symbolic links of `path` (a record kept elsewhere stays linked) and tells what
    // is at their end. A path that leads nowhere yet is no error.
    virtual WriteTarget resolve(const std::filesystem::path& path, std::error_code& error) = 0;
    // Creates `path`, which must not exist yet, empty and open for writing, with `permissions`
    // (unknown: those of any new file).
    virtual std::unique_ptr<RecordOutputFile> createNew(const std::filesystem::path& path,
                                                        std::filesystem::perms permissions,
                                                        std::error_code& error) = 0;
    // Renames `from` to `to` in one step, replacing any file called `to`.
    virtual std::error_code replace(const std::filesystem::path& from,
                                    const std::filesystem::path& to) = 0;
    // Removes a file left behind by a failed write; errors are of no interest.
    virtual void remove(const std::filesystem::path& path) noexcept = 0;
};

// The real file system of this platform.
RecordFileSystem& systemFileSystem();

struct FileCloser {
    void operator()(std::FILE* f) const noexcept { std::fclose(f); }
};
using InputFile = std::unique_ptr<std::FILE, FileCloser>;

enum class FileKind { Regular, Folder, Other /* a FIFO, a device, a socket */ };

struct OpenedFile {
    InputFile file; // open only when kind is Regular
    FileKind kind = FileKind::Other;
    std::uint64_t size = 0; // bytes, as the file system told when it was opened
};

// Opens a file for reading in binary mode (a UTF-8 path on every platform) without waiting for
// anything: a FIFO with no writer is seen for what it is, as are devices and folders, and none of
// them is kept open. `error` is set when nothing could be opened at all.
OpenedFile openForReading(const std::filesystem::path& path, std::error_code& error);

} // namespace zubeki
