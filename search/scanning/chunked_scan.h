// SPDX-License-Identifier: MIT
#pragma once

#include "search/records/bookmark.h"
#include "search/records/source_reading.h"
#include "search/scanning/block_skipping.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string_view>
#include <vector>

namespace zaptrove {

class DebugLog;

namespace platform {
class FileMapping;
class FileReader;
} // namespace platform

// The bytes read at a time. The buffer holds one chunk and the entry the
// previous one cut, and serves the whole run.
inline constexpr std::size_t kFileChunkBytes = std::size_t{64} * 1024;
// The bytes of a file mapped at a time, where it is taken in place: its
// chunks are scanned in there, without a copy.
inline constexpr std::size_t kMappedPartBytes = std::size_t{4} * 1024 * 1024;

// The records a reader appends while it takes a file in place from its mapped
// pages (see platform::FileMapping): they go on to the thread's RecordDrain
// only once the file is found unchanged, every byte read before then being
// the file's.
class VouchedRecords {
  public:
    VouchedRecords(const platform::FileMapping& pMapping, std::vector<Bookmark>& pRecords);

    // Passes on the records appended since the last call, once the file is
    // found unchanged; false, passing on nothing, when it changed.
    bool vouch();
    // How many were appended, those passed on included.
    std::size_t kept() const;
    // Drops every record appended, those passed on included.
    void dropAll();

  private:
    const platform::FileMapping& mapping_;
    std::vector<Bookmark>& records_;
    const std::size_t first_;
    std::size_t vouched_; // the records before this were found unchanged
    std::size_t passedOn_ = 0;
};

// A mapped file's text a part at a time, for a reader that asks for its text
// as it goes (JSON) instead of being handed pieces: each part lasts until the
// next call, and the records appended while reading one are vouched for
// before the next is mapped. Empty text at the end of the file, and where the
// file changed or its next part could not be mapped (failed()).
class InPlaceParts {
  public:
    InPlaceParts(platform::FileMapping& pMapping, VouchedRecords& pRecords,
                 std::size_t pPartBytes = kMappedPartBytes);

    std::string_view next();
    // The next part starts at pOffset.
    void skipTo(std::uint64_t pOffset) { at_ = pOffset; }
    bool failed() const { return failed_; }

  private:
    platform::FileMapping& mapping_;
    VouchedRecords& records_;
    const std::size_t partBytes_;
    std::uint64_t at_ = 0; // where the next part starts
    bool failed_ = false;
};

// Scans the pieces of one reading of a file in order, with the state it keeps
// from piece to piece.
using PieceScan = std::function<void(std::string_view)>;
// Makes a fresh PieceScan for a reading from the file's start: a reading of
// its mapped pages that is dropped starts again, reading the file.
using NewPieceScan = std::function<PieceScan()>;

// Runs a scan pNewScan makes over the whole text of an open bookmark file, in
// pieces, taking it pChunkBytes at a time. Each piece ends where a sure block
// start (see BlockRule) begins the next, or at the end of the file, so an
// entry cut by a chunk boundary is carried over whole, and scanning the pieces
// one after the other finds what scanning the whole text would.
//
// A file that did not change lately is taken in place from its mapped pages
// (see platform::FileMapping) where the system maps it, a part mapped at a
// time instead of a chunk; a piece's records go
// on only once the file is found unchanged, and a file that changed under the
// scan has all of them dropped and is read again from its start with a fresh
// scan. Other files are read through one buffer, which grows only for an
// entry longer than a chunk.
//
// A file that starts with a UTF-16 byte-order mark is turned into UTF-8 on the
// way. A file that cannot be read to its end adds nothing (pFile tells why).
// The records the scan appends are handed on to the thread's RecordDrain after
// each piece; answers how many were appended, those handed on included.
// pTextsCut, when given, is set to the names and addresses cut on the way
// (see BlockRule::longText), whether the scan reached them or not.
std::size_t subScanFileInChunks(platform::FileReader& pFile, const BlockRule& pRule,
                                std::vector<Bookmark>& pCandidates, const NewPieceScan& pNewScan,
                                std::size_t pChunkBytes, std::size_t* pTextsCut = nullptr);

// Opens the bookmark file at pPath and reads it as subScanFileInChunks does,
// between the log lines of a file of its kind ("Netscape", "Opera"): the
// parsing lines only when the file could be opened. Answers the bookmarks kept
// and why the file could not be read, or was read only in part: pTextsCut
// holds the names and addresses the scans counted as cut once the reading ends.
SourceReading fnReadFileInChunks(std::string_view pPath, std::string_view pKind,
                                 const BlockRule& pRule, std::vector<Bookmark>& pCandidates,
                                 const NewPieceScan& pNewScan, const std::size_t& pTextsCut,
                                 const DebugLog& pLog, std::size_t pChunkBytes);

} // namespace zaptrove
