// SPDX-License-Identifier: MIT
#include "platform/files.h"

#include <algorithm>

namespace zaptrove::platform {

FileReader::FileReader(std::string_view path, Passes passes) : path_(path), passes_(passes) {
    open();
}

FileReader::~FileReader() {
    letGo();
}

std::optional<std::size_t> FileReader::readNext(char* room, std::size_t size) {
    if (!opened_) {
        return std::nullopt;
    }
    if (handle_ == -1) {
        return 0; // read to its end and let go
    }
    const std::optional<std::size_t> got =
        readAt(room, static_cast<std::size_t>(std::min<std::uint64_t>(size, length_ - offset_)));
    if (got) {
        // A file that shrank ends at its first empty read.
        offset_ = *got == 0 ? length_ : offset_ + *got;
        if (offset_ == length_ && passes_ == Passes::One) {
            letGo();
        }
    }
    return got;
}

bool FileReader::rewind() {
    if (passes_ == Passes::One || handle_ == -1) {
        return false;
    }
    offset_ = 0;
    return true;
}

} // namespace zaptrove::platform
