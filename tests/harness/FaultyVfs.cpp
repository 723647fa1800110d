#include "FaultyVfs.h"

#include <cstring>
#include <fcntl.h>
#include <map>
#include <memory>
#include <random>
#include <sqlite3.h>
#include <string>
#include <unistd.h>
#include <vector>

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

// ---- power cut: changes held until a sync -------------------------------

struct Change {
    bool truncate = false;
    sqlite3_int64 offset = 0; // or the size truncated to
    std::string bytes;
};
// One file as the process sees it (image) and what of it is not on disk.
struct Held {
    std::string image;
    std::vector<Change> unsynced;
};
struct PowerCut {
    bool armed = false;
    std::int64_t nth = 0;
    std::int64_t calls = 0;
    std::mt19937 random;
    std::map<std::string, std::unique_ptr<Held>> files;
};
PowerCut cut;

// What reaches the disk when the power goes, then the end of the process.
[[noreturn]] void powerGoes() {
    for (auto& [path, held] : cut.files) {
        if (held->unsynced.empty())
            continue;
        const int fd = ::open(path.c_str(), O_WRONLY);
        if (fd < 0)
            continue;
        const auto kept =
            std::uniform_int_distribution<size_t>(0, held->unsynced.size())(cut.random);
        for (size_t i = 0; i <= kept && i < held->unsynced.size(); ++i) {
            const Change& c = held->unsynced[i];
            if (c.truncate) {
                if (i < kept)
                    (void)!::ftruncate(fd, c.offset);
                continue;
            }
            size_t length = c.bytes.size();
            if (i == kept) // the one the power cut in: torn somewhere, or not written
                length = std::uniform_int_distribution<size_t>(0, length)(cut.random);
            (void)!::pwrite(fd, c.bytes.data(), length, c.offset);
        }
        ::close(fd);
    }
    ::_exit(PowerCutExit);
}

void countTowardsCut() {
    if (cut.armed && ++cut.calls >= cut.nth)
        powerGoes();
}

// The wrapped file: our header first, the real file's bytes after it.
struct File {
    sqlite3_file base;
    Held* held; // the power-cut image, or none: straight through
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
    if (Held* held = wrapped(f)->held) {
        const auto size = sqlite3_int64(held->image.size());
        const auto available = off >= size ? 0 : std::min<sqlite3_int64>(n, size - off);
        if (available > 0)
            std::memcpy(buf, held->image.data() + off, size_t(available));
        if (available == n)
            return SQLITE_OK;
        std::memset(static_cast<char*>(buf) + available, 0, size_t(n - available));
        return SQLITE_IOERR_SHORT_READ;
    }
    sqlite3_file* r = wrapped(f)->real();
    return r->pMethods->xRead(r, buf, n, off);
}
int xWrite(sqlite3_file* f, const void* buf, int n, sqlite3_int64 off) {
    if (fails(Operation::Write))
        return SQLITE_IOERR_WRITE;
    if (Held* held = wrapped(f)->held) {
        countTowardsCut();
        if (held->image.size() < size_t(off + n))
            held->image.resize(size_t(off + n), '\0');
        std::memcpy(held->image.data() + off, buf, size_t(n));
        held->unsynced.push_back(
            {false, off, std::string(static_cast<const char*>(buf), size_t(n))});
        return SQLITE_OK;
    }
    sqlite3_file* r = wrapped(f)->real();
    return r->pMethods->xWrite(r, buf, n, off);
}
int xTruncate(sqlite3_file* f, sqlite3_int64 size) {
    if (Held* held = wrapped(f)->held) {
        held->image.resize(size_t(size), '\0');
        held->unsynced.push_back({true, size, {}});
        return SQLITE_OK;
    }
    sqlite3_file* r = wrapped(f)->real();
    return r->pMethods->xTruncate(r, size);
}
int xSync(sqlite3_file* f, int flags) {
    if (fails(Operation::Sync))
        return SQLITE_IOERR_FSYNC;
    sqlite3_file* r = wrapped(f)->real();
    if (Held* held = wrapped(f)->held) {
        countTowardsCut();
        for (const Change& c : held->unsynced) {
            const int rc =
                c.truncate ? r->pMethods->xTruncate(r, c.offset)
                           : r->pMethods->xWrite(r, c.bytes.data(), int(c.bytes.size()), c.offset);
            if (rc != SQLITE_OK)
                return rc;
        }
        held->unsynced.clear();
    }
    return r->pMethods->xSync(r, flags);
}
int xFileSize(sqlite3_file* f, sqlite3_int64* size) {
    if (Held* held = wrapped(f)->held) {
        *size = sqlite3_int64(held->image.size());
        return SQLITE_OK;
    }
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
    // a size hint would grow the file on disk, past what the image holds
    if (wrapped(f)->held && op == SQLITE_FCNTL_SIZE_HINT)
        return SQLITE_OK;
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
    if (wrapped(f)->held) { // no mapping of the disk's bytes: read the image
        *out = nullptr;
        return SQLITE_OK;
    }
    sqlite3_file* r = wrapped(f)->real();
    return r->pMethods->xFetch(r, off, n, out);
}
int xUnfetch(sqlite3_file* f, sqlite3_int64 off, void* p) {
    if (wrapped(f)->held)
        return SQLITE_OK;
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
    file->held = nullptr;
    const int rc = real->xOpen(real, name, file->real(), flags, outFlags);
    if (file->real()->pMethods)
        file->base.pMethods = &methods;
    if (rc != SQLITE_OK || !cut.armed || !name)
        return rc;
    // one image per path: a file opened again sees what is held for it
    std::unique_ptr<Held>& held = cut.files[name];
    if (!held) {
        held = std::make_unique<Held>();
        sqlite3_file* r = file->real();
        sqlite3_int64 size = 0;
        if (r->pMethods->xFileSize(r, &size) != SQLITE_OK)
            return SQLITE_IOERR;
        held->image.resize(size_t(size));
        if (size > 0 && r->pMethods->xRead(r, held->image.data(), int(size), 0) != SQLITE_OK)
            return SQLITE_IOERR;
    }
    file->held = held.get();
    return rc;
}

int xDelete(sqlite3_vfs*, const char* name, int syncDir) {
    cut.files.erase(name);
    return real->xDelete(real, name, syncDir);
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
    faulty.xDelete = xDelete;
    return sqlite3_vfs_register(&faulty, 1) == SQLITE_OK;
}

void arm(Operation operation, std::int64_t nth, Mode mode) {
    state = State{true, operation, nth, mode, 0, 0};
}

void disarm() {
    state.armed = false;
}

void armPowerCut(std::int64_t nth, std::uint32_t seed) {
    cut.armed = true;
    cut.nth = nth;
    cut.calls = 0;
    cut.random.seed(seed);
}

std::int64_t injected() {
    return state.injected;
}

std::int64_t calls() {
    return state.calls;
}

} // namespace FaultyVfs
