// SPDX-License-Identifier: MIT
#include "cli/find_command.h"

#include "cli/find_options.h"
#include "debug_log/debug_log.h"
#include "search/browser_source_reader.h"
#include "search/display_name.h"
#include "search/favorites_reader.h"
#include "search/netscape_reader.h"
#include "search/opera_reader.h"
#include "search/search_run.h"
#include "search/source_status.h"
#include "settings/browser_discovery.h"
#include "settings/browser_sources.h"
#include "settings/location_discovery.h"
#include "settings/settings_store.h"
#include "settings/version.h"

#include <algorithm>
#include <array>
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
    settings.BrowserProfiles = fnDiscoverBrowserProfiles(fnCurrentUserFolders());
    NoWindow window;
    fnReadStoredSettings(*registry, settings, window);
    subApplyFindOptions(options, settings);
    storeProblems = registry->takeProblems();
    return settings;
}

// The six locations, named as the Preferences dialog names them.
struct Location {
    const char* label;
    LocationReader reader;
    bool isFolder;
    std::int16_t Settings::*doField;
    std::string Settings::*path;
};
constexpr std::array kLocations = {
    Location{"MSIE Main", subReadFavorites, true, &Settings::DoMSIE, &Settings::MSIEMain},
    Location{"MSIE Alt", subReadFavorites, true, &Settings::DoMSIEEx, &Settings::MSIEAlt},
    Location{"Netscape Main", subReadNetscape, false, &Settings::DoNetscape,
             &Settings::NetscapeMain},
    Location{"Netscape Alt", subReadNetscape, false, &Settings::DoNetscapeEx,
             &Settings::NetscapeAlt},
    Location{"Opera Main", subReadOpera, false, &Settings::DoOpera, &Settings::OperaMain},
    Location{"Opera Alt", subReadOpera, false, &Settings::DoOperaEx, &Settings::OperaAlt},
};

// One line per source in reading order: switched on or off, what it is, its
// bookmark count or why it cannot be read, and its path, separated by tabs.
void listSources(const Settings& settings, std::ostream& out) {
    const auto line = [&](bool on, const std::string& kind, const std::string& status,
                          const std::string& path) {
        out << (on ? "on" : "off") << '\t' << oneLine(kind) << '\t' << status << '\t'
            << oneLine(path) << '\n';
    };
    for (const Location& location : kLocations) {
        const std::string& path = settings.*location.path;
        line(settings.*location.doField == DO_YES, location.label,
             fnLocationStatus(location.reader, path, location.isFolder), path);
    }
    for (const BrowserSource& source : fnBrowserSources(settings)) {
        const BrowserProfile& profile = source.profile;
        line(source.switchedOn,
             fnBrowserSourceLabel(profile) + (profile.isDefault ? " (default)" : ""),
             fnBrowserSourceStatus(profile), profile.bookmarksFile);
    }
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
    if (options.listSources) {
        listSources(settings, pOut);
        pOut.flush();
        return 0;
    }
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
