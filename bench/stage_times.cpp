// SPDX-License-Identifier: MIT
// zaptrove-stage-times: where the time of one zaptrove-find run goes.
//
//     zaptrove-stage-times [zaptrove-find options] TERM...
//
// Runs the search stages one after the other, as the engine does for the given
// options (--by, --sort and --dups should be given: no stored settings are
// read), and prints the milliseconds of each stage as "stage ms". One run per
// process: a second run in the same process would find its memory in another
// state than a real search does.

#include "cli/find_options.h"
#include "debug_log/debug_log.h"
#include "platform/clock.h"
#include "search/matching/matcher.h"
#include "search/request/search_request.h"
#include "search/results/ordering.h"
#include "search/results/result_list.h"
#include "text/text.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <utility>
#include <vector>

using namespace zaptrove;

namespace {

using Clock = std::chrono::steady_clock;

// Milliseconds by stage, in the order the stages first ran.
class StageTimes {
  public:
    // Times fn() and adds its milliseconds to the stage's total.
    template <typename Fn> void time(const std::string& stage, Fn fn) {
        const Clock::time_point start = Clock::now();
        fn();
        const double ms = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
        const auto known = std::find_if(stages_.begin(), stages_.end(),
                                        [&](const auto& entry) { return entry.first == stage; });
        if (known == stages_.end()) {
            stages_.emplace_back(stage, ms);
        } else {
            known->second += ms;
        }
    }

    void print() const {
        for (const auto& [stage, ms] : stages_) {
            std::printf("%s %.2f\n", stage.c_str(), ms);
        }
    }

  private:
    std::vector<std::pair<std::string, double>> stages_;
};

// The search stages of one run; a file is read and scanned in one stage, chunk
// by chunk.
void runStages(const SearchRequest& request, const DebugLog& log, StageTimes& times) {
    const Matcher matcher(request.term, request.mode);
    std::vector<Bookmark> candidates;
    const auto read = [&](const LocationToRead& location) {
        location.location->reader(location.path, matcher, candidates, log);
    };
    times.time("favorites", [&] {
        for (const LocationToRead& location : request.locations) {
            if (location.location->isFolder) {
                read(location);
            }
        }
    });
    for (const LocationToRead& location : request.locations) {
        if (!location.location->isFolder) {
            times.time("read+scan", [&] { read(location); });
        }
    }
    if (fnOrderUsesAddress(request)) {
        times.time("addresses", [&] { subReadMissingShortcutAddresses(candidates); });
    }
    times.time("sort", [&] { subOrderCandidates(request, candidates, log); });
    std::vector<Bookmark> results;
    times.time("dups", [&] { results = fnRemoveDuplicates(request, std::move(candidates), log); });
    times.time("lines", [&] { fnBuildListLines(request, results, log); });
}

} // namespace

int main(int argc, char** argv) {
    const FindOptions options = fnParseFindOptions(std::vector<std::string>(argv + 1, argv + argc));
    if (!options.error.empty()) {
        std::fprintf(stderr, "zaptrove-stage-times: %s\n", options.error.c_str());
        return 2;
    }
    Settings settings;
    subApplySourceOptions(options, settings);
    SearchRequest request = fnSearchRequest(options.searchTerm, settings);
    subApplySearchOptions(options, request);
    StageTimes times;
    runStages(request, DebugLog::silent(), times);
    times.print();
    return 0;
}
