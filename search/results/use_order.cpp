// SPDX-License-Identifier: MIT
#include "search/results/use_order.h"

#include "debug_log/debug_log.h"
#include "platform/separators.h"
#include "search/request/search_request.h"
#include "search/sources/chromium_history.h"
#include "search/sources/launch_record.h"

#include <algorithm>
#include <map>
#include <numeric>
#include <string_view>
#include <unordered_map>
#include <utility>

namespace zaptrove {

namespace {

// Reads the visits of the Chromium-family rows, one History per profile.
void readChromiumVisits(std::vector<Bookmark>& rows, std::int64_t now, const DebugLog& log) {
    std::map<const BrowserProfile*, std::vector<Bookmark*>> byProfile;
    for (Bookmark& row : rows) {
        if (row.Profile && !fnUsesPlaces(row.Profile->browser)) {
            byProfile[row.Profile.get()].push_back(&row);
        }
    }
    for (const auto& [profile, profileRows] : byProfile) {
        const std::string history = platform::pathIn(profile->folder, "History");
        const std::string problem = fnReadChromiumVisits(history, profileRows, now);
        if (!problem.empty()) {
            log.subDebug(LOG_FAIL, "History not read: " + history + ": " + problem);
        }
    }
}

} // namespace

void subOrderByUse(const SearchRequest& pRequest, std::vector<Bookmark>& pRows, std::int64_t pNow,
                   const DebugLog& pLog) {
    if (!pRequest.rankByUse || pRows.size() < 2) {
        return;
    }
    readChromiumVisits(pRows, pNow, pLog);
    const std::unordered_map<std::string, double> launches =
        pRequest.launchRecord.empty() ? std::unordered_map<std::string, double>()
                                      : fnLaunchWeights(pRequest.launchRecord, pNow);
    struct Use {
        double launches = 0;
        std::int64_t browser = 0;
    };
    std::vector<Use> uses(pRows.size());
    for (std::size_t i = 0; i < pRows.size(); ++i) {
        const auto launched = launches.find(pRows[i].URL);
        // Firefox marks a frecency still to be worked out as -1: no use known.
        uses[i] = {launched == launches.end() ? 0 : launched->second,
                   std::max<std::int64_t>(pRows[i].Frecency, 0)};
    }
    std::vector<std::size_t> order(pRows.size());
    std::iota(order.begin(), order.end(), std::size_t{0});
    std::stable_sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
        return uses[a].launches != uses[b].launches ? uses[a].launches > uses[b].launches
                                                    : uses[a].browser > uses[b].browser;
    });
    // The rows take their places cycle by cycle, in place: no second list.
    for (std::size_t start = 0; start < order.size(); ++start) {
        std::size_t at = start;
        while (order[at] != start) {
            std::swap(pRows[at], pRows[order[at]]);
            at = std::exchange(order[at], at);
        }
        order[at] = at;
    }
    pLog.subDebug(LOG_INFO, "Ordered by use (" + std::to_string(launches.size()) +
                                " addresses in the launch record)");
}

} // namespace zaptrove
