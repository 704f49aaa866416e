// SPDX-License-Identifier: MIT
#pragma once

#include "search/scanning/json_events.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <set>
#include <string>
#include <string_view>
#include <utility>

struct sqlite3;
struct sqlite3_blob;
struct sqlite3_context;
struct sqlite3_value;

namespace zaptrove {

// The longest text kept of one value of a places database: the bound the
// Chromium reader keeps of a string. A longer title is cut where a character
// ends; a longer address is no address a browser takes, and reads as none.
inline constexpr int kMaxPlacesTextBytes = static_cast<int>(kMaxJsonStringBytes);

// The text columns a places query reads, as zaptrove_head numbers them.
enum class PlacesText { PlaceUrl, BookmarkTitle, PlaceTitle };

// The first kMaxPlacesTextBytes of each text value, read in place: SQLite
// loads a value whole, so a query that met a longer one reads its texts
// through zaptrove_head(column, id) instead, at most that much each.
class PlacesTextHeads {
  public:
    // Adds zaptrove_head to the connection, which must outlive this; false
    // when it cannot.
    bool attach(sqlite3* pDatabase);
    // The SQL that reads a text column of the table behind pAlias.
    static std::string expression(PlacesText pColumn, std::string_view pAlias);
    // How many values were cut or, for an address, left out.
    std::size_t cutTexts() const { return cut_.size(); }

  private:
    struct CloseBlob {
        void operator()(sqlite3_blob* blob) const;
    };
    static void head(sqlite3_context* context, int, sqlite3_value** values);
    void headOf(sqlite3_context* context, sqlite3_value** values);

    sqlite3* database_ = nullptr;
    int encoding_ = 0; // the database's, in which the parts are read
    // A handle on each column, kept from one row to the next.
    std::array<std::unique_ptr<sqlite3_blob, CloseBlob>, 3> blobs_;
    std::string part_;
    std::set<std::pair<int, std::int64_t>> cut_; // by column and row
};

} // namespace zaptrove
