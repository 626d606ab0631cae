// SQLite over the pictures' files: a database opened for reading only,
// through the Files seam and nothing else, as an immutable file (no lock, no
// journal, no write-ahead log, nothing ever written or made). SQLite's state is
// process-wide and built without its own mutexes, so every use of it runs
// under one process-wide lock: whoever touches SQLite holds a SqliteLock.
#pragma once

#include "pictures/Files.h"

#include <cstdint>
#include <memory>
#include <mutex>
#include <string>

struct sqlite3;

namespace pictures {

// The lock under which SQLite runs, and SQLite initialised under it.
class SqliteLock {
public:
    SqliteLock();
    SqliteLock(const SqliteLock&) = delete;
    SqliteLock& operator=(const SqliteLock&) = delete;
    // False when SQLite could not start: then nothing may be opened.
    bool Ready() const { return ready; }

private:
    std::unique_lock<std::mutex> hold;
    bool ready = false;
};

// One database open for reading. Made and ended while the same SqliteLock
// is held, and used only while it is.
class SqliteDatabase {
public:
    // The database at `path` of `files`; null when the file cannot be opened
    // (missing, held by its writer) or is not a database SQLite can read.
    static std::unique_ptr<SqliteDatabase> Open(const SqliteLock& lock, Files& files, const std::string& path);
    ~SqliteDatabase();
    SqliteDatabase(const SqliteDatabase&) = delete;
    SqliteDatabase& operator=(const SqliteDatabase&) = delete;

    sqlite3* Handle() const { return db; }
    // The file's length when it was opened: nothing in it can be longer.
    std::uint64_t FileSize() const { return fileSize; }

private:
    struct Vfs;
    SqliteDatabase();
    static int Progress(void* self);

    std::unique_ptr<Vfs> vfs;  // this database's own way to its file
    sqlite3* db = nullptr;
    std::uint64_t fileSize = 0;
    std::uint64_t steps = 0;  // SQLite's progress calls so far
};

}  // namespace pictures
