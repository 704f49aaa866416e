// SPDX-License-Identifier: MIT
#include "platform/posix/file_ring.h"

#include <liburing.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <unistd.h>
#include <utility>

namespace zaptrove::platform {

namespace {

// Open and read.
constexpr unsigned kRequestsPerFile = 2;

} // namespace

struct FileRing::Ring {
    io_uring ring{};
    bool made = false;
    std::unique_ptr<char[]> buffers = std::make_unique<char[]>(kRunFiles * kFileBytes);
    std::array<int, kRunFiles> got{}; // per file of the run: the bytes read, or the error

    Ring() = default;
    Ring(const Ring&) = delete;
    Ring& operator=(const Ring&) = delete;
    ~Ring() {
        if (made) {
            io_uring_queue_exit(&ring);
        }
    }

    char* buffer(std::size_t index) const { return buffers.get() + index * kFileBytes; }

    // A ring, and a table for a run's open files.
    static std::unique_ptr<Ring> setUp() {
        auto made = std::make_unique<Ring>();
        made->made = io_uring_queue_init(kRequestsPerFile * kRunFiles, &made->ring, 0) == 0;
        if (!made->made || io_uring_register_files_sparse(&made->ring, kRunFiles) != 0) {
            return nullptr;
        }
        return made;
    }
};

FileRing::FileRing(std::unique_ptr<Ring> ring) : ring_(std::move(ring)) {}

FileRing::~FileRing() = default;

FileRing* FileRing::ofThisThread() {
    thread_local std::unique_ptr<FileRing> ring;
    // A child made by fork shares its parent's ring memory: it makes its own.
    thread_local pid_t madeIn = 0;
    if (madeIn != getpid()) {
        madeIn = getpid();
        ring.reset();
        if (std::unique_ptr<Ring> made = Ring::setUp()) {
            ring.reset(new FileRing(std::move(made)));
        }
    }
    return ring && ring->ring_ ? ring.get() : nullptr;
}

void FileRing::stop() {
    ring_.reset();
}

std::size_t FileRing::readRun(int folderFd, std::string_view names, std::size_t start,
                              int openFlags) {
    if (!ring_) {
        return start; // stopped
    }
    Ring& ring = *ring_;
    std::size_t files = 0;
    unsigned queued = 0;
    std::size_t at = start;
    for (; at < names.size() && files < kRunFiles; ++files) {
        const char* name = names.data() + at;
        at += std::strlen(name) + 1;
        // An absolute name would leave the folder: the caller reads it by its path.
        ring.got[files] = -EXDEV;
        if (name[0] == '/') {
            continue;
        }
        // Opened into the table's place of its number (closing the file the
        // last run left there), then read from there once open; a file that
        // cannot be opened is not read.
        const auto place = static_cast<unsigned>(files);
        io_uring_sqe* open = io_uring_get_sqe(&ring.ring);
        io_uring_prep_openat_direct(open, folderFd, name, openFlags, 0, place);
        open->flags |= IOSQE_IO_LINK;
        io_uring_sqe_set_data64(open, 0); // the ring's memory keeps the last run's
        io_uring_sqe* read = io_uring_get_sqe(&ring.ring);
        io_uring_prep_read(read, static_cast<int>(place), ring.buffer(files), kFileBytes, 0);
        read->flags |= IOSQE_FIXED_FILE;
        io_uring_sqe_set_data64(read, files + 1); // 0 for the opening
        queued += kRequestsPerFile;
    }
    const int submitted = queued == 0 ? 0 : io_uring_submit_and_wait(&ring.ring, queued);
    bool usable = submitted >= 0 && static_cast<unsigned>(submitted) == queued;
    // Every request the system took answers once, read into the buffers: all
    // are waited for, whatever else fails.
    for (int answered = 0; answered < submitted;) {
        io_uring_cqe* answer = nullptr;
        const int waited = io_uring_wait_cqe(&ring.ring, &answer);
        if (waited == -EINTR) {
            continue;
        }
        if (waited < 0) {
            (void)ring.buffers.release(); // the system may still write there
            usable = false;
            break;
        }
        const std::uint64_t request = io_uring_cqe_get_data64(answer);
        const int result = answer->res;
        io_uring_cqe_seen(&ring.ring, answer);
        ++answered;
        if (request != 0) {
            ring.got[request - 1] = result;
            // A system that cannot read a file opened in the same run.
            usable = usable && result != -EBADF && result != -EINVAL;
        }
    }
    if (!usable) {
        stop();
    }
    placesTaken_ = std::max(placesTaken_, files);
    return at;
}

void FileRing::closeFiles() {
    if (ring_ && placesTaken_ > 0) {
        std::array<int, kRunFiles> none{};
        none.fill(-1);
        io_uring_register_files_update(&ring_->ring, 0, none.data(),
                                       static_cast<unsigned>(placesTaken_));
    }
    placesTaken_ = 0;
}

std::optional<std::string_view> FileRing::wholeFile(std::size_t index) const {
    if (!ring_ || index >= kRunFiles || ring_->got[index] < 0 ||
        static_cast<std::size_t>(ring_->got[index]) >= kFileBytes) {
        return std::nullopt;
    }
    return std::string_view(ring_->buffer(index), static_cast<std::size_t>(ring_->got[index]));
}

} // namespace zaptrove::platform
