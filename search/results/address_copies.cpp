// SPDX-License-Identifier: MIT
#include "search/results/address_copies.h"

#include "search/sources/favorites_reader.h"
#include "settings/settings.h"
#include "text/text.h"

#include <algorithm>
#include <cstddef>
#include <functional>

namespace zaptrove {

namespace {

bool isAsciiLetter(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

// The length of the address's scheme (a letter, then letters, digits, "+",
// "-" or ".", before a ":"), or 0 when it has none.
std::size_t schemeLength(std::string_view address) {
    if (address.empty() || !isAsciiLetter(address[0])) {
        return 0;
    }
    for (std::size_t i = 1; i < address.size(); ++i) {
        const char c = address[i];
        if (c == ':') {
            return i;
        }
        if (!isAsciiLetter(c) && !(c >= '0' && c <= '9') && c != '+' && c != '-' && c != '.') {
            return 0;
        }
    }
    return 0;
}

void lowerRange(std::string& text, std::size_t from, std::size_t to) {
    std::transform(text.begin() + static_cast<std::ptrdiff_t>(from),
                   text.begin() + static_cast<std::ptrdiff_t>(to),
                   text.begin() + static_cast<std::ptrdiff_t>(from), platform::asciiLower);
}

// The host of the authority that starts at from: after the user ("user@"),
// before the port (":80"); a bracketed IPv6 host ends at its "]".
void lowerHost(std::string& key, std::size_t from) {
    const std::size_t authorityEnd = std::min(key.find_first_of("/?#", from), key.size());
    const std::size_t at = key.rfind('@', authorityEnd);
    const std::size_t hostStart = at != std::string::npos && at >= from ? at + 1 : from;
    const bool bracketed = hostStart < authorityEnd && key[hostStart] == '[';
    const std::size_t hostEnd = std::min(key.find(bracketed ? ']' : ':', hostStart), authorityEnd);
    lowerRange(key, hostStart, hostEnd);
}

// A record whose address is one: neither missing nor an unreadable shortcut's.
bool hasAddress(const Bookmark& record) {
    return !record.URL.empty() && record.URL != NOT_FOUND;
}

} // namespace

void subAddressKey(std::string_view pAddress, std::string& pKey) {
    pKey.assign(pAddress);
    if (const std::size_t scheme = schemeLength(pKey); scheme > 0) {
        lowerRange(pKey, 0, scheme);
        if (pKey.compare(scheme, 3, "://") == 0) {
            lowerHost(pKey, scheme + 3);
        }
    }
    if (!pKey.empty() && pKey.back() == '/') {
        pKey.pop_back();
    }
}

void subMergeAddressCopies(std::vector<Bookmark>& pRecords) {
    // Open addressing over the kept records, at most half full: one allocation
    // for the whole run. A slot holds a key's hash and the row of its first copy.
    constexpr std::size_t kFree = static_cast<std::size_t>(-1);
    struct Slot {
        std::size_t hash = 0;
        std::size_t row = kFree;
    };
    std::size_t capacity = 2;
    while (capacity < 2 * pRecords.size()) {
        capacity *= 2;
    }
    std::vector<Slot> slots(capacity);
    const std::size_t mask = capacity - 1;
    std::string key;
    std::string firstKey;
    std::size_t kept = 0;
    for (std::size_t k = 0; k < pRecords.size(); ++k) {
        Bookmark& record = pRecords[k];
        subReadPendingAddress(record);
        bool merged = false;
        if (hasAddress(record)) {
            subAddressKey(record.URL, key);
            const std::size_t hash = std::hash<std::string_view>{}(key);
            for (std::size_t at = hash & mask;; at = (at + 1) & mask) {
                Slot& slot = slots[at];
                if (slot.row == kFree) {
                    slot = {hash, kept};
                    break;
                }
                if (slot.hash == hash) {
                    Bookmark& first = pRecords[slot.row];
                    subAddressKey(first.URL, firstKey);
                    if (firstKey == key) {
                        first.extras.edit().otherCopies.push_back(
                            {std::move(record.Source), std::move(record.Folder)});
                        merged = true;
                        break;
                    }
                }
            }
        }
        if (!merged) {
            if (k != kept) {
                pRecords[kept] = std::move(record);
            }
            ++kept;
        }
    }
    pRecords.erase(pRecords.begin() + static_cast<std::ptrdiff_t>(kept), pRecords.end());
}

} // namespace zaptrove
