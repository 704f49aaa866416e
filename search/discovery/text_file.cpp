// SPDX-License-Identifier: MIT
#include "search/discovery/text_file.h"

#include "platform/files.h"
#include "text/text.h"

namespace zaptrove::platform {

bool fnOpenFile(std::string_view pPath, std::string& pText, std::size_t pLimit) {
    std::string bytes;
    if (!readWholeFile(pPath, bytes, pLimit)) {
        pText.clear();
        return false;
    }
    pText = decodeFileBytes(std::move(bytes));
    return true;
}

} // namespace zaptrove::platform
