// SPDX-License-Identifier: MIT
#include "search/sources/kept_rows.h"

#include "debug_log/debug_log.h"
#include "platform/file_state.h"
#include "platform/files.h"
#include "search/matching/matcher.h"
#include "search/scanning/folder_match.h"

#include <algorithm>
#include <cstdint>
#include <optional>

namespace zaptrove {

namespace {

// Repeats a file reader's keeping of one bookmark.
class Keeper {
  public:
    Keeper(const Matcher& matcher, KeptRows::Rule rule) : matcher_(matcher), rule_(rule) {}

    bool keeps(std::string_view name, std::string_view url, const FolderPath& folder) {
        return match_.matches(
            matcher_, name, url, [&] { return folder; }, scratch_);
    }
    // Where a row that can be kept holds a candidate place (see
    // MatchPrefilter); null when every row may be kept without one: when its
    // folders may make it match, or the term is empty.
    const MatchPrefilter* skipsBy() const {
        return matcher_.searchesFolders() || matcher_.prefilter().term().empty()
                   ? nullptr
                   : &matcher_.prefilter();
    }
    bool givesFolder() const {
        return rule_ == KeptRows::Rule::Chromium || matcher_.followsFolders();
    }
    // What the reader answers when it kept pKept of the pCounted bookmarks it read.
    SourceReading reading(std::size_t kept, std::size_t counted, std::string problem) const {
        return {rule_ == KeptRows::Rule::Chromium ? counted : kept, std::move(problem)};
    }

  private:
    const Matcher& matcher_;
    KeptRows::Rule rule_;
    MatchScratch scratch_;
    FolderMatch match_;
};

} // namespace

struct KeptRows::File {
    struct Row {
        std::uint32_t at; // where its name starts in text; its address follows
        std::uint32_t nameBytes;
        std::uint32_t urlBytes;
        std::uint32_t folder; // in folders
    };
    platform::FileState state;
    std::size_t counted = 0; // the bookmarks the reading counted
    // The reader that read them: one path may be named as a file of two
    // kinds, whose readers find different rows in it.
    FileReader reader = nullptr;
    std::string text;
    std::vector<Row> rows;
    std::vector<FolderPath> folders;

    // The rows of a whole reading. A file of at most kMaxFileBytes holds at
    // most three times as many bytes of text (a byte outside ASCII read as
    // Windows-1252 becomes up to three), so the places fit 32 bits.
    static std::shared_ptr<const File> of(FileReader reader, const std::vector<Bookmark>& all,
                                          const platform::FileState& state, std::size_t counted) {
        std::size_t textBytes = 0;
        for (const Bookmark& bookmark : all) {
            textBytes += bookmark.Name.size() + bookmark.URL.size();
        }
        auto file = std::make_shared<File>();
        file->reader = reader;
        file->state = state;
        file->counted = counted;
        file->text.reserve(textBytes);
        file->rows.reserve(all.size());
        for (const Bookmark& bookmark : all) {
            if (file->folders.empty() ||
                file->folders.back().innermost() != bookmark.Folder.innermost()) {
                file->folders.push_back(bookmark.Folder);
            }
            file->rows.push_back({static_cast<std::uint32_t>(file->text.size()),
                                  static_cast<std::uint32_t>(bookmark.Name.size()),
                                  static_cast<std::uint32_t>(bookmark.URL.size()),
                                  static_cast<std::uint32_t>(file->folders.size() - 1)});
            file->text += bookmark.Name;
            file->text += bookmark.URL;
        }
        file->folders.shrink_to_fit();
        return file;
    }

    // Appends the rows pKeeper keeps; answers how many. The text is searched
    // for candidate places as a file's is, and only the rows that hold one
    // are matched. The rows kept are listed first, so that their records take
    // one allocation rather than a list grown record by record.
    std::size_t appendKept(Keeper& keeper, std::vector<Bookmark>& candidates) const {
        const std::string_view all = text;
        const MatchPrefilter* skipsBy = keeper.skipsBy();
        std::vector<const Row*> kept;
        std::size_t candidate = 0;
        for (const Row& row : rows) {
            if (skipsBy != nullptr) {
                if (candidate < row.at) {
                    candidate = skipsBy->findCandidate(all, row.at);
                }
                if (candidate >= std::size_t{row.at} + row.nameBytes + row.urlBytes) {
                    continue;
                }
            }
            if (keeper.keeps(nameOf(row), urlOf(row), folders[row.folder])) {
                kept.push_back(&row);
            }
        }
        // Grown at least twofold, so that many sources appended one after
        // the other still move each record only a few times.
        if (const std::size_t needed = candidates.size() + kept.size();
            needed > candidates.capacity()) {
            candidates.reserve(std::max(needed, 2 * candidates.capacity()));
        }
        for (const Row* row : kept) {
            Bookmark& record = candidates.emplace_back();
            record.Name = nameOf(*row);
            record.URL = urlOf(*row);
            if (keeper.givesFolder()) {
                record.Folder = folders[row->folder];
            }
        }
        return kept.size();
    }

    std::string_view nameOf(const Row& row) const {
        return std::string_view(text).substr(row.at, row.nameBytes);
    }
    std::string_view urlOf(const Row& row) const {
        return std::string_view(text).substr(row.at + row.nameBytes, row.urlBytes);
    }

    std::size_t bytes() const {
        return sizeof(File) + text.capacity() + rows.capacity() * sizeof(Row) +
               folders.capacity() * sizeof(FolderPath);
    }
};

SourceReading KeptRows::read(std::string_view pPath, FileReader pReader, Rule pRule,
                             const Matcher& pMatcher, std::vector<Bookmark>& pCandidates,
                             const DebugLog& pLog) {
    const std::optional<platform::FileState> before = platform::fileState(pPath);
    if (!before || before->size > kMaxFileBytes || platform::changedLately(*before)) {
        keep(pPath, nullptr);
        return pReader(pPath, pMatcher, pCandidates, pLog);
    }
    Keeper keeper(pMatcher, pRule);
    // The file must still open, so that one made unreadable without a change
    // of its contents is reported as its reader finds it.
    if (const std::shared_ptr<const File> kept = keptFor(pPath);
        kept != nullptr && kept->reader == pReader && kept->state == *before &&
        platform::FileReader(pPath).isOpen()) {
        pLog.subDebug(LOG_INFO, "Unchanged since its last reading: " + std::string(pPath));
        return keeper.reading(kept->appendKept(keeper, pCandidates), kept->counted, {});
    }
    keep(pPath, nullptr); // its memory goes before the new reading's comes
    std::vector<Bookmark> all;
    SourceReading reading = pReader(pPath, Matcher("", SearchMode::Both), all, pLog);
    if (reading.readWhole() && platform::fileState(pPath) == before) {
        std::shared_ptr<const File> file = File::of(pReader, all, *before, reading.BookmarkCount);
        all = std::vector<Bookmark>();
        keep(pPath, file);
        return keeper.reading(file->appendKept(keeper, pCandidates), file->counted, {});
    }
    // Not kept: the reading of this search only.
    std::size_t kept = 0;
    for (Bookmark& bookmark : all) {
        if (keeper.keeps(bookmark.Name, bookmark.URL, bookmark.Folder)) {
            if (!keeper.givesFolder()) {
                bookmark.Folder = {};
            }
            pCandidates.push_back(std::move(bookmark));
            ++kept;
        }
    }
    return keeper.reading(kept, reading.BookmarkCount, std::move(reading.Problem));
}

std::size_t KeptRows::bytesHeld() const {
    const std::scoped_lock holding(lock_);
    std::size_t bytes = 0;
    for (const auto& [path, file] : files_) {
        bytes += path.capacity() + file->bytes();
    }
    return bytes;
}

std::shared_ptr<const KeptRows::File> KeptRows::keptFor(std::string_view path) const {
    const std::scoped_lock holding(lock_);
    const auto found = files_.find(path);
    return found == files_.end() ? nullptr : found->second;
}

void KeptRows::keep(std::string_view path, std::shared_ptr<const File> file) {
    const std::scoped_lock holding(lock_);
    if (file == nullptr) {
        if (const auto found = files_.find(path); found != files_.end()) {
            files_.erase(found);
        }
    } else {
        files_.insert_or_assign(std::string(path), std::move(file));
    }
}

} // namespace zaptrove
