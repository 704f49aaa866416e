// SPDX-License-Identifier: MIT
#include "search/sources/firefox_reader.h"

#include "platform/files.h"
#include "platform/separators.h"
#include "search/matching/matcher.h"
#include "search/records/name_with_tags.h"
#include "search/scanning/folder_match.h"
#include "search/scanning/folder_trail.h"
#include "search/scanning/json_events.h"
#include "search/scanning/two_halves.h"
#include "search/sources/places_database.h"
#include "search/sources/places_snapshot.h"
#include "search/sources/places_text_heads.h"
#include "search/sources/places_vfs.h"
#include "text/text.h"

#include <sqlite3.h>

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <new>
#include <optional>
#include <string>
#include <thread>
#include <tuple>
#include <unordered_map>
#include <unordered_set>
#include <utility>

namespace zaptrove {

namespace {

// A row of moz_bookmarks that is a folder, or a bookmark that matched.
struct PlacesNode {
    std::int64_t id = 0;
    std::int64_t parent = 0;
    std::int64_t position = 0;
    // The index of its record among this reading's records, when it is a
    // bookmark (and matched); -1 for a folder, or an entry with no address (a "place:"
    // query), which the walk enters as a folder.
    std::int32_t match = -1;
    std::int32_t title = -1; // index of a folder's name among the folder names
};

// Each folder's entries together, by position; an object rather than a
// function, so that the sorts and merges inline it.
constexpr auto inTreeOrder = [](const PlacesNode& a, const PlacesNode& b) {
    return std::tie(a.parent, a.position, a.id) < std::tie(b.parent, b.position, b.id);
};

// The names Firefox shows for the folders it makes itself, by their guid; every
// other folder shows its title.
std::string_view shownFolderName(std::string_view guid, std::string_view title) {
    static constexpr std::pair<std::string_view, std::string_view> kBuiltIn[] = {
        {"menu________", "Bookmarks Menu"},
        {"toolbar_____", "Bookmarks Toolbar"},
        {"unfiled_____", "Other Bookmarks"},
        {"mobile______", "Mobile Bookmarks"},
    };
    for (const auto& [builtIn, shown] : kBuiltIn) {
        if (guid == builtIn) {
            return shown;
        }
    }
    return title;
}

// A text value, as columnText.
std::optional<std::string_view> valueText(sqlite3_value* value) {
    const auto* text = reinterpret_cast<const char*>(sqlite3_value_text(value));
    if (text == nullptr) {
        return std::nullopt;
    }
    return std::string_view(text);
}

// What a row of type bookmark gives: its address, none for an entry that is
// no bookmark (a "place:" query, or no page at all), and its name.
struct BookmarkText {
    std::optional<std::string_view> url;
    std::string_view name;
    bool untitled = false; // named by its page's title
};

// text(0), text(1) and text(2) are the address, the title and the page's title.
template <typename Text> BookmarkText bookmarkText(Text text) {
    BookmarkText got{text(0), {}};
    if (!got.url || got.url->starts_with("place:")) {
        return {};
    }
    // An untitled bookmark takes its page's title.
    got.name = text(1).value_or("");
    if (got.name.empty()) {
        got.untitled = true;
        got.name = text(2).value_or("");
    }
    return got;
}

class PlacesQuery {
  public:
    PlacesQuery(sqlite3* database, const Matcher& matcher, std::vector<Bookmark>& candidates,
                KeywordLookup* keyword)
        : database_(database), matcher_(matcher), candidates_(candidates), keyword_(keyword) {}

    // Reads every bookmark and folder, then walks the tree from its root.
    SourceReading run() {
        if (std::optional<SourceReading> failed = readRows()) {
            return *std::move(failed);
        }
        return walked();
    }

    // Reads only the rows of moz_bookmarks whose rowids are up to
    // pMiddle, or only those above it (with pAbove), as one half of a
    // reading in two. True when every row asked for was read, its texts
    // whole, and the tree has its root.
    bool readHalf(std::int64_t pMiddle, bool pAbove) {
        half_ = pAbove ? RowHalf::Above : RowHalf::UpTo;
        middle_ = pMiddle;
        if (readRows() || heads_) {
            return false;
        }
        // Each half sorts its own nodes on its own thread: only a merge is
        // left for after both.
        std::sort(nodes_.begin(), nodes_.end(), inTreeOrder);
        return true;
    }

    // Takes in the rows the other half read, which come after this half's
    // in the table, as if one reading had read both in turn.
    void takeLaterHalf(PlacesQuery&& later) {
        const auto records = static_cast<std::int32_t>(records_.size() * kRecordsPerBlock);
        const auto names = static_cast<std::int32_t>(folderNames_.size());
        for (PlacesNode& node : later.nodes_) {
            node.match += node.match < 0 ? 0 : records;
            node.title += node.title < 0 ? 0 : names;
        }
        std::vector<PlacesNode> merged(nodes_.size() + later.nodes_.size());
        std::merge(nodes_.begin(), nodes_.end(), later.nodes_.begin(), later.nodes_.end(),
                   merged.begin(), inTreeOrder);
        nodes_ = std::move(merged);
        records_.insert(records_.end(), std::make_move_iterator(later.records_.begin()),
                        std::make_move_iterator(later.records_.end()));
        folderNames_.insert(folderNames_.end(), std::make_move_iterator(later.folderNames_.begin()),
                            std::make_move_iterator(later.folderNames_.end()));
        for (const auto& [folder, count] : later.bookmarksIn_) {
            bookmarksIn_[folder] += count;
        }
    }

    // Looks for the keyword and walks the tree of what the rows read gave.
    SourceReading walked() {
        if (keyword_ != nullptr && !keyword_->found) {
            findKeyword();
        }
        SourceReading reading{walkTree(root_, tags_), {}};
        if (heads_ && heads_->cutTexts() > 0) {
            const std::size_t cut = heads_->cutTexts();
            reading.Problem = std::to_string(cut) +
                              (cut == 1 ? " title or address" : " titles or addresses") +
                              " cut at " + std::to_string(kMaxPlacesTextBytes >> 20) + " MiB";
        }
        return reading;
    }

    // The rowid that splits moz_bookmarks in two halves, when the table
    // holds enough rows for reading them on two connections at once to pay.
    // Nothing when it is no real table, when it keeps no rowids or a column
    // of its own takes that name (a row could then fall in neither half), or
    // when they cannot be read.
    std::optional<std::int64_t> middleRow() const {
        if (holdsRealTables() != true) {
            return std::nullopt;
        }
        // Each bound alone, as SQLite finds it at an end of the table.
        const Statement bounds = prepare("SELECT (SELECT min(rowid) FROM moz_bookmarks), "
                                         "(SELECT max(rowid) FROM moz_bookmarks), "
                                         "(SELECT count(*) FROM pragma_table_info('moz_bookmarks') "
                                         "WHERE lower(name) = 'rowid')");
        if (!bounds || sqlite3_step(bounds.get()) != SQLITE_ROW ||
            sqlite3_column_type(bounds.get(), 0) != SQLITE_INTEGER ||
            sqlite3_column_int(bounds.get(), 2) != 0) {
            return std::nullopt;
        }
        const std::int64_t first = sqlite3_column_int64(bounds.get(), 0);
        const std::int64_t last = sqlite3_column_int64(bounds.get(), 1);
        const std::int64_t half = last / 2 - first / 2;
        if (half < kRowsInHalves / 2) {
            return std::nullopt;
        }
        // A tenth of the first half goes to the later one: the first half's
        // thread still has the tree's walk and the output ahead of it.
        return first + half - half / 10;
    }

  private:
    // Reads the tags, the folders and the rows of moz_bookmarks; nothing
    // when it could, else the reading's answer.
    std::optional<SourceReading> readRows() {
        const std::optional<bool> realTables = holdsRealTables();
        if (!realTables) {
            return SourceReading{0, sqlite3_errmsg(database_)};
        }
        if (!*realTables) {
            return SourceReading{0, "holds no bookmark tree"};
        }
        limitWork();
        // The queries read each page once, or pass through a table's few
        // inner pages on every lookup: a page cache of 320 KiB holds those
        // (ten of Firefox's 32 KiB pages, where the lookups keep six in use),
        // with fewer fresh pages for the system to map.
        sqlite3_exec(database_, "PRAGMA cache_size = -320", nullptr, nullptr, nullptr);
        // SQLite loads a value whole: one longer than kMaxPlacesTextBytes
        // stops the reading, which is then made again with every text read in
        // part.
        sqlite3_limit(database_, SQLITE_LIMIT_LENGTH, kMaxPlacesTextBytes);
        bool read = attachKept() && findRoots() && readTags() && readFolders() && readNodes();
        if (!read && sqlite3_errcode(database_) == SQLITE_TOOBIG && readInPart()) {
            read = readTags() && readFolders() && readNodes();
        }
        if (!read || root_ == 0) {
            records_.clear();
        }
        if (!read) {
            if (workLeft_ < 0) {
                return SourceReading{0, "more work than a database of its size needs"};
            }
            return SourceReading{0, sqlite3_errmsg(database_)};
        }
        if (root_ == 0) {
            return SourceReading{0, "holds no bookmark tree"};
        }
        return std::nullopt;
    }

    Statement prepare(const char* sql) const {
        sqlite3_stmt* statement = nullptr;
        sqlite3_prepare_v2(database_, sql, -1, &statement, nullptr);
        return Statement(statement);
    }

    // The two tables are read only when they are tables: a view of the same
    // name, defined recursively, could make the query run without end.
    // Nothing when the schema cannot be read.
    std::optional<bool> holdsRealTables() const {
        const std::optional<int> count = realTables("'moz_bookmarks', 'moz_places'");
        return count ? std::optional(*count == 2) : std::nullopt;
    }

    // A text column of the table behind alias, as the queries read it: the
    // value, or after a value too long to load, zaptrove_head's part of it.
    std::string text(PlacesText column, std::string_view alias) const {
        if (heads_) {
            return PlacesTextHeads::expression(column, alias);
        }
        return std::string(alias) + (column == PlacesText::PlaceUrl ? ".url" : ".title");
    }

    // A bookmark's address, title and page title, for bookmarkText.
    std::string bookmarkTexts() const {
        return text(PlacesText::PlaceUrl, "p") + ", " + text(PlacesText::BookmarkTitle, "b") +
               ", " + text(PlacesText::PlaceTitle, "p");
    }

    // Makes the queries read every text through zaptrove_head, and forgets
    // what the stopped reading found.
    bool readInPart() {
        heads_ = std::make_unique<PlacesTextHeads>();
        tagsOf_.clear();
        marked_.clear();
        tagFolders_.clear();
        nodes_.clear();
        records_.clear();
        folderNames_.clear();
        folders_.clear();
        bookmarksIn_.clear();
        lastFolderCount_ = nullptr;
        return heads_->attach(database_);
    }

    // How many of the tables named (an SQL list) are real tables. Neither has
    // Firefox computed columns, nor defaults for its texts: a value SQLite
    // computes for every row, or a long default that every short row shares,
    // would let a small file give gigabytes of names.
    std::optional<int> realTables(std::string_view names) const {
        const Statement tables = prepare(
            ("SELECT count(*) FROM sqlite_schema s WHERE type = 'table' AND name IN (" +
             std::string(names) +
             ") AND sql NOT LIKE 'CREATE VIRTUAL%' AND NOT EXISTS (SELECT 1 FROM "
             "pragma_table_xinfo(s.name) WHERE hidden IN (2, 3) OR (dflt_value IS NOT NULL AND "
             "lower(name) IN ('url', 'title', 'keyword', 'post_data')))")
                .c_str());
        if (!tables || sqlite3_step(tables.get()) != SQLITE_ROW) {
            return std::nullopt;
        }
        return sqlite3_column_int(tables.get(), 0);
    }

    // The bookmark of the keyword looked for: named by its title, else its
    // page's, else the keyword; the walk gives it its folder. A database
    // without keywords, or whose keywords cannot be read, has none.
    void findKeyword() {
        if (realTables("'moz_keywords'") != 1) {
            return;
        }
        const Statement rows =
            prepare(("SELECT k.keyword, k.post_data, b.parent, " + bookmarkTexts() +
                     " FROM moz_keywords k JOIN moz_places p ON p.id = k.place_id LEFT JOIN "
                     "moz_bookmarks b ON b.fk = p.id AND b.type = 1 AND typeof(b.title) = 'text'")
                        .c_str());
        std::string lowered;
        while (rows && sqlite3_step(rows.get()) == SQLITE_ROW) {
            sqlite3_stmt* row = rows.get();
            const std::string_view keyword = columnText(row, 0).value_or("");
            platform::lowerCaseInto(keyword, lowered);
            const BookmarkText text =
                bookmarkText([&](int column) { return columnText(row, column + 3); });
            if (lowered != keyword_->keyword || !text.url) {
                continue;
            }
            if (sqlite3_column_type(row, 2) == SQLITE_INTEGER) {
                keywordFolder_ = sqlite3_column_int64(row, 2);
            }
            keyword_->found = Bookmark{std::string(text.name.empty() ? keyword : text.name),
                                       std::string(*text.url)};
            keyword_->found->UnsentPostData = !columnText(row, 1).value_or("").empty();
            return;
        }
    }

    // A budget of virtual machine steps in proportion to the database's size,
    // several times what reading real tables of that size takes: whatever else
    // a crafted file holds, the reading ends.
    void limitWork() {
        const Statement size = prepare(
            "SELECT page_count * page_size / 1024 FROM pragma_page_count(), pragma_page_size()");
        const std::int64_t kibibytes = size && sqlite3_step(size.get()) == SQLITE_ROW
                                           ? sqlite3_column_int64(size.get(), 0)
                                           : 0;
        workLeft_ = kWorkPerKibibyte * kibibytes + kWorkAtLeast;
        sqlite3_progress_handler(database_, kStepsPerWork, spendWork, this);
    }

    static int spendWork(void* query) {
        return --static_cast<PlacesQuery*>(query)->workLeft_ < 0 ? 1 : 0;
    }

    // Hands each row of the statement to eachRow; false when it was not
    // prepared or its stepping ended in an error.
    template <typename EachRow> static bool forEachRow(const Statement& rows, EachRow eachRow) {
        if (!rows) {
            return false;
        }
        int step = SQLITE_ROW;
        while ((step = sqlite3_step(rows.get())) == SQLITE_ROW) {
            eachRow(rows.get());
        }
        return step == SQLITE_DONE;
    }

    bool findRoots() {
        return forEachRow(prepare("SELECT id, guid FROM moz_bookmarks WHERE guid IN "
                                  "('root________', 'tags________')"),
                          [&](sqlite3_stmt* row) {
                              const std::int64_t id = sqlite3_column_int64(row, 0);
                              (columnText(row, 1) == "root________" ? root_ : tags_) = id;
                          });
    }

    // The tags of each place: a tag is a folder in the tags root, holding a
    // bookmark that points at each place it tags.
    bool readTags() {
        if (tags_ == 0) {
            return true;
        }
        // Sorted here: SQLite's sorting would copy every name once more.
        const Statement rows = prepare(("SELECT t.fk, " + text(PlacesText::BookmarkTitle, "tag") +
                                        ", tag.id"
                                        " FROM moz_bookmarks tag "
                                        "JOIN moz_bookmarks t ON t.parent = tag.id "
                                        "WHERE tag.parent = ? AND tag.type = 2 AND t.type = 1 "
                                        "AND t.fk IS NOT NULL")
                                           .c_str());
        if (rows) {
            sqlite3_bind_int64(rows.get(), 1, tags_);
        }
        const bool read = forEachRow(rows, [&](sqlite3_stmt* row) {
            tagFolders_.insert(sqlite3_column_int64(row, 2));
            const std::optional<std::string_view> tag = columnText(row, 1);
            if (tag && !tag->empty()) {
                addTag(sqlite3_column_int64(row, 0), *tag);
            }
        });
        for (auto& [place, names] : tagsOf_) {
            std::sort(names->begin(), names->end());
        }
        return read;
    }

    // Keeps a place's tag, as a folder's name is kept: each tag cut at
    // kMaxTagBytes, at most kMaxTags of them, so that what a search compares
    // for each of the place's bookmarks stays bounded.
    void addTag(std::int64_t place, std::string_view tag) {
        std::shared_ptr<std::vector<std::string>>& tags = tagsOf_[place];
        if (!tags) {
            tags = std::make_shared<std::vector<std::string>>();
        }
        if (tags->size() == kMaxTags) {
            return;
        }
        tags->emplace_back(tag.substr(0, kMaxTagBytes));
        if (tag.size() > kMaxTagBytes) {
            json_detail::dropCutCharacter(tags->back());
        }
        if (place >= 0 && place < kMarkedPlaces) {
            marked_.resize(std::max(marked_.size(), static_cast<std::size_t>(place) + 1));
            marked_[static_cast<std::size_t>(place)] = true;
        }
    }

    // A place's tags; null for none.
    const std::vector<std::string>* tagsOf(std::int64_t place) const {
        // Most places have no tags, which their bit tells faster than the map.
        const bool unmarked = place >= 0 && place < kMarkedPlaces &&
                              (static_cast<std::size_t>(place) >= marked_.size() ||
                               !marked_[static_cast<std::size_t>(place)]);
        const auto found = tagsOf_.empty() || unmarked ? tagsOf_.end() : tagsOf_.find(place);
        return found == tagsOf_.end() ? nullptr : found->second.get();
    }

    // With folder names searched, every folder's parent and name, read before
    // the bookmarks so that each is matched with its folder path and only the
    // matches wait for the walk.
    bool readFolders() {
        if (!matcher_.searchesFolders()) {
            return true;
        }
        const Statement rows =
            prepare(("SELECT b.id, b.parent, b.guid, " + text(PlacesText::BookmarkTitle, "b") +
                     " FROM moz_bookmarks b WHERE b.type = 2")
                        .c_str());
        return forEachRow(rows, [&](sqlite3_stmt* row) {
            FolderEntry& entry = folders_[sqlite3_column_int64(row, 0)];
            entry.parent = sqlite3_column_int64(row, 1);
            entry.name = platform::cutBeforeCharacter(
                shownFolderName(columnText(row, 2).value_or(""), columnText(row, 3).value_or("")),
                FolderTrail::kMaxNameBytes);
        });
    }

    // A folder's path from the root as the walk names it: the first
    // FolderTrail::kMaxNamedDepth levels. Each folder's is made once, after
    // those around it. A folder that never leads to the root (a loop, a lost
    // parent) gets one too, though the walk never reaches its bookmarks.
    FolderPath folderPathOf(std::int64_t folder) {
        std::vector<std::int64_t> unmade;
        for (std::int64_t id = folder; id != root_;) {
            FolderEntry& entry = folders_[id];
            if (entry.made || entry.visited) {
                break;
            }
            entry.visited = true;
            unmade.push_back(id);
            id = entry.parent;
        }
        for (auto id = unmade.rbegin(); id != unmade.rend(); ++id) {
            FolderEntry& entry = folders_[*id];
            const FolderEntry* parent = entry.parent == root_ ? nullptr : &folders_[entry.parent];
            entry.depth = parent == nullptr ? 1 : parent->depth + 1;
            entry.node = entry.depth <= FolderTrail::kMaxNamedDepth
                             ? std::make_shared<const FolderNode>(FolderNode{
                                   entry.name, parent == nullptr ? nullptr : parent->node})
                             : parent->node;
            entry.made = true;
        }
        return folder == root_ ? FolderPath() : FolderPath(folders_[folder].node);
    }

    // Adds zaptrove_kept to the connection, once: a reading made again in part
    // keeps zaptrove_head's blob handles open, and SQLite refuses to replace a
    // function while any is.
    bool attachKept() {
        return sqlite3_create_function_v2(database_, "zaptrove_kept", 5,
                                          SQLITE_UTF8 | SQLITE_DIRECTONLY, this, kept, nullptr,
                                          nullptr, nullptr) == SQLITE_OK;
    }

    // Bookmarks are matched inside SQLite's scan, by kept(): only folders and
    // the bookmarks that match come back as rows, to wait for the walk; the
    // others are only counted in their folder.
    bool readNodes() {
        // The titles are taken as they lie: an SQL function choosing between
        // them would copy the one it gives back for every row. The page's
        // title is read only for the rows kept. The type is tested by
        // zaptrove_kept too: a test of SQL's own, spelled "b.type = 2 OR ...",
        // costs more than the call. The place, the page's row id, only
        // serves to find tags, and is not read when no place has any.
        const std::string placeId = tagsOf_.empty() ? "NULL" : "p.id";
        const Statement rows = prepare(
            ("SELECT b.type, b.parent, " + bookmarkTexts() + ", b.id, b.position, b.guid, " +
             placeId +
             ", p.frecency "
             "FROM moz_bookmarks b LEFT JOIN moz_places p ON p.id = b.fk WHERE " +
             rowsOfHalf() + "zaptrove_kept(b.type, b.parent, " + text(PlacesText::PlaceUrl, "p") +
             ", " + text(PlacesText::BookmarkTitle, "b") + ", " + placeId + ")")
                .c_str());
        if (rows && half_ != RowHalf::All) {
            sqlite3_bind_int64(rows.get(), 1, middle_);
        }
        return forEachRow(rows, [&](sqlite3_stmt* row) {
            const std::int64_t parent = sqlite3_column_int64(row, 1);
            PlacesNode node;
            if (sqlite3_column_int(row, 0) == 1) {
                const BookmarkText text =
                    bookmarkText([&](int column) { return columnText(row, column + 2); });
                const std::int64_t place = sqlite3_column_int64(row, 8);
                // An untitled bookmark was kept unmatched, for its page's title.
                if (text.url && text.untitled && !matchesBookmark(parent, text, place)) {
                    ++bookmarksIn_[parent];
                    return;
                }
                if (text.url) {
                    if (records_.empty() || records_.back().size() == kRecordsPerBlock) {
                        records_.emplace_back().reserve(kRecordsPerBlock);
                    }
                    std::vector<Bookmark>& block = records_.back();
                    node.match = static_cast<std::int32_t>(
                        (records_.size() - 1) * kRecordsPerBlock + block.size());
                    block.push_back({std::string(text.name), std::string(*text.url)});
                    Bookmark& record = block.back();
                    const auto tagged = tagsOf_.find(place);
                    if (tagged != tagsOf_.end()) {
                        record.extras.edit().tags = tagged->second;
                    }
                    record.Frecency = sqlite3_column_int64(row, 9);
                }
            } else {
                node.title = static_cast<std::int32_t>(folderNames_.size());
                folderNames_.emplace_back(shownFolderName(columnText(row, 7).value_or(""),
                                                          columnText(row, 3).value_or("")));
            }
            node.id = sqlite3_column_int64(row, 5);
            node.parent = parent;
            node.position = sqlite3_column_int64(row, 6);
            nodes_.push_back(node);
        });
    }

    // The test of a row's rowid that keeps a half's rows, ?1 the middle.
    std::string rowsOfHalf() const {
        switch (half_) {
        case RowHalf::UpTo:
            return "b.rowid <= ?1 AND ";
        case RowHalf::Above:
            return "b.rowid > ?1 AND ";
        case RowHalf::All:
            break;
        }
        return "";
    }

    // zaptrove_kept(type, parent, url, title, place): true for a folder,
    // false for an entry that is neither folder nor bookmark, and false for a
    // bookmark that does not match by its name and tags or address, which is
    // counted in its folder instead. An untitled bookmark is kept: it is named
    // by its page's title, which only the rows kept read, and matched as its
    // row comes back.
    // No exception may cross SQLite: running out of memory ends the query.
    static void kept(sqlite3_context* context, int, sqlite3_value** values) {
        try {
            sqlite3_result_int(
                context, static_cast<PlacesQuery*>(sqlite3_user_data(context))->keeps(values));
        } catch (const std::bad_alloc&) {
            sqlite3_result_error_nomem(context);
        }
    }

    bool keeps(sqlite3_value** values) {
        if (sqlite3_value_type(values[0]) != SQLITE_INTEGER) {
            return false;
        }
        if (const std::int64_t type = sqlite3_value_int64(values[0]); type != 1) {
            return type == 2;
        }
        // Bookmarks mostly come folder by folder: what the last folder is
        // is kept at hand.
        const std::int64_t parent = sqlite3_value_int64(values[1]);
        if (lastFolderCount_ == nullptr || lastFolder_ != parent) {
            lastFolder_ = parent;
            lastFolderCount_ = &bookmarksIn_[parent];
            inTagFolder_ = tagFolders_.contains(parent);
        }
        if (inTagFolder_) {
            return false; // an entry of a tag, which the walk leaves out
        }
        const BookmarkText text = bookmarkText(
            [&](int value) { return value < 2 ? valueText(values[value + 2]) : std::nullopt; });
        if (!text.url || text.name.empty() ||
            matchesBookmark(parent, text, tagsOf_.empty() ? 0 : sqlite3_value_int64(values[4]))) {
            return true;
        }
        ++*lastFolderCount_;
        return false;
    }

    // Whether a bookmark with an address matches by its name and its place's
    // tags, its address, or its folder's path.
    bool matchesBookmark(std::int64_t parent, const BookmarkText& text, std::int64_t place) {
        return inFolder_.matches(
            matcher_, fnNameWithTags(text.name, tagsOf(place), tagged_), *text.url,
            [&] { return folderPathOf(parent); }, scratch_);
    }

    Bookmark& record(std::size_t match) {
        return records_[match / kRecordsPerBlock][match % kRecordsPerBlock];
    }

    // Depth first from the root, each folder's entries by position, leaving
    // out the tags subtree; moves the records of the matches it met into the
    // candidates in that order, dropping the others, and answers how many
    // bookmarks it met. Each entry is met at most once, whatever loops a
    // damaged tree holds.
    std::size_t walkTree(std::int64_t root, std::int64_t tags) {
        if (!std::is_sorted(nodes_.begin(), nodes_.end(), inTreeOrder)) {
            std::sort(nodes_.begin(), nodes_.end(), inTreeOrder);
        }
        std::vector<std::size_t> order; // the records met, in the order met
        std::vector<bool> met(nodes_.size());
        std::vector<std::pair<std::size_t, std::size_t>> open{childrenOf(root)};
        FolderTrail trail; // the folders of the ranges open below the root's
        std::size_t count = bookmarksInFolder(root);
        while (!open.empty()) {
            auto& [next, end] = open.back();
            if (next == end) {
                open.pop_back();
                trail.leave();
                continue;
            }
            const std::size_t at = next++;
            const PlacesNode& node = nodes_[at];
            if (met[at] || node.id == tags || node.id == root) {
                continue;
            }
            met[at] = true;
            if (node.match < 0) {
                count += bookmarksInFolder(node.id);
                open.push_back(childrenOf(node.id));
                // A view either way: a string of "" and the name would copy the name.
                trail.enter(node.title < 0 ? std::string_view()
                                           : folderNames_[static_cast<std::size_t>(node.title)]);
                if (keywordFolder_ == node.id) {
                    keyword_->found->Folder = trail.path();
                }
                continue;
            }
            ++count;
            order.push_back(static_cast<std::size_t>(node.match));
            record(order.back()).Folder = trail.path();
        }
        // Room for them at once, growing as push_back would when other
        // sources' records came first.
        const std::size_t needed = candidates_.size() + order.size();
        if (candidates_.capacity() < needed) {
            candidates_.reserve(std::max(needed, 2 * candidates_.capacity()));
        }
        for (const std::size_t match : order) {
            candidates_.push_back(std::move(record(match)));
        }
        records_.clear();
        return count;
    }

    // How many bookmarks that do not match the folder holds, counted once
    // however many entries of a damaged table share its id, as its matches are.
    std::size_t bookmarksInFolder(std::int64_t folder) {
        const auto found = bookmarksIn_.find(folder);
        return found == bookmarksIn_.end() ? 0 : std::exchange(found->second, 0);
    }

    std::pair<std::size_t, std::size_t> childrenOf(std::int64_t parent) const {
        const auto [first, last] = std::equal_range(
            nodes_.begin(), nodes_.end(), parent,
            [](const auto& a, const auto& b) { return parentOf(a) < parentOf(b); });
        return {static_cast<std::size_t>(first - nodes_.begin()),
                static_cast<std::size_t>(last - nodes_.begin())};
    }

    static std::int64_t parentOf(const PlacesNode& node) { return node.parent; }
    static std::int64_t parentOf(std::int64_t parent) { return parent; }

    sqlite3* database_;
    const Matcher& matcher_;
    MatchScratch scratch_;
    std::string tagged_; // a name with its tags, as matched
    std::unordered_map<std::int64_t, std::shared_ptr<std::vector<std::string>>> tagsOf_; // by place
    static constexpr std::size_t kMaxTags = FolderTrail::kMaxNamedDepth;
    static constexpr std::size_t kMaxTagBytes = FolderTrail::kMaxNameBytes;
    // A bit per place below kMarkedPlaces, set for a place with tags.
    static constexpr std::int64_t kMarkedPlaces = std::int64_t{1} << 22;
    std::vector<bool> marked_;
    std::unordered_set<std::int64_t> tagFolders_; // those holding entries
    bool inTagFolder_ = false;                    // the last folder is one
    std::vector<Bookmark>& candidates_;
    // The records of the bookmarks that match, in the order read, until the
    // walk moves them into the candidates in the tree's order. They lie in
    // blocks that never move as more come, each small enough to come from
    // the heap rather than from freshly mapped pages; a record's index is
    // its block's times kRecordsPerBlock plus its place in the block.
    static constexpr std::size_t kRecordsPerBlock = 512;
    std::vector<std::vector<Bookmark>> records_;
    KeywordLookup* keyword_;
    std::optional<std::int64_t> keywordFolder_; // that of the keyword bookmark found here
    std::unique_ptr<PlacesTextHeads> heads_;    // once the texts are read in part
    std::vector<PlacesNode> nodes_;             // folders, and the bookmarks that match
    std::vector<std::string> folderNames_;      // the names of the folders, as Firefox shows them
    // With folder names searched: every folder by its id, and its path once
    // a bookmark inside asked for it.
    struct FolderEntry {
        std::int64_t parent = 0;
        std::string name; // as the walk's trail names it
        std::shared_ptr<const FolderNode> node;
        std::size_t depth = 0;
        bool visited = false;
        bool made = false;
    };
    std::unordered_map<std::int64_t, FolderEntry> folders_;
    std::int64_t root_ = 0; // the tree's root
    std::int64_t tags_ = 0; // the tags' root
    FolderMatch inFolder_;
    // How many bookmarks that do not match each folder holds.
    std::unordered_map<std::int64_t, std::size_t> bookmarksIn_;
    std::int64_t lastFolder_ = 0;
    std::size_t* lastFolderCount_ = nullptr;
    // Units of kStepsPerWork steps the reading may still take.
    static constexpr int kStepsPerWork = 1000;
    static constexpr std::int64_t kWorkPerKibibyte = 20;
    static constexpr std::int64_t kWorkAtLeast = 10'000;
    std::int64_t workLeft_ = 0;
    // Which rows of moz_bookmarks this reading reads: all, or those whose
    // rowid is up to middle_, or above it.
    enum class RowHalf { All, UpTo, Above };
    RowHalf half_ = RowHalf::All;
    std::int64_t middle_ = 0;
    // A table with fewer rowids between its ends is read in one go.
    static constexpr std::int64_t kRowsInHalves = 16384;
};

// Reads the database at path, with its write-ahead log when withLog, in one
// go on one connection.
SourceReading readInOneGo(const std::string& path, bool withLog, const Matcher& matcher,
                          std::vector<Bookmark>& candidates, KeywordLookup* keyword) {
    std::string problem;
    const Database database = fnOpenBrowserDatabase(path, withLog, problem);
    if (!database) {
        return {0, problem};
    }
    return PlacesQuery(database.get(), matcher, candidates, keyword).run();
}

// Reads the database at path, with its write-ahead log when withLog. A
// large table of bookmarks is read in two halves at once, the later one on a
// connection and a thread of its own, opened at once beside the first, each
// finding where the halves meet; when either half goes wrong, the two find
// different middles, or the texts had to be read in part, it is read again in
// one go, as a small one is.
SourceReading query(const std::string& path, bool withLog, const Matcher& matcher,
                    std::vector<Bookmark>& candidates, KeywordLookup* keyword) {
    // Folder paths are made as bookmarks ask for them, once per reading.
    if (matcher.searchesFolders() || std::thread::hardware_concurrency() == 1) {
        return readInOneGo(path, withLog, matcher, candidates, keyword);
    }
    std::string problem;
    Database database;
    std::optional<PlacesQuery> now;
    std::optional<std::int64_t> middle;
    std::optional<SourceReading> whole; // the answer when not read in halves
    // Set once the first connection knows the table is read in one go.
    std::atomic<bool> inOneGo{false};
    std::vector<Bookmark> laterRecords; // never written: the later half is not walked
    Database laterDatabase;
    std::optional<PlacesQuery> later;
    std::optional<std::int64_t> laterMiddle;
    bool nowRead = false;
    bool laterRead = false;
    runInHalves(
        true,
        [&] {
            if (inOneGo) {
                return;
            }
            std::string laterProblem;
            laterDatabase = fnOpenBrowserDatabase(path, withLog, laterProblem);
            if (laterDatabase && !inOneGo) {
                later.emplace(laterDatabase.get(), matcher, laterRecords, nullptr);
                laterMiddle = later->middleRow();
                laterRead = laterMiddle && later->readHalf(*laterMiddle, true);
            }
        },
        [&] {
            database = fnOpenBrowserDatabase(path, withLog, problem);
            if (!database) {
                inOneGo = true;
                whole = SourceReading{0, problem};
                return;
            }
            now.emplace(database.get(), matcher, candidates, keyword);
            middle = now->middleRow();
            if (!middle) {
                inOneGo = true;
                whole = now->run();
                return;
            }
            nowRead = now->readHalf(*middle, false);
        });
    if (whole) {
        return *std::move(whole);
    }
    if (nowRead && laterRead && laterMiddle == middle) {
        now->takeLaterHalf(*std::move(later));
        return now->walked();
    }
    return PlacesQuery(database.get(), matcher, candidates, keyword).run();
}

} // namespace

SourceReading fnReadFirefoxPlaces(std::string_view pPath, const Matcher& pMatcher,
                                  std::vector<Bookmark>& pCandidates, KeywordLookup* pKeyword) {
    const std::string database = platform::folderIdentity(pPath)
                                     ? platform::pathIn(pPath, "places.sqlite")
                                     : std::string(pPath);
    // The keyword's bookmark comes from the reading kept, as the bookmarks do:
    // each try looks for it afresh.
    const bool lookForKeyword = pKeyword != nullptr && !pKeyword->found;
    SourceReading reading = fnReadUnchangedPlaces(database, pCandidates, [&](bool withLog) {
        if (lookForKeyword) {
            pKeyword->found.reset();
        }
        return query(database, withLog, pMatcher, pCandidates, pKeyword);
    });
    if (lookForKeyword && reading.unreadable()) {
        pKeyword->found.reset();
    }
    return reading;
}

} // namespace zaptrove
