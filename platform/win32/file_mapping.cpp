// SPDX-License-Identifier: MIT
#include "platform/file_mapping.h"

namespace zaptrove::platform {

// Nothing is mapped, so no pages are touched ahead.
class PagesAhead {};

// Files are read here, never mapped: a mapped file could not be replaced or
// cut by the browser that writes it while a search runs.
FileMapping::FileMapping(FileReader& pFile) : file_(pFile) {}

FileMapping::~FileMapping() = default;

std::optional<std::string_view> FileMapping::map(std::uint64_t, std::size_t) {
    return std::nullopt;
}

bool FileMapping::unchanged() const {
    return false;
}

void FileMapping::prepare(std::uint64_t, std::size_t) {}

void FileMapping::unmap(std::size_t) {}

} // namespace zaptrove::platform
