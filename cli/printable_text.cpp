// SPDX-License-Identifier: MIT
#include "cli/printable_text.h"

#include "platform/text.h"

namespace zaptrove {

std::string fnPrintableLine(std::string_view pText) {
    constexpr std::string_view kReplacement = "\xEF\xBF\xBD";
    // Through UTF-16 and back, every byte that is not UTF-8 becomes U+FFFD.
    const std::string text = platform::isValidUtf8(pText)
                                 ? std::string(pText)
                                 : platform::utf16ToUtf8(platform::utf8ToUtf16(pText));
    std::string line;
    line.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto byte = static_cast<unsigned char>(text[i]);
        if (byte == '\t' || byte == '\r' || byte == '\n') {
            line += ' ';
        } else if (byte < 0x20 || byte == 0x7F) {
            line += kReplacement;
        } else if (byte == 0xC2 && i + 1 < text.size() &&
                   static_cast<unsigned char>(text[i + 1]) < 0xA0) {
            line += kReplacement; // U+0080 to U+009F, the C1 controls
            ++i;
        } else {
            line += text[i];
        }
    }
    return line;
}

} // namespace zaptrove
