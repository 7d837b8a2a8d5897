#include "sound/dynlib.h"

#include <windows.h>

namespace zubeki {

std::string DynamicLibrary::fileName(const std::string& name) {
    return name + ".dll";
}

std::unique_ptr<DynamicLibrary> DynamicLibrary::open(const std::filesystem::path& path) {
    // The library's own neighbours (the SDL DLLs) are looked up in its folder too.
    HMODULE handle = LoadLibraryExW(path.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
    if (handle == nullptr) return nullptr;
    return std::unique_ptr<DynamicLibrary>(new DynamicLibrary(reinterpret_cast<void*>(handle)));
}

DynamicLibrary::~DynamicLibrary() {
    FreeLibrary(reinterpret_cast<HMODULE>(handle_));
}

void* DynamicLibrary::symbol(const char* name) const {
    return reinterpret_cast<void*>(GetProcAddress(reinterpret_cast<HMODULE>(handle_), name));
}

} // namespace zubeki
