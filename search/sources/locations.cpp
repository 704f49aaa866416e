// SPDX-License-Identifier: MIT
#include "search/sources/locations.h"

#include "platform/separators.h"

namespace zaptrove {

std::optional<std::string> fnLocationPath(std::string_view pStored, bool pIsFolder) {
    if (pStored.empty() || pStored == NOT_FOUND) {
        return std::nullopt;
    }
    std::string path(pStored);
    if (!pIsFolder) {
        return path;
    }
    if (path.find_first_not_of("\\/") == std::string::npos) {
        return std::nullopt;
    }
    if (path.ends_with('/')) {
        path.back() = '\\';
    } else if (!path.ends_with('\\')) {
        path += '\\';
    }
    return path;
}

std::string fnPathOnDisk(const Location& pLocation, std::string_view pPath) {
    return pLocation.isFolder ? platform::folderPath(pPath) : std::string(pPath);
}

bool fnNamedByUser(const Location& pLocation, const Settings& pSettings) {
    return pLocation.found == nullptr || pSettings.*pLocation.path != pSettings.*pLocation.found;
}

} // namespace zaptrove
