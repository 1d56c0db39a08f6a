#include "support/sqlite_faults.h"

#include <sqlite3.h>

#include <cstring>
#include <map>
#include <mutex>

namespace twtest {
namespace {

std::mutex faultsLock;
std::map<std::string, TWriteFault> faults;

// The file layer's file: the real file follows it in the same allocation.
struct TShimFile {
    sqlite3_file base;
    sqlite3_file* real;
    std::string* name;
};

sqlite3_vfs* realVfs = nullptr;

int FaultCode(const TShimFile* file) {
    if (!file->name) {
        return SQLITE_OK;
    }
    std::lock_guard guard(faultsLock);
    for (const auto& [path, fault] : faults) {
        // The database and its journals, which carry its name with a suffix.
        if (fault != TWriteFault::None && file->name->compare(0, path.size(), path) == 0) {
            return fault == TWriteFault::Full ? SQLITE_FULL : SQLITE_READONLY;
        }
    }
    return SQLITE_OK;
}

TShimFile* Shim(sqlite3_file* file) {
    return reinterpret_cast<TShimFile*>(file);
}
sqlite3_file* Real(sqlite3_file* file) {
    return Shim(file)->real;
}

int Close(sqlite3_file* file) {
    const int rc = Real(file)->pMethods ? Real(file)->pMethods->xClose(Real(file)) : SQLITE_OK;
    delete Shim(file)->name;
    Shim(file)->name = nullptr;
    return rc;
}
int Read(sqlite3_file* f, void* buffer, int amount, sqlite3_int64 offset) {
    return Real(f)->pMethods->xRead(Real(f), buffer, amount, offset);
}
int Write(sqlite3_file* f, const void* buffer, int amount, sqlite3_int64 offset) {
    if (const int rc = FaultCode(Shim(f)); rc != SQLITE_OK) {
        return rc;
    }
    return Real(f)->pMethods->xWrite(Real(f), buffer, amount, offset);
}
int Truncate(sqlite3_file* f, sqlite3_int64 size) {
    if (const int rc = FaultCode(Shim(f)); rc != SQLITE_OK) {
        return rc;
    }
    return Real(f)->pMethods->xTruncate(Real(f), size);
}
int Sync(sqlite3_file* f, int flags) {
    return Real(f)->pMethods->xSync(Real(f), flags);
}
int FileSize(sqlite3_file* f, sqlite3_int64* size) {
    return Real(f)->pMethods->xFileSize(Real(f), size);
}
int Lock(sqlite3_file* f, int level) {
    return Real(f)->pMethods->xLock(Real(f), level);
}
int Unlock(sqlite3_file* f, int level) {
    return Real(f)->pMethods->xUnlock(Real(f), level);
}
int CheckReservedLock(sqlite3_file* f, int* out) {
    return Real(f)->pMethods->xCheckReservedLock(Real(f), out);
}
int FileControl(sqlite3_file* f, int op, void* arg) {
    return Real(f)->pMethods->xFileControl(Real(f), op, arg);
}
int SectorSize(sqlite3_file* f) {
    return Real(f)->pMethods->xSectorSize(Real(f));
}
int DeviceCharacteristics(sqlite3_file* f) {
    return Real(f)->pMethods->xDeviceCharacteristics(Real(f));
}
int ShmMap(sqlite3_file* f, int page, int size, int extend, void volatile** out) {
    return Real(f)->pMethods->xShmMap(Real(f), page, size, extend, out);
}
int ShmLock(sqlite3_file* f, int offset, int n, int flags) {
    return Real(f)->pMethods->xShmLock(Real(f), offset, n, flags);
}
void ShmBarrier(sqlite3_file* f) {
    Real(f)->pMethods->xShmBarrier(Real(f));
}
int ShmUnmap(sqlite3_file* f, int deleteFlag) {
    return Real(f)->pMethods->xShmUnmap(Real(f), deleteFlag);
}
int Fetch(sqlite3_file* f, sqlite3_int64 offset, int amount, void** out) {
    return Real(f)->pMethods->xFetch(Real(f), offset, amount, out);
}
int Unfetch(sqlite3_file* f, sqlite3_int64 offset, void* page) {
    return Real(f)->pMethods->xUnfetch(Real(f), offset, page);
}

const sqlite3_io_methods shimMethods = {3,
                                        Close,
                                        Read,
                                        Write,
                                        Truncate,
                                        Sync,
                                        FileSize,
                                        Lock,
                                        Unlock,
                                        CheckReservedLock,
                                        FileControl,
                                        SectorSize,
                                        DeviceCharacteristics,
                                        ShmMap,
                                        ShmLock,
                                        ShmBarrier,
                                        ShmUnmap,
                                        Fetch,
                                        Unfetch};

int Open(sqlite3_vfs*, sqlite3_filename name, sqlite3_file* file, int flags, int* outFlags) {
    TShimFile* shim = Shim(file);
    shim->real = reinterpret_cast<sqlite3_file*>(shim + 1);
    shim->name = name ? new std::string(name) : nullptr;
    const int rc = realVfs->xOpen(realVfs, name, shim->real, flags, outFlags);
    // A file the real layer did not open is not closed through this one either.
    file->pMethods = rc == SQLITE_OK && shim->real->pMethods ? &shimMethods : nullptr;
    if (!file->pMethods) {
        delete shim->name;
        shim->name = nullptr;
    }
    return rc;
}

sqlite3_vfs shimVfs;

void Install() {
    static std::once_flag once;
    std::call_once(once, [] {
        realVfs = sqlite3_vfs_find(nullptr);
        shimVfs = *realVfs;
        shimVfs.zName = "tallywick-test-faults";
        shimVfs.szOsFile = static_cast<int>(sizeof(TShimFile)) + realVfs->szOsFile;
        shimVfs.xOpen = Open;
        sqlite3_vfs_register(&shimVfs, 1);
    });
}

} // namespace

void SetWriteFault(const std::string& databasePath, TWriteFault fault) {
    Install();
    std::lock_guard guard(faultsLock);
    faults[databasePath] = fault;
}

void ClearWriteFaults() {
    std::lock_guard guard(faultsLock);
    faults.clear();
}

THeldDatabase::THeldDatabase(const std::string& path) {
    if (sqlite3_open_v2(path.c_str(), &db_, SQLITE_OPEN_READWRITE, nullptr) == SQLITE_OK) {
        held_ = sqlite3_exec(db_, "BEGIN EXCLUSIVE", nullptr, nullptr, nullptr) == SQLITE_OK;
    }
}

THeldDatabase::~THeldDatabase() {
    if (held_) {
        sqlite3_exec(db_, "COMMIT", nullptr, nullptr, nullptr);
    }
    sqlite3_close(db_);
}

} // namespace twtest
