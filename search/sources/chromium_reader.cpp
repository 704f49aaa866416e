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
#include "search/scanning/two_halves.h"
#include "search/sources/chromium_plain_node.h"

#include <algorithm>
#include <optional>
#include <span>
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

// What a reading of a stretch of the file found, for the reading around it
// to take as its own.
struct StretchTally {
    std::size_t count = 0;
    std::size_t cutTexts = 0;
    std::size_t opened = 0;
    // The most open containers and folders at any point, the stand-ins for
    // those around the stretch counted as one.
    std::size_t deepest = 0;
    std::size_t deepestFolders = 0;
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

    // The bookmarks pass over a stretch of nodes in a "children" array, read
    // apart before the containers and folders around it are known: a
    // stand-in for each stands first.
    struct InsideChildren {};
    BookmarkHandler(InsideChildren, FolderNames& noNames, const Matcher& matcher,
                    std::vector<Bookmark>& candidates)
        : BookmarkHandler(Pass::Bookmarks, noNames, matcher, candidates, false) {
        frames_.push_back(Frame::Children);
        folders_.enter("");
    }

    StretchTally tally() const { return {count_, cutTexts_, opened_, deepest_, deepestFolders_}; }

    // Whether a stretch read apart from here on, as another handler
    // InsideChildren found it, is what this one would find: it stands in a
    // "children" array, and no limit of nesting or of named folders is met
    // with those around it.
    bool canTake(const StretchTally& stretch) const {
        return skipDepth_ == 0 && !frames_.empty() && frames_.back() == Frame::Children &&
               frames_.size() + stretch.deepest <= kMaxDepth &&
               folders_.depth() + stretch.deepestFolders <= FolderTrail::kMaxNamedDepth + 1;
    }

    // Takes such a stretch's tally and records (moved from pRecords) as its own.
    void take(const StretchTally& stretch, std::span<Bookmark> pRecords) {
        count_ += stretch.count;
        cutTexts_ += stretch.cutTexts;
        opened_ += stretch.opened;
        if (pRecords.empty()) {
            return;
        }
        fnGraftPaths(pRecords, folders_.path());
        std::move(pRecords.begin(), pRecords.end(), std::back_inserter(candidates_));
    }

    std::size_t count() const { return count_; }
    // How many names, addresses and types were longer than kMaxJsonStringBytes.
    std::size_t cutTexts() const { return cutTexts_; }

    bool StartObject() {
        if (!deepen()) {
            return false;
        }
        if (skipDepth_ > 0) {
            return true;
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
        if (!deepen()) {
            return false;
        }
        if (skipDepth_ > 0) {
            return true;
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

    // A node in a "children" array that holds no candidate for the term is
    // taken whole when its shape allows (fnReadPlainNode): it can be no
    // folder, and only whether it is a bookmark counts. Answers its length,
    // 0 when it is to be read token by token.
    std::size_t WholeObject(std::string_view pChunk, std::size_t /*pOffset*/) {
        if (!takesPlainNodes_ || skipDepth_ > 0 || frames_.empty() ||
            frames_.back() != Frame::Children || frames_.size() + kMaxPlainNodeDepth >= kMaxDepth) {
            return 0;
        }
        if (nodesLeft_ > 0) {
            --nodesLeft_;
            return 0;
        }
        const PlainNode node = fnReadPlainNode(pChunk, matcher_.prefilter());
        if (node.length > 0) {
            deepest_ = std::max(deepest_, frames_.size() + node.depth);
            count_ += node.isUrl && node.hasUrl ? 1 : 0;
            leaveAfterCandidate_ = 0;
        } else if (node.holdsCandidate) {
            // Where most nodes hold one, the test is mostly spent: the next
            // nodes, twice as many each time up to a limit, are left untested.
            leaveAfterCandidate_ = std::clamp<std::size_t>(leaveAfterCandidate_ * 2, 1, 64);
            nodesLeft_ = leaveAfterCandidate_;
        }
        return node.length;
    }

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

    // One level deeper for an object or array that starts: a skipped one
    // counted; false past kMaxDepth.
    bool deepen() {
        skipDepth_ += skipDepth_ > 0 ? 1 : 0;
        const std::size_t open = frames_.size() + skipDepth_ + (skipDepth_ > 0 ? 0 : 1);
        deepest_ = std::max(deepest_, open);
        return skipDepth_ > 0 ? open < kMaxDepth : open <= kMaxDepth;
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
            deepestFolders_ = std::max(deepestFolders_, folders_.depth());
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
    std::size_t deepest_ = 0;
    std::size_t deepestFolders_ = 0;
    // Whole nodes are taken only where matching is by the node's own texts.
    const bool takesPlainNodes_ = pass_ == Pass::Bookmarks && !matcher_.searchesFolders() &&
                                  !matcher_.prefilter().term().empty() && fnReadsPlainNodes();
    std::size_t leaveAfterCandidate_ = 0;
    std::size_t nodesLeft_ = 0; // nodes still left to the token reader
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

// What the bookmarks pass found, damaged at a byte or not.
SourceReading readingOf(const BookmarkHandler& handler, std::optional<std::size_t> damagedAt) {
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

template <typename Chunks>
SourceReading parseBookmarks(Chunks& chunks, FolderNames& names, const Matcher& matcher,
                             std::vector<Bookmark>& candidates, bool passOnBatches) {
    BookmarkHandler handler(BookmarkHandler::Pass::Bookmarks, names, matcher, candidates,
                            passOnBatches);
    return readingOf(handler, fnParseJson(chunks, handler));
}

// Files taken in place this long or longer are read in two halves at once.
constexpr std::uint64_t kHalvesBytes = std::uint64_t{4} << 20;
// How far a stretch's start is looked for, from the middle or from where the
// stretch before ended.
constexpr std::size_t kStretchSearchBytes = std::size_t{64} << 10;

using InPlaceReading = JsonReading<InPlaceParts>;

// One stretch of the later half.
struct Stretch {
    std::size_t start = 0; // the offset of its first node's '{'
    InPlaceReading::Result end{};
    std::size_t recordsEnd = 0; // where its records end in LaterHalf::records()
    StretchTally tally;
};

// The later half of a file taken in place, read on a thread of its own while
// the earlier half is read up to its first stretch's start, through a
// mapping of its own. It is read a stretch at a time: the nodes of one
// "children" array from one after a comma on, as
// JsonReading::findObjectInArray() finds them past the middle and past each
// stretch's end, up to the array's end. The earlier reading takes each
// stretch whose start it reaches as a place to take it from
// (BookmarkHandler::canTake), and reads the rest: the few lines between
// stretches, and any stretch the file's nesting makes other than it seems.
class LaterHalf {
  public:
    LaterHalf(platform::FileReader& file, const Matcher& matcher)
        : mapping_(file), vouched_(mapping_, none_), parts_(mapping_, vouched_), reading_(parts_),
          matcher_(matcher) {
        if (mapping_.isUsable()) {
            start_ = reading_.findObjectInArray(mapping_.length() / 2, kStretchSearchBytes);
        }
    }

    // Where the first stretch starts; npos when there is none to read.
    std::size_t start() const { return start_; }

    void read() {
        for (std::size_t start = start_; start != std::string_view::npos;) {
            reading_.startInsideArray(start);
            FolderNames noNames;
            BookmarkHandler handler(BookmarkHandler::InsideChildren{}, noNames, matcher_, records_);
            const InPlaceReading::Result end = reading_.read(handler);
            stretches_.push_back({start, end, records_.size(), handler.tally()});
            if (end.stop != InPlaceReading::Stop::ArrayClosed) {
                break;
            }
            start = reading_.findObjectInArray(end.offset, kStretchSearchBytes);
        }
        if (parts_.failed() || !mapping_.unchanged()) {
            stretches_.clear();
        }
    }

    // The stretches read, in the file's order; none when the file could not
    // be read whole through the mapping, or changed.
    const std::vector<Stretch>& stretches() const { return stretches_; }
    std::vector<Bookmark>& records() { return records_; }

  private:
    platform::FileMapping mapping_;
    // The records are vouched for by the earlier reading once it takes them.
    std::vector<Bookmark> none_;
    VouchedRecords vouched_;
    InPlaceParts parts_;
    InPlaceReading reading_;
    const Matcher& matcher_;
    std::size_t start_ = std::string_view::npos;
    std::vector<Stretch> stretches_;
    std::vector<Bookmark> records_;
};

// The bookmarks pass over a long file taken in place, without folder names:
// its later half read apart, on a thread of its own, where a stretch to start
// from is found.
SourceReading parseInHalves(platform::FileReader& file, InPlaceParts& parts, const Matcher& matcher,
                            std::vector<Bookmark>& candidates) {
    FolderNames noNames;
    BookmarkHandler handler(BookmarkHandler::Pass::Bookmarks, noNames, matcher, candidates, false);
    InPlaceReading reading(parts);
    LaterHalf later(file, matcher);
    InPlaceReading::Result result{};
    runInHalves(
        later.start() != std::string_view::npos, [&] { later.read(); },
        [&] { result = reading.read(handler, later.start()); });
    const std::vector<Stretch>& stretches = later.stretches();
    std::size_t recordsBegin = 0;
    for (std::size_t next = 0; result.stop == InPlaceReading::Stop::Paused; ++next) {
        // Paused at the start of stretch next.
        if (next < stretches.size() && handler.canTake(stretches[next].tally)) {
            const Stretch& stretch = stretches[next];
            handler.take(stretch.tally,
                         std::span(later.records())
                             .subspan(recordsBegin, stretch.recordsEnd - recordsBegin));
            if (stretch.end.stop != InPlaceReading::Stop::ArrayClosed) {
                return readingOf(handler, stretch.end.offset);
            }
            reading.resumeAfterValue(stretch.end.offset);
        }
        if (next < stretches.size()) {
            recordsBegin = stretches[next].recordsEnd;
        }
        result = reading.read(handler, next + 1 < stretches.size() ? stretches[next + 1].start
                                                                   : std::string_view::npos);
    }
    return readingOf(handler, result.stop == InPlaceReading::Stop::End
                                  ? std::nullopt
                                  : std::optional(result.offset));
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
    const bool inHalves = !matcher.searchesFolders() && mapping.length() >= kHalvesBytes;
    const SourceReading reading = inHalves
                                      ? parseInHalves(file, parts, matcher, candidates)
                                      : parseBookmarks(parts, names, matcher, candidates, false);
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
