// SPDX-License-Identifier: MIT
#include "platform/folder_order.h"

#include "text/text.h"

#include <algorithm>
#include <cstdint>

namespace zaptrove::platform {

namespace {

// An entry's place and the first sixteen bytes of its name, ASCII letters
// lower-cased, as two big-endian numbers padded with zeros. Names whose heads
// differ are in their heads' order (no name holds a zero byte), so the whole
// names are compared only when the heads are the same.
struct HeadedEntry {
    std::uint64_t head[2];
    std::size_t index;
};

std::uint64_t lowerHead(std::string_view name, std::size_t from) {
    std::uint64_t head = 0;
    for (std::size_t k = from; k < from + sizeof(head); ++k) {
        head = head << 8 | (k < name.size() ? static_cast<unsigned char>(asciiLower(name[k])) : 0);
    }
    return head;
}

} // namespace

void sortFolderListing(FolderListing& listing) {
    std::vector<FolderListing::Entry>& entries = listing.entries;
    std::vector<HeadedEntry> order(entries.size());
    for (std::size_t k = 0; k < entries.size(); ++k) {
        const std::string_view name = listing.name(entries[k]);
        order[k] = {{lowerHead(name, 0), lowerHead(name, 8)}, k};
    }
    std::sort(order.begin(), order.end(), [&](const HeadedEntry& a, const HeadedEntry& b) {
        if (a.head[0] != b.head[0] || a.head[1] != b.head[1]) {
            return a.head[0] != b.head[0] ? a.head[0] < b.head[0] : a.head[1] < b.head[1];
        }
        return precedesIgnoringAsciiCase(listing.name(entries[a.index]),
                                         listing.name(entries[b.index]));
    });
    std::vector<FolderListing::Entry> sorted;
    sorted.reserve(order.size());
    for (const HeadedEntry& entry : order) {
        sorted.push_back(entries[entry.index]);
    }
    entries.swap(sorted);
}

void entriesOf(const FolderListing& listing, std::vector<FolderEntry>& entries) {
    entries.clear();
    entries.reserve(listing.entries.size());
    for (const FolderListing::Entry& entry : listing.entries) {
        entries.push_back({std::string(listing.name(entry)), entry.isDirectory});
    }
}

} // namespace zaptrove::platform
