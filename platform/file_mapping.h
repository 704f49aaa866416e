// SPDX-License-Identifier: MIT
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string_view>

namespace zaptrove::platform {

class FileReader;
class PagesAhead;

// A file open in a FileReader, read in place in its mapped pages, a part at a
// time, where nothing read that way can come from a file that changed: only a
// file whose last change (of its bytes or of its entry) is more than two
// seconds old is mapped, so that a change after the mapping began gets another
// change time, which unchanged() then sees. A page the file no longer reaches
// (it shrank since) reads as zero bytes instead of ending the program, and
// unchanged() turns false. POSIX only (posix/file_mapping.cpp): on Windows
// nothing is mapped, and files are read.
class FileMapping {
  public:
    explicit FileMapping(FileReader& pFile);
    ~FileMapping();
    FileMapping(const FileMapping&) = delete;
    FileMapping& operator=(const FileMapping&) = delete;

    // False where the file is to be read instead: it changed lately, the
    // system does not map it, or too many files are mapped at once.
    bool isUsable() const { return guard_ >= 0; }
    // The file's length when the mapping began.
    std::uint64_t length() const { return stamp_.size; }
    // Maps pSize bytes from pOffset, no further than length(), in place of
    // the part mapped before, and answers them with the bytes mapped after
    // them (the part ends at a 2 MiB boundary); nothing when the system cannot
    // map them.
    std::optional<std::string_view> map(std::uint64_t pOffset, std::size_t pSize);
    // Maps now, beside the part mapped, the bytes the next map() is to ask
    // for, and has a helper thread take their page faults meanwhile, on
    // another processor; that map() then answers them at once. Nothing where
    // no helper thread can be had.
    void prepare(std::uint64_t pOffset, std::size_t pSize);
    // Whether the file still is what it was when the mapping began (the same
    // file, length and change times) and no mapped page met its end: every
    // byte taken from the parts mapped so far was then the file's.
    bool unchanged() const;

    // What tells a file's bytes or entry changed.
    struct Stamp {
        std::uint64_t device = 0;
        std::uint64_t number = 0;
        std::uint64_t size = 0;
        std::int64_t modified = 0; // its bytes, in nanoseconds
        std::int64_t changed = 0;  // its bytes or its entry
        bool operator==(const Stamp&) const = default;
    };

  private:
    // A part mapped, and what map() or prepare() asked for.
    struct Part {
        void* at = nullptr;
        std::size_t bytes = 0;
        std::uint64_t offset = 0;
        std::size_t size = 0;
    };
    static constexpr std::size_t kNoPart = 2;

    bool mapPart(std::size_t pSlot, std::uint64_t pOffset, std::size_t pSize);
    std::string_view textOf(const Part& pPart) const;
    void unmap(std::size_t pSlot);

    FileReader& file_;
    Stamp stamp_;
    int guard_ = -1; // the bus-error guard watching the parts mapped, -1 for none
    // The part map() answered and the one prepared, each watched by the
    // guard's range of the same place.
    std::array<Part, 2> parts_;
    std::size_t current_ = 0;       // the place of the part map() answered
    std::size_t touched_ = kNoPart; // the place of the part the helper was given
    std::unique_ptr<PagesAhead> ahead_;
    bool aheadTried_ = false;
};

} // namespace zaptrove::platform
