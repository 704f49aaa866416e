#include "search/netscape_reader.h"

#include "debug_log/debug_log.h"
#include "search/matcher.h"
#include "search/open_file.h"

#include <string>

namespace zaptrove {

namespace {

constexpr std::string_view kMarker = "<DT><A HREF=";
constexpr std::size_t npos = std::string_view::npos;

} // namespace

void subScanNetscape(std::string_view pText, Matcher& pMatcher,
                     std::vector<Bookmark>& pCandidates) {
    std::size_t marker = pText.find(kMarker);
    while (marker != npos) {
        // The character after the marker is the opening quote; the address follows it.
        const std::size_t addressStart = marker + kMarker.size() + 1;
        const std::size_t nextMarker = pText.find(kMarker, marker + kMarker.size());
        const std::size_t entryEnd = nextMarker == npos ? pText.size() : nextMarker;
        const std::size_t addressEnd =
            addressStart > entryEnd ? npos : pText.find('"', addressStart);
        const std::size_t tagEnd = addressEnd >= entryEnd ? npos : pText.find('>', addressEnd + 1);
        if (tagEnd >= entryEnd) {
            // No closing quote or ">" before the next entry: skip this one.
            marker = nextMarker;
            continue;
        }
        const std::size_t nameStart = tagEnd + 1;
        // The next "<" is at the latest the next entry's own first character, so
        // a name without its closing tag never hides the entry after it.
        std::size_t nameEnd = pText.find('<', nameStart);
        if (nameEnd == npos) {
            nameEnd = pText.size();
        }
        const std::string_view address = pText.substr(addressStart, addressEnd - addressStart);
        const std::string_view name = pText.substr(nameStart, nameEnd - nameStart);
        if (pMatcher.matches(name, address)) {
            pCandidates.push_back({std::string(name), std::string(address)});
        }
        marker = nextMarker;
    }
}

void subReadNetscape(std::string_view pPath, Matcher& pMatcher, std::vector<Bookmark>& pCandidates,
                     const DebugLog& pLog) {
    pLog.subDebug(LOG_INFO, std::string("Reading Netscape File: ").append(pPath));
    std::string text;
    if (fnOpenFile(pPath, text)) {
        pLog.subDebugTimer(LOG_BEGIN, "Parsing Netscape File: ");
        subScanNetscape(text, pMatcher, pCandidates);
    }
    pLog.subDebugTimer(LOG_END, "Netscape file parsed: ");
}

} // namespace zaptrove
