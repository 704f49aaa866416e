// SPDX-License-Identifier: MIT
// Plays a browser holding its places.sqlite: opens it with an exclusive lock,
// adds a bookmark that stays in the write-ahead log (or runs the SQL given
// fourth: another browser's database), writes the file named second, and
// holds on until the file named third appears (a minute at most), when it
// removes the file named second.
// Usage: places_holder DATABASE READY STOP [SQL]

#include <sqlite3.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <thread>

int main(int argc, char** argv) {
    if (argc != 4 && argc != 5)
        return 2;
    sqlite3* database = nullptr;
    const char* const changes =
        argc == 5 ? argv[4]
                  : "INSERT INTO moz_places (url, title) VALUES ('https://held.example/', NULL);"
                    "INSERT INTO moz_bookmarks (type, fk, parent, position, title, guid) VALUES "
                    "(1, last_insert_rowid(), 5, 99, 'Held in the log', 'heldheldheld');";
    const char* const hold = "PRAGMA locking_mode = EXCLUSIVE; PRAGMA wal_autocheckpoint = 0;";
    if (sqlite3_open(argv[1], &database) != SQLITE_OK ||
        sqlite3_exec(database, hold, nullptr, nullptr, nullptr) != SQLITE_OK ||
        sqlite3_exec(database, changes, nullptr, nullptr, nullptr) != SQLITE_OK) {
        return 1;
    }
    if (FILE* ready = std::fopen(argv[2], "w"))
        std::fclose(ready);
    const auto until = std::chrono::steady_clock::now() + std::chrono::minutes(1);
    while (!std::filesystem::exists(argv[3]) && std::chrono::steady_clock::now() < until)
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    std::error_code ignored;
    std::filesystem::remove(argv[2], ignored);
    // Ends without closing, so nothing is checkpointed.
    std::_Exit(0);
}
