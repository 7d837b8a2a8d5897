// The record files' file operations on Windows: CreateFileW with CREATE_NEW for the temporary
// file, FlushFileBuffers before the rename, and MoveFileExW, which replaces the old record in
// one step. Paths are wide strings, so names in any script work.
#include "record/record_fs.h"

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include <cstdio>
#include <fcntl.h>
#include <io.h>

namespace zubeki {
namespace {

// The platform's error as the portable condition the messages are chosen by.
std::error_code lastError() {
    const DWORD code = ::GetLastError();
    switch (code) {
    case ERROR_ACCESS_DENIED:
    case ERROR_SHARING_VIOLATION:
        return std::make_error_code(std::errc::permission_denied);
    case ERROR_WRITE_PROTECT:
        return std::make_error_code(std::errc::read_only_file_system);
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
        return std::make_error_code(std::errc::no_space_on_device);
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
        return std::make_error_code(std::errc::no_such_file_or_directory);
    case ERROR_FILE_EXISTS:
    case ERROR_ALREADY_EXISTS:
        return std::make_error_code(std::errc::file_exists);
    case ERROR_FILENAME_EXCED_RANGE:
        return std::make_error_code(std::errc::filename_too_long);
    case ERROR_INVALID_NAME:
        return std::make_error_code(std::errc::invalid_argument);
    case ERROR_NOT_READY:
    case ERROR_CRC:
        return std::make_error_code(std::errc::io_error);
    default:
        return {static_cast<int>(code), std::system_category()};
    }
}

class WindowsOutputFile final : public RecordOutputFile {
  public:
    explicit WindowsOutputFile(HANDLE file) : file_(file) {}
    ~WindowsOutputFile() override {
        if (file_ != INVALID_HANDLE_VALUE) ::CloseHandle(file_);
    }

    std::error_code write(std::string_view bytes) override {
        while (!bytes.empty()) {
            const DWORD chunk =
                bytes.size() > 0x40000000u ? 0x40000000u : static_cast<DWORD>(bytes.size());
            DWORD written = 0;
            if (!::WriteFile(file_, bytes.data(), chunk, &written, nullptr)) return lastError();
            bytes.remove_prefix(written);
        }
        return {};
    }

    std::error_code finish() override {
        std::error_code error;
        if (!::FlushFileBuffers(file_)) error = lastError();
        if (!::CloseHandle(file_) && !error) error = lastError();
        file_ = INVALID_HANDLE_VALUE;
        return error;
    }

  private:
    HANDLE file_;
};

class WindowsFileSystem final : public RecordFileSystem {
  public:
    WriteTarget resolve(const std::filesystem::path& path, std::error_code& error) override {
        WriteTarget target;
        target.file = path;
        error.clear();
        for (int links = 0; std::filesystem::is_symlink(target.file, error); ++links) {
            if (links == 40) {
                error = std::make_error_code(std::errc::too_many_symbolic_link_levels);
                return target;
            }
            const std::filesystem::path next = std::filesystem::read_symlink(target.file, error);
            if (error) return target;
            target.file = next.is_absolute() ? next : target.file.parent_path() / next;
        }
        error.clear();
        const DWORD attributes = ::GetFileAttributesW(target.file.c_str());
        if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY))
            return target; // nothing there yet, or a folder that replace() will tell about
        target.exists = true;
        // The read-only attribute is what a player sets to keep a record as it is.
        target.writable = (attributes & FILE_ATTRIBUTE_READONLY) == 0;
        return target;
    }

    std::unique_ptr<RecordOutputFile> createNew(const std::filesystem::path& path,
                                                std::filesystem::perms /*permissions*/,
                                                std::error_code& error) override {
        const HANDLE file = ::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                          FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file == INVALID_HANDLE_VALUE) {
            error = lastError();
            return nullptr;
        }
        error.clear();
        return std::make_unique<WindowsOutputFile>(file);
    }

    std::error_code replace(const std::filesystem::path& from,
                            const std::filesystem::path& to) override {
        if (!::MoveFileExW(from.c_str(), to.c_str(),
                           MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
            return lastError();
        return {};
    }

    void remove(const std::filesystem::path& path) noexcept override {
        ::DeleteFileW(path.c_str());
    }
};

} // namespace

RecordFileSystem& systemFileSystem() {
    static WindowsFileSystem fileSystem;
    return fileSystem;
}

OpenedFile openForReading(const std::filesystem::path& path, std::error_code& error) {
    OpenedFile opened;
    const DWORD attributes = ::GetFileAttributesW(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        error = lastError();
        return opened;
    }
    error.clear();
    if (attributes & FILE_ATTRIBUTE_DIRECTORY) {
        opened.kind = FileKind::Folder;
        return opened;
    }
    // CreateFileW does not wait for the other end of a pipe; a pipe or a device (CON, NUL, COM1)
    // then answers a file type other than a disk file's.
    const HANDLE handle =
        ::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                      OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        error = lastError();
        return opened;
    }
    LARGE_INTEGER size{};
    if (::GetFileType(handle) != FILE_TYPE_DISK || !::GetFileSizeEx(handle, &size)) {
        ::CloseHandle(handle);
        return opened;
    }
    const int fd = ::_open_osfhandle(reinterpret_cast<intptr_t>(handle), _O_RDONLY | _O_BINARY);
    if (fd < 0) {
        ::CloseHandle(handle);
        error = std::make_error_code(std::errc::too_many_files_open);
        return opened;
    }
    opened.file.reset(::_fdopen(fd, "rb"));
    if (!opened.file) {
        ::_close(fd);
        error = std::make_error_code(std::errc::too_many_files_open);
        return opened;
    }
    opened.kind = FileKind::Regular;
    opened.size = static_cast<std::uint64_t>(size.QuadPart);
    return opened;
}

} // namespace zubeki
