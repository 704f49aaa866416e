// SPDX-License-Identifier: MIT
#include "search/chromium_reader.h"

#include "platform/files.h"
#include "search/chunked_scan.h"
#include "search/matcher.h"

#include <rapidjson/error/en.h>
#include <rapidjson/memorystream.h>
#include <rapidjson/reader.h>

#include <optional>
#include <string>

namespace zaptrove {

namespace {

// Deeper nesting than any bookmark tree has ends the reading, so that the
// parser's recursion stays far from the end of the stack.
constexpr std::size_t kMaxDepth = 1000;

// The event handler of RapidJSON's SAX reader. It follows only what makes a
// bookmark: the top object's "roots", each root's node, and every node's
// "type", "name", "url" and "children"; every other value (meta_info,
// sync_metadata, dates...) is passed over as it streams by.
class BookmarkHandler : public rapidjson::BaseReaderHandler<rapidjson::UTF8<>, BookmarkHandler> {
  public:
    BookmarkHandler(Matcher& matcher, std::vector<Bookmark>& candidates)
        : matcher_(matcher), candidates_(candidates) {}

    std::size_t count() const { return count_; }

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

    bool EndObject(rapidjson::SizeType) {
        if (skipDepth_ > 0) {
            --skipDepth_;
            return true;
        }
        if (frames_.back() == Frame::Node) {
            closeNode();
        }
        frames_.pop_back();
        return true;
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
        } else {
            skipDepth_ = 1;
        }
        return true;
    }

    bool EndArray(rapidjson::SizeType) {
        if (skipDepth_ > 0) {
            --skipDepth_;
        } else {
            frames_.pop_back();
        }
        return true;
    }

    bool Key(const char* text, rapidjson::SizeType length, bool) {
        if (skipDepth_ == 0) {
            key_ = keyOf(std::string_view(text, length));
        }
        return true;
    }

    bool String(const char* text, rapidjson::SizeType length, bool) {
        if (skipDepth_ == 0 && !frames_.empty() && frames_.back() == Frame::Node) {
            const std::string_view value(text, length);
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
        }
        return true;
    }

    // Numbers, booleans and nulls carry nothing a bookmark needs.
    bool Default() { return true; }

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
    }

    void closeNode() {
        const NodeFields& node = nodes_[--depth_];
        if (node.isUrl && node.hasUrl) {
            ++count_;
            if (matcher_.matches(node.name, node.url)) {
                candidates_.push_back({node.name, node.url});
            }
        }
    }

    Matcher& matcher_;
    std::vector<Bookmark>& candidates_;
    std::vector<Frame> frames_;
    std::vector<NodeFields> nodes_;
    std::size_t depth_ = 0;
    std::size_t skipDepth_ = 0;
    Field key_ = Field::Other;
    std::size_t count_ = 0;
};

// A RapidJSON input stream over a file read in chunks through one buffer
// reused for the whole read; like RapidJSON's own streams it shows '\0' past
// the end.
class ChunkedFileStream {
  public:
    using Ch = char;

    // buffer is the memory the chunks are read into.
    ChunkedFileStream(platform::FileReader& file, std::string& buffer)
        : file_(file), buffer_(buffer) {
        fill();
    }

    Ch Peek() const { return at_ < end_ ? buffer_[at_] : '\0'; }
    Ch Take() {
        const Ch c = Peek();
        if (at_ < end_ && ++at_ == end_) {
            fill();
        }
        return c;
    }
    std::size_t Tell() const { return before_ + at_; }
    bool readFailed() const { return readFailed_; }

    // The writing side, which only parsing in place would use.
    Ch* PutBegin() { return nullptr; }
    void Put(Ch) {}
    void Flush() {}
    std::size_t PutEnd(Ch*) { return 0; }

  private:
    void fill() {
        before_ += end_;
        at_ = 0;
        const std::optional<std::size_t> got = file_.readNext(buffer_.data(), buffer_.size());
        readFailed_ = readFailed_ || !got;
        end_ = got.value_or(0);
    }

    platform::FileReader& file_;
    std::string& buffer_;
    std::size_t before_ = 0; // bytes of the file before the buffer's
    std::size_t at_ = 0;
    std::size_t end_ = 0;
    bool readFailed_ = false;
};

template <typename Stream>
BrowserReading parseBookmarks(Stream& stream, Matcher& matcher, std::vector<Bookmark>& candidates) {
    BookmarkHandler handler(matcher, candidates);
    rapidjson::Reader reader;
    // The handler's depth limit keeps the recursive parser's stack small.
    const rapidjson::ParseResult result = reader.Parse<rapidjson::kParseNoFlags>(stream, handler);
    BrowserReading reading;
    reading.BookmarkCount = handler.count();
    if (result.IsError()) {
        reading.Problem = "damaged at byte " + std::to_string(result.Offset());
    }
    return reading;
}

} // namespace

BrowserReading fnScanChromiumBookmarks(std::string_view pText, Matcher& pMatcher,
                                       std::vector<Bookmark>& pCandidates) {
    rapidjson::MemoryStream stream(pText.data(), pText.size());
    return parseBookmarks(stream, pMatcher, pCandidates);
}

BrowserReading fnReadChromiumBookmarks(std::string_view pPath, Matcher& pMatcher,
                                       std::vector<Bookmark>& pCandidates) {
    // Made before the file is opened, so that a browser replacing the file waits
    // no longer than its reading takes.
    std::string buffer(kFileChunkBytes, '\0');
    platform::FileReader file(pPath);
    const std::size_t kept = pCandidates.size();
    if (file.isOpen()) {
        ChunkedFileStream stream(file, buffer);
        BrowserReading reading = parseBookmarks(stream, pMatcher, pCandidates);
        if (!stream.readFailed()) {
            return reading;
        }
        pCandidates.erase(pCandidates.begin() + static_cast<std::ptrdiff_t>(kept),
                          pCandidates.end());
    }
    return {0, "cannot be opened"};
}

} // namespace zaptrove
