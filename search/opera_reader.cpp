#include "search/opera_reader.h"

#include "debug_log/debug_log.h"
#include "search/matcher.h"
#include "search/open_file.h"

#include <string>

namespace zaptrove {

namespace {

constexpr std::string_view kMarker = "#URL";
constexpr std::size_t npos = std::string_view::npos;

// The text from start to the next line feed (or the end of the text), without
// a final carriage return.
std::string_view lineFrom(std::string_view text, std::size_t start, std::size_t& end) {
    end = text.find('\n', start);
    std::string_view line = text.substr(start, end == npos ? npos : end - start);
    if (line.ends_with('\r')) {
        line.remove_suffix(1);
    }
    return line;
}

// The next key that starts a line (after any indentation) at or after `from`,
// so that "SHORT NAME=" is not taken for "NAME=" nor "DISPLAY URL=" for "URL=".
std::size_t findKey(std::string_view text, std::string_view key, std::size_t from) {
    for (std::size_t found = text.find(key, from); found != npos;
         found = text.find(key, found + 1)) {
        const std::size_t before = found == 0 ? npos : text.find_last_not_of(" \t", found - 1);
        if (before == npos || text[before] == '\n') {
            return found;
        }
    }
    return npos;
}

} // namespace

void subScanOpera(std::string_view pText, Matcher& pMatcher, std::vector<Bookmark>& pCandidates) {
    std::size_t marker = pText.find(kMarker);
    while (marker != npos) {
        const std::size_t nextMarker = pText.find(kMarker, marker + kMarker.size());
        const std::size_t nameKey = findKey(pText, "NAME=", marker + kMarker.size());
        if (nameKey == npos || nameKey > nextMarker) {
            marker = nextMarker; // no name in this block
            continue;
        }
        std::size_t nameEnd = 0;
        const std::string_view name = lineFrom(pText, nameKey + 5, nameEnd);
        if (nameEnd == npos) {
            break; // the name runs to the end of the file: no address can follow
        }
        // A "#URL" inside the name itself does not start a block.
        const std::size_t blockEnd =
            nextMarker == npos || nextMarker >= nameEnd ? nextMarker : pText.find(kMarker, nameEnd);
        const std::size_t urlKey = findKey(pText, "URL=", nameEnd);
        if (urlKey == npos || urlKey > blockEnd) {
            marker = blockEnd; // no address after the name in this block
            continue;
        }
        std::size_t urlEnd = 0;
        const std::string_view url = lineFrom(pText, urlKey + 4, urlEnd);
        if (pMatcher.matches(name, url)) {
            pCandidates.push_back({std::string(name), std::string(url)});
        }
        if (urlEnd == npos) {
            break;
        }
        marker = blockEnd == npos || blockEnd >= urlEnd ? blockEnd : pText.find(kMarker, urlEnd);
    }
}

void subReadOpera(std::string_view pPath, Matcher& pMatcher, std::vector<Bookmark>& pCandidates,
                  const DebugLog& pLog) {
    pLog.subDebug(LOG_INFO, std::string("Reading Opera File: ").append(pPath));
    std::string text;
    if (fnOpenFile(pPath, text)) {
        pLog.subDebugTimer(LOG_BEGIN, "Parsing Opera File: ");
        subScanOpera(text, pMatcher, pCandidates);
    }
    pLog.subDebugTimer(LOG_END, "Opera file parsed: ");
}

} // namespace zaptrove
