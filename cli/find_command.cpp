// SPDX-License-Identifier: MIT
#include "cli/find_command.h"

#include "cli/find_options.h"
#include "debug_log/debug_log.h"
#include "search/display_name.h"
#include "search/search_run.h"
#include "settings/location_discovery.h"
#include "settings/settings_store.h"
#include "settings/version.h"

#include <algorithm>
#include <ostream>

namespace zaptrove {

namespace {

// Output is one line per result: a line break or tab inside a name or address
// becomes a blank so that it cannot split a result in two.
std::string oneLine(std::string text) {
    std::replace_if(
        text.begin(), text.end(), [](char c) { return c == '\n' || c == '\r' || c == '\t'; }, ' ');
    return text;
}

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
// command line's options laid over them, and what went wrong with the store.
// Nothing is written to the store.
Settings loadSettings(const FindOptions& options, std::vector<std::string>& storeProblems) {
    const auto registry = platform::openUserRegistry(options.registryPath);
    Settings settings;
    settings.Function = FUNC_NAME;
    subDiscoverLocations(*registry, settings);
    NoWindow window;
    fnReadStoredSettings(*registry, settings, window);
    subApplyFindOptions(options, settings);
    storeProblems = registry->takeProblems();
    return settings;
}

} // namespace

int fnRunFind(const std::vector<std::string>& pArgs, std::ostream& pOut, std::ostream& pErr) {
    const FindOptions options = fnParseFindOptions(pArgs);
    if (!options.error.empty()) {
        pErr << "zaptrove-find: " << options.error << " (see --help)\n";
        return 2;
    }
    if (options.showHelp) {
        pOut << fnFindUsage();
        return 0;
    }
    if (options.showVersion) {
        pOut << "zaptrove-find " << fnVersionText() << '\n';
        return 0;
    }
    std::vector<std::string> storeProblems;
    const Settings settings = loadSettings(options, storeProblems);
    const DebugLog log(settings, platform::systemClock(), options.debugLogPath);
    for (const std::string& problem : storeProblems) {
        log.subDebug(LOG_FAIL, problem);
    }
    const SearchOutcome outcome = subSearch(options.searchTerm, settings, log);
    if (!outcome.Found) {
        pErr << "Nothing Found\n";
        return 1;
    }
    for (std::size_t i = 0; i < outcome.Results.size(); ++i) {
        if (options.tsv) {
            const Bookmark& record = outcome.Results[i];
            pOut << oneLine(fnDisplayName(record.Name)) << '\t' << oneLine(record.URL) << '\n';
        } else {
            pOut << oneLine(outcome.Lines[i]) << '\n';
        }
    }
    pOut.flush();
    return 0;
}

} // namespace zaptrove
