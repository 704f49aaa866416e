// SPDX-License-Identifier: MIT
#include "search/favorites_reader.h"

#include "debug_log/debug_log.h"
#include "platform/files.h"
#include "platform/text.h"
#include "search/matcher.h"
#include "settings/settings.h"

#include <algorithm>
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

// files is the folder held open; only the bookmarks kept get strings of their own.
void testShortcut(const std::string& folder, const platform::OpenFolder& files,
                  std::string_view entry, Matcher& matcher, std::vector<Bookmark>& candidates,
                  ShortcutText& text) {
    const std::string_view nameText = entry.substr(0, entry.size() - 4);
    const auto keep = [&](std::string_view url) {
        candidates.push_back({folder + std::string(entry), std::string(url), true});
    };
    switch (matcher.function()) {
    case FUNC_NAME:
        if (matcher.nameMatches(nameText)) {
            keep({});
        }
        break;
    case FUNC_URL:
    case FUNC_BOTH: {
        // As fnUrlFromFile, with the file found from its open folder.
        const std::string_view url = files.readWholeFile(entry, text.bytes, kShortcutReadLimit)
                                         ? urlInBytes(text)
                                         : NOT_FOUND;
        if (matcher.matches(nameText, url)) {
            keep(url);
        }
        break;
    }
    default:
        break;
    }
}

} // namespace

void subReadFavorites(std::string_view pFolder, Matcher& pMatcher,
                      std::vector<Bookmark>& pCandidates, const DebugLog& pLog) {
    pLog.subDebug(LOG_INFO, std::string("Reading MSIE Dir: ").append(pFolder));
    pLog.subDebugTimer(LOG_BEGIN, "Start Directory Reading: ");

    std::vector<std::string> dirQueue;
    std::set<std::pair<std::uint64_t, std::uint64_t>> visited;
    if (namesAFolder(pFolder)) {
        dirQueue.emplace_back(pFolder);
    }
    std::vector<platform::FolderEntry> entries;
    ShortcutText text;
    for (std::size_t readIndex = 0; readIndex < dirQueue.size(); ++readIndex) {
        const std::string folder = dirQueue[readIndex];
        const platform::OpenFolder files(folder);
        const auto identity = files.identity();
        if (!identity || !visited.emplace(identity->device, identity->node).second) {
            continue;
        }
        files.list(entries);
        for (const platform::FolderEntry& entry : entries) {
            if (hasShortcutExtension(entry.name)) {
                testShortcut(folder, files, entry.name, pMatcher, pCandidates, text);
            } else if (entry.isDirectory) {
                dirQueue.push_back(folder + entry.name + "\\");
            }
        }
    }
    pLog.subDebugTimer(LOG_END, "Directory Reading Done: ");
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
