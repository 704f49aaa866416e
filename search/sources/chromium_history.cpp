// SPDX-License-Identifier: MIT
#include "search/sources/chromium_history.h"

#include "search/sources/places_database.h"
#include "search/sources/places_snapshot.h"
#include "search/sources/places_text_heads.h"

#include <algorithm>
#include <bit>
#include <functional>
#include <iterator>
#include <string_view>
#include <vector>

namespace zaptrove {

namespace {

// Chromium counts time in microseconds since 1601.
constexpr std::int64_t kSecondsFrom1601To1970 = 11'644'473'600;

// What a visit weighs by its age, as Firefox's frecency weighs its recent
// visits, so that both browsers' pages compare.
std::int64_t visitWeight(std::int64_t ageSeconds) {
    constexpr std::int64_t kDay = std::int64_t{24} * 60 * 60;
    static constexpr std::pair<std::int64_t, std::int64_t> kBuckets[] = {
        {4 * kDay, 100}, {14 * kDay, 70}, {31 * kDay, 50}, {90 * kDay, 30}};
    for (const auto& [within, weight] : kBuckets) {
        if (ageSeconds <= within) {
            return weight;
        }
    }
    return 10;
}

// More visits than anyone makes are counted as this many, so that their use
// is a number.
constexpr std::int64_t kMostVisits = std::int64_t{1} << 40;

// The reading may take this many units of 1000 virtual machine steps for each
// row looked up and each page in History's urls table, many times what a lookup through
// Chromium's index on urls.url or a scan takes: a crafted database without
// the index ends the reading instead of scanning the table for every row.
constexpr int kStepsPerWork = 1000;
constexpr std::int64_t kWorkPerLookup = 20;
constexpr std::int64_t kWorkPerPage = 1;
// A lookup costs about as much as scanning this many pages of the table:
// with more rows than that allows, one scan is cheaper.
constexpr std::int64_t kPagesPerLookup = 8;

int spendWork(void* workLeft) {
    return --*static_cast<std::int64_t*>(workLeft) < 0 ? 1 : 0;
}

class VisitsQuery {
  public:
    VisitsQuery(sqlite3* database, std::int64_t now) : database_(database), now_(now) {}

    // Gives each row its use; answers why History could not be read.
    std::string run(std::span<const HashedRow> rows) {
        // A view named urls, defined recursively, could make a lookup run without end.
        const Statement check =
            prepare("SELECT count(*) FROM sqlite_schema WHERE type = 'table' AND name = 'urls' "
                    "AND sql NOT LIKE 'CREATE VIRTUAL%'");
        if (!check || sqlite3_step(check.get()) != SQLITE_ROW) {
            return sqlite3_errmsg(database_);
        }
        if (sqlite3_column_int(check.get(), 0) != 1) {
            return "holds no history";
        }
        const Statement last = prepare("SELECT max(rowid) FROM urls");
        const std::int64_t pages =
            last && sqlite3_step(last.get()) == SQLITE_ROW
                ? std::max<std::int64_t>(sqlite3_column_int64(last.get(), 0), 0)
                : 0;
        // SQLite loads a value whole: a huge address would cost its size.
        sqlite3_limit(database_, SQLITE_LIMIT_LENGTH, kMaxPlacesTextBytes);
        const auto lookups = static_cast<std::int64_t>(rows.size());
        workLeft_ = kWorkPerLookup * (lookups + 1) +
                    kWorkPerPage * std::min(pages, lookups * kPagesPerLookup);
        sqlite3_progress_handler(database_, kStepsPerWork, spendWork, &workLeft_);
        const bool read = lookups * kPagesPerLookup < pages ? lookUp(rows) : scan(rows);
        if (!read) {
            return workLeft_ < 0 ? "more work than a history of its size needs"
                                 : sqlite3_errmsg(database_);
        }
        return {};
    }

  private:
    Statement prepare(const char* sql) const {
        sqlite3_stmt* prepared = nullptr;
        sqlite3_prepare_v2(database_, sql, -1, &prepared, nullptr);
        return Statement(prepared);
    }

    // The use the visit count and last visit time in the row's columns
    // first and first + 1 make.
    std::int64_t useOf(sqlite3_stmt* row, int first) const {
        const std::int64_t visits =
            std::clamp<std::int64_t>(sqlite3_column_int64(row, first), 0, kMostVisits);
        const std::int64_t lastVisit =
            sqlite3_column_int64(row, first + 1) / 1'000'000 - kSecondsFrom1601To1970;
        return visits * visitWeight(std::max<std::int64_t>(now_ - lastVisit, 0));
    }

    // Looks each row up through the index, in its order, so that each of its
    // pages is read once rather than once for every row on it.
    bool lookUp(std::span<const HashedRow> rows) const {
        const Statement lookup =
            prepare("SELECT visit_count, last_visit_time FROM urls WHERE url = ?");
        if (!lookup) {
            return false;
        }
        std::vector<Bookmark*> byAddress;
        byAddress.reserve(rows.size());
        std::ranges::transform(rows, std::back_inserter(byAddress), &HashedRow::row);
        std::ranges::sort(byAddress, {}, &Bookmark::URL);
        for (Bookmark* row : byAddress) {
            sqlite3_reset(lookup.get());
            sqlite3_bind_text(lookup.get(), 1, row->URL.data(), static_cast<int>(row->URL.size()),
                              SQLITE_STATIC);
            const int step = sqlite3_step(lookup.get());
            if (step == SQLITE_ROW) {
                row->Frecency = useOf(lookup.get(), 0);
            } else if (step != SQLITE_DONE) {
                return false;
            }
        }
        return true;
    }

    // Reads the whole table once, giving its use to every row of the same
    // address. The rows wait in an open-addressing table of their addresses
    // and hashes, twice their number; beside it a bit for each of eight times
    // as many hashes tells most pages, held by no row, to go on without
    // fetching a slot from the far larger table.
    bool scan(std::span<const HashedRow> rows) const {
        std::size_t size = 2;
        while (size < 2 * rows.size()) {
            size *= 2;
        }
        const std::size_t mask = size - 1;
        struct Slot {
            std::size_t hash = 0;
            std::string_view address;
            Bookmark* row = nullptr;
        };
        std::vector<Slot> slots(size);
        std::vector<bool> held(8 * size);
        // Its bit comes from other bits of the hash than its slot.
        const auto heldBit = [&](std::size_t hash) { return std::rotr(hash, 17) & (8 * size - 1); };
        // Where a row's address is the first row's, and which that is.
        const auto slotOf = [&](std::string_view address, std::size_t hash) {
            std::size_t at = hash & mask;
            while (slots[at].row != nullptr &&
                   (slots[at].hash != hash || slots[at].address != address)) {
                at = (at + 1) & mask;
            }
            return at;
        };
        // Later rows of one address take the first one's use at the end.
        std::vector<std::pair<Bookmark*, const Bookmark*>> copies;
        for (const HashedRow& hashed : rows) {
            Slot& slot = slots[slotOf(hashed.row->URL, hashed.addressHash)];
            if (slot.row != nullptr) {
                copies.emplace_back(hashed.row, slot.row);
            } else {
                slot = {hashed.addressHash, hashed.row->URL, hashed.row};
                held[heldBit(hashed.addressHash)] = true;
            }
        }
        const Statement pages = prepare("SELECT url, visit_count, last_visit_time FROM urls");
        if (!pages) {
            return false;
        }
        int step = SQLITE_ROW;
        while ((step = sqlite3_step(pages.get())) == SQLITE_ROW) {
            // Its length as SQLite keeps it, rather than looked for.
            const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(pages.get(), 0));
            const std::string_view address(
                text, text == nullptr
                          ? 0
                          : static_cast<std::size_t>(sqlite3_column_bytes(pages.get(), 0)));
            const std::size_t hash = fnAddressHash(address);
            if (!held[heldBit(hash)]) {
                continue;
            }
            if (Bookmark* row = slots[slotOf(address, hash)].row) {
                row->Frecency = useOf(pages.get(), 1);
            }
        }
        for (const auto& [copy, first] : copies) {
            copy->Frecency = first->Frecency;
        }
        return step == SQLITE_DONE;
    }

    sqlite3* database_;
    std::int64_t now_;
    std::int64_t workLeft_ = 0;
};

} // namespace

std::string fnReadChromiumVisits(const std::string& pHistory, std::span<const HashedRow> pRows,
                                 std::int64_t pNow) {
    std::vector<Bookmark> none; // the visits go into pRows, not into a list of records
    const SourceReading reading = fnReadUnchangedPlaces(pHistory, none, [&](bool withLog) {
        for (const HashedRow& hashed : pRows) {
            hashed.row->Frecency = 0;
        }
        std::string problem;
        const Database database = fnOpenBrowserDatabase(pHistory, withLog, problem);
        if (database) {
            problem = VisitsQuery(database.get(), pNow).run(pRows);
        }
        if (!problem.empty()) {
            for (const HashedRow& hashed : pRows) {
                hashed.row->Frecency = 0;
            }
        }
        return SourceReading{0, problem};
    });
    return reading.Problem;
}

} // namespace zaptrove
