// SPDX-License-Identifier: MIT
#include "search/sources/chromium_history.h"

#include "search/sources/places_database.h"
#include "search/sources/places_snapshot.h"

#include <algorithm>
#include <vector>

namespace zaptrove {

namespace {

// Chromium counts time in microseconds since 1601.
constexpr std::int64_t kSecondsFrom1601To1970 = 11'644'473'600;

// What a visit weighs by its age, as Firefox's frecency weighs its recent
// visits, so that both browsers' pages compare.
std::int64_t visitWeight(std::int64_t ageSeconds) {
    constexpr std::int64_t kDay = 24 * 60 * 60;
    static constexpr std::pair<std::int64_t, std::int64_t> kBuckets[] = {
        {4 * kDay, 100}, {14 * kDay, 70}, {31 * kDay, 50}, {90 * kDay, 30}};
    for (const auto& [within, weight] : kBuckets) {
        if (ageSeconds <= within) {
            return weight;
        }
    }
    return 10;
}

// Lookups may take this many units of 1000 virtual machine steps each, many
// times what one through Chromium's index on urls.url takes: a crafted
// database without it ends the reading instead of scanning the table for
// every row.
constexpr int kStepsPerWork = 1000;
constexpr std::int64_t kWorkPerLookup = 20;

int spendWork(void* workLeft) {
    return --*static_cast<std::int64_t*>(workLeft) < 0 ? 1 : 0;
}

std::string readVisits(sqlite3* database, std::span<Bookmark* const> rows, std::int64_t now) {
    const auto prepare = [&](const char* sql) {
        sqlite3_stmt* prepared = nullptr;
        sqlite3_prepare_v2(database, sql, -1, &prepared, nullptr);
        return Statement(prepared);
    };
    // A view named urls, defined recursively, could make a lookup run without end.
    const Statement check =
        prepare("SELECT count(*) FROM sqlite_schema WHERE type = 'table' AND name = 'urls' "
                "AND sql NOT LIKE 'CREATE VIRTUAL%'");
    if (!check || sqlite3_step(check.get()) != SQLITE_ROW) {
        return sqlite3_errmsg(database);
    }
    if (sqlite3_column_int(check.get(), 0) != 1) {
        return "holds no history";
    }
    const Statement lookup = prepare("SELECT visit_count, last_visit_time FROM urls WHERE url = ?");
    if (!lookup) {
        return sqlite3_errmsg(database);
    }
    std::int64_t workLeft = kWorkPerLookup * static_cast<std::int64_t>(rows.size() + 1);
    sqlite3_progress_handler(database, kStepsPerWork, spendWork, &workLeft);
    for (Bookmark* row : rows) {
        sqlite3_reset(lookup.get());
        sqlite3_bind_text(lookup.get(), 1, row->URL.data(), static_cast<int>(row->URL.size()),
                          SQLITE_STATIC);
        const int step = sqlite3_step(lookup.get());
        if (step == SQLITE_ROW) {
            const std::int64_t visits =
                std::max<std::int64_t>(sqlite3_column_int64(lookup.get(), 0), 0);
            const std::int64_t lastVisit =
                sqlite3_column_int64(lookup.get(), 1) / 1'000'000 - kSecondsFrom1601To1970;
            row->Frecency = visits * visitWeight(std::max<std::int64_t>(now - lastVisit, 0));
        } else if (step != SQLITE_DONE) {
            return workLeft < 0 ? "more work than a history of its size needs"
                                : sqlite3_errmsg(database);
        }
    }
    return {};
}

} // namespace

std::string fnReadChromiumVisits(const std::string& pHistory, std::span<Bookmark* const> pRows,
                                 std::int64_t pNow) {
    std::vector<Bookmark> none; // the visits go into pRows, not into a list of records
    const SourceReading reading = fnReadUnchangedPlaces(pHistory, none, [&](bool withLog) {
        for (Bookmark* row : pRows) {
            row->Frecency = 0;
        }
        std::string problem;
        const Database database = fnOpenBrowserDatabase(pHistory, withLog, problem);
        if (database) {
            problem = readVisits(database.get(), pRows, pNow);
        }
        if (!problem.empty()) {
            for (Bookmark* row : pRows) {
                row->Frecency = 0;
            }
        }
        return SourceReading{0, problem};
    });
    return reading.Problem;
}

} // namespace zaptrove
