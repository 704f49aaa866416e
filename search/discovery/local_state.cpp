// SPDX-License-Identifier: MIT
#include "search/discovery/local_state.h"

#include "platform/files.h"
#include "platform/separators.h"
#include "search/scanning/json_events.h"

#include <algorithm>

namespace zaptrove {

namespace {

constexpr std::size_t kChunkBytes = std::size_t{64} * 1024;

// Follows only profile.info_cache and the "name" of each of its entries; every
// other value streams by undecoded.
class ProfileListHandler {
  public:
    explicit ProfileListHandler(std::vector<LocalStateProfile>& profiles) : profiles_(profiles) {}

    bool StartObject() {
        if (skipDepth_ == 0 && opens()) {
            stage_ = static_cast<Stage>(static_cast<int>(stage_) + 1);
            if (stage_ == Stage::Entry) {
                profiles_.push_back({key_, {}});
            }
        } else {
            ++skipDepth_;
        }
        return true;
    }
    bool EndObject() {
        if (skipDepth_ > 0) {
            --skipDepth_;
            return true;
        }
        if (stage_ == Stage::Entry && profiles_.back().name.empty()) {
            profiles_.back().name = profiles_.back().folder;
        }
        stage_ = static_cast<Stage>(static_cast<int>(stage_) - 1);
        return true;
    }
    // No array holds anything of a profile list.
    bool StartArray() {
        ++skipDepth_;
        return true;
    }
    bool EndArray() {
        --skipDepth_;
        return true;
    }

    bool wantsKey() const { return skipDepth_ == 0; }
    bool Key(std::string_view key, bool whole) {
        key_.assign(key);
        keyWhole_ = whole;
        return true;
    }
    bool wantsString() const {
        return skipDepth_ == 0 && stage_ == Stage::Entry && key_ == "name" &&
               profiles_.back().name.empty();
    }
    bool String(std::string_view value, bool) {
        profiles_.back().name.assign(value);
        return true;
    }
    bool Scalar() { return true; }

  private:
    // Where the objects open now stand: none, the document, "profile",
    // "info_cache", one of its entries.
    enum class Stage { Outside, Document, Profile, Cache, Entry };

    // Whether an object that starts now leads one stage further in.
    bool opens() const {
        switch (stage_) {
        case Stage::Outside:
            return true;
        case Stage::Document:
            return key_ == "profile";
        case Stage::Profile:
            return key_ == "info_cache";
        case Stage::Cache:
            return keyWhole_ && isPlainFolderName(key_);
        case Stage::Entry:
            return false;
        }
        return false;
    }

    // Only a plain folder name can name a profile folder inside the user's data:
    // no separator, no drive (":"), no NUL. On Linux a "\" is a byte of a name.
    static bool isPlainFolderName(std::string_view name) {
        return !name.empty() && name != "." && name != ".." &&
               name.find_first_of(std::string_view(":\0", 2)) == std::string_view::npos &&
               std::ranges::none_of(name, platform::isSeparator);
    }

    std::vector<LocalStateProfile>& profiles_;
    Stage stage_ = Stage::Outside;
    std::size_t skipDepth_ = 0;
    std::string key_;
    bool keyWhole_ = true;
};

template <typename Chunks> std::vector<LocalStateProfile> readProfiles(Chunks& chunks) {
    std::vector<LocalStateProfile> profiles;
    ProfileListHandler handler(profiles);
    if (fnParseJson(chunks, handler)) {
        profiles.clear();
    }
    return profiles;
}

} // namespace

std::vector<LocalStateProfile> fnReadLocalStateProfiles(std::string_view pJson) {
    JsonWholeText text(pJson);
    return readProfiles(text);
}

std::vector<LocalStateProfile> fnReadLocalStateFile(std::string_view pPath) {
    platform::FileReader file(pPath);
    if (!file.isOpen()) {
        return {};
    }
    std::string buffer(kChunkBytes, '\0');
    JsonFileChunks chunks(file, buffer);
    std::vector<LocalStateProfile> profiles = readProfiles(chunks);
    if (chunks.readFailed()) {
        profiles.clear();
    }
    return profiles;
}

} // namespace zaptrove
