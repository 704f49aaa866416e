// SPDX-License-Identifier: MIT
#include "cli/find_command.h"

#include "cli/find_options.h"
#include "cli/printable_text.h"
#include "debug_log/debug_log.h"
#include "launch/open_bookmark.h"
#include "platform/files.h"
#include "search/discovery/browser_sources.h"
#include "search/discovery/start_up.h"
#include "search/results/display_name.h"
#include "search/results/result_list.h"
#include "search/run/search_run.h"
#include "search/scanning/work_ahead.h"
#include "search/sources/browser_source_reader.h"
#include "search/sources/locations.h"
#include "search/sources/source_status.h"
#include "settings/version.h"

#include <algorithm>
#include <cstdint>
#include <ostream>
#include <utility>
#include <vector>

namespace zaptrove {

namespace {

// The command line has no window: stored positions go nowhere.
class NoWindow final : public SettingsWindow {
  public:
    float windowTop() const override { return 0; }
    float windowLeft() const override { return 0; }
    float windowWidth() const override { return 0; }
    float windowHeight() const override { return 0; }
    bool isMinimized() const override { return false; }
    void setWindowTop(float) override {}
    void setWindowLeft(float) override {}
    void setWindowWidth(float) override {}
};

// The settings as the window would have them after start-up, with the
// command line's sources laid over them, and what went wrong with the store.
// Nothing is written to the store.
Settings loadSettings(const FindOptions& options, std::vector<std::string>& storeProblems) {
    const auto registry = platform::openUserRegistry(options.registryPath);
    Settings settings;
    NoWindow window;
    subStartUp(*registry, fnCurrentUserFolders(), settings, window, StoreWrites::None);
    subApplySourceOptions(options, settings);
    storeProblems = registry->takeProblems();
    return settings;
}

// One line per source in reading order: switched on or off, what it is, its
// bookmark count or why it cannot be read, and its path, separated by tabs.
void listSources(const Settings& settings, std::ostream& out) {
    const auto line = [&](bool on, const std::string& kind, const std::string& status,
                          const std::string& path) {
        out << (on ? "on" : "off") << '\t' << fnPrintableLine(kind) << '\t'
            << fnPrintableLine(status) << '\t' << fnPrintableLine(path) << '\n';
    };
    for (const Location& location : kLocations) {
        line(settings.*location.doField == DO_YES, location.label,
             fnLocationStatus(location, settings),
             fnLocationPath(settings.*location.path, location.isFolder).value_or(""));
    }
    for (const BrowserSource& source : fnBrowserSources(settings)) {
        const BrowserProfile& profile = source.profile;
        line(source.switchedOn,
             fnBrowserSourceLabel(profile) + (profile.isDefault ? " (default)" : ""),
             fnBrowserSourceStatus(profile), profile.bookmarksFile);
    }
}

// Opens the first bookmark found as Enter in the window does, by the stored
// DoOwnBrowser unless --open-with says otherwise; while ordering by use, the
// open is added to the launch record.
int openFirst(const FindOptions& options, const Settings& settings, const SearchRequest& request,
              const Bookmark& first, const FindOpeners& openers, const DebugLog& log,
              std::ostream& err) {
    log.subDebug(LOG_INFO, "Launching: " + first.URL);
    const auto registry = platform::openUserRegistry(options.registryPath);
    const bool ownBrowser = options.ownBrowser.value_or(settings.DoOwnBrowser != DO_NO);
    if (!fnOpenBookmark(first, ownBrowser, options.privateWindow,
                        Openers{*openers.shell, *openers.starter,
                                fnCurrentProgramPlaces(registry.get()), 0,
                                request.rankByUse ? request.launchRecord : std::string()},
                        log)) {
        err << "zaptrove-find: the address cannot be opened: " << fnPrintableLine(first.URL)
            << '\n';
        return FIND_NOT_OPENED;
    }
    return FIND_FOUND;
}

// How many records ahead of the line made their texts are asked for, and
// twice as many the records themselves when they are taken by their order:
// the records and their texts lie scattered in memory, and each line would
// wait on them.
constexpr std::size_t kPrefetchedRecords = 8;

// The lines are written in blocks of this many records' lines, each line made
// in place instead of in a string of its own. From kRecordsForHelper records
// on, a helper thread makes blocks beside the writing thread (WorkAhead), at
// most kBlocksAhead ahead of the block written, so that the few blocks in
// hand take memory freed by those written. A block has room for lines of
// about kLineBytes each from the start.
constexpr std::size_t kRecordsPerBlock = 512;
constexpr std::size_t kRecordsForHelper = 4 * kRecordsPerBlock;
constexpr std::size_t kBlocksAhead = 3;
constexpr std::size_t kLineBytes = 160;

// The rows of one block: the first to the one before end.
struct Stretch {
    std::size_t first = 0;
    std::size_t end = 0;
};

// The rows of a search in order: the results, taken by their order when it
// is given (SearchOutcome::Order).
struct Rows {
    const std::vector<Bookmark>& results;
    const std::vector<std::uint32_t>& order;

    std::size_t size() const { return results.size(); }
    const Bookmark& operator[](std::size_t k) const {
        return results[order.empty() ? k : order[k]];
    }
};

// The result lines of a stretch: the list's line, or with --tsv the name,
// address, source, profile and folders separated by tabs.
std::string resultLines(bool tsv, bool nameFirst, const Rows& rows, const Stretch& stretch) {
    std::string listLine;
    std::string block;
    block.reserve((stretch.end - stretch.first) * kLineBytes);
    for (std::size_t k = stretch.first; k < stretch.end; ++k) {
        if (k + 2 * kPrefetchedRecords < stretch.end && !rows.order.empty()) {
            __builtin_prefetch(&rows[k + 2 * kPrefetchedRecords]);
        }
        if (k + kPrefetchedRecords < stretch.end) {
            const Bookmark& ahead = rows[k + kPrefetchedRecords];
            __builtin_prefetch(ahead.Name.data());
            __builtin_prefetch(ahead.URL.data());
        }
        const Bookmark& record = rows[k];
        if (tsv) {
            subAppendPrintableLine(fnShownName(record), block);
            block += '\t';
            subAppendPrintableLine(record.URL, block);
            block += '\t';
            subAppendPrintableLine(record.Source.source(), block);
            block += '\t';
            subAppendPrintableLine(record.Source.profile(), block);
            block += '\t';
            subAppendPrintableLine(record.Folder.text(), block);
        } else {
            listLine.clear();
            subAppendListLine(nameFirst, record, listLine);
            subAppendPrintableLine(listLine, block);
        }
        block += '\n';
    }
    return block;
}

// Writes the result lines in order.
void writeResults(const FindOptions& options, const SearchRequest& request, const Rows& results,
                  std::ostream& out) {
    const bool nameFirst = fnListNameFirst(request);
    const auto lines = [&](const Stretch& stretch) {
        return resultLines(options.tsv, nameFirst, results, stretch);
    };
    WorkAhead<Stretch, std::string, decltype(lines)> blocks(lines,
                                                            results.size() >= kRecordsForHelper);
    std::size_t added = 0; // the records of the blocks added
    const auto addBlock = [&] {
        const std::size_t end = std::min(results.size(), added + kRecordsPerBlock);
        blocks.add({added, end});
        added = end;
    };
    for (std::size_t k = 0; k <= kBlocksAhead && added < results.size(); ++k) {
        addBlock();
    }
    while (blocks.hasNext()) {
        const std::string block = blocks.next();
        if (added < results.size()) {
            addBlock();
        }
        out.write(block.data(), static_cast<std::streamsize>(block.size()));
    }
}

// Flushes the output; a write that failed (a full disk, a closed pipe) turns
// the status into FIND_WRITE_ERROR, with a message.
int finishOutput(std::ostream& out, std::ostream& err, int status) {
    out.flush();
    if (!out) {
        err << "zaptrove-find: the output could not be written\n";
        return FIND_WRITE_ERROR;
    }
    return status;
}

} // namespace

int fnRunFind(const std::vector<std::string>& pArgs, std::ostream& pOut, std::ostream& pErr,
              const FindOpeners& pOpeners, FindRecords pEnd) {
    const FindOptions options = fnParseFindOptions(pArgs);
    if (!options.error.empty()) {
        pErr << "zaptrove-find: " << options.error << " (see --help)\n";
        return FIND_USAGE_ERROR;
    }
    if (options.showHelp) {
        pOut << fnFindUsage();
        return finishOutput(pOut, pErr, FIND_FOUND);
    }
    if (options.showVersion) {
        pOut << "zaptrove-find " << fnVersionText() << '\n';
        return finishOutput(pOut, pErr, FIND_FOUND);
    }
    std::vector<std::string> storeProblems;
    const Settings settings = loadSettings(options, storeProblems);
    if (options.listSources) {
        listSources(settings, pOut);
        return finishOutput(pOut, pErr, FIND_FOUND);
    }
    const std::int16_t debugMode = options.debugLogPath.empty() ? DEBUG_OFF : DEBUG_ON;
    const DebugLog log(debugMode, platform::systemClock(), options.debugLogPath);
    for (const std::string& problem : storeProblems) {
        log.subDebug(LOG_FAIL, problem);
    }
    SearchRequest request = fnSearchRequest(options.searchTerm, settings);
    subApplySearchOptions(options, request);
    SearchOutcome outcome = subSearch(request, log, ListLines::OnDemandInPlace);
    const auto name = [&](const std::vector<UnreadableSource>& sources, const char* what) {
        for (const UnreadableSource& source : sources) {
            pErr << "zaptrove-find: " << fnPrintableLine(source.Kind) << ' '
                 << fnPrintableLine(platform::nativePath(source.Location)) << what
                 << fnPrintableLine(source.Reason) << '\n';
        }
    };
    name(outcome.Unreadable, " could not be read: ");
    name(outcome.ReadInPart, " was read only in part: ");
    if (!outcome.Found && outcome.Unreadable.size() == outcome.SourcesEnabled) {
        if (outcome.SourcesEnabled == 0) {
            pErr << "zaptrove-find: no bookmark source is enabled\n";
        }
        return FIND_NO_SOURCE_READ;
    }
    if (!outcome.Found) {
        pErr << "Nothing Found\n";
        return FIND_NOTHING_FOUND;
    }
    const Rows rows{outcome.Results, outcome.Order};
    if (options.open) {
        return openFirst(options, settings, request, rows[0], pOpeners, log, pErr);
    }
    writeResults(options, request, rows, pOut);
    if (pEnd == FindRecords::LeftToExit) {
        // Still reachable, so a leak checker counts them as kept, not lost.
        static std::vector<Bookmark>* leftToExit = nullptr;
        delete std::exchange(leftToExit, new std::vector<Bookmark>(std::move(outcome.Results)));
    }
    return finishOutput(pOut, pErr, FIND_FOUND);
}

} // namespace zaptrove
