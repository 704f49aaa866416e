#include "search/result_list.h"

#include "debug_log/debug_log.h"
#include "platform/text.h"
#include "search/display_name.h"
#include "search/favorites_reader.h"
#include "settings/settings.h"

namespace zaptrove {

namespace {

// Which field duplicates are compared by: 0 name, 1 address, anything else both.
int duplicateKeyMode(const Settings& settings) {
    return settings.Sort == SORT_SEARCHED ? settings.Function : settings.Sort;
}

bool isDuplicate(int mode, const Bookmark& candidate, const Bookmark& lastKept) {
    const auto nameKey = [](const Bookmark& b) {
        return platform::lowerCase(fnDisplayNameView(b.Name));
    };
    switch (mode) {
    case 0:
        return nameKey(candidate) == nameKey(lastKept);
    case 1:
        return platform::lowerCase(fnDisplayNameView(candidate.URL)) ==
               platform::lowerCase(fnDisplayNameView(lastKept.URL));
    default:
        return candidate.URL == lastKept.URL || nameKey(candidate) == nameKey(lastKept);
    }
}

} // namespace

std::vector<Bookmark> fnRemoveDuplicates(const Settings& pSettings,
                                         const std::vector<Bookmark>& pCandidates,
                                         const DebugLog& pLog) {
    pLog.subDebugTimer(LOG_BEGIN, "Start undupping: ");
    std::vector<Bookmark> results;
    if (pSettings.Duplicates != DUPS_REMOVE) {
        results = pCandidates;
    } else {
        const int mode = duplicateKeyMode(pSettings);
        for (const Bookmark& candidate : pCandidates) {
            if (results.empty() || !isDuplicate(mode, candidate, results.back())) {
                results.push_back(candidate);
            }
        }
    }
    pLog.subDebugTimer(LOG_END, "Undupped: ");
    return results;
}

bool fnOrderUsesAddress(const Settings& pSettings) {
    return pSettings.Sort == SORT_URL ||
           (pSettings.Duplicates == DUPS_REMOVE && duplicateKeyMode(pSettings) != 0);
}

void subReadMissingShortcutAddresses(std::vector<Bookmark>& pRecords) {
    for (Bookmark& record : pRecords) {
        if (record.IsShortcut && record.URL.empty()) {
            record.URL = fnUrlFromFile(record.Name);
        }
    }
}

std::string fnListLine(const Settings& pSettings, const Bookmark& pRecord) {
    const bool nameFirst = pSettings.Sort == SORT_NAME ||
                           (pSettings.Sort == SORT_SEARCHED && pSettings.Function != FUNC_URL);
    const std::string_view name = fnDisplayNameView(pRecord.Name);
    std::string line;
    line.reserve(name.size() + pRecord.URL.size() + 5);
    line.append(nameFirst ? name : std::string_view(pRecord.URL));
    line.append("  -  ");
    line.append(nameFirst ? std::string_view(pRecord.URL) : name);
    return line;
}

std::vector<std::string> fnBuildListLines(const Settings& pSettings,
                                          std::vector<Bookmark>& pResults, const DebugLog& pLog) {
    pLog.subDebug(LOG_INFO,
                  "Building combo for " + std::to_string(pResults.size()) + " match[es] found!");
    std::vector<std::string> lines;
    lines.reserve(pResults.size());
    for (Bookmark& record : pResults) {
        if (record.URL.empty()) {
            // A favorite found by name has its address read now; a bookmark of
            // another source with no address names no shortcut file to read.
            record.URL = record.IsShortcut ? fnUrlFromFile(record.Name) : NOT_FOUND;
        }
        lines.push_back(fnListLine(pSettings, record));
    }
    return lines;
}

} // namespace zaptrove
