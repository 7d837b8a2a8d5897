#pragma once

#include <QString>
#include <filesystem>

namespace zubeki {

// A Qt path as a file-system path: wide on Windows, UTF-8 bytes elsewhere.
inline std::filesystem::path toPath(const QString& s) {
#ifdef _WIN32
    return std::filesystem::path(s.toStdWString());
#else
    return std::filesystem::path(s.toStdString());
#endif
}

} // namespace zubeki
