// SPDX-License-Identifier: MIT
#include "search/favorites_reader.h"

#include "debug_log/debug_log.h"
#include "platform/files.h"
#include "platform/text.h"
#include "search/matcher.h"
#include "search/open_file.h"
#include "settings/settings.h"

#include <algorithm>
#include <optional>
#include <set>
#include <utility>

namespace zaptrove {

namespace {

bool hasShortcutExtension(std::string_view name) {
    if (name.size() < 4) {
        return false;
    }
    const std::string_view tail = name.substr(name.size() - 4);
    return std::equal(tail.begin(), tail.end(), ".url", [](char a, char b) {
        return (a >= 'A' && a <= 'Z' ? static_cast<char>(a + 32) : a) == b;
    });
}

// A folder path with nothing before its final separator ("" or "\") names no
// folder; walking it would mean walking a whole drive.
bool namesAFolder(std::string_view folder) {
    return folder.find_first_not_of("\\/") != std::string_view::npos;
}

// files is the folder held open, for the modes that read shortcut files.
void testShortcut(const std::string& folder, const std::optional<platform::OpenFolder>& files,
                  std::string_view entry, Matcher& matcher, std::vector<Bookmark>& candidates) {
    const std::string_view nameText = entry.substr(0, entry.size() - 4);
    const auto keep = [&](std::string url) {
        candidates.push_back({folder + std::string(entry), std::move(url), true});
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
        std::string bytes;
        std::string url = files->readWholeFile(entry, bytes)
                              ? fnUrlFromText(platform::decodeFileBytes(std::move(bytes)))
                              : NOT_FOUND;
        if (matcher.matches(nameText, url)) {
            keep(std::move(url));
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
    for (std::size_t readIndex = 0; readIndex < dirQueue.size(); ++readIndex) {
        const std::string folder = dirQueue[readIndex];
        const auto identity = platform::folderIdentity(folder);
        if (!identity || !visited.emplace(identity->device, identity->node).second) {
            continue;
        }
        platform::listFolder(folder, entries);
        std::optional<platform::OpenFolder> files;
        if (pMatcher.usesUrl()) {
            files.emplace(folder);
        }
        for (const platform::FolderEntry& entry : entries) {
            if (hasShortcutExtension(entry.name)) {
                testShortcut(folder, files, entry.name, pMatcher, pCandidates);
            } else if (entry.isDirectory) {
                dirQueue.push_back(folder + entry.name + "\\");
            }
        }
    }
    pLog.subDebugTimer(LOG_END, "Directory Reading Done: ");
}

std::string fnUrlFromText(std::string_view pText) {
    const std::size_t key = pText.find("\nURL=");
    if (key == std::string_view::npos) {
        return NOT_FOUND;
    }
    const std::size_t start = key + 5;
    const std::size_t end = pText.find('\n', start);
    std::string_view url =
        pText.substr(start, end == std::string_view::npos ? pText.npos : end - start);
    if (url.ends_with('\r')) {
        url.remove_suffix(1);
    }
    return std::string(url);
}

std::string fnUrlFromFile(std::string_view pPath) {
    std::string text;
    if (!fnOpenFile(pPath, text)) {
        return NOT_FOUND;
    }
    return fnUrlFromText(text);
}

} // namespace zaptrove
