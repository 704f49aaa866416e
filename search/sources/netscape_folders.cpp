// SPDX-License-Identifier: MIT
#include "search/sources/netscape_folders.h"

#include "search/scanning/character_references.h"

namespace zaptrove {

namespace {

constexpr std::size_t npos = std::string_view::npos;

bool follows(std::string_view text, std::size_t at, std::string_view before) {
    return at >= before.size() && text.substr(at - before.size(), before.size()) == before;
}

} // namespace

void NetscapeFolders::advance(std::string_view pText, std::size_t pTo) {
    tags_.meetBefore(pText, pTo, [&](std::size_t at) {
        if (!follows(pText, at, "<")) {
            if (pText[at] == 'D' && follows(pText, at, "</")) {
                closeList();
            }
        } else if (pText[at] == 'H') {
            heading(pText, at);
        } else {
            openList();
        }
    });
}

// The heading's name runs from the end of its tag to the next tag.
void NetscapeFolders::heading(std::string_view text, std::size_t at) {
    const std::size_t tagEnd = text.find('>', at);
    const std::size_t nameStart = tagEnd == npos ? text.size() : tagEnd + 1;
    std::string_view name = text.substr(nameStart, text.find('<', nameStart) - nameStart);
    std::string_view none;
    encoding_.decode(name, none);
    if (name.find('&') == npos) {
        pending_.assign(name);
    } else {
        pending_ = fnDecodeCharacterReferences(name);
    }
    headingPending_ = true;
}

void NetscapeFolders::openList() {
    ++listDepth_;
    if (headingPending_) {
        headingPending_ = false;
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
