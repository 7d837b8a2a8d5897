// Opening a shared library by path and finding its exports, on each platform.
#pragma once

#include <filesystem>
#include <memory>
#include <string>

namespace zubeki {

class DynamicLibrary {
  public:
    // The file name a shared library called `name` has on this platform.
    static std::string fileName(const std::string& name);
    // Answers nothing when the file is missing or cannot be loaded.
    static std::unique_ptr<DynamicLibrary> open(const std::filesystem::path& path);

    ~DynamicLibrary();
    DynamicLibrary(const DynamicLibrary&) = delete;
    DynamicLibrary& operator=(const DynamicLibrary&) = delete;

    // The address of an export, or nullptr.
    void* symbol(const char* name) const;

  private:
    explicit DynamicLibrary(void* handle) : handle_(handle) {}
    void* handle_;
};

} // namespace zubeki
