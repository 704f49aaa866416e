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

void sortFolderEntries(std::vector<FolderEntry>& entries) {
    std::vector<HeadedEntry> order(entries.size());
    for (std::size_t k = 0; k < entries.size(); ++k) {
        order[k] = {{lowerHead(entries[k].name, 0), lowerHead(entries[k].name, 8)}, k};
    }
    std::sort(order.begin(), order.end(), [&](const HeadedEntry& a, const HeadedEntry& b) {
        if (a.head[0] != b.head[0] || a.head[1] != b.head[1]) {
            return a.head[0] != b.head[0] ? a.head[0] < b.head[0] : a.head[1] < b.head[1];
        }
        return precedesIgnoringAsciiCase(entries[a.index].name, entries[b.index].name);
    });
    std::vector<FolderEntry> sorted;
    sorted.reserve(order.size());
    for (const HeadedEntry& entry : order) {
        sorted.push_back(std::move(entries[entry.index]));
    }
    entries.swap(sorted);
}

} // namespace zaptrove::platform
