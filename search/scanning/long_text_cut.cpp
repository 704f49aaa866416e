// SPDX-License-Identifier: MIT
#include "search/scanning/long_text_cut.h"

#include "text/text.h"

#include <algorithm>
#include <cstring>

namespace zaptrove {

namespace {

bool continuesCharacter(char byte) {
    return (static_cast<unsigned char>(byte) & 0xC0U) == 0x80U;
}

// The bytes at the end of kept text that begin a UTF-8 character without
// ending it; kept holds at least four bytes.
std::size_t unfinishedCharacter(const char* end) {
    for (std::size_t back = 1; back <= 4; ++back) {
        const auto byte = static_cast<unsigned char>(*(end - back));
        if ((byte & 0xC0U) != 0x80U) {
            const std::size_t length = byte >= 0xF0U   ? 4
                                       : byte >= 0xE0U ? 3
                                       : byte >= 0xC0U ? 2
                                                       : 1;
            return length > back ? back : 0;
        }
    }
    return 0;
}

} // namespace

std::string_view fnCutEntryText(std::string_view pRaw, std::string_view pDecoded,
                                std::size_t& pCut) {
    if (pRaw.size() <= kMaxEntryTextBytes && pDecoded.size() <= kMaxEntryTextBytes) {
        return pDecoded;
    }
    ++pCut;
    return platform::cutBeforeCharacter(pDecoded, kMaxEntryTextBytes);
}

std::string fnCutTextsProblem(std::size_t pCut) {
    return std::to_string(pCut) + (pCut == 1 ? " name or address" : " names or addresses") +
           " cut at " + std::to_string(kMaxEntryTextBytes >> 20) + " MiB";
}

LongTextCut::LongTextCut(std::string_view pMarker, const LongTextRule& pRule)
    : marker_(pMarker), rule_(pRule), fallback_(pMarker.size(), 0), step_(pRule.ends.size()) {
    for (std::size_t at = 1, length = 0; at < marker_.size(); ++at) {
        while (length > 0 && marker_[at] != marker_[length]) {
            length = fallback_[length - 1];
        }
        length += marker_[at] == marker_[length] ? 1 : 0;
        fallback_[at] = length;
    }
}

bool LongTextCut::markerEnds(char byte) {
    while (matched_ > 0 && byte != marker_[matched_]) {
        matched_ = fallback_[matched_ - 1];
    }
    matched_ += byte == marker_[matched_] ? 1 : 0;
    if (matched_ < marker_.size()) {
        return false;
    }
    matched_ = fallback_[matched_ - 1];
    return true;
}

char* LongTextCut::append(std::string_view pText, char* pOut) {
    for (std::size_t at = 0; at < pText.size();) {
        if (const std::size_t plain = plainBytes(pText, at); plain > 0) {
            pOut = passPlain(pText.substr(at, plain), pOut);
            at += plain;
        } else {
            pOut = step(pText[at++], pOut);
        }
    }
    return pOut;
}

std::size_t LongTextCut::plainBytes(std::string_view text, std::size_t at) const {
    if (skip_ > 0) {
        return 0;
    }
    const char end = step_ < rule_.ends.size() ? rule_.ends[step_] : rule_.endOutside;
    std::size_t stop = std::min(text.find(end, at), text.size());
    // The bytes before a marker's last one are looked at one by one.
    std::size_t lead = 0;
    if (rule_.markerStartsEntry) {
        stop = std::min(stop, text.find(marker_.back(), at));
        lead = marker_.size() - 1;
    }
    return stop > at + lead ? stop - lead - at : 0;
}

char* LongTextCut::passPlain(std::string_view plain, char* out) {
    const std::size_t keep =
        run_ < kKeptRunBytes ? std::min(plain.size(), kKeptRunBytes - run_) : 0;
    out = std::copy_n(plain.data(), keep, out);
    if (keep < plain.size() && run_ + keep == kKeptRunBytes && continuesCharacter(plain[keep])) {
        out -= unfinishedCharacter(out);
    }
    run_ += plain.size();
    matched_ = 0;
    return out;
}

char* LongTextCut::step(char byte, char* out) {
    const bool kept = run_ < kKeptRunBytes;
    if (kept) {
        *out++ = byte;
    } else if (run_ == kKeptRunBytes && continuesCharacter(byte)) {
        out -= unfinishedCharacter(out);
    }
    ++run_;
    if (rule_.markerStartsEntry && markerEnds(byte)) {
        if (!kept) {
            // The marker's bytes dropped with the run's.
            const std::size_t dropped = std::min(marker_.size(), run_ - kKeptRunBytes);
            const std::string_view tail = marker_.substr(marker_.size() - dropped);
            out = std::copy(tail.begin(), tail.end(), out);
        }
        endRun(run_ - std::min(run_, marker_.size()));
        step_ = 0;
        skip_ = rule_.skipAfterMarker;
    } else if (skip_ > 0) {
        --skip_;
        run_ = 0;
    } else if (byte == (step_ < rule_.ends.size() ? rule_.ends[step_] : rule_.endOutside)) {
        if (!kept) {
            *out++ = byte;
        }
        endRun(run_ - 1);
        step_ += step_ < rule_.ends.size() ? 1 : 0;
    }
    return out;
}

void LongTextCut::endRun(std::size_t length) {
    if (length > kKeptRunBytes && (rule_.textRuns >> std::min<std::size_t>(step_, 31) & 1U) != 0) {
        ++textsCut_;
    }
    run_ = 0;
}

} // namespace zaptrove
