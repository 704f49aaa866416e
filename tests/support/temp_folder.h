// SPDX-License-Identifier: MIT
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace zaptrove::test {

// A fresh folder under the system's temporary folder, removed with everything in it at the end.
class TempFolder {
  public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    // The folder's path in the platform's own form ("\" separators and a drive
    // letter on Windows), with no final separator.
    const std::string& path() const { return path_; }
    // The path of an entry below the folder ("a/b.url" gives path()/a/b.url, in
    // the platform's own form).
    std::string operator/(std::string_view relative) const;
    // The folder, or one below it, as the program stores a Favorites folder: ending in "\".
    std::string asFolder(std::string_view relative = {}) const {
        return (relative.empty() ? path_ : *this / relative) + "\\";
    }

    // Writes a file (creating missing parent folders) and answers its path.
    std::string write(std::string_view relative, std::string_view bytes) const;
    // Creates a folder (and missing parents) and answers its path.
    std::string makeFolder(std::string_view relative) const;

  private:
    std::string path_;
};

#ifdef _WIN32
// Adds an attribute to a file or folder as Explorer's properties would ("+h"
// hides it, "+s" marks it a system entry).
void attrib(std::string_view change, const std::string& path);
#endif

// A path as the file system functions take it. Paths are UTF-8 here; a narrow
// string would be read in the ANSI code page on Windows.
std::filesystem::path utf8Path(std::string_view path);

// The whole content of a file, or empty when it cannot be read.
std::string readFile(const std::string& path);

// A file's path in the real-world sample folder, or empty when that folder is absent.
std::string realworldPath(std::string_view relative);

// Unpacks a .tar.xz archive of the real-world sample folder; false when absent or unpackable.
bool unpackRealworld(std::string_view archive, const TempFolder& into);

} // namespace zaptrove::test
