#include "FaultyVfs.h"

#include <atomic>
#include <cstring>
#include <sqlite3.h>

namespace FaultyVfs {

namespace {

struct State {
    bool armed = false;
    Operation operation = Operation::Write;
    std::int64_t nth = 0;
    Mode mode = Mode::Once;
    std::int64_t calls = 0;
    std::int64_t injected = 0;
};
State state;

sqlite3_vfs* real = nullptr;
sqlite3_vfs faulty;

// The wrapped file: our header first, the real file's bytes after it.
struct File {
    sqlite3_file base;
    sqlite3_file* real() { return reinterpret_cast<sqlite3_file*>(this + 1); }
};

File* wrapped(sqlite3_file* f) {
    return reinterpret_cast<File*>(f);
}

// Whether this call of operation fails.
bool fails(Operation operation) {
    if (!state.armed || state.operation != operation)
        return false;
    const std::int64_t n = ++state.calls;
    const bool fail = state.mode == Mode::Once ? n == state.nth : n >= state.nth;
    if (fail)
        ++state.injected;
    return fail;
}

int xClose(sqlite3_file* f) {
    sqlite3_file* r = wrapped(f)->real();
    const int rc = r->pMethods ? r->pMethods->xClose(r) : SQLITE_OK;
    return rc;
}
int xRead(sqlite3_file* f, void* buf, int n, sqlite3_int64 off) {
    sqlite3_file* r = wrapped(f)->real();
    return r->pMethods->xRead(r, buf, n, off);
}
int xWrite(sqlite3_file* f, const void* buf, int n, sqlite3_int64 off) {
    if (fails(Operation::Write))
        return SQLITE_IOERR_WRITE;
    sqlite3_file* r = wrapped(f)->real();
    return r->pMethods->xWrite(r, buf, n, off);
}
int xTruncate(sqlite3_file* f, sqlite3_int64 size) {
    sqlite3_file* r = wrapped(f)->real();
    return r->pMethods->xTruncate(r, size);
}
int xSync(sqlite3_file* f, int flags) {
    if (fails(Operation::Sync))
        return SQLITE_IOERR_FSYNC;
    sqlite3_file* r = wrapped(f)->real();
    return r->pMethods->xSync(r, flags);
}
int xFileSize(sqlite3_file* f, sqlite3_int64* size) {
    sqlite3_file* r = wrapped(f)->real();
    return r->pMethods->xFileSize(r, size);
}
int xLock(sqlite3_file* f, int level) {
    if (fails(Operation::Lock))
        return SQLITE_IOERR_LOCK;
    sqlite3_file* r = wrapped(f)->real();
    return r->pMethods->xLock(r, level);
}
int xUnlock(sqlite3_file* f, int level) {
    sqlite3_file* r = wrapped(f)->real();
    return r->pMethods->xUnlock(r, level);
}
int xCheckReservedLock(sqlite3_file* f, int* out) {
    sqlite3_file* r = wrapped(f)->real();
    return r->pMethods->xCheckReservedLock(r, out);
}
int xFileControl(sqlite3_file* f, int op, void* arg) {
    sqlite3_file* r = wrapped(f)->real();
    return r->pMethods->xFileControl(r, op, arg);
}
int xSectorSize(sqlite3_file* f) {
    sqlite3_file* r = wrapped(f)->real();
    return r->pMethods->xSectorSize(r);
}
int xDeviceCharacteristics(sqlite3_file* f) {
    sqlite3_file* r = wrapped(f)->real();
    return r->pMethods->xDeviceCharacteristics(r);
}
int xShmMap(sqlite3_file* f, int page, int size, int extend, void volatile** out) {
    sqlite3_file* r = wrapped(f)->real();
    return r->pMethods->xShmMap(r, page, size, extend, out);
}
int xShmLock(sqlite3_file* f, int offset, int n, int flags) {
    // the WAL index locks count as locks too
    if (fails(Operation::Lock))
        return SQLITE_IOERR_SHMLOCK;
    sqlite3_file* r = wrapped(f)->real();
    return r->pMethods->xShmLock(r, offset, n, flags);
}
void xShmBarrier(sqlite3_file* f) {
    sqlite3_file* r = wrapped(f)->real();
    r->pMethods->xShmBarrier(r);
}
int xShmUnmap(sqlite3_file* f, int deleteFlag) {
    sqlite3_file* r = wrapped(f)->real();
    return r->pMethods->xShmUnmap(r, deleteFlag);
}
int xFetch(sqlite3_file* f, sqlite3_int64 off, int n, void** out) {
    sqlite3_file* r = wrapped(f)->real();
    return r->pMethods->xFetch(r, off, n, out);
}
int xUnfetch(sqlite3_file* f, sqlite3_int64 off, void* p) {
    sqlite3_file* r = wrapped(f)->real();
    return r->pMethods->xUnfetch(r, off, p);
}

const sqlite3_io_methods methods = {3,
                                    xClose,
                                    xRead,
                                    xWrite,
                                    xTruncate,
                                    xSync,
                                    xFileSize,
                                    xLock,
                                    xUnlock,
                                    xCheckReservedLock,
                                    xFileControl,
                                    xSectorSize,
                                    xDeviceCharacteristics,
                                    xShmMap,
                                    xShmLock,
                                    xShmBarrier,
                                    xShmUnmap,
                                    xFetch,
                                    xUnfetch};

int xOpen(sqlite3_vfs*, sqlite3_filename name, sqlite3_file* f, int flags, int* outFlags) {
    File* file = wrapped(f);
    std::memset(file->real(), 0, size_t(real->szOsFile));
    file->base.pMethods = nullptr;
    const int rc = real->xOpen(real, name, file->real(), flags, outFlags);
    if (file->real()->pMethods)
        file->base.pMethods = &methods;
    return rc;
}

} // namespace

bool install() {
    if (real)
        return true;
    real = sqlite3_vfs_find(nullptr);
    if (!real || real->iVersion < 3)
        return false;
    faulty = *real;
    faulty.zName = "faulty";
    faulty.szOsFile = int(sizeof(File)) + real->szOsFile;
    faulty.xOpen = xOpen;
    return sqlite3_vfs_register(&faulty, 1) == SQLITE_OK;
}

void arm(Operation operation, std::int64_t nth, Mode mode) {
    state = State{true, operation, nth, mode, 0, 0};
}

void disarm() {
    state.armed = false;
}

std::int64_t injected() {
    return state.injected;
}

std::int64_t calls() {
    return state.calls;
}

} // namespace FaultyVfs
