// SPDX-License-Identifier: MIT
#include "search/run/folder_screen.h"

#include "search/records/name_with_tags.h"
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
    std::string_view name = fnShownName(record);
    if (name.size() >= 4 &&
        platform::equalsIgnoringAsciiCase(name.substr(name.size() - 4), ".url")) {
        name.remove_suffix(4);
    }
    return name;
}

// The request's rules, with the folders followed whenever the screen needs them.
MatchRules readersRules(const SearchRequest& request) {
    MatchRules rules = request.rules;
    rules.followFolders =
        rules.followFolders || searchesFolders(request) || !request.leaveOut.empty();
    return rules;
}

} // namespace

FolderScreen::FolderScreen(const SearchRequest& pRequest)
    : matcher_(pRequest.term, pRequest.mode, readersRules(pRequest)) {
    for (const std::string& name : pRequest.leaveOut) {
        leaveOut_.push_back(platform::lowerCase(name));
    }
}

void FolderScreen::screen(std::vector<Bookmark>& pRecords, std::size_t pFirst) const {
    if (!screens()) {
        return;
    }
    Scratch scratch;
    const auto dropped =
        std::remove_if(pRecords.begin() + static_cast<std::ptrdiff_t>(pFirst), pRecords.end(),
                       [&](const Bookmark& record) { return !keeps(record, scratch); });
    pRecords.erase(dropped, pRecords.end());
}

bool FolderScreen::keeps(const Bookmark& record, Scratch& scratch) const {
    if (!leaveOut_.empty() && leftOut(record.Folder.innermost(), record.IsShortcut, scratch)) {
        return false;
    }
    return !matcher_.searchesFolders() ||
           scratch.inFolder.matches(
               matcher_,
               fnNameWithTags(searchedName(record), record.extras.get().tags.get(), scratch.tagged),
               record.URL, [&] { return record.Folder; }, scratch.match);
}

// A folder is left out when it or a folder around it is named.
bool FolderScreen::leftOut(const FolderNode* folder, bool favorite, Scratch& scratch) const {
    std::vector<const FolderNode*> unknown;
    bool outside = false; // the verdict of the first folder around them already known
    for (; folder != nullptr; folder = folder->parent.get()) {
        if (const auto known = scratch.leftOut.find(folder); known != scratch.leftOut.end()) {
            outside = known->second;
            break;
        }
        unknown.push_back(folder);
    }
    for (auto node = unknown.rbegin(); node != unknown.rend(); ++node) {
        outside = outside || namesLeftOut((*node)->name, favorite, scratch);
        scratch.leftOut.emplace(*node, outside);
    }
    return outside;
}

// A favorite's path below its walk's root is one node, its folders' names
// with "/" between them; a browser's folder name may hold "/" itself.
bool FolderScreen::namesLeftOut(std::string_view names, bool favorite, Scratch& scratch) const {
    for (std::string_view rest = names;;) {
        const std::size_t end = favorite ? rest.find_first_of("/\\") : std::string_view::npos;
        platform::lowerCaseInto(rest.substr(0, end), scratch.lowered);
        if (std::ranges::find(leaveOut_, scratch.lowered) != leaveOut_.end()) {
            return true;
        }
        if (end == std::string_view::npos) {
            return false;
        }
        rest.remove_prefix(end + 1);
    }
}

} // namespace zaptrove
