// SPDX-License-Identifier: MIT
#include "search/sources/chromium_history.h"

#include "search/sources/places_database.h"
#include "search/sources/places_snapshot.h"
#include "search/sources/places_text_heads.h"

#include <algorithm>
#include <array>
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

// An address as SQLite holds it, its length as SQLite keeps it rather than
// looked for; empty for none.
std::string_view textOf(const unsigned char* text, int bytes) {
    return text == nullptr ? std::string_view()
                           : std::string_view(reinterpret_cast<const char*>(text),
                                              static_cast<std::size_t>(bytes));
}

// The rows whose use is read, found by address: an open-addressing table of
// their addresses and hashes, twice their number; beside it a bit for each
// of eight times as many hashes tells most addresses, held by no row, apart
// without fetching a slot from the far larger table.
class RowTable {
  public:
    explicit RowTable(std::span<const HashedRow> rows) {
        std::size_t size = 2;
        while (size < 2 * rows.size()) {
            size *= 2;
        }
        mask_ = size - 1;
        slots_.resize(size);
        held_.resize(8 * size);
        // The slots are written in no order: the one a few rows ahead is
        // fetched early, its place known from the hash alone.
        constexpr std::size_t kAhead = 8;
        for (std::size_t i = 0; i < rows.size(); ++i) {
            if (i + kAhead < rows.size()) {
                __builtin_prefetch(&slots_[rows[i + kAhead].addressHash & mask_], 1);
            }
            const HashedRow& hashed = rows[i];
            Slot& slot = slots_[slotOf(hashed.row->URL, hashed.addressHash, hashed.addressHash)];
            if (slot.row != nullptr) {
                copies_.emplace_back(hashed.row, slot.row);
            } else {
                slot = {hashed.addressHash, hashed.row->URL, hashed.row};
                held_[heldBit(hashed.addressHash)] = true;
            }
        }
    }

    // zaptrove_held(address): whether a row may hold the address, the few
    // that pass by chance sorted out later. The address that may be held is
    // kept for give(), which has its page's use: SQLite returns a page only
    // after asking of its address, and asks of no other address in between.
    static void held(sqlite3_context* context, int, sqlite3_value** values) {
        auto* table = static_cast<RowTable*>(sqlite3_user_data(context));
        const std::string_view address =
            textOf(sqlite3_value_text(values[0]), sqlite3_value_bytes(values[0]));
        const std::size_t hash = fnAddressHash(address);
        const bool mayBeHeld = table->held_[table->heldBit(hash)];
        if (mayBeHeld) {
            table->ask(address, hash);
        }
        sqlite3_result_int(context, mayBeHeld ? 1 : 0);
    }

    // Gives pUse to the address last found maybe held.
    void give(std::int64_t pUse) { askedAt(askedCount_ - 1).use = pUse; }

    // Ends the giving: the last uses given are settled, and the later rows
    // of each address take the first one's use.
    void finish() {
        if (askedCount_ >= 2) {
            settle(askedAt(askedCount_ - 2));
        }
        if (askedCount_ >= 1) {
            locate(askedAt(askedCount_ - 1));
            settle(askedAt(askedCount_ - 1));
        }
        for (const auto& [copy, first] : copies_) {
            copy->Frecency = first->Frecency;
        }
    }

  private:
    struct Slot {
        std::size_t hash = 0;
        std::string_view address;
        Bookmark* row = nullptr;
    };

    // An address found maybe held, the use given it, and where its row
    // likely is once located.
    struct Asked {
        bool located = false;
        std::size_t hash = 0;
        std::size_t slot = 0;
        std::string address;
        std::int64_t use = 0;
    };

    // Its bit comes from other bits of the hash than its slot.
    std::size_t heldBit(std::size_t hash) const { return std::rotr(hash, 17) & (8 * mask_ + 7); }

    // Where the row of an address is, or would go, looked for from slot
    // from & mask_ on.
    std::size_t slotOf(std::string_view address, std::size_t hash, std::size_t from) const {
        std::size_t at = from & mask_;
        while (slots_[at].row != nullptr &&
               (slots_[at].hash != hash || slots_[at].address != address)) {
            at = (at + 1) & mask_;
        }
        return at;
    }

    // The slot of the first row whose address has the hash, without
    // comparing addresses; an empty one when no row's has it.
    std::size_t firstOfHash(std::size_t hash) const {
        std::size_t at = hash & mask_;
        while (slots_[at].row != nullptr && slots_[at].hash != hash) {
            at = (at + 1) & mask_;
        }
        return at;
    }

    // Each address found maybe held goes through three steps, one at each of
    // the next addresses found, so that what a step needs from memory is
    // fetched while SQLite reads on: its slot is fetched when it is found, its
    // row located and the row's address fetched at the next, the addresses
    // compared and the use settled at the one after.
    void ask(std::string_view address, std::size_t hash) {
        if (askedCount_ >= 2) {
            settle(askedAt(askedCount_ - 2));
        }
        if (askedCount_ >= 1) {
            locate(askedAt(askedCount_ - 1));
        }
        __builtin_prefetch(&slots_[hash & mask_]);
        Asked& next = askedAt(askedCount_++);
        next.hash = hash;
        next.address.assign(address);
    }

    Asked& askedAt(std::size_t index) { return asked_[index % asked_.size()]; }

    void locate(Asked& entry) {
        entry.slot = firstOfHash(entry.hash);
        const Slot& slot = slots_[entry.slot];
        entry.located = slot.row != nullptr;
        if (entry.located) {
            __builtin_prefetch(slot.address.data());
            __builtin_prefetch(&slot.row->Frecency, 1);
        }
    }

    void settle(Asked& entry) {
        if (entry.located) {
            const std::size_t at = slotOf(entry.address, entry.hash, entry.slot);
            if (slots_[at].row != nullptr) {
                slots_[at].row->Frecency = entry.use;
            }
        }
    }

    std::vector<Slot> slots_;
    std::vector<bool> held_;
    std::size_t mask_ = 0;
    // Later rows of one address, with the first one's, whose use they take.
    std::vector<std::pair<Bookmark*, const Bookmark*>> copies_;
    // The last three addresses found maybe held, and how many were found.
    std::array<Asked, 3> asked_;
    std::size_t askedCount_ = 0;
};

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
    // pages is read once rather than once for every row on it. An address
    // History holds twice takes its last row's use, as in a scan.
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
        // One read transaction for every lookup, not one begun and ended
        // for each.
        if (sqlite3_exec(database_, "BEGIN", nullptr, nullptr, nullptr) != SQLITE_OK) {
            return false;
        }
        for (Bookmark* row : byAddress) {
            sqlite3_reset(lookup.get());
            sqlite3_bind_text(lookup.get(), 1, row->URL.data(), static_cast<int>(row->URL.size()),
                              SQLITE_STATIC);
            int step = SQLITE_ROW;
            while ((step = sqlite3_step(lookup.get())) == SQLITE_ROW) {
                row->Frecency = useOf(lookup.get(), 0);
            }
            if (step != SQLITE_DONE) {
                return false;
            }
        }
        return true;
    }

    // Reads the whole table once, giving its use to every row of the same
    // address. SQLite asks zaptrove_held() of each page's address, so that
    // the many pages held by no row never come back as rows.
    bool scan(std::span<const HashedRow> rows) const {
        RowTable table(rows);
        if (sqlite3_create_function_v2(database_, "zaptrove_held", 1,
                                       SQLITE_UTF8 | SQLITE_DIRECTONLY, &table, RowTable::held,
                                       nullptr, nullptr, nullptr) != SQLITE_OK) {
            return false;
        }
        const Statement pages = prepare("SELECT visit_count, last_visit_time FROM urls "
                                        "WHERE zaptrove_held(url)");
        if (!pages) {
            return false;
        }
        int step = SQLITE_ROW;
        while ((step = sqlite3_step(pages.get())) == SQLITE_ROW) {
            table.give(useOf(pages.get(), 0));
        }
        table.finish();
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
