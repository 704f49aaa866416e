#pragma once

#include "settings/settings.h"

#include <string>
#include <vector>

namespace zaptrove {

// What the command line asks zaptrove-find to do.
struct FindOptions {
    Settings settings;        // search mode, order, duplicates and the six locations
    std::string searchTerm;   // the words, joined by single blanks
    std::string debugLogPath; // empty: no log
    bool tsv = false;
    bool showHelp = false;
    bool showVersion = false;
    std::string error; // a usage error, when not empty
};

// Parses the arguments (without the program name). Locations not named stay
// switched off; the search is by name, ordered as searched, duplicates kept.
FindOptions fnParseFindOptions(const std::vector<std::string>& pArgs);

// The text --help prints.
std::string fnFindUsage();

} // namespace zaptrove
