// SPDX-License-Identifier: MIT
#pragma once

#include "search/records/bookmark.h"
#include "search/records/source_reading.h"

#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

namespace zaptrove {

class DebugLog;
class Matcher;

// The key a search will order its rows by. A record made from a row KeptRows
// keeps then gets the rank of its key among all the file's keys
// (Bookmark::Rank), so the ordering compares numbers instead of texts;
// the ranks are worked out once per file and key.
struct KeptRowOrder {
    bool byAddress = false;
    // Appends the key of a row's name or address text; null for no order.
    void (*appendKey)(std::string_view text, std::string& keys) = nullptr;
};

class KeptMatch;

// Every bookmark of the bookmark files read, kept between searches so that a
// search of a file that has not changed matches the rows kept instead of
// reading the file again; the window holds one, as search as you type runs a
// search for every key. Before every use the file's identity, size and time
// of last change are compared with those it had when read, and any change
// reads it again, as does a file that no longer opens. A file read whole only
// is kept, and only when it did not change while read nor so lately that a
// change could go unseen; a file that is not kept is read as ever. Searches
// on several threads may share it.
//
// The rows are kept compactly: each row's name and address in one text,
// a row's place in it and its folder path's index (16 bytes), and each folder
// path once per run of rows in one folder.
class KeptRows {
  public:
    // A file's reader, as a location's.
    using FileReader = SourceReading (*)(std::string_view, const Matcher&, std::vector<Bookmark>&,
                                         const DebugLog&);
    // How the file's reader keeps a bookmark, which matching the kept rows
    // repeats. Each reader matches it with its folder path; the Netscape and
    // Opera readers give that path only when the matcher follows folders, the
    // Chromium reader always gives it and counts every bookmark of the file,
    // matching or not.
    enum class Rule { WithFolders, Chromium };

    // A file bigger than this is read afresh for every search. The first
    // reading makes the compact rows as it goes, holding a batch of records
    // at a time, so the memory is the rows' (about half the bytes of a
    // Netscape file). The limit is the largest whose rows' 32-bit places
    // still reach every byte of the text: a byte outside ASCII read as
    // Windows-1252 becomes up to three, so 1 GiB of file is at most 3 GiB of
    // text.
    static constexpr std::uint64_t kMaxFileBytes = std::uint64_t{1} << 30;

    // Appends to pCandidates what pReader would append for pMatcher and
    // answers what it would answer, from the rows kept while the file at
    // pPath is as it was when they were read, or from a reading now; the
    // records made from kept rows ranked by pOrder. With pMatched, rows that
    // the file's kept rows answer go there instead, as row indexes, and
    // pCandidates stays as it was.
    SourceReading read(std::string_view pPath, FileReader pReader, Rule pRule,
                       const Matcher& pMatcher, std::vector<Bookmark>& pCandidates,
                       const DebugLog& pLog, KeptRowOrder pOrder = {},
                       KeptMatch* pMatched = nullptr);

    // The bytes the rows kept hold, for the benchmark and the tests.
    std::size_t bytesHeld() const;

  private:
    friend class KeptMatch;
    struct File;
    std::shared_ptr<const File> keptFor(std::string_view path) const;
    void keep(std::string_view path, std::shared_ptr<const File> file);

    mutable std::mutex lock_;
    std::map<std::string, std::shared_ptr<const File>, std::less<>> files_;
};

// The rows of one kept file a search keeps, as row indexes, each made into a
// record only when asked for: a list of most of a file's bookmarks shows a
// few of them. It holds the file's rows, so a reading of a changed file since
// leaves it as it was.
class KeptMatch {
  public:
    bool empty() const { return rows_.empty(); }
    std::size_t size() const { return rows_.size(); }
    // The rank of the record the row at pPlace makes (Bookmark::Rank); 0 for no order.
    std::uint32_t rank(std::size_t pPlace) const;
    // The record of the row at pPlace, as KeptRows::read would have appended it.
    Bookmark record(std::size_t pPlace) const;
    // Puts the row at pFrom[k] at place k for each k.
    void reorder(const std::vector<std::uint32_t>& pFrom);
    // Where the records come from (Bookmark::Source).
    SourceName source;

  private:
    friend class KeptRows;
    std::shared_ptr<const KeptRows::File> file_;
    std::shared_ptr<const std::vector<std::uint32_t>> ranks_; // null for no order
    bool givesFolder_ = false;
    std::vector<std::uint32_t> rows_;
};

} // namespace zaptrove
