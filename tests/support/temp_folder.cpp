#include "support/temp_folder.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>

namespace fs = std::filesystem;

namespace zaptrove::test {

TempFolder::TempFolder() {
    std::string pattern = (fs::temp_directory_path() / "zaptrove-test-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) {
        throw std::runtime_error("cannot create a temporary folder");
    }
    path_ = pattern;
}

TempFolder::~TempFolder() {
    std::error_code ignored;
    // Give back permissions that tests took away so that everything can be removed.
    for (auto it = fs::recursive_directory_iterator(path_, ignored);
         it != fs::recursive_directory_iterator(); it.increment(ignored)) {
        fs::permissions(it->path(), fs::perms::owner_all, fs::perm_options::add, ignored);
    }
    fs::remove_all(path_, ignored);
}

std::string TempFolder::operator/(std::string_view relative) const {
    return path_ + "/" + std::string(relative);
}

std::string TempFolder::write(std::string_view relative, std::string_view bytes) const {
    const fs::path file = *this / relative;
    fs::create_directories(file.parent_path());
    std::ofstream out(file, std::ios::binary);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return file.string();
}

std::string TempFolder::makeFolder(std::string_view relative) const {
    const std::string folder = *this / relative;
    fs::create_directories(folder);
    return folder;
}

std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::string realworldPath(std::string_view relative) {
    const fs::path file = fs::path(ZAPTROVE_REALWORLD_DIR) / relative;
    return fs::exists(file) ? file.string() : std::string();
}

} // namespace zaptrove::test
