// SPDX-License-Identifier: MIT
#include "search/request/search_request.h"

#include "search/discovery/browser_sources.h"
#include "search/sources/launch_record.h"
#include "settings/name_lists.h"

namespace zaptrove {

SearchMode fnSearchMode(std::int16_t pFunction) {
    switch (pFunction) {
    case FUNC_NAME:
        return SearchMode::Name;
    case FUNC_URL:
        return SearchMode::Url;
    case FUNC_BOTH:
        return SearchMode::Both;
    default:
        return SearchMode::Nothing;
    }
}

SearchRequest fnSearchRequest(std::string_view pTerm, const Settings& pSettings) {
    SearchRequest request{.term = std::string(pTerm),
                          .mode = fnSearchMode(pSettings.Function),
                          .sort = pSettings.Sort,
                          .removeDuplicates = pSettings.Duplicates == DUPS_REMOVE,
                          .mergeCopies = pSettings.MergeCopies == MERGE_COPIES_ON,
                          .rankByUse = pSettings.RankByUse == RANK_USE_ON,
                          .launchRecord = fnLaunchRecordPath(),
                          .rules = {.anyWordOrder = pSettings.Words == WORDS_ANY_ORDER,
                                    .ignoreAccents = pSettings.Accents == ACCENTS_IGNORE,
                                    .folderWords = pSettings.FolderWords == FOLDER_WORDS_ON},
                          .leaveOut = fnSplitNames(pSettings.LeaveOut, kLeaveOutSeparator)};
    for (const Location& location : kLocations) {
        std::optional<std::string> path =
            fnLocationPath(pSettings.*location.path, location.isFolder);
        if (pSettings.*location.doField == DO_YES && path) {
            request.locations.push_back(
                {&location, std::move(*path), fnNamedByUser(location, pSettings)});
        }
    }
    for (BrowserSource& source : fnBrowserSources(pSettings)) {
        if (source.switchedOn) {
            request.browsers.push_back(std::move(source.profile));
        }
    }
    return request;
}

} // namespace zaptrove
