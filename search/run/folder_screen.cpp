// SPDX-License-Identifier: MIT
#include "search/run/folder_screen.h"

#include "search/results/display_name.h"
#include "text/text.h"

#include <algorithm>

namespace zaptrove {

namespace {

bool searchesFolders(const SearchRequest& request) {
    return request.rules.folderWords &&
           (request.mode == SearchMode::Name || request.mode == SearchMode::Both);
}

// The name as its reader compared it: a favorite's file name without ".url",
// any other record's whole name.
std::string_view searchedName(const Bookmark& record) {
    if (!record.IsShortcut) {
        return record.Name;
    }
    std::string_view name = fnDisplayNameView(record.Name);
    if (name.size() >= 4 &&
        platform::equalsIgnoringAsciiCase(name.substr(name.size() - 4), ".url")) {
        name.remove_suffix(4);
    }
    return name;
}

} // namespace

FolderScreen::FolderScreen(const SearchRequest& pRequest)
    : matcher_(pRequest.term, pRequest.mode, pRequest.rules) {
    if (searchesFolders(pRequest)) {
        keepAll_.emplace("", pRequest.mode, pRequest.rules);
    }
    for (const std::string& name : pRequest.leaveOut) {
        leaveOut_.push_back(platform::lowerCase(name));
    }
}

void FolderScreen::screen(std::vector<Bookmark>& pRecords, std::size_t pFirst) const {
    if (!keepAll_ && leaveOut_.empty()) {
        return;
    }
    MatchScratch scratch;
    const auto dropped =
        std::remove_if(pRecords.begin() + static_cast<std::ptrdiff_t>(pFirst), pRecords.end(),
                       [&](const Bookmark& record) { return !keeps(record, scratch); });
    pRecords.erase(dropped, pRecords.end());
}

bool FolderScreen::keeps(const Bookmark& record, MatchScratch& scratch) const {
    if (leftOut(record)) {
        return false;
    }
    return !keepAll_ || matcher_.matchesWithFolders(searchedName(record), record.URL,
                                                    record.Folder.text(), scratch);
}

// A favorite's path below its walk's root is one node, its folders' names
// with "/" between them; a browser's folder name may hold "/" itself.
bool FolderScreen::leftOut(const Bookmark& record) const {
    if (leaveOut_.empty()) {
        return false;
    }
    const auto isLeftOut = [&](std::string_view name) {
        return std::ranges::find(leaveOut_, platform::lowerCase(name)) != leaveOut_.end();
    };
    return record.Folder.anyFolder([&](const std::string& name) {
        if (!record.IsShortcut) {
            return isLeftOut(name);
        }
        for (std::string_view rest = name;;) {
            const std::size_t end = rest.find_first_of("/\\");
            if (isLeftOut(rest.substr(0, end))) {
                return true;
            }
            if (end == std::string_view::npos) {
                return false;
            }
            rest.remove_prefix(end + 1);
        }
    });
}

} // namespace zaptrove
