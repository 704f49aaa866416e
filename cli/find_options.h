// SPDX-License-Identifier: MIT
#pragma once

#include "search/request/search_request.h"
#include "search/sources/locations.h"
#include "settings/settings.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace zaptrove {

// What the command line asks zaptrove-find to do.
struct FindOptions {
    std::optional<std::int16_t> function;   // --by
    std::optional<std::int16_t> sort;       // --sort
    std::optional<std::int16_t> duplicates; // --dups
    std::optional<std::int16_t> words;      // --words
    std::optional<std::int16_t> accents;    // --accents
    std::optional<bool> merge;              // --merge on|off
    std::optional<bool> rankByUse;          // --rank use|off
    std::optional<bool> folderWords;        // --folders on|off
    // --leave-out, every one given; they replace the stored list, and an empty
    // one adds no name (so --leave-out "" leaves nothing out).
    std::optional<std::vector<std::string>> leaveOut;
    // The paths named for the six locations, by their row of kLocations, and
    // for a Firefox profile and a Chromium-family one.
    std::array<std::optional<std::string>, kLocations.size()> locations;
    std::optional<std::string> firefox;
    std::optional<std::string> chromium;
    bool anyLocation = false;
    std::optional<bool> browsers; // --browsers on|off
    bool listSources = false;     // --list-sources
    std::string registryPath;     // --registry: another hive file
    std::string searchTerm;       // the words, joined by single blanks; empty lists every bookmark
    std::string debugLogPath;     // empty: no log
    bool tsv = false;
    bool open = false;              // --open: opens the first bookmark found
    bool privateWindow = false;     // --private
    std::optional<bool> ownBrowser; // --open-with own|default
    bool listAll = false;           // --all: no term, every bookmark
    bool showHelp = false;
    bool showVersion = false;
    std::string error; // a usage error, when not empty
};

// Parses the arguments (without the program name).
FindOptions fnParseFindOptions(const std::vector<std::string>& pArgs);

// Lays the source options over the settings loaded from the store, which the
// search request and the source listing are made from: when any location was
// named, only the named locations are read; --browsers switches every browser
// source on or off, but for the locations named.
void subApplySourceOptions(const FindOptions& pOptions, Settings& pSettings);

// Lays the other options over the request: --by, --sort, --dups, --words,
// --accents, --merge, --rank, --folders and --leave-out replace what the settings asked for.
void subApplySearchOptions(const FindOptions& pOptions, SearchRequest& pRequest);

// The text --help prints.
std::string fnFindUsage();

} // namespace zaptrove
