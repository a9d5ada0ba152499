#include "experiment/table_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <functional>

#include "cli/messages.h"
#include "experiment/identity.h"
#include "io/output.h"

namespace {

// Whether a row of this run is kept.
using KeepRow = std::function<bool(const RowKey& key)>;

// What is being opened, for the steps below.
struct Opening {
    const char* path;
    const char* option;  // the option that named it
    Table table;
    const std::string& identity;
    KeepRow keep;
    TableFile file;

    bool fail(int status, const std::string& error) {
        file.status = status;
        file.error = error;
        return false;
    }
    bool failWriting(const char* what) {
        return fail(STATUS_FAILED,
                    std::string("cannot ") + what + " " + path + ": " + std::strerror(errno));
    }
};

// One writer at a time: a lock on the open file that a second sweep cannot take, which NFS and
// the cluster file systems that support POSIX locks carry to every node.
bool lockTable(int fd, Opening* opening) {
    struct flock lock = {};
    lock.l_type = F_WRLCK;
    lock.l_whence = SEEK_SET;
    if (fcntl(fd, F_OFD_SETLK, &lock) == 0) {
        return true;
    }
    if (errno == EAGAIN || errno == EACCES) {
        return opening->fail(STATUS_FAILED, std::string("another sweep is writing ") +
                                                opening->path +
                                                "; wait for it to end, or give "
                                                "another " +
                                                opening->option);
    }
    return opening->failWriting("lock against a second sweep");
}

// A file with rows must be of this sweep.
bool checkIdentity(Opening* opening) {
    std::string has;
    std::string error;
    switch (readIdentity(opening->path, &has, &error)) {
        case IdentityRead::Found:
            return has == opening->identity ||
                   opening->fail(STATUS_BAD_USE,
                                 anotherSweep(opening->path, has, opening->identity) +
                                     "\nGive another " + opening->option +
                                     ", or remove both files to start over.");
        case IdentityRead::Missing:
            return opening->fail(STATUS_BAD_USE,
                                 std::string(opening->path) + " holds something but not " +
                                     identityPath(opening->path) +
                                     ", which says of which sweep its rows are; give another " +
                                     opening->option + ", or remove it to start over");
        case IdentityRead::Fault:
            break;
    }
    return opening->fail(STATUS_BAD_USE, error);
}

// Rows kept after one dropped, gathered aside while the file is read, to be written back once it
// is cut where the first was dropped.
struct Moved {
    off_t cut = -1;  // where the first row dropped starts; -1 when none is
    std::FILE* rows = nullptr;
};

// Reads the whole rows, keeping or dropping each; returns the length to cut the file to (a
// header or a row cut short at the end goes), or -1.
off_t readRows(std::FILE* file, Opening* opening, Moved* moved) {
    CsvReader reader = startCsv(file);
    std::string error;
    off_t kept = -1;
    CsvRead read = readRecord(&reader, &error);
    if (read == CsvRead::Record && !reader.complete) {
        kept = 0;  // a header cut short: written again
    } else if (read == CsvRead::Record && !isTableHeader(reader, opening->table)) {
        opening->fail(STATUS_BAD_USE,
                      std::string(opening->path) + " does not start with the " +
                          (opening->table == Table::Results ? "results'" : "series'") + " header");
    } else if (read != CsvRead::Fault) {
        kept = static_cast<off_t>(reader.recordEnd);
        RowKey key;
        char line[TABLE_ROW_MAX];
        size_t length = 0;
        while ((read = readRecord(&reader, &error)) == CsvRead::Record && reader.complete) {
            if (!readTableRow(opening->table, reader, &key, line, &length)) {
                kept = -1;
                opening->fail(STATUS_BAD_USE, notATableRow(opening->table, opening->path, reader));
                break;
            }
            const bool keep = opening->keep(key);
            if (!keep && moved->cut < 0) {
                moved->cut = kept;
                moved->rows = temporaryFile();
                if (moved->rows == nullptr) {
                    kept = -1;
                    opening->failWriting("make a temporary file to rewrite");
                    break;
                }
            }
            if (keep && moved->cut >= 0) {
                std::fwrite(line, 1, length, moved->rows);
            }
            kept = static_cast<off_t>(reader.recordEnd);
        }
    }
    if (read == CsvRead::Fault) {
        kept = -1;
        opening->fail(STATUS_BAD_USE, std::string(opening->path) + ": " + error);
    }
    endCsv(&reader);
    return kept;
}

// Cuts the file to what is kept and writes back the rows moved aside.
bool keepRows(int fd, off_t kept, Moved* moved, Opening* opening) {
    if (moved->cut < 0) {
        return ftruncate(fd, kept) == 0 || opening->failWriting("cut");
    }
    bool good = ftruncate(fd, moved->cut) == 0 && std::fflush(moved->rows) == 0 &&
                std::fseek(moved->rows, 0, SEEK_SET) == 0;
    char bytes[1 << 16];
    for (size_t got; good && (got = std::fread(bytes, 1, sizeof bytes, moved->rows)) > 0;) {
        good = writeWhole(fd, bytes, got);
    }
    return (good && !std::ferror(moved->rows)) || opening->failWriting("rewrite");
}

// Keeps what is whole, or starts the file: its identity beside it, then the header.
bool prepare(int fd, Opening* opening) {
    struct stat info;
    if (fstat(fd, &info) != 0) {
        return opening->failWriting("read");
    }
    if (info.st_size == 0) {
        std::string error;
        const char* header = tableHeader(opening->table);
        return (writeIdentity(opening->path, opening->identity, &error) ||
                opening->fail(STATUS_FAILED, error)) &&
               (writeWhole(fd, header, std::strlen(header)) || opening->failWriting("write"));
    }
    if (!checkIdentity(opening)) {
        return false;
    }
    std::FILE* file = fdopen(dup(fd), "r");
    if (file == nullptr) {
        return opening->failWriting("read");
    }
    Moved moved;
    const off_t kept = readRows(file, opening, &moved);
    std::fclose(file);
    const bool good =
        kept >= 0 && keepRows(fd, kept, &moved, opening) && (kept > 0 || prepare(fd, opening));
    if (moved.rows != nullptr) {
        std::fclose(moved.rows);
    }
    return good;
}

TableFile openTable(Opening opening) {
    // Not blocking on a FIFO: it is refused below, as every file that is not regular.
    const char* path = opening.path;
    const int fd = open(path, O_RDWR | O_CREAT | O_APPEND | O_NONBLOCK | O_NOCTTY, 0666);
    struct stat info;
    if (fd < 0 || fstat(fd, &info) != 0) {
        opening.fail(STATUS_BAD_USE,
                     std::string("cannot open ") + path + " for the " +
                         (opening.table == Table::Results ? "results: " : "series: ") +
                         std::strerror(errno));
    } else if (!S_ISREG(info.st_mode)) {
        opening.fail(STATUS_BAD_USE, std::string(path) +
                                         " is not a regular file: " + opening.option +
                                         " is read back to resume the sweep; leave it out to "
                                         "write the results on standard output");
    } else if (fcntl(fd, F_SETFL, O_APPEND) != 0) {
        opening.failWriting("open");
    } else if (lockTable(fd, &opening) && prepare(fd, &opening)) {
        opening.file.fd = fd;
        return opening.file;
    }
    if (fd >= 0) {
        close(fd);
    }
    return opening.file;
}

}  // namespace

TableFile openResults(const char* path, const std::string& identity, std::vector<bool>* done) {
    return openTable({path,
                      "--output",
                      Table::Results,
                      identity,
                      [done](const RowKey& key) {
                          if (key.run < done->size()) {
                              (*done)[key.run] = true;
                          }
                          return true;
                      },
                      {}});
}

TableFile openSeries(const char* path, const std::string& identity, const std::vector<bool>& done,
                     std::vector<bool>* recorded) {
    return openTable({path,
                      "--series",
                      Table::Series,
                      identity,
                      [&](const RowKey& key) {
                          const bool keep = key.run < done.size() && done[key.run];
                          if (keep) {
                              (*recorded)[key.run] = true;
                          }
                          return keep;
                      },
                      {}});
}
