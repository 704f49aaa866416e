// SPDX-License-Identifier: MIT
#pragma once

#include <string>
#include <string_view>

// How a path separates its names here. On Windows "\" and "/" both do, and the
// program puts "\"; elsewhere only "/" does, and "\" is a byte a name may hold.
namespace zaptrove::platform {

#ifdef _WIN32
inline constexpr char kSeparator = '\\';
inline constexpr std::string_view kSeparators = "\\/";
#else
inline constexpr char kSeparator = '/';
inline constexpr std::string_view kSeparators = "/";
#endif

constexpr bool isSeparator(char c) {
    return kSeparators.find(c) != std::string_view::npos;
}

// The path of name in folder: the system's separator between them unless the
// folder's path ends in one.
inline std::string pathIn(std::string_view folder, std::string_view name) {
    std::string path(folder);
    if (!path.empty() && !isSeparator(path.back())) {
        path += kSeparator;
    }
    return path.append(name);
}

// A folder's path ending in the system's separator, so that names can follow
// it directly: a final "\" or "/" (stored folder locations end in "\") becomes
// that separator, and one is added where there is none. On Linux a "\" before
// the end stays a byte of a name.
inline std::string folderPath(std::string_view path) {
    std::string folder(path);
    if (folder.ends_with('\\') || folder.ends_with('/')) {
        folder.back() = kSeparator;
    } else {
        folder += kSeparator;
    }
    return folder;
}

} // namespace zaptrove::platform
