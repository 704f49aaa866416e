// SPDX-License-Identifier: MIT
#include "search/sources/places_vfs.h"

#include <sqlite3.h>

namespace zaptrove {

namespace {

// A file opened through the system's own file system, which follows this
// header in the memory SQLite gives for a file.
struct alignas(8) ReadOnlyFile {
    sqlite3_file base;
    sqlite3_file* wrapped() { return reinterpret_cast<sqlite3_file*>(this + 1); }
};

ReadOnlyFile* self(sqlite3_file* file) {
    return reinterpret_cast<ReadOnlyFile*>(file);
}

sqlite3_vfs* systemVfs(sqlite3_vfs* vfs) {
    return static_cast<sqlite3_vfs*>(vfs->pAppData);
}

int closeFile(sqlite3_file* file) {
    sqlite3_file* wrapped = self(file)->wrapped();
    return wrapped->pMethods->xClose(wrapped);
}

int readFile(sqlite3_file* file, void* into, int size, sqlite3_int64 offset) {
    sqlite3_file* wrapped = self(file)->wrapped();
    return wrapped->pMethods->xRead(wrapped, into, size, offset);
}

int refuseWrite(sqlite3_file*, const void*, int, sqlite3_int64) {
    return SQLITE_READONLY;
}

int refuseTruncate(sqlite3_file*, sqlite3_int64) {
    return SQLITE_READONLY;
}

int nothingToSync(sqlite3_file*, int) {
    return SQLITE_OK;
}

int fileSize(sqlite3_file* file, sqlite3_int64* size) {
    sqlite3_file* wrapped = self(file)->wrapped();
    return wrapped->pMethods->xFileSize(wrapped, size);
}

// Locks are granted without asking the system: the browser is never waited
// for and never kept from its own file.
int grantLock(sqlite3_file*, int) {
    return SQLITE_OK;
}

int noReservedLock(sqlite3_file*, int* reserved) {
    *reserved = 0;
    return SQLITE_OK;
}

int noFileControl(sqlite3_file*, int, void*) {
    return SQLITE_NOTFOUND;
}

int sectorSize(sqlite3_file* file) {
    sqlite3_file* wrapped = self(file)->wrapped();
    return wrapped->pMethods->xSectorSize(wrapped);
}

int deviceCharacteristics(sqlite3_file* file) {
    sqlite3_file* wrapped = self(file)->wrapped();
    return wrapped->pMethods->xDeviceCharacteristics(wrapped);
}

// Version 1: no shared memory (so no -shm file) and no memory mapping (a file
// the browser shortens meanwhile cannot fault the reader).
constexpr sqlite3_io_methods kFileMethods = {1,
                                             closeFile,
                                             readFile,
                                             refuseWrite,
                                             refuseTruncate,
                                             nothingToSync,
                                             fileSize,
                                             grantLock,
                                             grantLock,
                                             noReservedLock,
                                             noFileControl,
                                             sectorSize,
                                             deviceCharacteristics,
                                             nullptr,
                                             nullptr,
                                             nullptr,
                                             nullptr,
                                             nullptr,
                                             nullptr};

// Opens the main database and its log read-only where they lie; any other
// file (a journal, a temporary file) is refused.
int openFile(sqlite3_vfs* vfs, const char* name, sqlite3_file* file, int flags, int* outFlags) {
    ReadOnlyFile* f = self(file);
    f->base.pMethods = nullptr;
    const int kind = flags & (SQLITE_OPEN_MAIN_DB | SQLITE_OPEN_WAL);
    if (name == nullptr || (kind != SQLITE_OPEN_MAIN_DB && kind != SQLITE_OPEN_WAL)) {
        return SQLITE_CANTOPEN;
    }
    sqlite3_vfs* system = systemVfs(vfs);
    f->wrapped()->pMethods = nullptr;
    const int status = system->xOpen(system, name, f->wrapped(),
                                     SQLITE_OPEN_READONLY | SQLITE_OPEN_MAIN_DB, nullptr);
    if (status != SQLITE_OK) {
        if (f->wrapped()->pMethods != nullptr) {
            f->wrapped()->pMethods->xClose(f->wrapped());
        }
        return status;
    }
    f->base.pMethods = &kFileMethods;
    if (outFlags != nullptr) {
        *outFlags = SQLITE_OPEN_READONLY | kind;
    }
    return SQLITE_OK;
}

int refuseDelete(sqlite3_vfs*, const char*, int) {
    return SQLITE_IOERR_DELETE;
}

int access(sqlite3_vfs* vfs, const char* name, int flags, int* result) {
    sqlite3_vfs* system = systemVfs(vfs);
    return system->xAccess(system, name, flags, result);
}

int fullPathname(sqlite3_vfs* vfs, const char* name, int size, char* out) {
    sqlite3_vfs* system = systemVfs(vfs);
    return system->xFullPathname(system, name, size, out);
}

int randomness(sqlite3_vfs* vfs, int size, char* out) {
    sqlite3_vfs* system = systemVfs(vfs);
    return system->xRandomness(system, size, out);
}

int sleep(sqlite3_vfs* vfs, int microseconds) {
    sqlite3_vfs* system = systemVfs(vfs);
    return system->xSleep(system, microseconds);
}

int currentTime(sqlite3_vfs* vfs, double* now) {
    sqlite3_vfs* system = systemVfs(vfs);
    return system->xCurrentTime(system, now);
}

int lastError(sqlite3_vfs* vfs, int size, char* out) {
    sqlite3_vfs* system = systemVfs(vfs);
    return system->xGetLastError(system, size, out);
}

sqlite3_vfs* registered() {
    static sqlite3_vfs vfs = [] {
        sqlite3_vfs* system = sqlite3_vfs_find(nullptr);
        sqlite3_vfs made{};
        made.iVersion = 1;
        made.szOsFile = static_cast<int>(sizeof(ReadOnlyFile)) + system->szOsFile;
        made.mxPathname = system->mxPathname;
        made.zName = "zaptrove-read-in-place";
        made.pAppData = system;
        made.xOpen = openFile;
        made.xDelete = refuseDelete;
        made.xAccess = access;
        made.xFullPathname = fullPathname;
        made.xRandomness = randomness;
        made.xSleep = sleep;
        made.xCurrentTime = currentTime;
        made.xGetLastError = lastError;
        return made;
    }();
    static const int status = sqlite3_vfs_register(&vfs, 0);
    return status == SQLITE_OK ? &vfs : nullptr;
}

} // namespace

const char* fnReadInPlaceVfs() {
    const sqlite3_vfs* vfs = registered();
    return vfs == nullptr ? nullptr : vfs->zName;
}

} // namespace zaptrove
