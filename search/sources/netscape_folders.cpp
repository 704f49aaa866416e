// SPDX-License-Identifier: MIT
#include "search/sources/netscape_folders.h"

#include "search/scanning/character_references.h"
#include "text/text.h"

namespace zaptrove {

namespace {

constexpr std::size_t npos = std::string_view::npos;

bool follows(std::string_view text, std::size_t at, std::string_view before) {
    return at >= before.size() && text.substr(at - before.size(), before.size()) == before;
}

} // namespace

void NetscapeFolders::advance(std::string_view pText, std::size_t pTo) {
    if (pieceStarts_) {
        pieceStarts_ = false;
        if (open_ != Open::Nothing) {
            readHeading(pText, 0);
        }
    }
    tags_.meetBefore(pText, pTo, [&](std::size_t at) {
        if (!follows(pText, at, "<")) {
            if (pText[at] == 'D' && follows(pText, at, "</")) {
                closeList();
            }
        } else if (pText[at] == 'H') {
            raw_.clear();
            rawCut_ = false;
            open_ = Open::Tag;
            renameWhenRead_ = false;
            readHeading(pText, at);
        } else {
            openList();
        }
    });
}

// The heading's name runs from the end of its tag to the next tag, which may
// come pieces later.
void NetscapeFolders::readHeading(std::string_view text, std::size_t from) {
    if (open_ == Open::Tag) {
        const std::size_t tagEnd = text.find('>', from);
        if (tagEnd == npos) {
            pending_.clear();
            headingPending_ = true;
            return;
        }
        open_ = Open::Name;
        from = tagEnd + 1;
    }
    const std::size_t nameEnd = text.find('<', from);
    if (!rawCut_) {
        const std::string_view part = text.substr(from, nameEnd - from);
        const std::size_t room = kMaxHeadingBytes - raw_.size();
        raw_.append(platform::cutBeforeCharacter(part, room));
        rawCut_ = part.size() > room;
    }
    if (nameEnd != npos) {
        open_ = Open::Nothing;
    }
    std::string_view name = raw_;
    std::string_view none;
    encoding_.decode(name, none);
    if (name.find('&') == npos) {
        pending_.assign(name);
    } else {
        pending_ = fnDecodeCharacterReferences(name);
    }
    if (renameWhenRead_) {
        trail_.rename(pending_);
    } else {
        headingPending_ = true;
    }
}

void NetscapeFolders::openList() {
    ++listDepth_;
    if (headingPending_) {
        headingPending_ = false;
        // A list opening inside a heading's tag takes the name read after it.
        renameWhenRead_ = open_ != Open::Nothing;
        trail_.enter(pending_);
        if (openedAt_.size() < FolderTrail::kMaxNamedDepth) {
            openedAt_.push_back(listDepth_);
        }
    }
}

void NetscapeFolders::closeList() {
    const std::size_t depth = trail_.depth();
    const bool closesFolder =
        depth > 0 && (depth > openedAt_.size() || openedAt_[depth - 1] == listDepth_);
    if (closesFolder) {
        if (depth == openedAt_.size()) {
            openedAt_.pop_back();
        }
        trail_.leave();
    }
    listDepth_ -= listDepth_ > 0 ? 1 : 0;
}

} // namespace zaptrove
