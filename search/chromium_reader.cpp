// SPDX-License-Identifier: MIT
#include "search/chromium_reader.h"

#include "platform/files.h"
#include "search/matcher.h"

// RapidJSON skips the blanks of indented files with the processor's vector
// instructions where the build targets them.
#if defined(__SSE4_2__)
#define RAPIDJSON_SSE42
#elif defined(__SSE2__)
#define RAPIDJSON_SSE2
#endif
#include <rapidjson/reader.h>

#include <cstring>
#include <memory>
#include <string>

namespace zaptrove {

namespace {

// Deeper nesting than any bookmark tree has ends the reading, so that the
// parser's recursion stays far from the end of the stack.
constexpr std::size_t kMaxDepth = 1000;

// The event handler of RapidJSON's SAX reader, which parses the file in place:
// every string it hands over stays in the file's buffer until the end. It
// follows only what makes a bookmark: the top object's "roots", each root's
// node, and every node's "type", "name", "url" and "children"; every other
// value (meta_info, sync_metadata, dates...) is passed over as it goes by.
class BookmarkHandler : public rapidjson::BaseReaderHandler<rapidjson::UTF8<>, BookmarkHandler> {
  public:
    BookmarkHandler(Matcher& matcher, std::vector<Bookmark>& candidates)
        : matcher_(matcher), candidates_(candidates) {}

    std::size_t count() const { return count_; }

    bool StartObject() {
        if (skipDepth_ > 0) {
            return ++skipDepth_ < kMaxDepth;
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
            return ++skipDepth_ < kMaxDepth;
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
                node.name = value;
                break;
            case Field::Url:
                node.url = value;
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
        std::string_view name;
        std::string_view url;
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

    // Node fields are kept per depth and reused.
    void openNode() {
        if (depth_ == nodes_.size()) {
            nodes_.emplace_back();
        }
        nodes_[depth_++] = {};
    }

    void closeNode() {
        const NodeFields& node = nodes_[--depth_];
        if (node.isUrl && node.hasUrl) {
            ++count_;
            if (matcher_.matches(node.name, node.url)) {
                candidates_.push_back({std::string(node.name), std::string(node.url)});
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

// Parses text[0, size), which a NUL follows and 16 more bytes pad, in place.
BrowserReading scanInPlace(char* text, std::size_t size, Matcher& matcher,
                           std::vector<Bookmark>& candidates) {
    BookmarkHandler handler(matcher, candidates);
    const bool byteOrderMark = size >= 3 && std::memcmp(text, "\xEF\xBB\xBF", 3) == 0;
    rapidjson::InsituStringStream stream(text + (byteOrderMark ? 3 : 0));
    rapidjson::Reader reader;
    const rapidjson::ParseResult result =
        reader.Parse<rapidjson::kParseInsituFlag>(stream, handler);
    BrowserReading reading;
    reading.BookmarkCount = handler.count();
    if (result.IsError()) {
        reading.Problem =
            "damaged at byte " + std::to_string(result.Offset() + (byteOrderMark ? 3 : 0));
    }
    return reading;
}

// Room for a file of length bytes, a NUL after them and the padding the
// parser's vector reads may touch.
char* makeRoom(std::unique_ptr<char[]>& buffer, std::size_t length) {
    static constexpr std::size_t kPadding = 17;
    buffer = std::make_unique_for_overwrite<char[]>(length + kPadding);
    std::memset(buffer.get() + length, 0, kPadding);
    return buffer.get();
}

} // namespace

BrowserReading fnScanChromiumBookmarks(std::string_view pText, Matcher& pMatcher,
                                       std::vector<Bookmark>& pCandidates) {
    std::unique_ptr<char[]> buffer;
    std::memcpy(makeRoom(buffer, pText.size()), pText.data(), pText.size());
    return scanInPlace(buffer.get(), pText.size(), pMatcher, pCandidates);
}

BrowserReading fnReadChromiumBookmarks(std::string_view pPath, Matcher& pMatcher,
                                       std::vector<Bookmark>& pCandidates) {
    std::unique_ptr<char[]> buffer;
    const std::optional<std::size_t> size = platform::readWholeFileInto(
        pPath, [&](std::size_t length) { return makeRoom(buffer, length); });
    if (!size) {
        return {0, "cannot be opened"};
    }
    buffer[*size] = '\0';
    return scanInPlace(buffer.get(), *size, pMatcher, pCandidates);
}

} // namespace zaptrove
