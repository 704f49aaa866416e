// SPDX-License-Identifier: MIT
#pragma once

#include "search/scanning/byte_pairs.h"
#include "search/scanning/entry_encoding.h"
#include "search/scanning/folder_trail.h"

#include <cstddef>
#include <string_view>
#include <vector>

namespace zaptrove {

// The folders of a Netscape bookmark file around the place its scan has come
// to. A folder is an <H3> heading and the <DL> list after it; a list without a
// heading (the root's) names no folder. Only the headings and lists between
// the place it stood and the place asked for are looked at.
class NetscapeFolders {
  public:
    // A new piece of the file's text begins: the next place is in it.
    void startPiece() {
        tags_.restart();
        pieceStarts_ = true;
    }
    // Follows the headings and lists of pText before pTo; the folders around
    // pTo are then at hand.
    void advance(std::string_view pText, std::size_t pTo);
    FolderPath path() { return trail_.path(); }
    // After advance, the next place where the folders may change; npos when
    // none is left in pText.
    std::size_t nextChange(std::string_view pText) { return tags_.next(pText); }

  private:
    void readHeading(std::string_view text, std::size_t from);
    void openList();
    void closeList();

    FolderTrail trail_;
    // "<H3" starts a heading, "<DL" opens a list and "</DL" closes one.
    BytePairCursor tags_{{{'H', '3'}, {'D', 'L'}}};
    std::size_t listDepth_ = 0;
    // The list depth each folder opened at, for the outermost
    // FolderTrail::kMaxNamedDepth; deeper ones pair up with their lists.
    std::vector<std::size_t> openedAt_;
    // A heading's raw name is kept up to this many bytes; folders keep less.
    static constexpr std::size_t kMaxHeadingBytes = std::size_t{64} * 1024;
    // What of the last heading is still to be read when a piece ends.
    enum class Open { Nothing, Tag, Name };
    Open open_ = Open::Nothing;
    std::string raw_; // the heading's name as read so far
    bool rawCut_ = false;
    std::string pending_; // the last heading's name, until its list opens
    bool headingPending_ = false;
    bool renameWhenRead_ = false; // its list opened before its name was read
    bool pieceStarts_ = true;
    EntryEncoding encoding_;
};

} // namespace zaptrove
