// SPDX-License-Identifier: MIT
#include "search/sources/favorites_reader.h"

#include "debug_log/debug_log.h"
#include "platform/files.h"
#include "platform/separators.h"
#include "search/matching/matcher.h"
#include "search/scanning/folder_match.h"
#include "search/scanning/shared_work.h"
#include "search/scanning/work_ahead.h"
#include "settings/settings.h"
#include "text/text.h"

#include <algorithm>
#include <array>
#include <iterator>
#include <memory>
#include <optional>
#include <set>
#include <utility>

namespace zaptrove {

namespace {

// A shortcut file is a few lines; only its first mebibyte is read, so a huge
// or sparse file named ".url" costs no more than that.
constexpr std::size_t kShortcutReadLimit = std::size_t{1} << 20;

bool hasShortcutExtension(std::string_view name) {
    if (name.size() < 4) {
        return false;
    }
    const std::string_view tail = name.substr(name.size() - 4);
    return platform::equalsIgnoringAsciiCase(tail, ".url");
}

// A folder path with nothing before its final separator ("" or "\") names no
// folder; walking it would mean walking a whole drive.
bool namesAFolder(std::string_view folder) {
    return folder.find_first_not_of("\\/") != std::string_view::npos;
}

// fnUrlFromText, within the text.
std::string_view urlInText(std::string_view text) {
    const std::size_t key = text.find("\nURL=");
    if (key == std::string_view::npos) {
        return NOT_FOUND;
    }
    const std::size_t start = key + 5;
    const std::size_t end = text.find('\n', start);
    std::string_view url =
        text.substr(start, end == std::string_view::npos ? text.npos : end - start);
    if (url.ends_with('\r')) {
        url.remove_suffix(1);
    }
    return url;
}

// Memory that serves every shortcut file of a walk.
struct ShortcutText {
    std::string bytes;
    std::string utf16;       // the bytes' UTF-8 when they are UTF-16
    std::string windows1252; // the address's UTF-8 when it is Windows-1252
};

// The address in the bytes of a shortcut file: UTF-16 with its byte-order
// mark, or else an address line in UTF-8 or, when it is not, Windows-1252 (the
// other lines do not count).
std::string_view urlInBytes(ShortcutText& text) {
    const std::string_view url = urlInText(platform::utf16WithMarkAsUtf8(text.bytes, text.utf16));
    return platform::utf8OrWindows1252(url, text.windows1252);
}

std::string_view nameTextOf(std::string_view entry) {
    return entry.substr(0, entry.size() - 4);
}

// A folder's path after the walk's root, which is its start.
std::string_view belowRoot(std::string_view folder, std::size_t rootLength) {
    return folder.substr(std::min(rootLength, folder.size()));
}

// A folder's path below the walk's root, "/" between its names (the walk puts
// the system's separator there, so on Linux a "\" stays in its name), made for
// the first bookmark kept in it and shared by the others. One node holds every
// name: the walk goes breadth first and keeps no tree to share.
class PathBelowRoot {
  public:
    PathBelowRoot(std::string_view folder, std::size_t rootLength)
        : below_(belowRoot(folder, rootLength)) {}

    const FolderPath& path() {
        if (!made_ && !below_.empty()) {
            std::string names(below_.substr(0, below_.size() - 1));
            std::replace(names.begin(), names.end(), platform::kSeparator, '/');
            path_ =
                FolderPath(std::make_shared<const FolderNode>(FolderNode{std::move(names), {}}));
        }
        made_ = true;
        return path_;
    }

  private:
    std::string_view below_;
    FolderPath path_;
    bool made_ = false;
};

// The shortcut files of one folder, to be read for their addresses, and the
// bookmarks kept from them.
struct FolderShortcuts {
    std::string folder;
    std::size_t rootLength; // the walk's root is the folder's start
    std::string names; // each followed by a '\0': one block that the reading thread goes through
    std::vector<Bookmark> kept;
};

// Memory one reading thread reuses for every shortcut file.
struct ShortcutReader {
    const Matcher& matcher;
    const platform::OpenFolder& walkRoot;        // the walk's root, opened on the walk's thread
    std::optional<platform::OpenFolder> ownRoot; // the root opened again in the helper's table
    std::optional<bool> ownFileTable; // asked for by the helper thread on its first folder
    ShortcutText text{};
    MatchScratch scratch{};
    FolderMatch inFolder{};

    // Reads the folder's shortcut files and keeps those whose name or address
    // match; only they get strings of their own.
    void read(FolderShortcuts& shortcuts, bool onHelper) {
        // The helper opens and closes its files in a file table of its own,
        // which costs the system less; so each thread opens the folder itself,
        // from a handle of the root in its own table (the walk's root reopened
        // there by its path), which spares looking up the names above it.
        if (onHelper && !ownFileTable) {
            ownFileTable = platform::useOwnFileTable();
            if (*ownFileTable) {
                ownRoot.emplace(walkRoot, "");
            }
        }
        const platform::OpenFolder files(ownRoot ? *ownRoot : walkRoot,
                                         belowRoot(shortcuts.folder, shortcuts.rootLength));
        PathBelowRoot where(shortcuts.folder, shortcuts.rootLength);
        // As fnUrlFromFile, with the files found from their open folder.
        files.readWholeFiles(
            shortcuts.names, text.bytes, kShortcutReadLimit,
            [&](std::string_view entry, bool read) {
                const std::string_view url = read ? urlInBytes(text) : NOT_FOUND;
                if (inFolder.matches(
                        matcher, nameTextOf(entry), url, [&] { return where.path(); }, scratch)) {
                    shortcuts.kept.push_back(
                        {std::string(shortcuts.folder).append(entry), std::string(url), true});
                    shortcuts.kept.back().Folder = where.path();
                }
            });
        shortcuts.names = std::string(); // its memory goes now
    }
};

// A folder of the walk, opened and listed, perhaps ahead of its turn.
struct ListedFolder {
    std::string path;
    std::optional<platform::FolderIdentity> identity;
    std::string problem; // why it could not be listed
    platform::FolderListing listing;
};

// Lists the folder at the path, opened from the walk's root, whose path is its start.
ListedFolder listedFolder(const platform::OpenFolder& root, std::size_t rootLength,
                          std::string path) {
    const platform::OpenFolder files(root, belowRoot(path, rootLength));
    ListedFolder listed{std::move(path), files.identity(), {}, {}};
    if (listed.identity) {
        files.list(listed.listing);
    } else {
        listed.problem = files.problem();
    }
    return listed;
}

// Goes through a listed folder's entries: its sub-folders are queued for the
// walk, and its shortcut files either tested by name here or handed on, with
// the open folder, to be read.
template <typename QueueFolder, typename HandOn>
void walkFolder(ListedFolder&& listed, std::size_t rootLength, const Matcher& matcher,
                MatchScratch& scratch, std::vector<Bookmark>& candidates, QueueFolder queueFolder,
                HandOn handOn) {
    const std::string& folder = listed.path;
    PathBelowRoot where(folder, rootLength);
    FolderMatch inFolder;
    std::string toRead;
    for (const platform::FolderListing::Entry& entry : listed.listing.entries) {
        const std::string_view name = listed.listing.name(entry);
        if (!hasShortcutExtension(name)) {
            if (entry.isDirectory) {
                queueFolder(std::string(folder).append(name) + platform::kSeparator);
            }
        } else if (matcher.mode() == SearchMode::Name) {
            if (inFolder.matches(
                    matcher, nameTextOf(name), {}, [&] { return where.path(); }, scratch)) {
                candidates.push_back({std::string(folder).append(name), {}, true, true});
                candidates.back().Folder = where.path();
            }
        } else if (matcher.usesUrl()) {
            toRead.reserve(listed.listing.names.size()); // room for every name at once
            toRead.append(name).push_back('\0');
        }
    }
    if (!toRead.empty()) {
        handOn(FolderShortcuts{std::move(listed.path), rootLength, std::move(toRead), {}});
    }
}

// Walks the tree from the folder, adding the bookmarks that match to candidates.
SourceReading walkTree(std::string_view pFolder, const Matcher& pMatcher,
                       std::vector<Bookmark>& pCandidates) {
    // A search by address reads every shortcut file, which costs the system far
    // more than listing: a helper thread reads the folders listed so far while
    // the walk goes on, and the walk reads too whenever many wait and at the
    // end. The bookmarks still come in the walk's order, folder by folder.
    // The records are named from the folder with its final separator the system's.
    const std::string root = platform::folderPath(pFolder);
    const platform::OpenFolder rootFolder(root);
    std::array<ShortcutReader, 2> readers{ShortcutReader{pMatcher, rootFolder, {}, {}},
                                          ShortcutReader{pMatcher, rootFolder, {}, {}}};
    const auto read = [&](FolderShortcuts& shortcuts, int worker) {
        readers[static_cast<std::size_t>(worker)].read(shortcuts, worker == 1);
    };
    SharedWork<FolderShortcuts, decltype(read)> reading(read);
    const auto handOn = [&](FolderShortcuts&& shortcuts) { reading.add(std::move(shortcuts)); };

    // A search by name only lists folders: a helper thread lists those queued
    // ahead of their turn. A search that reads the shortcut files keeps the
    // second core for reading them, and lists on this thread.
    const bool readsFiles = pMatcher.usesUrl();
    const auto list = [&](std::string& path) {
        return listedFolder(rootFolder, root.size(), std::move(path));
    };
    WorkAhead<std::string, ListedFolder, decltype(list)> listing(list, !readsFiles);
    const auto queueFolder = [&](std::string path) { listing.add(std::move(path)); };

    std::set<std::pair<std::uint64_t, std::uint64_t>> visited;
    if (namesAFolder(pFolder)) {
        listing.add(root);
    }
    const std::size_t before = pCandidates.size();
    SourceReading result;
    MatchScratch scratch;
    for (bool top = true; listing.hasNext(); top = false) {
        ListedFolder folder = listing.next();
        if (folder.identity &&
            visited.emplace(folder.identity->device, folder.identity->node).second) {
            walkFolder(std::move(folder), root.size(), pMatcher, scratch, pCandidates, queueFolder,
                       handOn);
        } else if (top) {
            result.Problem = folder.problem;
        }
    }
    for (FolderShortcuts& shortcuts : reading.finish()) {
        std::move(shortcuts.kept.begin(), shortcuts.kept.end(), std::back_inserter(pCandidates));
    }
    result.BookmarkCount = pCandidates.size() - before;
    return result;
}

} // namespace

SourceReading fnReadFavorites(std::string_view pFolder, const Matcher& pMatcher,
                              std::vector<Bookmark>& pCandidates, const DebugLog& pLog) {
    pLog.subDebug(LOG_INFO, std::string("Reading MSIE Dir: ").append(pFolder));
    pLog.subDebugTimer(LOG_BEGIN, "Start Directory Reading: ");
    SourceReading result;
    const auto walk = [&] { result = walkTree(pFolder, pMatcher, pCandidates); };
    // A walk that reads every shortcut file goes on a thread with a file table
    // of its own, where opening and closing them costs less.
    if (pMatcher.usesUrl()) {
        platform::runWithOwnFileTable(walk);
    } else {
        walk();
    }
    pLog.subDebugTimer(LOG_END, "Directory Reading Done: ");
    return result;
}

void subReadPendingAddress(Bookmark& pRecord) {
    if (pRecord.AddressPending) {
        pRecord.URL = fnUrlFromFile(pRecord.Name);
        pRecord.AddressPending = false;
    }
}

std::string fnUrlFromText(std::string_view pText) {
    return std::string(urlInText(pText));
}

std::string fnUrlFromFile(std::string_view pPath) {
    ShortcutText text;
    if (!platform::readWholeFile(pPath, text.bytes, kShortcutReadLimit)) {
        return NOT_FOUND;
    }
    return std::string(urlInBytes(text));
}

} // namespace zaptrove
