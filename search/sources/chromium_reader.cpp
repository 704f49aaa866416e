// SPDX-License-Identifier: MIT
#include "search/sources/chromium_reader.h"

#include "platform/file_mapping.h"
#include "platform/files.h"
#include "search/matching/matcher.h"
#include "search/records/record_drain.h"
#include "search/scanning/chunked_scan.h"
#include "search/scanning/folder_match.h"
#include "search/scanning/folder_trail.h"
#include "search/scanning/json_events.h"

#include <optional>
#include <string>
#include <utility>

namespace zaptrove {

namespace {

// Deeper nesting than any bookmark tree has ends the reading, so that memory
// for the nesting stays small.
constexpr std::size_t kMaxDepth = 1000;

// The records kept at a time before they are handed on to the thread's
// RecordDrain, if it has one, when the file is read (taken in place, they go
// on as its parts are found unchanged).
constexpr std::size_t kRecordsPerBatch = 1024;

// The browser writes a folder's name after its children, so a bookmark's
// folders are nameless when it is reached. When folder names are searched, a
// first pass gathers them by the order the folders open in; the second then
// keeps only the bookmarks that match with their folder path, instead of every
// bookmark for a later screen. Past kMaxFolderNameBytes of names (each counted
// with its string) the gathering is given up and every bookmark is kept, as
// without it.
constexpr std::size_t kMaxFolderNameBytes = std::size_t{8} << 20;

struct FolderNames {
    std::vector<std::string> byOpening;
    std::size_t bytes = 0;
    bool gathered = false; // whole, and within kMaxFolderNameBytes
};

// What fnParseJson reports is followed only where it makes a bookmark: the top
// object's "roots", each root's node, and every node's "type", "name", "url"
// and "children"; every other value (meta_info, sync_metadata, dates...) is
// passed over as it streams by, undecoded. Its first pass, when there is one,
// only gathers the folders' names.
class BookmarkHandler {
  public:
    enum class Pass { FolderNames, Bookmarks };
    BookmarkHandler(Pass pass, FolderNames& names, const Matcher& matcher,
                    std::vector<Bookmark>& candidates, bool passOnBatches)
        : pass_(pass), names_(names), matcher_(matcher), candidates_(candidates),
          passOnBatches_(passOnBatches) {}

    std::size_t count() const { return count_; }
    // How many names, addresses and types were longer than kMaxJsonStringBytes.
    std::size_t cutTexts() const { return cutTexts_; }

    bool StartObject() {
        if (skipDepth_ > 0) {
            return ++skipDepth_ + frames_.size() < kMaxDepth;
        }
        if (frames_.size() >= kMaxDepth) {
            return false;
        }
        switch (role()) {
        case Role::Document:
            frames_.push_back(Frame::Top);
            break;
        case Role::Roots:
            frames_.push_back(Frame::Roots);
            break;
        case Role::Node:
            frames_.push_back(Frame::Node);
            openNode();
            break;
        default:
            skipDepth_ = 1;
            break;
        }
        key_ = Field::Other;
        return true;
    }

    bool EndObject() {
        if (skipDepth_ > 0) {
            --skipDepth_;
            return true;
        }
        const bool closed = frames_.back() != Frame::Node || closeNode();
        frames_.pop_back();
        return closed;
    }

    bool StartArray() {
        if (skipDepth_ > 0) {
            return ++skipDepth_ + frames_.size() < kMaxDepth;
        }
        if (frames_.size() >= kMaxDepth) {
            return false;
        }
        if (role() == Role::Children) {
            frames_.push_back(Frame::Children);
            NodeFields& node = nodes_[depth_ - 1];
            if (!node.entered && !node.isUrl) {
                enterFolder(node);
            }
        } else {
            skipDepth_ = 1;
        }
        return true;
    }

    bool EndArray() {
        if (skipDepth_ > 0) {
            --skipDepth_;
        } else {
            frames_.pop_back();
        }
        return true;
    }

    // Keys matter outside skipped values only.
    bool wantsKey() const { return skipDepth_ == 0; }
    bool Key(std::string_view key, bool whole) {
        key_ = whole ? keyOf(key) : Field::Other;
        return true;
    }

    // Only a node's type, name and address are read; no address while
    // gathering folder names.
    bool wantsString() const {
        return skipDepth_ == 0 && !frames_.empty() && frames_.back() == Frame::Node &&
               (key_ == Field::Type || key_ == Field::Name ||
                (key_ == Field::Url && pass_ == Pass::Bookmarks));
    }
    bool String(std::string_view value, bool whole) {
        cutTexts_ += whole ? 0 : 1;
        NodeFields& node = nodes_[depth_ - 1];
        switch (key_) {
        case Field::Type:
            node.isUrl = value == "url";
            break;
        case Field::Name:
            node.name.assign(value);
            break;
        case Field::Url:
            node.url.assign(value);
            node.hasUrl = true;
            break;
        default:
            break;
        }
        return true;
    }

    // Numbers, booleans and nulls carry nothing a bookmark needs.
    bool Scalar() { return true; }

  private:
    enum class Frame { Top, Roots, Node, Children };
    enum class Field { Roots, Type, Name, Url, Children, Other };
    // What an object or array that starts now is, by where it stands.
    enum class Role { Document, Roots, Node, Children, Other };

    struct NodeFields {
        std::string name;
        std::string url;
        bool isUrl = false;
        bool hasUrl = false;
        bool entered = false;   // its children were entered as a folder's
        std::size_t folder = 0; // the folder's place in the order of opening
    };

    static Field keyOf(std::string_view key) {
        if (key == "type") {
            return Field::Type;
        }
        if (key == "name") {
            return Field::Name;
        }
        if (key == "url") {
            return Field::Url;
        }
        if (key == "children") {
            return Field::Children;
        }
        return key == "roots" ? Field::Roots : Field::Other;
    }

    Role role() const {
        if (frames_.empty()) {
            return Role::Document;
        }
        switch (frames_.back()) {
        case Frame::Top:
            return key_ == Field::Roots ? Role::Roots : Role::Other;
        case Frame::Roots:
        case Frame::Children:
            return Role::Node;
        case Frame::Node:
            return key_ == Field::Children ? Role::Children : Role::Other;
        }
        return Role::Other;
    }

    // Node fields are kept per depth and reused, so their strings keep their
    // memory from one bookmark to the next.
    void openNode() {
        if (depth_ == nodes_.size()) {
            nodes_.emplace_back();
        }
        NodeFields& node = nodes_[depth_++];
        node.name.clear();
        node.url.clear();
        node.isUrl = false;
        node.hasUrl = false;
        node.entered = false;
    }

    // Named as the first pass found it, else as far as read (empty unless the
    // name came first).
    void enterFolder(NodeFields& node) {
        node.entered = true;
        node.folder = opened_++;
        if (pass_ == Pass::FolderNames) {
            names_.byOpening.push_back(node.name);
        } else {
            const bool named = names_.gathered && node.folder < names_.byOpening.size();
            folders_.enter(named ? names_.byOpening[node.folder] : node.name);
        }
    }

    bool closeNode() {
        const NodeFields& node = nodes_[--depth_];
        if (pass_ == Pass::FolderNames) {
            if (node.entered) {
                names_.bytes += node.name.size() + sizeof(std::string);
                names_.byOpening[node.folder] = node.name;
            }
            return names_.bytes <= kMaxFolderNameBytes;
        }
        if (node.entered) {
            // Left first, so that a node with children that says it is a
            // bookmark keeps the folders around it in order.
            folders_.rename(node.name);
            folders_.leave();
        }
        if (node.isUrl && node.hasUrl) {
            ++count_;
            if (names_.gathered ? folderMatch_.matches(
                                      matcher_, node.name, node.url,
                                      [this] { return folders_.path(); }, scratch_)
                                : matcher_.matches(node.name, node.url, scratch_)) {
                candidates_.push_back({node.name, node.url});
                candidates_.back().Folder = folders_.path();
                if (passOnBatches_ && candidates_.size() - first_ >= kRecordsPerBatch) {
                    RecordDrain::passOn(candidates_, first_);
                }
            }
        }
        return true;
    }

    Pass pass_;
    FolderNames& names_;
    std::size_t opened_ = 0; // folders opened so far
    FolderMatch folderMatch_;
    const Matcher& matcher_;
    MatchScratch scratch_;
    std::vector<Bookmark>& candidates_;
    const std::size_t first_ = candidates_.size(); // where this reading's records start
    const bool passOnBatches_;
    std::vector<Frame> frames_;
    std::vector<NodeFields> nodes_;
    FolderTrail folders_;
    std::size_t depth_ = 0;
    std::size_t skipDepth_ = 0;
    Field key_ = Field::Other;
    std::size_t count_ = 0;
    std::size_t cutTexts_ = 0;
};

// The first pass: the folders' names, unless there are too many.
template <typename Chunks>
void gatherFolderNames(Chunks& chunks, const Matcher& matcher, FolderNames& names) {
    std::vector<Bookmark> none;
    BookmarkHandler handler(BookmarkHandler::Pass::FolderNames, names, matcher, none, false);
    // Damage is the second pass's to report: it stops at the same byte.
    fnParseJson(chunks, handler);
    names.gathered = names.bytes <= kMaxFolderNameBytes;
}

template <typename Chunks>
SourceReading parseBookmarks(Chunks& chunks, FolderNames& names, const Matcher& matcher,
                             std::vector<Bookmark>& candidates, bool passOnBatches) {
    BookmarkHandler handler(BookmarkHandler::Pass::Bookmarks, names, matcher, candidates,
                            passOnBatches);
    const std::optional<std::size_t> damagedAt = fnParseJson(chunks, handler);
    SourceReading reading;
    reading.BookmarkCount = handler.count();
    if (damagedAt) {
        reading.Problem = "damaged at byte " + std::to_string(*damagedAt);
    } else if (handler.cutTexts() > 0) {
        const std::size_t cut = handler.cutTexts();
        reading.Problem = std::to_string(cut) +
                          (cut == 1 ? " name or address" : " names or addresses") + " cut at " +
                          std::to_string(kMaxJsonStringBytes >> 20) + " MiB";
    }
    return reading;
}

// Both passes over the file's mapped pages, where it can be taken in place;
// nothing when it is to be read instead: it cannot be mapped, or it changed
// under the reading, whose records are then all dropped.
std::optional<SourceReading> readInPlace(platform::FileReader& file, const Matcher& matcher,
                                         std::vector<Bookmark>& candidates) {
    platform::FileMapping mapping(file);
    if (!mapping.isUsable()) {
        return std::nullopt;
    }
    VouchedRecords records(mapping, candidates);
    FolderNames names;
    if (matcher.searchesFolders()) {
        InPlaceParts parts(mapping, records);
        gatherFolderNames(parts, matcher, names);
        if (parts.failed()) {
            return std::nullopt;
        }
    }
    InPlaceParts parts(mapping, records);
    const SourceReading reading = parseBookmarks(parts, names, matcher, candidates, false);
    if (parts.failed() || !mapping.unchanged() || !records.vouch()) {
        records.dropAll();
        return std::nullopt;
    }
    return reading;
}

} // namespace

SourceReading fnScanChromiumBookmarks(std::string_view pText, const Matcher& pMatcher,
                                      std::vector<Bookmark>& pCandidates) {
    FolderNames names;
    if (pMatcher.searchesFolders()) {
        JsonWholeText text(pText);
        gatherFolderNames(text, pMatcher, names);
    }
    JsonWholeText text(pText);
    return parseBookmarks(text, names, pMatcher, pCandidates, true);
}

SourceReading fnReadChromiumBookmarks(std::string_view pPath, const Matcher& pMatcher,
                                      std::vector<Bookmark>& pCandidates) {
    // Made before the file is opened, so that a browser replacing the file waits
    // no longer than its reading takes.
    std::string buffer(kFileChunkBytes, '\0');
    const bool twoPasses = pMatcher.searchesFolders();
    platform::FileReader file(pPath, twoPasses ? platform::FileReader::Passes::Two
                                               : platform::FileReader::Passes::One);
    if (file.isOpen()) {
        if (std::optional<SourceReading> reading = readInPlace(file, pMatcher, pCandidates)) {
            return *reading;
        }
    }
    const std::size_t kept = pCandidates.size();
    FolderNames names;
    if (twoPasses && file.isOpen()) {
        JsonFileChunks chunks(file, buffer);
        gatherFolderNames(chunks, pMatcher, names);
        if (chunks.readFailed() || !file.rewind()) {
            return {0, file.problem()};
        }
    }
    if (file.isOpen()) {
        JsonFileChunks chunks(file, buffer);
        SourceReading reading = parseBookmarks(chunks, names, pMatcher, pCandidates, true);
        if (!chunks.readFailed()) {
            return reading;
        }
        RecordDrain::dropAll(pCandidates, kept);
    }
    return {0, file.problem()};
}

} // namespace zaptrove
