#include "sound/dynlib.h"

#include <dlfcn.h>

namespace zubeki {

std::string DynamicLibrary::fileName(const std::string& name) {
#if defined(__APPLE__)
    return "lib" + name + ".dylib";
#else
    return "lib" + name + ".so";
#endif
}

std::unique_ptr<DynamicLibrary> DynamicLibrary::open(const std::filesystem::path& path) {
    void* handle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (handle == nullptr) return nullptr;
    return std::unique_ptr<DynamicLibrary>(new DynamicLibrary(handle));
}

DynamicLibrary::~DynamicLibrary() {
    dlclose(handle_);
}

void* DynamicLibrary::symbol(const char* name) const {
    return dlsym(handle_, name);
}

} // namespace zubeki
