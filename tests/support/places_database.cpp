// SPDX-License-Identifier: MIT
#include "support/places_database.h"
#include "support/temp_folder.h"

#include "platform/files.h"

#include <sqlite3.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <thread>

namespace zaptrove::test {

PlacesDatabase::PlacesDatabase(const std::string& path) {
    if (sqlite3_open(path.c_str(), &database_) != SQLITE_OK)
        throw std::runtime_error("cannot create " + path);
    exec(readFile(ZAPTROVE_PLACES_SCHEMA));
}

PlacesDatabase::~PlacesDatabase() {
    sqlite3_close(database_);
}

void PlacesDatabase::exec(const std::string& sql) {
    char* error = nullptr;
    if (sqlite3_exec(database_, sql.c_str(), nullptr, nullptr, &error) != SQLITE_OK) {
        const std::string message = error ? error : "?";
        sqlite3_free(error);
        throw std::runtime_error(message + " in " + sql);
    }
}

HeldDatabase::HeldDatabase(const std::string& pDatabase, const std::string& pSql)
    : ready_(pDatabase + ".ready"), stop_(pDatabase + ".stop") {
    const std::string holder =
        platform::nativePath(platform::programFolder() + "/places_holder" + ZAPTROVE_EXE_SUFFIX);
    // In the background, holding none of the test's output streams.
#ifdef _WIN32
    const std::string start = "start \"\" /b \"" + holder + "\" ", end = " >NUL 2>&1";
#else
    const std::string start = "\"" + holder + "\" ", end = " >/dev/null 2>&1 &";
#endif
    std::system((start + "\"" + pDatabase + "\" \"" + ready_ + "\" \"" + stop_ + "\"" +
                 (pSql.empty() ? "" : " \"" + pSql + "\"") + end)
                    .c_str());
    for (int i = 0; i < 1000 && !held(); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
}

// Waits for the holder to let go, so that it sees its stop file before the
// test's folder goes, and does not hold on for its full minute.
HeldDatabase::~HeldDatabase() {
    std::ofstream stop(utf8Path(stop_));
    stop.close();
    for (int i = 0; i < 500 && held(); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
}

bool HeldDatabase::held() const {
    return std::filesystem::exists(utf8Path(ready_));
}

std::int64_t PlacesDatabase::add(std::int64_t parent, int type, std::optional<std::string> title,
                                 std::optional<std::string> url,
                                 std::optional<std::string> pageTitle) {
    sqlite3_stmt* statement = nullptr;
    std::int64_t place = 0;
    if (url) {
        sqlite3_prepare_v2(database_, "INSERT INTO moz_places (url, title) VALUES (?, ?)", -1,
                           &statement, nullptr);
        sqlite3_bind_text(statement, 1, url->c_str(), -1, SQLITE_TRANSIENT);
        if (pageTitle)
            sqlite3_bind_text(statement, 2, pageTitle->c_str(), -1, SQLITE_TRANSIENT);
        sqlite3_step(statement);
        sqlite3_finalize(statement);
        place = sqlite3_last_insert_rowid(database_);
    }
    sqlite3_prepare_v2(database_,
                       "INSERT INTO moz_bookmarks (type, fk, parent, position, title, guid) "
                       "VALUES (?, ?, ?, (SELECT count(*) FROM moz_bookmarks WHERE parent = ?3), "
                       "?, hex(randomblob(6)))",
                       -1, &statement, nullptr);
    sqlite3_bind_int(statement, 1, type);
    if (place != 0)
        sqlite3_bind_int64(statement, 2, place);
    sqlite3_bind_int64(statement, 3, parent);
    if (title)
        sqlite3_bind_text(statement, 4, title->c_str(), -1, SQLITE_TRANSIENT);
    if (sqlite3_step(statement) != SQLITE_DONE)
        throw std::runtime_error(sqlite3_errmsg(database_));
    sqlite3_finalize(statement);
    return sqlite3_last_insert_rowid(database_);
}

} // namespace zaptrove::test
