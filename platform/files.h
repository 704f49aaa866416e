// SPDX-License-Identifier: MIT
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// File-system services. Paths are the system's own (see separators.h): on
// Windows "/" is taken for "\"; elsewhere a "\" is a byte of a name.
namespace zaptrove::platform {

struct FolderEntry {
    std::string name;
    bool isDirectory = false;
};

// A folder's entries as listFolder gives them, their names in one block
// instead of a string each, which a walk of thousands of folders spares.
struct FolderListing {
    struct Entry {
        std::size_t start = 0; // of its name in names, where a '\0' follows the name
        std::size_t length = 0;
        bool isDirectory = false;
    };
    std::string names;
    std::vector<Entry> entries; // in listing order

    std::string_view name(const Entry& entry) const {
        return std::string_view(names).substr(entry.start, entry.length);
    }
};

// Identity of a folder on disk, used to walk a tree that links back into itself
// only once.
struct FolderIdentity {
    std::uint64_t device = 0;
    std::uint64_t node = 0;
    bool operator==(const FolderIdentity&) const = default;
};

// The path in the platform's own form: on Windows every "/" becomes "\";
// elsewhere the path as it is.
std::string nativePath(std::string_view path);

// Lists the entries of a folder, leaving out "." and "..", hidden and system
// entries, and links that lead nowhere. Entries come in a stable order (by name,
// ignoring ASCII letter case). Answers false, with no entries, when the folder
// cannot be listed.
bool listFolder(std::string_view path, std::vector<FolderEntry>& entries);

// The identity of the folder a path leads to, following links; empty when it
// is not a readable folder.
std::optional<FolderIdentity> folderIdentity(std::string_view path);

// Reads a whole regular file with one read into the memory room(length) gives
// for its length at opening, and answers how many bytes came. Answers nothing
// for a missing or unreadable file, a folder, or anything that is not a regular
// file (a pipe or a device is never waited on). A file longer than limit
// gives its first limit bytes.
inline constexpr std::size_t kNoReadLimit = SIZE_MAX;
std::optional<std::size_t> readWholeFileInto(std::string_view path,
                                             const std::function<char*(std::size_t)>& room,
                                             std::size_t limit = kNoReadLimit);

// Why a file or folder could not be opened or read, as FileReader::problem and
// OpenFolder::problem tell it: the system's words for the error ("No such file
// or directory", "Permission denied", "Is a directory", "Not a directory"),
// "Not a regular file" for a pipe or a device, or this for an empty path.
inline constexpr const char* kNoPathGiven = "No path given";

// Reads into a string through read(room), a readWholeFileInto for one file; the
// string is left empty when the file cannot be read.
template <typename Read> bool readIntoString(Read read, std::string& bytes) {
    bytes.clear();
    const std::optional<std::size_t> got = read([&](std::size_t length) {
        bytes.resize(length);
        return bytes.data();
    });
    bytes.resize(got.value_or(0));
    return got.has_value();
}

// readWholeFileInto for a string.
inline bool readWholeFile(std::string_view path, std::string& bytes,
                          std::size_t limit = kNoReadLimit) {
    return readIntoString([&](const auto& room) { return readWholeFileInto(path, room, limit); },
                          bytes);
}

// A regular file read piece by piece into memory its caller owns and reuses, so
// that reading a file of any size touches no new memory. Only the length the
// file had at opening is read: a file that grows meanwhile gives its first
// part, one that shrinks gives what is left. Once that length is read the file
// is let go at once, so that a browser can replace it, unless it is to be
// read twice.
class FileReader {
  public:
    enum class Passes { One, Two };
    // Opens the file; a missing or unreadable file, a folder, or anything that is
    // not a regular file (a pipe or a device is never waited on) is not opened.
    // For two passes it is held until the reader goes, so that the second pass
    // reads the same file even if it was replaced meanwhile.
    explicit FileReader(std::string_view path, Passes passes = Passes::One);
    ~FileReader();
    FileReader(const FileReader&) = delete;
    FileReader& operator=(const FileReader&) = delete;

    bool isOpen() const { return opened_; }
    // Why the file could not be opened, or why its last read failed; empty
    // while neither happened.
    const std::string& problem() const { return problem_; }
    // Reads the next bytes into room, at most size of them; answers how many
    // came (0 at the end), or nothing when reading fails.
    std::optional<std::size_t> readNext(char* room, std::size_t size);
    // Starts the second pass at the first byte; false when there is none to
    // start (one pass asked for, or the file not open).
    bool rewind();

  private:
    // What each system does: open the path (setting handle_ and length_, or
    // problem_), read at offset_ (setting problem_ when that fails), and close
    // the handle.
    void open();
    std::optional<std::size_t> readAt(char* room, std::size_t size);
    void letGo();
    friend class FileMapping; // maps the file open here

    std::string path_;
    std::string problem_;
    std::intptr_t handle_ = -1;
    bool opened_ = false;
    std::uint64_t length_ = 0; // at opening
    std::uint64_t offset_ = 0;
    Passes passes_;
};

// A folder held open for a walk: its identity, its listing and its files by
// name, without walking the folder's own path again for each.
class OpenFolder {
  public:
    explicit OpenFolder(std::string_view path);
    // The folder at the path below an open folder (its names in the system's
    // form), looked up from that folder's handle where this thread can use it,
    // sparing the names above it; else by the whole path. Its path is
    // pathIn(above's path, below).
    OpenFolder(const OpenFolder& above, std::string_view below);
    // Let go on a thread of the file table it was opened in, or once the thread
    // whose own table that was has ended (the handle went with it).
    ~OpenFolder();
    OpenFolder(const OpenFolder&) = delete;
    OpenFolder& operator=(const OpenFolder&) = delete;

    // folderIdentity of this folder.
    std::optional<FolderIdentity> identity() const;
    // Why the folder cannot be listed; empty when it can.
    std::string problem() const;
    // listFolder of this folder.
    bool list(FolderListing& listing) const;
    // readWholeFile of the path of this folder followed by name, into bytes,
    // whose memory serves from one call to the next.
    bool readWholeFile(const std::string& name, std::string& bytes,
                       std::size_t limit = kNoReadLimit) const;
    // readWholeFile of each of the names (each followed by a '\0') in turn,
    // telling each(name, whether it was read) with its bytes in bytes. On Linux
    // a run of them is opened and read with one system call where the system
    // allows it (io_uring), else, and for the files that need more, one by one.
    void readWholeFiles(std::string_view names, std::string& bytes, std::size_t limit,
                        const std::function<void(std::string_view, bool)>& each) const;

  private:
    std::string path_;
    std::intptr_t handle_ = -1; // the system's handle of the folder, where it keeps one
    std::string problem_;       // why it could not be opened, where it is opened at once
    unsigned fileTable_ = 0;    // the file table of the thread that opened it
};

// Gives the calling thread a file table of its own that holds none of the
// process's open files but the standard streams, where the system can (false
// where it cannot, or did not). A thread that reads many files then opens and
// closes them without contending with the others, and OpenFolder::readWholeFile
// closes the files it read a run at a time. Such a thread uses no handle opened
// by another: an OpenFolder opened elsewhere reads there by path, so it opens
// its folders itself. What it holds goes when it ends.
bool useOwnFileTable();

// Runs work on a thread of its own with its own file table (useOwnFileTable)
// and waits for it, throwing here what it threw; where there is no such
// thread or table to be had, runs it on the calling thread.
void runWithOwnFileTable(const std::function<void()>& work);

// Appends the text to the file, creating it when missing (readable by its
// owner only when ownerOnly). Answers false when the file cannot be opened or
// written.
bool appendToFile(std::string_view path, std::string_view text, bool ownerOnly = false);

// Replaces the file's contents with the text as one step: written beside it,
// flushed, then renamed over it, so a reader finds the old text or the new,
// never a part; the new file is readable by its owner only. Answers false,
// leaving the file as it was, when that fails.
bool replaceFile(std::string_view path, std::string_view text);

// An exclusive lock held on a lock file (made when missing) until destroyed,
// between processes too; the constructor waits up to two seconds for another
// holder to let go. Not held when the file cannot be made or locked by then.
class FileLock {
  public:
    explicit FileLock(std::string_view path);
    ~FileLock();
    FileLock(const FileLock&) = delete;
    FileLock& operator=(const FileLock&) = delete;

    bool held() const { return handle_ != kNotHeld; }

  private:
    static constexpr std::intptr_t kNotHeld = -1;
    std::intptr_t handle_ = kNotHeld;
};

// True when nothing is at the path, not even a link: the system says there is
// no such file or folder. A path that cannot be examined (no permission) is there.
bool isAbsent(std::string_view path);

// True when new files can be created in the folder.
bool isWritableFolder(std::string_view path);

// Creates the folder and its missing parents; true when it exists afterwards.
bool makeFolders(std::string_view path);

// The folder that holds the running program's executable, without a trailing
// separator.
std::string programFolder();

// The per-user folder for what the program writes when its own folder is not
// writable: $XDG_STATE_HOME/zaptrove (~/.local/state/zaptrove) on POSIX,
// %LOCALAPPDATA%\Zaptrove on Windows. It may not exist yet.
std::string userStateFolder();

// The file a path leads to, every link on the way followed, as SQLite finds a
// database's side files on POSIX; the path itself when it cannot be resolved,
// and on Windows.
std::string resolvedPath(std::string_view path);

// The value of an environment variable, or empty when it is unset.
std::string environmentValue(const char* name);

#ifndef _WIN32
// The user's home folder: $HOME when it is an absolute path, else the one the
// password database gives; empty when neither does.
std::string userHomeFolder();
// A per-user folder an XDG variable names ($XDG_CONFIG_HOME...): its value when
// it is an absolute path (a relative one is ignored, as the XDG rules say),
// else pUnderHome below the home folder; empty when there is no home.
std::string xdgBaseFolder(const char* pVariable, std::string_view pUnderHome);
#endif

} // namespace zaptrove::platform
