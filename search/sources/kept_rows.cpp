// SPDX-License-Identifier: MIT
#include "search/sources/kept_rows.h"

#include "debug_log/debug_log.h"
#include "platform/file_state.h"
#include "platform/files.h"
#include "search/matching/matcher.h"
#include "search/records/record_drain.h"
#include "search/scanning/folder_match.h"
#include "search/scanning/two_halves.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <limits>
#include <numeric>
#include <optional>

namespace zaptrove {

namespace {

// Repeats a file reader's keeping of one bookmark.
class Keeper {
  public:
    Keeper(const Matcher& matcher, KeptRows::Rule rule) : matcher_(matcher), rule_(rule) {}
    // A keeper of the same rows with scratch space of its own, for another thread.
    Keeper another() const { return {matcher_, rule_}; }

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
    // Each row's rank by its name's key and by its address's, made when first
    // asked for, with the key maker they were made by.
    struct Ranks {
        void (*madeBy)(std::string_view, std::string&) = nullptr;
        std::shared_ptr<const std::vector<std::uint32_t>> ofRows;
    };
    mutable std::mutex ranksLock;
    mutable std::array<Ranks, 2> ranks;

    // Appends the rows of pRecords from pFirst on, in their order, and erases
    // those records; answers how many. Rows are placed in the text by 32 bits
    // (see kMaxFileBytes): records that would take the text past them stay
    // where they are, as does every record after them, so that none is
    // appended out of order (a file that grew while read is not kept anyway).
    std::size_t append(std::vector<Bookmark>& pRecords, std::size_t pFirst) {
        std::size_t textBytes = text.size();
        for (std::size_t k = pFirst; k < pRecords.size(); ++k) {
            textBytes += pRecords[k].Name.size() + pRecords[k].URL.size();
        }
        if (textBytes > std::numeric_limits<std::uint32_t>::max()) {
            return 0;
        }
        for (std::size_t k = pFirst; k < pRecords.size(); ++k) {
            const Bookmark& bookmark = pRecords[k];
            if (folders.empty() || folders.back().innermost() != bookmark.Folder.innermost()) {
                folders.push_back(bookmark.Folder);
            }
            rows.push_back({static_cast<std::uint32_t>(text.size()),
                            static_cast<std::uint32_t>(bookmark.Name.size()),
                            static_cast<std::uint32_t>(bookmark.URL.size()),
                            static_cast<std::uint32_t>(folders.size() - 1)});
            text += bookmark.Name;
            text += bookmark.URL;
        }
        const std::size_t appended = pRecords.size() - pFirst;
        pRecords.erase(pRecords.begin() + static_cast<std::ptrdiff_t>(pFirst), pRecords.end());
        return appended;
    }

    // Makes the rows of the records a reading hands on as it goes: the
    // reading holds a batch of records at a time, never all of them.
    class Filling : public RecordDrain {
      public:
        // Text of about textBytes is room only until the rows fill it: the
        // pages never filled take no memory.
        Filling(FileReader reader, const platform::FileState& state, std::size_t textBytes)
            : file_(std::make_shared<File>()) {
            file_->reader = reader;
            file_->state = state;
            file_->text.reserve(textBytes);
        }
        // The rows of the reading, once pLeft, the records it left, are
        // appended too; pLeft keeps those that did not fit.
        std::shared_ptr<File> filled(std::vector<Bookmark>& pLeft) {
            file_->append(pLeft, 0);
            file_->folders.shrink_to_fit();
            return file_;
        }

      private:
        std::size_t take(std::vector<Bookmark>& pRecords, std::size_t pFirst) override {
            return file_->append(pRecords, pFirst);
        }
        void drop() override {
            file_->text.clear();
            file_->rows.clear();
            file_->folders.clear();
        }
        std::shared_ptr<File> file_;
    };

    // The indexes of the rows pKeeper keeps, in two parts: the first half's
    // and the second's. A file of many rows is matched in two halves at
    // once, the second on a thread of its own. The text is searched for
    // candidate places as a file's is, and only the rows that hold one are
    // matched.
    std::array<std::vector<std::uint32_t>, 2> keptInHalves(Keeper& keeper) const {
        const std::size_t half = rows.size() / 2;
        Keeper laterKeeper = keeper.another();
        std::array<std::vector<std::uint32_t>, 2> kept;
        runInHalves(
            rows.size() >= kRowsInHalves,
            [&] { kept[1] = keptRows(laterKeeper, half, rows.size()); },
            [&] { kept[0] = keptRows(keeper, 0, half); });
        return kept;
    }

    // Appends the records of the rows pKeeper keeps, in the rows' order;
    // answers how many. Many are made in two halves at once.
    std::size_t appendKept(Keeper& keeper, const KeptRowOrder& order,
                           std::vector<Bookmark>& candidates) const {
        const std::array<std::vector<std::uint32_t>, 2> halves = keptInHalves(keeper);
        const std::vector<std::uint32_t>& kept = halves[0];
        const std::vector<std::uint32_t>& keptLater = halves[1];
        const std::size_t first = candidates.size();
        const std::size_t total = kept.size() + keptLater.size();
        // Grown at least twofold, so that many sources appended one after
        // the other still move each record only a few times.
        if (const std::size_t needed = first + total; needed > candidates.capacity()) {
            candidates.reserve(std::max(needed, 2 * candidates.capacity()));
        }
        candidates.resize(first + total);
        const std::shared_ptr<const std::vector<std::uint32_t>> ranked =
            total == 0 ? nullptr : ranksBy(order);
        const bool givesFolder = keeper.givesFolder();
        runInHalves(
            total >= kRowsInHalves,
            [&] {
                fill(keptLater, ranked.get(), givesFolder, candidates.data() + first + kept.size());
            },
            [&] { fill(kept, ranked.get(), givesFolder, candidates.data() + first); });
        return total;
    }

    // Rows this many or more are matched, or made records, in two halves at once.
    static constexpr std::size_t kRowsInHalves = 4096;

    // The indexes of the rows in [begin, end) pKeeper keeps.
    std::vector<std::uint32_t> keptRows(Keeper& keeper, std::size_t begin, std::size_t end) const {
        const std::string_view all = text;
        const MatchPrefilter* skipsBy = keeper.skipsBy();
        std::vector<std::uint32_t> kept;
        std::size_t candidate = 0;
        for (std::size_t k = begin; k < end; ++k) {
            const Row& row = rows[k];
            if (skipsBy != nullptr) {
                if (candidate < row.at) {
                    candidate = skipsBy->findCandidate(all, row.at);
                }
                if (candidate >= std::size_t{row.at} + row.nameBytes + row.urlBytes) {
                    continue;
                }
            }
            if (keeper.keeps(nameOf(row), urlOf(row), folders[row.folder])) {
                kept.push_back(static_cast<std::uint32_t>(k));
            }
        }
        return kept;
    }

    // Makes the records of the rows pKept into the records from pRecords on.
    void fill(const std::vector<std::uint32_t>& kept, const std::vector<std::uint32_t>* ranked,
              bool givesFolder, Bookmark* records) const {
        for (const std::uint32_t k : kept) {
            makeRecord(k, ranked, givesFolder, *records++);
        }
    }

    // Makes row k's record, of no source yet, in a fresh record.
    void makeRecord(std::uint32_t k, const std::vector<std::uint32_t>* ranked, bool givesFolder,
                    Bookmark& record) const {
        const Row& row = rows[k];
        record.Name = nameOf(row);
        record.URL = urlOf(row);
        if (givesFolder) {
            record.Folder = folders[row.folder];
        }
        if (ranked != nullptr) {
            record.Rank.value = (*ranked)[k];
        }
    }

    // The rows' ranks by order's key, null for no order.
    std::shared_ptr<const std::vector<std::uint32_t>> ranksBy(const KeptRowOrder& order) const {
        if (order.appendKey == nullptr) {
            return nullptr;
        }
        const std::scoped_lock holding(ranksLock);
        Ranks& held = ranks[order.byAddress ? 1 : 0];
        if (held.madeBy != order.appendKey) {
            held = {order.appendKey,
                    std::make_shared<const std::vector<std::uint32_t>>(rankRows(order))};
        }
        return held.ofRows;
    }

    // Each row's key's place among the distinct keys, from 1; rows of equal
    // keys share it, as comparing their keys finds them equal.
    std::vector<std::uint32_t> rankRows(const KeptRowOrder& order) const {
        std::string keys;
        keys.reserve(text.size());
        std::vector<std::size_t> keyEnds;
        keyEnds.reserve(rows.size());
        for (const Row& row : rows) {
            order.appendKey(order.byAddress ? urlOf(row) : nameOf(row), keys);
            keyEnds.push_back(keys.size());
        }
        const auto keyOf = [&](std::uint32_t k) {
            const std::size_t start = k == 0 ? 0 : keyEnds[k - 1];
            return std::string_view(keys).substr(start, keyEnds[k] - start);
        };
        std::vector<std::uint32_t> byKey(rows.size());
        std::iota(byKey.begin(), byKey.end(), std::uint32_t{0});
        std::sort(byKey.begin(), byKey.end(),
                  [&](std::uint32_t a, std::uint32_t b) { return keyOf(a) < keyOf(b); });
        std::vector<std::uint32_t> rankOf(rows.size());
        std::uint32_t rank = 0;
        for (std::size_t k = 0; k < byKey.size(); ++k) {
            if (k == 0 || keyOf(byKey[k - 1]) != keyOf(byKey[k])) {
                ++rank;
            }
            rankOf[byKey[k]] = rank;
        }
        return rankOf;
    }

    std::string_view nameOf(const Row& row) const {
        return std::string_view(text).substr(row.at, row.nameBytes);
    }
    std::string_view urlOf(const Row& row) const {
        return std::string_view(text).substr(row.at + row.nameBytes, row.urlBytes);
    }

    std::size_t bytes() const {
        std::size_t rankBytes = 0;
        {
            const std::scoped_lock holding(ranksLock);
            for (const Ranks& held : ranks) {
                rankBytes += held.ofRows == nullptr ? 0 : held.ofRows->capacity() * 4;
            }
        }
        return sizeof(File) + text.capacity() + rows.capacity() * sizeof(Row) +
               folders.capacity() * sizeof(FolderPath) + rankBytes;
    }
};

std::uint32_t KeptMatch::rank(std::size_t pPlace) const {
    return ranks_ == nullptr ? 0 : (*ranks_)[rows_[pPlace]];
}

Bookmark KeptMatch::record(std::size_t pPlace) const {
    Bookmark record;
    file_->makeRecord(rows_[pPlace], ranks_.get(), givesFolder_, record);
    record.Source = source;
    return record;
}

void KeptMatch::reorder(const std::vector<std::uint32_t>& pFrom) {
    std::vector<std::uint32_t> rows(pFrom.size());
    std::transform(pFrom.begin(), pFrom.end(), rows.begin(),
                   [this](std::uint32_t from) { return rows_[from]; });
    rows_ = std::move(rows);
}

SourceReading KeptRows::read(std::string_view pPath, FileReader pReader, Rule pRule,
                             const Matcher& pMatcher, std::vector<Bookmark>& pCandidates,
                             const DebugLog& pLog, KeptRowOrder pOrder, KeptMatch* pMatched) {
    const std::optional<platform::FileState> before = platform::fileState(pPath);
    if (!before || before->size > kMaxFileBytes || platform::changedLately(*before)) {
        keep(pPath, nullptr);
        return pReader(pPath, pMatcher, pCandidates, pLog);
    }
    Keeper keeper(pMatcher, pRule);
    // The rows the kept file keeps, as records or as indexes.
    const auto keptOf = [&](const std::shared_ptr<const File>& file) {
        std::size_t kept = 0;
        if (pMatched == nullptr) {
            kept = file->appendKept(keeper, pOrder, pCandidates);
        } else {
            auto [first, later] = file->keptInHalves(keeper);
            first.insert(first.end(), later.begin(), later.end());
            kept = first.size();
            pMatched->file_ = file;
            pMatched->ranks_ = kept == 0 ? nullptr : file->ranksBy(pOrder);
            pMatched->givesFolder_ = keeper.givesFolder();
            pMatched->rows_ = std::move(first);
        }
        return keeper.reading(kept, file->counted, {});
    };
    // The file must still open, so that one made unreadable without a change
    // of its contents is reported as its reader finds it.
    if (const std::shared_ptr<const File> kept = keptFor(pPath);
        kept != nullptr && kept->reader == pReader && kept->state == *before &&
        platform::FileReader(pPath).isOpen()) {
        pLog.subDebug(LOG_INFO, "Unchanged since its last reading: " + std::string(pPath));
        return keptOf(kept);
    }
    keep(pPath, nullptr);       // its memory goes before the new reading's comes
    std::vector<Bookmark> left; // the records the rows did not take
    std::shared_ptr<File> file;
    SourceReading reading;
    {
        File::Filling filling(pReader, *before, before->size);
        reading = pReader(pPath, Matcher("", SearchMode::Both), left, pLog);
        file = filling.filled(left);
    }
    file->counted = reading.BookmarkCount;
    if (reading.readWhole() && left.empty() && platform::fileState(pPath) == before) {
        keep(pPath, file);
        return keptOf(file);
    }
    // Not kept: the reading of this search only, in its order.
    std::size_t kept = file->appendKept(keeper, {}, pCandidates);
    for (Bookmark& bookmark : left) {
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
