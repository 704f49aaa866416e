// SPDX-License-Identifier: MIT
#include "support/temp_folder.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <stdexcept>

#ifdef _WIN32
#include <windows.h>
#endif

namespace fs = std::filesystem;

namespace zaptrove::test {

namespace {

// The path in the platform's own form: "\" separators on Windows.
std::string nativeForm(std::string path) {
    if (fs::path::preferred_separator == '\\')
        std::replace(path.begin(), path.end(), '/', '\\');
    return path;
}

std::string utf8String(const fs::path& path) {
    const std::u8string text = path.u8string();
    return std::string(text.begin(), text.end());
}

} // namespace

fs::path utf8Path(std::string_view path) {
    return fs::path(std::u8string(path.begin(), path.end()));
}

TempFolder::TempFolder() {
    static std::mt19937_64 random{std::random_device{}()};
    const fs::path parent = fs::temp_directory_path();
    for (int attempt = 0; attempt < 100 && path_.empty(); ++attempt) {
        const fs::path candidate = parent / ("zaptrove-test-" + std::to_string(random()));
        if (fs::create_directory(candidate))
            path_ = utf8String(candidate);
    }
    if (path_.empty())
        throw std::runtime_error("cannot create a temporary folder");
}

TempFolder::~TempFolder() {
    std::error_code ignored;
    // Give back permissions that tests took away so that everything can be removed.
    for (auto it = fs::recursive_directory_iterator(utf8Path(path_), ignored);
         it != fs::recursive_directory_iterator(); it.increment(ignored)) {
        fs::permissions(it->path(), fs::perms::owner_all, fs::perm_options::add, ignored);
    }
    fs::remove_all(utf8Path(path_), ignored);
}

std::string TempFolder::operator/(std::string_view relative) const {
    return nativeForm(path_ + "/" + std::string(relative));
}

std::string TempFolder::write(std::string_view relative, std::string_view bytes) const {
    std::string file = *this / relative;
    fs::create_directories(utf8Path(file).parent_path());
    std::ofstream out(utf8Path(file), std::ios::binary);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return file;
}

std::string TempFolder::makeFolder(std::string_view relative) const {
    std::string folder = *this / relative;
    fs::create_directories(utf8Path(folder));
    return folder;
}

#ifdef _WIN32
void attrib(std::string_view change, const std::string& path) {
    // Set through the file system itself: the attrib command needs a shell,
    // which a Wine prefix that is still starting may not offer yet.
    const DWORD flag = change == "+h" ? FILE_ATTRIBUTE_HIDDEN : FILE_ATTRIBUTE_SYSTEM;
    const std::wstring wide = utf8Path(path).wstring();
    const DWORD before = GetFileAttributesW(wide.c_str());
    if (before == INVALID_FILE_ATTRIBUTES || SetFileAttributesW(wide.c_str(), before | flag) == 0)
        throw std::runtime_error("cannot set " + std::string(change) + " on " + path);
}
#endif

std::string readFile(const std::string& path) {
    std::ifstream in(utf8Path(path), std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::string realworldPath(std::string_view relative) {
    const fs::path file = fs::path(ZAPTROVE_REALWORLD_DIR) / relative;
    return fs::exists(file) ? file.string() : std::string();
}

bool unpackRealworld(std::string_view archive, const TempFolder& into) {
    const std::string path = realworldPath(archive);
    return !path.empty() &&
           std::system(("tar -xJf \"" + path + "\" -C \"" + into.path() + "\"").c_str()) == 0;
}

} // namespace zaptrove::test
