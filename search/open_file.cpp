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

} // namespace zaptrove
