#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// File-system services. The program's paths use "\" as their separator; every
// function here accepts such paths (and "/" as well) and maps them to the
// platform's own form.
namespace zaptrove::platform {

struct FolderEntry {
    std::string name;
    bool isDirectory = false;
};

// Identity of a folder on disk, used to walk a tree that links back into itself
// only once.
struct FolderIdentity {
    std::uint64_t device = 0;
    std::uint64_t node = 0;
    bool operator==(const FolderIdentity&) const = default;
};

// The path in the platform's own form.
std::string nativePath(std::string_view path);

// Lists the entries of a folder, leaving out "." and "..", hidden and system
// entries, and links that lead nowhere. Entries come in a stable order (by name,
// ignoring ASCII letter case). Answers false, with no entries, when the folder
// cannot be listed.
bool listFolder(std::string_view path, std::vector<FolderEntry>& entries);

// The identity of the folder a path leads to, following links; empty when it
// is not a readable folder.
std::optional<FolderIdentity> folderIdentity(std::string_view path);

// Reads a whole regular file with one read. Answers false for a missing or
// unreadable file, a folder, or anything that is not a regular file (a pipe or a
// device is never waited on).
bool readWholeFile(std::string_view path, std::string& bytes);

// Appends the text to the file, creating it when missing. Answers false when
// the file cannot be opened or written.
bool appendToFile(std::string_view path, std::string_view text);

// True when new files can be created in the folder.
bool isWritableFolder(std::string_view path);

// Creates the folder and its missing parents; true when it exists afterwards.
bool makeFolders(std::string_view path);

// The folder that holds the running program's executable, without a trailing
// separator.
std::string programFolder();

// The value of an environment variable, or empty when it is unset.
std::string environmentValue(const char* name);

} // namespace zaptrove::platform
