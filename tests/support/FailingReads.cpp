#include "FailingReads.h"

#include <QFile>

#include <cstring>
#include <sqlite3.h>

namespace {
QByteArray failingPath;
sqlite3_vfs* real = nullptr;
sqlite3_vfs failing;
sqlite3_io_methods failingMethods;

// A read of the failing file: the disk gives nothing.
int failingRead(sqlite3_file*, void*, int, sqlite3_int64)
{
    return SQLITE_IOERR_READ;
}

int open(sqlite3_vfs*, const char* name, sqlite3_file* file, int flags, int* outFlags)
{
    const int result = real->xOpen(real, name, file, flags, outFlags);
    if (result == SQLITE_OK && name && failingPath == name && file->pMethods) {
        failingMethods = *file->pMethods;
        failingMethods.xRead = failingRead;
        file->pMethods = &failingMethods;
    }
    return result;
}
} // namespace

FailingReads::FailingReads(const QString& path)
{
    failingPath = QFile::encodeName(path);
    real = sqlite3_vfs_find(nullptr);
    previous = real;
    failing = *real;
    failing.zName = "lirenta-failing-reads";
    failing.xOpen = open;
    sqlite3_vfs_register(&failing, 1);
}

FailingReads::~FailingReads()
{
    sqlite3_vfs_unregister(&failing);
    sqlite3_vfs_register(previous, 1);
    failingPath.clear();
}
