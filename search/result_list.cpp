// SPDX-License-Identifier: MIT
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

// The lower-cased text a record is compared by: the shown text of its address
// in mode 1, of its name otherwise (mode "both" compares addresses as they are).
void duplicateKey(int mode, const Bookmark& record, std::string& key) {
    platform::lowerCaseInto(fnShownText(record, mode == 1 ? record.URL : record.Name), key);
}

} // namespace

std::vector<Bookmark> fnRemoveDuplicates(const Settings& pSettings,
                                         std::vector<Bookmark> pCandidates, const DebugLog& pLog) {
    pLog.subDebugTimer(LOG_BEGIN, "Start undupping: ");
    if (pSettings.Duplicates == DUPS_REMOVE) {
        const int mode = duplicateKeyMode(pSettings);
        // The kept records move to the front; each record's key is made once.
        std::string keptKey;
        std::string key;
        std::size_t kept = 0;
        for (std::size_t k = 0; k < pCandidates.size(); ++k) {
            duplicateKey(mode, pCandidates[k], key);
            const bool duplicate =
                kept > 0 && (key == keptKey || (mode != 0 && mode != 1 &&
                                                pCandidates[k].URL == pCandidates[kept - 1].URL));
            if (!duplicate) {
                if (k != kept) {
                    pCandidates[kept] = std::move(pCandidates[k]);
                }
                ++kept;
                std::swap(keptKey, key);
            }
        }
        pCandidates.erase(pCandidates.begin() + static_cast<std::ptrdiff_t>(kept),
                          pCandidates.end());
    }
    pLog.subDebugTimer(LOG_END, "Undupped: ");
    return pCandidates;
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
    const std::string_view name = fnShownText(pRecord, pRecord.Name);
    std::string line;
    line.reserve(name.size() + pRecord.URL.size() + 5);
    line.append(nameFirst ? name : std::string_view(pRecord.URL));
    line.append("  -  ");
    line.append(nameFirst ? std::string_view(pRecord.URL) : name);
    return line;
}

void subCompleteAddresses(std::vector<Bookmark>& pResults, const DebugLog& pLog) {
    pLog.subDebug(LOG_INFO,
                  "Building combo for " + std::to_string(pResults.size()) + " match[es] found!");
    for (Bookmark& record : pResults) {
        if (record.URL.empty()) {
            // A favorite found by name has its address read now; a bookmark of
            // another source with no address names no shortcut file to read.
            record.URL = record.IsShortcut ? fnUrlFromFile(record.Name) : NOT_FOUND;
        }
    }
}

std::vector<std::string> fnBuildListLines(const Settings& pSettings,
                                          std::vector<Bookmark>& pResults, const DebugLog& pLog) {
    subCompleteAddresses(pResults, pLog);
    std::vector<std::string> lines;
    lines.reserve(pResults.size());
    for (const Bookmark& record : pResults) {
        lines.push_back(fnListLine(pSettings, record));
    }
    return lines;
}

} // namespace zaptrove
