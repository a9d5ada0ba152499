#include "io/output.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>

static std::string failure(const std::string& path, int error) {
    return "cannot write " + path + ": " + std::strerror(error);
}

// The file a path finally names: links followed, a dangling one's target included, so that it
// is the target that gets replaced. Gives up (returning the path reached) after as many links as
// the system would follow.
static std::string followLinks(std::string path) {
    for (int hops = 0; hops < 40; ++hops) {
        struct stat info;
        if (lstat(path.c_str(), &info) != 0 || !S_ISLNK(info.st_mode)) {
            break;
        }
        char target[PATH_MAX];
        const ssize_t length = readlink(path.c_str(), target, sizeof target - 1);
        if (length < 0) {
            break;
        }
        const std::string next(target, static_cast<size_t>(length));
        const size_t slash = path.rfind('/');
        path =
            next[0] == '/' || slash == std::string::npos ? next : path.substr(0, slash + 1) + next;
    }
    return path;
}

bool isSpecialFile(const char* path) {
    struct stat info;
    return stat(path, &info) == 0 && !S_ISREG(info.st_mode);
}

static bool openDirectly(const char* path, Output* output, std::string* error) {
    struct stat info;
    if (stat(path, &info) == 0 && S_ISDIR(info.st_mode)) {
        *error = failure(path, EISDIR);
        return false;
    }
    const int fd = open(path, O_WRONLY | O_NOCTTY);
    output->file = fd < 0 ? nullptr : fdopen(fd, "wb");
    if (output->file == nullptr) {
        *error = failure(path, errno);
        if (fd >= 0) {
            close(fd);
        }
        return false;
    }
    return true;
}

bool openOutput(const char* path, Output* output, std::string* error) {
    *output = Output{nullptr, path, ""};
    if (isSpecialFile(path)) {
        return openDirectly(path, output, error);
    }
    output->aside = followLinks(path) + ".part" + std::to_string(getpid());
    const int fd = open(output->aside.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_NOFOLLOW, 0666);
    output->file = fd < 0 ? nullptr : fdopen(fd, "wb");
    if (output->file == nullptr) {
        *error = failure(path, errno);
        if (fd >= 0) {
            close(fd);
            unlink(output->aside.c_str());
        }
        return false;
    }
    return true;
}

bool commitOutput(Output* output, std::string* error) {
    int reason = 0;
    if (std::fflush(output->file) != 0 || std::ferror(output->file)) {
        reason = errno != 0 ? errno : EIO;
    }
    if (std::fclose(output->file) != 0 && reason == 0) {
        reason = errno;
    }
    output->file = nullptr;
    if (reason == 0 && !output->aside.empty() &&
        std::rename(output->aside.c_str(), followLinks(output->path).c_str()) != 0) {
        reason = errno;
    }
    if (reason != 0) {
        abandonOutput(output);
        *error = failure(output->path, reason);
        return false;
    }
    return true;
}

void abandonOutput(Output* output) {
    if (output->file != nullptr) {
        std::fclose(output->file);
        output->file = nullptr;
    }
    if (!output->aside.empty()) {
        unlink(output->aside.c_str());
    }
}

bool writeWhole(int fd, const char* bytes, size_t length) {
    while (length > 0) {
        const ssize_t written = write(fd, bytes, length);
        if (written < 0 && errno == EINTR) {
            continue;
        }
        if (written <= 0) {
            return false;
        }
        bytes += written;
        length -= static_cast<size_t>(written);
    }
    return true;
}

std::FILE* temporaryFile() {
    const char* folder = std::getenv("TMPDIR");
    std::string path =
        std::string(folder != nullptr && *folder != '\0' ? folder : "/tmp") + "/vantu.XXXXXX";
    const int fd = mkstemp(&path[0]);
    if (fd < 0) {
        return nullptr;
    }
    unlink(path.c_str());
    std::FILE* file = fdopen(fd, "w+b");
    if (file == nullptr) {
        close(fd);
    }
    return file;
}
