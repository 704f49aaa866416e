// SPDX-License-Identifier: MIT
#include "cli/find_options.h"

#include "registry/registry.h"
#include "search/discovery/browser_sources.h"
#include "search/sources/locations.h"

#include <algorithm>
#include <array>
#include <optional>
#include <string_view>

namespace zaptrove {

namespace {

struct Choice {
    std::string_view word;
    std::int16_t code;
};

constexpr std::array kByChoices = {Choice{"name", FUNC_NAME}, Choice{"url", FUNC_URL},
                                   Choice{"both", FUNC_BOTH}};
constexpr std::array kSortChoices = {Choice{"name", SORT_NAME}, Choice{"url", SORT_URL},
                                     Choice{"searched", SORT_SEARCHED}, Choice{"none", SORT_NONE}};
constexpr std::array kDupsChoices = {Choice{"keep", DUPS_KEEP}, Choice{"remove", DUPS_REMOVE}};
constexpr std::array kWordsChoices = {Choice{"together", WORDS_TOGETHER},
                                      Choice{"any", WORDS_ANY_ORDER}};
constexpr std::array kAccentsChoices = {Choice{"match", ACCENTS_MATCH},
                                        Choice{"ignore", ACCENTS_IGNORE}};
constexpr std::array kSwitchChoices = {Choice{"on", DO_YES}, Choice{"off", DO_NO}};
constexpr std::array kOpenWithChoices = {Choice{"own", DO_YES}, Choice{"default", DO_NO}};
constexpr std::array kRankChoices = {Choice{"use", DO_YES}, Choice{"off", DO_NO}};

// The row of kLocations a command-line option names, if any.
std::optional<std::size_t> locationOption(std::string_view name) {
    const auto found = std::ranges::find_if(
        kLocations, [&](const Location& location) { return location.option == name; });
    if (found == kLocations.end()) {
        return std::nullopt;
    }
    return static_cast<std::size_t>(found - kLocations.begin());
}

template <std::size_t N>
std::optional<std::int16_t> choose(const std::array<Choice, N>& choices, std::string_view word) {
    for (const Choice& choice : choices) {
        if (choice.word == word) {
            return choice.code;
        }
    }
    return std::nullopt;
}

// Applies one option that takes a value; answers false for an unknown option.
bool applyValueOption(std::string_view name, const std::string& value, FindOptions& options) {
    const auto pick = [&](auto& choices, std::optional<std::int16_t>& field) {
        field = choose(choices, value);
        if (!field) {
            options.error = "invalid value '" + value + "' for --" + std::string(name);
        }
    };
    // A choice between two, the first of which (DO_YES) is true.
    const auto pickSwitch = [&](auto& choices, std::optional<bool>& field) {
        std::optional<std::int16_t> code;
        pick(choices, code);
        if (code) {
            field = *code == DO_YES;
        }
    };
    const auto locate = [&](std::optional<std::string>& location) {
        location = value;
        options.anyLocation = true;
    };
    if (name == "by") {
        pick(kByChoices, options.function);
    } else if (name == "sort") {
        pick(kSortChoices, options.sort);
    } else if (name == "dups") {
        pick(kDupsChoices, options.duplicates);
    } else if (name == "words") {
        pick(kWordsChoices, options.words);
    } else if (name == "accents") {
        pick(kAccentsChoices, options.accents);
    } else if (const std::optional<std::size_t> row = locationOption(name)) {
        locate(options.locations[*row]);
    } else if (name == "firefox") {
        locate(options.firefox);
    } else if (name == "chromium") {
        locate(options.chromium);
    } else if (name == "browsers") {
        pickSwitch(kSwitchChoices, options.browsers);
    } else if (name == "merge") {
        pickSwitch(kSwitchChoices, options.merge);
    } else if (name == "rank") {
        pickSwitch(kRankChoices, options.rankByUse);
    } else if (name == "open-with") {
        pickSwitch(kOpenWithChoices, options.ownBrowser);
    } else if (name == "folders") {
        pickSwitch(kSwitchChoices, options.folderWords);
    } else if (name == "leave-out") {
        if (!options.leaveOut) {
            options.leaveOut.emplace();
        }
        if (!value.empty()) {
            options.leaveOut->push_back(value);
        }
    } else if (name == "debug-log") {
        options.debugLogPath = value;
    } else if (name == "registry" && platform::registryIsHiveFile()) {
        options.registryPath = value;
    } else {
        return false;
    }
    return true;
}

} // namespace

FindOptions fnParseFindOptions(const std::vector<std::string>& pArgs) {
    FindOptions options;
    std::vector<std::string> words;
    bool optionsEnded = false;
    for (std::size_t i = 0; i < pArgs.size() && options.error.empty(); ++i) {
        const std::string& arg = pArgs[i];
        if (optionsEnded || (!arg.starts_with("--") && arg != "-h" && arg != "-V")) {
            words.push_back(arg);
        } else if (arg == "--") {
            optionsEnded = true;
        } else if (arg == "--tsv") {
            options.tsv = true;
        } else if (arg == "--open") {
            options.open = true;
        } else if (arg == "--private") {
            options.privateWindow = true;
        } else if (arg == "--list-sources") {
            options.listSources = true;
        } else if (arg == "--all") {
            options.listAll = true;
        } else if (arg == "--help" || arg == "-h") {
            options.showHelp = true;
        } else if (arg == "--version" || arg == "-V") {
            options.showVersion = true;
        } else {
            const std::size_t equals = arg.find('=');
            const std::string name =
                arg.substr(2, equals == std::string::npos ? arg.npos : equals - 2);
            std::string value;
            if (equals != std::string::npos) {
                value = arg.substr(equals + 1);
            } else if (i + 1 < pArgs.size()) {
                value = pArgs[++i];
            } else {
                options.error = "option --" + name + " needs a value";
                break;
            }
            if (!applyValueOption(name, value, options)) {
                options.error = "unknown option --" + name;
            }
        }
    }
    for (std::size_t k = 0; k < words.size(); ++k) {
        options.searchTerm += k == 0 ? "" : " ";
        options.searchTerm += words[k];
    }
    if (options.error.empty() && !options.showHelp && !options.showVersion &&
        !options.listSources) {
        if ((options.privateWindow || options.ownBrowser) && !options.open) {
            options.error = "--private and --open-with go with --open";
        } else if (options.listAll && !words.empty()) {
            options.error = "--all takes no search term";
        } else if (!options.listAll && words.empty()) {
            options.error = "no search term given";
        }
    }
    return options;
}

void subApplySourceOptions(const FindOptions& pOptions, Settings& pSettings) {
    const auto locate = [&](std::int16_t& doField, std::string& path,
                            const std::optional<std::string>& named) {
        doField = named ? DO_YES : DO_NO;
        path = named.value_or("");
    };
    if (pOptions.anyLocation) {
        for (const Location& location : kLocations) {
            const auto row = static_cast<std::size_t>(&location - kLocations.data());
            locate(pSettings.*location.doField, pSettings.*location.path, pOptions.locations[row]);
            // A path given here is named by the user, even the one start-up found.
            if (location.found != nullptr) {
                (pSettings.*location.found).clear();
            }
        }
        for (const auto field : kBrowserSwitches) {
            pSettings.*field = DO_NO;
        }
        locate(pSettings.DoFirefoxEx, pSettings.FirefoxAlt, pOptions.firefox);
        locate(pSettings.DoChromiumEx, pSettings.ChromiumAlt, pOptions.chromium);
    }
    if (pOptions.browsers) {
        for (const auto field : kBrowserSwitches) {
            pSettings.*field = *pOptions.browsers ? DO_YES : DO_NO;
        }
        // A location the command line names is read all the same.
        pSettings.DoFirefoxEx = pOptions.firefox ? DO_YES : pSettings.DoFirefoxEx;
        pSettings.DoChromiumEx = pOptions.chromium ? DO_YES : pSettings.DoChromiumEx;
    }
}

void subApplySearchOptions(const FindOptions& pOptions, SearchRequest& pRequest) {
    if (pOptions.function) {
        pRequest.mode = fnSearchMode(*pOptions.function);
    }
    pRequest.sort = pOptions.sort.value_or(pRequest.sort);
    if (pOptions.duplicates) {
        pRequest.removeDuplicates = *pOptions.duplicates == DUPS_REMOVE;
    }
    if (pOptions.words) {
        pRequest.rules.anyWordOrder = *pOptions.words == WORDS_ANY_ORDER;
    }
    if (pOptions.accents) {
        pRequest.rules.ignoreAccents = *pOptions.accents == ACCENTS_IGNORE;
    }
    pRequest.mergeCopies = pOptions.merge.value_or(pRequest.mergeCopies);
    pRequest.rankByUse = pOptions.rankByUse.value_or(pRequest.rankByUse);
    pRequest.rules.folderWords = pOptions.folderWords.value_or(pRequest.rules.folderWords);
    pRequest.leaveOut = pOptions.leaveOut.value_or(pRequest.leaveOut);
    // Only the tab-separated lines show the folders.
    pRequest.rules.followFolders = pOptions.tsv;
}

std::string fnFindUsage() {
    return "Usage: zaptrove-find [OPTION]... TERM...\n"
           "       zaptrove-find [OPTION]... --all\n"
           "       zaptrove-find [OPTION]... --list-sources\n"
           "Finds the bookmarks whose name, address or both contain TERM (letter case\n"
           "ignored) and prints one line per bookmark, as the Zaptrove window lists them.\n"
           "An empty TERM (\"\"), like --all, lists every bookmark.\n"
           "\n"
           "  --by name|url|both        what to search (default: name)\n"
           "  --sort name|url|searched|none\n"
           "                            result order (default: searched)\n"
           "  --dups keep|remove        drop neighbouring duplicates (default: keep)\n"
           "  --words together|any      the words as typed, or each word anywhere, in any\n"
           "                            order (default: together)\n"
           "  --accents match|ignore    ignore accents: \"cafe\" finds \"Café\"\n"
           "                            (default: match)\n"
           "  --merge on|off            one line per address: the copies of an address in\n"
           "                            several sources print as the first one read\n"
           "                            (default: as stored; off when nothing is stored)\n"
           "  --rank use|off            order by use: what was opened from Zaptrove first,\n"
           "                            then what the browsers use most; ties in the\n"
           "                            order above (default: as stored; off)\n"
           "  --folders on|off          with --by name or both, the words are found in\n"
           "                            folder names too (default: as stored; off)\n"
           "  --leave-out FOLDER        leave out the bookmarks in every folder of this\n"
           "                            name and below it (letter case ignored); may be\n"
           "                            given again; replaces the stored list\n"
           "  --favorites DIR           an Internet Explorer Favorites folder\n"
           "  --favorites-alt DIR       an alternative Favorites folder\n"
           "  --netscape FILE           a Netscape bookmark file\n"
           "  --netscape-alt FILE       an alternative Netscape bookmark file\n"
           "  --opera FILE              an Opera bookmark file\n"
           "  --opera-alt FILE          an alternative Opera bookmark file\n"
           "  --firefox PATH            a Firefox profile folder or its places.sqlite\n"
           "  --chromium PATH           a Chrome, Chromium, Edge, Brave, Vivaldi or Opera\n"
           "                            profile folder or its Bookmarks file\n"
           "  --browsers on|off         read the browser profiles found (default: as stored;\n"
           "                            on when nothing is stored)\n" +
           std::string(platform::registryIsHiveFile()
                           ? "  --registry FILE           read the stored settings from this "
                             "hive file\n"
                           : "") +
           "  --debug-log FILE          write the diagnostic log of this run to FILE\n"
           "  --tsv                     print five tab-separated columns instead: name,\n"
           "                            address, source, profile and folder\n"
           "  --open                    open the first bookmark found, as Enter in the\n"
           "                            window does, instead of printing\n"
           "  --private                 with --open: a browser's bookmark opens in a\n"
           "                            private window of its browser\n"
           "  --open-with own|default   with --open: a browser's bookmark opens in its own\n"
           "                            browser and profile, or with the desktop's default\n"
           "                            (default: as stored; own when nothing is stored)\n"
           "  --all                     list every bookmark\n"
           "  --list-sources            list every source a search would read (kind, name,\n"
           "                            on or off, bookmark count or why it cannot be\n"
           "                            read, path) and exit; no TERM needed\n"
           "  -h, --help                show this help and exit\n"
           "  -V, --version             show the version and exit\n"
           "\n"
           "Firefox profiles and those of the Chromium family (Chrome, Chromium, Edge,\n"
           "Brave, Vivaldi, Opera) are found by themselves and read after the six\n"
           "locations. What is not given comes from the settings Zaptrove stored. When\n"
           "any location is named, only the named ones are read; each source that cannot\n"
           "be read is named on standard error with the reason. Control characters and\n"
           "bytes that are not UTF-8 are printed as U+FFFD.\n"
           "\n"
           "Exit status: 0 when something was found, 1 when nothing was (\"Nothing Found\"\n"
           "goes to standard error), 2 on a usage error, 3 when no bookmark source could\n"
           "be read (or none is enabled), 4 when the output could not be written, 5 when\n"
           "--open found a bookmark whose address cannot be opened.\n";
}

} // namespace zaptrove
