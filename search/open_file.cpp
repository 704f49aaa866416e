// SPDX-License-Identifier: MIT
#include "search/open_file.h"

#include "platform/files.h"
#include "platform/text.h"

namespace zaptrove {

bool fnOpenFile(std::string_view pPath, std::string& pText) {
    std::string bytes;
    if (!platform::readWholeFile(pPath, bytes)) {
        pText.clear();
        return false;
    }
    pText = platform::decodeFileBytes(std::move(bytes));
    return true;
}

void subScanFileBytes(std::string_view pBytes, std::vector<Bookmark>& pCandidates,
                      const std::function<bool(std::string_view)>& pScan) {
    std::string_view text = pBytes;
    if (text.starts_with("\xEF\xBB\xBF")) {
        text.remove_prefix(3);
    }
    const std::size_t kept = pCandidates.size();
    if (!pScan(text)) {
        pCandidates.erase(pCandidates.begin() + static_cast<std::ptrdiff_t>(kept),
                          pCandidates.end());
        std::string decoded;
        pScan(platform::decodeFileBytes(pBytes, decoded));
    }
}

} // namespace zaptrove
