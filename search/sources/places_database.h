// SPDX-License-Identifier: MIT
#pragma once

#include <sqlite3.h>

#include <memory>
#include <optional>
#include <string>
#include <string_view>

// A browser's SQLite database opened for reading where it lies, never locked
// and never written: Firefox's places.sqlite and the Chromium family's History.
namespace zaptrove {

struct CloseDatabase {
    void operator()(sqlite3* database) const { sqlite3_close(database); }
};
using Database = std::unique_ptr<sqlite3, CloseDatabase>;

struct FinalizeStatement {
    void operator()(sqlite3_stmt* statement) const { sqlite3_finalize(statement); }
};
using Statement = std::unique_ptr<sqlite3_stmt, FinalizeStatement>;

// Opens the database at pPath read-only, with its write-ahead log read in place
// when pWithLog (through fnReadInPlaceVfs, the log's index kept in this
// process's memory), else as an immutable file (no locks, no side files).
// Null, with pProblem saying why, when it cannot be opened.
Database fnOpenBrowserDatabase(const std::string& pPath, bool pWithLog, std::string& pProblem);

// A text column, up to its first NUL byte (SQLite ends every text it gives
// with one: the length is not asked for separately); nothing for NULL.
std::optional<std::string_view> columnText(sqlite3_stmt* pStatement, int pColumn);

} // namespace zaptrove
