// SPDX-License-Identifier: MIT
#include "cli/find_command.h"

#include "cli/find_options.h"
#include "cli/printable_text.h"
#include "debug_log/debug_log.h"
#include "platform/files.h"
#include "search/browser_source_reader.h"
#include "search/display_name.h"
#include "search/favorites_reader.h"
#include "search/netscape_reader.h"
#include "search/opera_reader.h"
#include "search/result_list.h"
#include "search/search_run.h"
#include "search/source_status.h"
#include "settings/browser_discovery.h"
#include "settings/browser_sources.h"
#include "settings/location_discovery.h"
#include "settings/settings_store.h"
#include "settings/version.h"

#include <array>
#include <ostream>

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
        out << (on ? "on" : "off") << '\t' << fnPrintableLine(kind) << '\t'
            << fnPrintableLine(status) << '\t' << fnPrintableLine(path) << '\n';
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

int fnRunFind(const std::vector<std::string>& pArgs, std::ostream& pOut, std::ostream& pErr) {
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
    const DebugLog log(settings, platform::systemClock(), options.debugLogPath);
    for (const std::string& problem : storeProblems) {
        log.subDebug(LOG_FAIL, problem);
    }
    const SearchOutcome outcome = subSearch(options.searchTerm, settings, log, ListLines::OnDemand);
    for (const UnreadableSource& source : outcome.Unreadable) {
        pErr << "zaptrove-find: " << fnPrintableLine(source.Kind) << ' '
             << fnPrintableLine(platform::nativePath(source.Location))
             << " could not be read: " << fnPrintableLine(source.Reason) << '\n';
    }
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
    for (const Bookmark& record : outcome.Results) {
        if (options.tsv) {
            pOut << fnPrintableLine(fnShownText(record, record.Name)) << '\t'
                 << fnPrintableLine(record.URL) << '\n';
        } else {
            pOut << fnPrintableLine(fnListLine(settings, record)) << '\n';
        }
    }
    return finishOutput(pOut, pErr, FIND_FOUND);
}

} // namespace zaptrove
