// SPDX-License-Identifier: MIT
#include "platform/posix/file_ring.h"

#include <liburing.h>

#include <array>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <unistd.h>

namespace zaptrove::platform {

struct FileRing::Ring {
    io_uring ring{};
    bool made = false;
    pid_t process = getpid(); // a child made by fork shares the ring's memory: it makes its own
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

    // A ring that waits on its work only when asked to, and a table of a run's
    // files, each run's taking the places of the last's (which closes them).
    static std::unique_ptr<Ring> setUp() {
        auto made = std::make_unique<Ring>();
        io_uring_params quiet{};
        quiet.flags = IORING_SETUP_SINGLE_ISSUER | IORING_SETUP_DEFER_TASKRUN;
        io_uring_params plain{};
        made->made = io_uring_queue_init_params(2 * kRunFiles, &made->ring, &quiet) == 0 ||
                     io_uring_queue_init_params(2 * kRunFiles, &made->ring, &plain) == 0;
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
        // Opened into the table's place of its number, then read from there
        // once it is open; a file that cannot be opened is not read.
        io_uring_sqe* open = io_uring_get_sqe(&ring.ring);
        io_uring_prep_openat_direct(open, folderFd, name, openFlags, 0,
                                    static_cast<unsigned>(files));
        open->flags |= IOSQE_IO_LINK;
        io_uring_sqe_set_data64(open, files * 2);
        io_uring_sqe* read = io_uring_get_sqe(&ring.ring);
        io_uring_prep_read(read, static_cast<int>(files), ring.buffer(files), kFileBytes, 0);
        read->flags |= IOSQE_FIXED_FILE;
        io_uring_sqe_set_data64(read, files * 2 + 1);
        queued += 2;
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
        if (request % 2 == 1) {
            ring.got[request / 2] = result;
            // A system that cannot read a file opened in the same run.
            usable = usable && result != -EBADF && result != -EINVAL;
        }
    }
    if (!usable) {
        stop();
    }
    return at;
}

std::optional<std::string_view> FileRing::wholeFile(std::size_t index) const {
    if (!ring_ || index >= kRunFiles || ring_->got[index] < 0 ||
        static_cast<std::size_t>(ring_->got[index]) >= kFileBytes) {
        return std::nullopt;
    }
    return std::string_view(ring_->buffer(index), static_cast<std::size_t>(ring_->got[index]));
}

} // namespace zaptrove::platform
