// SPDX-License-Identifier: MIT
#include "cli/printable_text.h"

#include "text/byte_blocks.h"
#include "text/text.h"

#include <algorithm>

namespace zaptrove {

namespace {

// The two bytes after 0xE2 of U+202A to U+202E and U+2066 to U+2069, the
// embeddings, overrides and isolates that reorder the rest of a line.
bool isBidiControl(std::string_view pTail) {
    if (pTail.size() < 2) {
        return false;
    }
    const auto second = static_cast<unsigned char>(pTail[0]);
    const auto third = static_cast<unsigned char>(pTail[1]);
    return (second == 0x80 && third >= 0xAA && third <= 0xAE) ||
           (second == 0x81 && third >= 0xA6 && third <= 0xA9);
}

// Whether a block holds a byte other than printable ASCII (a blank to a tilde):
// taking 0x20 from any other byte leaves 0x5F or more.
bool anyUnprintable(const platform::Block& block) {
    return platform::anyLane(block - 0x20 >= 0x5F);
}

// Whether every byte of the text is printable ASCII, as in most lines, which
// stay as they are: sixteen bytes at a time, the last sixteen overlapping the
// ones before.
bool isPrintableAscii(std::string_view text) {
    constexpr std::size_t kBlock = sizeof(platform::Block);
    if (text.size() < kBlock) {
        return std::ranges::all_of(
            text, [](char c) { return static_cast<unsigned char>(c) - 0x20U < 0x5FU; });
    }
    for (std::size_t i = 0; i + kBlock < text.size(); i += kBlock) {
        if (anyUnprintable(platform::loadBlock(text.data() + i))) {
            return false;
        }
    }
    return !anyUnprintable(platform::loadBlock(text.data() + text.size() - kBlock));
}

} // namespace

void subAppendPrintableLine(std::string_view pText, std::string& pLine) {
    if (isPrintableAscii(pText)) {
        pLine.append(pText);
        return;
    }
    constexpr std::string_view kReplacement = "\xEF\xBF\xBD";
    // Through UTF-16 and back, every byte that is not UTF-8 becomes U+FFFD.
    const bool utf8 = platform::isValidUtf8(pText);
    const std::string converted =
        utf8 ? std::string() : platform::utf16ToUtf8(platform::utf8ToUtf16(pText));
    const std::string_view text = utf8 ? pText : std::string_view(converted);
    // Runs of bytes that stay as they are are copied whole.
    std::size_t kept = 0;
    const auto replace = [&](std::size_t at, std::size_t length, std::string_view by) {
        pLine.append(text.substr(kept, at - kept)).append(by);
        kept = at + length;
    };
    for (std::size_t i = 0; i < text.size(); ++i) {
        // A block of printable ASCII, most of a line, stays as it is.
        while (i + sizeof(platform::Block) <= text.size() &&
               !anyUnprintable(platform::loadBlock(text.data() + i))) {
            i += sizeof(platform::Block);
        }
        if (i == text.size()) {
            break;
        }
        const auto byte = static_cast<unsigned char>(text[i]);
        if (byte == '\t' || byte == '\r' || byte == '\n') {
            replace(i, 1, " ");
        } else if (byte < 0x20 || byte == 0x7F) {
            replace(i, 1, kReplacement);
        } else if (byte == 0xC2 && i + 1 < text.size() &&
                   static_cast<unsigned char>(text[i + 1]) < 0xA0) {
            replace(i, 2, kReplacement); // U+0080 to U+009F, the C1 controls
            ++i;
        } else if (byte == 0xE2 && isBidiControl(text.substr(i + 1, 2))) {
            replace(i, 3, kReplacement);
            i += 2;
        }
    }
    pLine.append(text.substr(kept));
}

std::string fnPrintableLine(std::string_view pText) {
    std::string line;
    line.reserve(pText.size());
    subAppendPrintableLine(pText, line);
    return line;
}

} // namespace zaptrove
