#include "pictures/SqliteFiles.h"

#include <sqlite3.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <limits>

namespace pictures {
namespace {

// One lock for the whole process, as SQLite's own state is the process's.
// The saver reads caches on one decoding thread per run and the settings
// dialog's preview on its own; each holds the lock only for one database's
// queries, a few milliseconds. That is cheaper to get right than mutexes of
// our own for SQLite to call (SQLITE_MUTEX_APPDEF), and SQLite is smaller and
// faster without its own (SQLITE_THREADSAFE=0).
std::mutex& SqliteMutex()
{
    static std::mutex mutex;
    return mutex;
}

// A file as SQLite holds it: its methods first, as SQLite requires.
struct OpenFile {
    sqlite3_file base;
    ReadFile* file;  // owned; deleted by Close
    sqlite3_int64 size;
};

OpenFile& Of(sqlite3_file* file) { return *reinterpret_cast<OpenFile*>(file); }

int Close(sqlite3_file* file)
{
    delete Of(file).file;
    Of(file).file = nullptr;
    return SQLITE_OK;
}

// SQLite asks for whole pages; what lies past the end reads as zeros, which
// SQLite wants to be told of.
int Read(sqlite3_file* file, void* out, int amount, sqlite3_int64 offset)
{
    OpenFile& open = Of(file);
    if (amount < 0 || offset < 0)
        return SQLITE_IOERR_READ;
    const sqlite3_int64 available = offset < open.size ? std::min<sqlite3_int64>(amount, open.size - offset) : 0;
    try {
        if (available > 0 && !open.file->ReadAt(static_cast<std::uint64_t>(offset), out,
                                                 static_cast<std::size_t>(available)))
            return SQLITE_IOERR_READ;
    } catch (...) {
        return SQLITE_IOERR_READ;
    }
    if (available < amount) {
        std::memset(static_cast<unsigned char*>(out) + available, 0, static_cast<std::size_t>(amount - available));
        return SQLITE_IOERR_SHORT_READ;
    }
    return SQLITE_OK;
}

int Write(sqlite3_file*, const void*, int, sqlite3_int64) { return SQLITE_READONLY; }
int Truncate(sqlite3_file*, sqlite3_int64) { return SQLITE_READONLY; }
int Sync(sqlite3_file*, int) { return SQLITE_OK; }

// The length when opened: an immutable file does not change while it is read.
int FileSize(sqlite3_file* file, sqlite3_int64* size)
{
    *size = Of(file).size;
    return SQLITE_OK;
}

int Lock(sqlite3_file*, int) { return SQLITE_OK; }
int Unlock(sqlite3_file*, int) { return SQLITE_OK; }
int CheckReservedLock(sqlite3_file*, int* reserved)
{
    *reserved = 0;
    return SQLITE_OK;
}
int FileControl(sqlite3_file*, int, void*) { return SQLITE_NOTFOUND; }
int SectorSize(sqlite3_file*) { return 512; }
// Immutable: SQLite neither locks it nor looks for its journal or log.
int DeviceCharacteristics(sqlite3_file*) { return SQLITE_IOCAP_IMMUTABLE; }

const sqlite3_io_methods kFileMethods = {
    1,  Close, Read, Write, Truncate, Sync, FileSize, Lock, Unlock, CheckReservedLock, FileControl, SectorSize,
    DeviceCharacteristics,
    // Version 1: no shared memory, no memory mapping.
    nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
};

// The VFS of one database: it opens that database, read-only, and nothing
// else; a journal, a log, a temporary file or anything to be made is refused.
struct Opener {
    Files* files;
    std::uint64_t* size;  // where the opened file's length goes
};

int Open(sqlite3_vfs* vfs, const char* name, sqlite3_file* file, int flags, int* outFlags)
{
    file->pMethods = nullptr;
    const int refused = SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_DELETEONCLOSE | SQLITE_OPEN_EXCLUSIVE;
    if (name == nullptr || (flags & SQLITE_OPEN_MAIN_DB) == 0 || (flags & refused) != 0)
        return SQLITE_CANTOPEN;
    const Opener& opener = *static_cast<const Opener*>(vfs->pAppData);
    OpenFile& open = Of(file);
    open.file = nullptr;
    try {
        std::unique_ptr<ReadFile> read = opener.files->Open(name);
        if (!read)
            return SQLITE_CANTOPEN;
        const std::uint64_t size = read->Size();
        if (size > static_cast<std::uint64_t>(std::numeric_limits<sqlite3_int64>::max()))
            return SQLITE_CANTOPEN;
        open.size = static_cast<sqlite3_int64>(size);
        open.file = read.release();
        *opener.size = size;
    } catch (...) {
        return SQLITE_CANTOPEN;
    }
    open.base.pMethods = &kFileMethods;
    if (outFlags != nullptr)
        *outFlags = SQLITE_OPEN_READONLY | SQLITE_OPEN_MAIN_DB;
    return SQLITE_OK;
}

int Delete(sqlite3_vfs*, const char*, int) { return SQLITE_IOERR_DELETE; }
// No journal, log or anything beside the database exists as far as SQLite knows.
int Access(sqlite3_vfs*, const char*, int, int* result)
{
    *result = 0;
    return SQLITE_OK;
}
int FullPathname(sqlite3_vfs*, const char* name, int size, char* out)
{
    const std::size_t length = std::strlen(name);
    if (size <= 0 || length >= static_cast<std::size_t>(size))
        return SQLITE_CANTOPEN;
    std::memcpy(out, name, length + 1);
    return SQLITE_OK;
}
// Nothing here needs chance or a clock; SQLite may ask all the same.
int Randomness(sqlite3_vfs*, int size, char* out)
{
    if (size > 0)
        std::memset(out, 0, static_cast<std::size_t>(size));
    return size;
}
int Sleep(sqlite3_vfs*, int) { return 0; }
int CurrentTime(sqlite3_vfs*, double* days)
{
    *days = 2440587.5;  // 1970-01-01 as a Julian day
    return SQLITE_OK;
}
int GetLastError(sqlite3_vfs*, int, char*) { return 0; }

sqlite3_vfs MakeVfs(const char* name, void* opener)
{
    sqlite3_vfs vfs{};
    vfs.iVersion = 1;
    vfs.szOsFile = sizeof(OpenFile);
    vfs.mxPathname = 4096;
    vfs.zName = name;
    vfs.pAppData = opener;
    vfs.xOpen = Open;
    vfs.xDelete = Delete;
    vfs.xAccess = Access;
    vfs.xFullPathname = FullPathname;
    vfs.xRandomness = Randomness;
    vfs.xSleep = Sleep;
    vfs.xCurrentTime = CurrentTime;
    vfs.xGetLastError = GetLastError;
    return vfs;
}

// The default VFS that SQLite wants to find (SQLITE_OS_OTHER): it opens
// nothing.
int OpenNothing(sqlite3_vfs*, const char*, sqlite3_file* file, int, int*)
{
    file->pMethods = nullptr;
    return SQLITE_CANTOPEN;
}

// The queries over one opened database that run for more than some 100
// million steps together are not ours over a cache; they are stopped.
constexpr int kStepsPerProgress = 1000;
constexpr std::uint64_t kMaxProgress = 100000;

}  // namespace

SqliteLock::SqliteLock() : hold(SqliteMutex()) { ready = sqlite3_initialize() == SQLITE_OK; }

struct SqliteDatabase::Vfs {
    sqlite3_vfs vfs;
    Opener opener;
    char name[32];
    bool registered = false;
};

SqliteDatabase::SqliteDatabase() = default;

int SqliteDatabase::Progress(void* self)
{
    auto& database = *static_cast<SqliteDatabase*>(self);
    return ++database.steps > kMaxProgress ? 1 : 0;
}

std::unique_ptr<SqliteDatabase> SqliteDatabase::Open(const SqliteLock& lock, Files& files, const std::string& path)
{
    if (!lock.Ready())
        return nullptr;
    std::unique_ptr<SqliteDatabase> database(new SqliteDatabase());
    database->vfs = std::make_unique<Vfs>();
    Vfs& vfs = *database->vfs;
    // A name of its own while it lives: its address.
    std::snprintf(vfs.name, sizeof vfs.name, "vlm-%p", static_cast<void*>(&vfs));
    vfs.opener = Opener{&files, &database->fileSize};
    vfs.vfs = MakeVfs(vfs.name, &vfs.opener);
    if (sqlite3_vfs_register(&vfs.vfs, 0) != SQLITE_OK)
        return nullptr;
    vfs.registered = true;
    if (sqlite3_open_v2(path.c_str(), &database->db, SQLITE_OPEN_READONLY, vfs.name) != SQLITE_OK)
        return nullptr;  // the destructor closes what was made
    // No value in the file can be longer than the file; the schema is not
    // trusted either, and nothing is ever written.
    const std::uint64_t longest = std::clamp<std::uint64_t>(database->fileSize, 4096, 1 << 30);
    sqlite3_limit(database->db, SQLITE_LIMIT_LENGTH, static_cast<int>(longest));
    sqlite3_db_config(database->db, SQLITE_DBCONFIG_DEFENSIVE, 1, nullptr);
    sqlite3_progress_handler(database->db, kStepsPerProgress, &SqliteDatabase::Progress, database.get());
    return database;
}

SqliteDatabase::~SqliteDatabase()
{
    if (db != nullptr)
        sqlite3_close(db);
    if (vfs && vfs->registered)
        sqlite3_vfs_unregister(&vfs->vfs);
}

}  // namespace pictures

// SQLITE_OS_OTHER: SQLite starts and ends its "operating system" through
// these. The default VFS opens nothing; each database brings its own.
extern "C" int sqlite3_os_init(void)
{
    static sqlite3_vfs none = [] {
        sqlite3_vfs vfs = pictures::MakeVfs("vlm-none", nullptr);
        vfs.xOpen = pictures::OpenNothing;
        return vfs;
    }();
    return sqlite3_vfs_register(&none, 1);
}

extern "C" int sqlite3_os_end(void) { return SQLITE_OK; }
