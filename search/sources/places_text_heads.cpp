// SPDX-License-Identifier: MIT
#include "search/sources/places_text_heads.h"

#include "search/scanning/json_events.h"

#include <sqlite3.h>

#include <algorithm>
#include <new>

namespace zaptrove {

void PlacesTextHeads::CloseBlob::operator()(sqlite3_blob* blob) const {
    sqlite3_blob_close(blob);
}

bool PlacesTextHeads::attach(sqlite3* pDatabase) {
    database_ = pDatabase;
    sqlite3_stmt* statement = nullptr;
    sqlite3_prepare_v2(pDatabase, "PRAGMA encoding", -1, &statement, nullptr);
    const std::string_view name =
        statement && sqlite3_step(statement) == SQLITE_ROW
            ? reinterpret_cast<const char*>(sqlite3_column_text(statement, 0))
            : "";
    encoding_ = name == "UTF-16le"   ? SQLITE_UTF16LE
                : name == "UTF-16be" ? SQLITE_UTF16BE
                                     : SQLITE_UTF8;
    sqlite3_finalize(statement);
    return sqlite3_create_function_v2(pDatabase, "zaptrove_head", 2,
                                      SQLITE_UTF8 | SQLITE_DIRECTONLY, this, head, nullptr, nullptr,
                                      nullptr) == SQLITE_OK;
}

std::string PlacesTextHeads::expression(PlacesText pColumn, std::string_view pAlias) {
    return "zaptrove_head(" + std::to_string(static_cast<int>(pColumn)) + ", " +
           std::string(pAlias) + ".id)";
}

// zaptrove_head(column, id): the first kMaxPlacesTextBytes of the column's
// value in the row of that id; NULL for none, or for an address longer than
// that. No exception may cross SQLite.
void PlacesTextHeads::head(sqlite3_context* context, int, sqlite3_value** values) {
    try {
        static_cast<PlacesTextHeads*>(sqlite3_user_data(context))->headOf(context, values);
    } catch (const std::bad_alloc&) {
        sqlite3_result_error_nomem(context);
    }
}

void PlacesTextHeads::headOf(sqlite3_context* context, sqlite3_value** values) {
    static constexpr const char* kTables[] = {"moz_places", "moz_bookmarks", "moz_places"};
    static constexpr const char* kColumns[] = {"url", "title", "title"};
    const int column = sqlite3_value_int(values[0]);
    if (column < 0 || column >= static_cast<int>(blobs_.size()) ||
        sqlite3_value_type(values[1]) != SQLITE_INTEGER) {
        return sqlite3_result_null(context);
    }
    const sqlite3_int64 id = sqlite3_value_int64(values[1]);
    auto& blob = blobs_[static_cast<std::size_t>(column)];
    sqlite3_blob* opened = blob.release();
    // A handle that failed to move to a row is of no more use.
    if (opened == nullptr || sqlite3_blob_reopen(opened, id) != SQLITE_OK) {
        sqlite3_blob_close(opened);
        opened = nullptr;
        sqlite3_blob_open(database_, "main", kTables[column], kColumns[column], id, 0, &opened);
    }
    blob.reset(opened);
    const int size = opened ? sqlite3_blob_bytes(opened) : 0;
    const bool cut = size > kMaxPlacesTextBytes;
    if (cut) {
        cut_.emplace(column, id);
    }
    if (opened == nullptr || (cut && column == static_cast<int>(PlacesText::PlaceUrl))) {
        return sqlite3_result_null(context);
    }
    part_.resize(static_cast<std::size_t>(std::min(size, kMaxPlacesTextBytes)));
    if (sqlite3_blob_read(opened, part_.data(), static_cast<int>(part_.size()), 0) != SQLITE_OK) {
        return sqlite3_result_null(context);
    }
    if (cut && encoding_ == SQLITE_UTF8) {
        json_detail::dropCutCharacter(part_);
    } else if (cut) {
        part_.resize(part_.size() & ~std::size_t{1}); // whole UTF-16 units
    }
    sqlite3_result_text64(context, part_.data(), part_.size(), SQLITE_TRANSIENT,
                          static_cast<unsigned char>(encoding_));
}

} // namespace zaptrove
