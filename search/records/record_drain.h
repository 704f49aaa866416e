// SPDX-License-Identifier: MIT
#pragma once

#include "search/records/bookmark.h"

#include <cstddef>
#include <vector>

namespace zaptrove {

// Takes a reading's records off its reader in batches, so that a reading that
// keeps every bookmark of a big file (KeptRows) never holds them all as
// records at once. While one lives it is the drain of the thread that made
// it; a reader hands its records on after each piece it read (passOn), and
// where it would take back the records it appended, it drops those passed on
// too (dropAll). Without a drain both are what the reader did before: the
// records stay, or are erased.
class RecordDrain {
  public:
    RecordDrain();
    virtual ~RecordDrain();
    RecordDrain(const RecordDrain&) = delete;
    RecordDrain& operator=(const RecordDrain&) = delete;

    // Hands the records of pRecords from pFirst on to the thread's drain,
    // which erases those it takes; answers how many it took.
    static std::size_t passOn(std::vector<Bookmark>& pRecords, std::size_t pFirst);
    // Erases the records of pRecords from pFirst on, and drops those the
    // thread's drain took from this reading.
    static void dropAll(std::vector<Bookmark>& pRecords, std::size_t pFirst);

  protected:
    // Takes the records from pFirst on, in their order, erasing those taken;
    // answers how many.
    virtual std::size_t take(std::vector<Bookmark>& pRecords, std::size_t pFirst) = 0;
    // Forgets every record taken.
    virtual void drop() = 0;

  private:
    RecordDrain* outer_; // the thread's drain before this one
};

} // namespace zaptrove
