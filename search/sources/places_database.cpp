// SPDX-License-Identifier: MIT
#include "search/sources/places_database.h"

#include "platform/files.h"
#include "platform/separators.h"
#include "search/sources/places_text_heads.h"
#include "search/sources/places_vfs.h"
#include "text/percent_encoding.h"

#include <algorithm>
#include <mutex>

namespace zaptrove {

namespace {

// A path in an SQLite URI: "/" separators, and every byte that could be read as
// URI syntax escaped (on Linux a "\" of a name too).
std::string uriEscaped(std::string_view path) {
    std::string slashed(path);
    std::replace_if(slashed.begin(), slashed.end(), platform::isSeparator, '/');
    return platform::percentEncoded(slashed, "/._-~:");
}

// A path as an SQLite "file:" URI, with a leading "/" before a drive letter.
std::string fileUri(std::string_view path) {
    return (path.size() >= 2 && path[1] == ':' ? "file:/" : "file:") + uriEscaped(path);
}

// SQLite 3.40 loads a value kept on overflow pages at the length its record
// claims before it finds those pages missing, so a crafted file of a few
// kilobytes could make it allocate gigabytes. Reading a browser's database
// never needs a block this large (a value is limited to kMaxPlacesTextBytes,
// the sorter to about 2 MB): a larger one fails, and SQLite says "out of memory".
constexpr int kLargestAllocation = 3 << 20;
static_assert(kLargestAllocation > kMaxPlacesTextBytes + (512 << 10));

sqlite3_mem_methods& systemAllocator() {
    static sqlite3_mem_methods methods{};
    return methods;
}

void* cappedMalloc(int bytes) {
    return bytes > kLargestAllocation ? nullptr : systemAllocator().xMalloc(bytes);
}

void* cappedRealloc(void* block, int bytes) {
    return bytes > kLargestAllocation ? nullptr : systemAllocator().xRealloc(block, bytes);
}

// Puts the cap in place once, before SQLite's first use in this process (it
// takes its allocator only then; later it keeps its own).
void capAllocations() {
    static std::once_flag once;
    std::call_once(once, [] {
        sqlite3_mem_methods methods{};
        if (sqlite3_config(SQLITE_CONFIG_GETMALLOC, &methods) == SQLITE_OK) {
            systemAllocator() = methods;
            methods.xMalloc = cappedMalloc;
            methods.xRealloc = cappedRealloc;
            sqlite3_config(SQLITE_CONFIG_MALLOC, &methods);
        }
    });
}

} // namespace

Database fnOpenBrowserDatabase(const std::string& pPath, bool pWithLog, std::string& pProblem) {
    capAllocations();
    std::string uri = fileUri(platform::nativePath(pPath));
    const char* vfs = nullptr;
    if (pWithLog) {
        vfs = fnReadInPlaceVfs();
    } else {
        // Nothing is read from a log: the file alone is the whole database,
        // read without locks, side files or waiting.
        uri += "?immutable=1";
    }
    sqlite3* opened = nullptr;
    // One thread uses the connection: no lock around every call.
    const int status = sqlite3_open_v2(
        uri.c_str(), &opened, SQLITE_OPEN_READONLY | SQLITE_OPEN_URI | SQLITE_OPEN_NOMUTEX, vfs);
    Database database(opened);
    if (status != SQLITE_OK) {
        pProblem = opened ? sqlite3_errmsg(opened) : sqlite3_errstr(status);
        return nullptr;
    }
    // The log's index lives in this process's memory, not in a file beside
    // the browser's; and closing never folds the log into the database.
    sqlite3_db_config(opened, SQLITE_DBCONFIG_NO_CKPT_ON_CLOSE, 1, nullptr);
    if (pWithLog && sqlite3_exec(opened, "PRAGMA locking_mode = EXCLUSIVE", nullptr, nullptr,
                                 nullptr) != SQLITE_OK) {
        pProblem = sqlite3_errmsg(opened);
        return nullptr;
    }
    return database;
}

std::optional<std::string_view> columnText(sqlite3_stmt* pStatement, int pColumn) {
    const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(pStatement, pColumn));
    if (text == nullptr) {
        return std::nullopt;
    }
    return std::string_view(text);
}

} // namespace zaptrove
