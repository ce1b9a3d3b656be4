#include "FileCalls.h"

#include <QFile>

#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstdarg>
#include <cstring>
#include <dirent.h>
#include <dlfcn.h>
#include <fcntl.h>
#include <mutex>
#include <optional>
#include <set>
#include <string>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>
#include <vector>

namespace {

using Inode = std::pair<dev_t, ino_t>;

struct FailAll {
    std::string name;
    int error;
    std::string folder;
};

struct Watch {
    std::vector<std::string> folders;
    std::string stateFolder;
    std::vector<std::string> calls;
    int count = 0;
    int flushes = 0;
    int failAt = 0;
    int failError = 0;
    int endAt = 0;
    std::vector<FailAll> failAll;
    // What a power cut now would lose: files written since their last flush, folders whose
    // names changed since theirs; and the files this process made.
    std::set<Inode> unflushedFiles, madeFiles, rewrittenFiles;
    std::set<std::string> unflushedFolders;
    std::vector<std::string> broken;
};

struct State : Watch {
    std::mutex lock;
};

State& state() {
    static State instance;
    return instance;
}

std::atomic<bool> watching{false};
thread_local bool inside = false; // a call made while handling one is passed on as it is

bool isBelow(const std::string& path, const std::string& folder) {
    return !folder.empty() && path.compare(0, folder.size(), folder) == 0 &&
           (path.size() == folder.size() || path[folder.size()] == '/');
}

bool below(const std::string& path) {
    for (const std::string& folder : state().folders) {
        if (isBelow(path, folder))
            return true;
    }
    return false;
}

std::string folderOf(const std::string& path) {
    const size_t slash = path.rfind('/');
    return slash == 0 || slash == std::string::npos ? "/" : path.substr(0, slash);
}

std::string absolute(int dirfd, const char* path) {
    if (!path)
        return {};
    if (path[0] == '/')
        return path;
    char base[4096] = {};
    if (dirfd == AT_FDCWD) {
        if (!::getcwd(base, sizeof base))
            return path;
    } else {
        const std::string link = "/proc/self/fd/" + std::to_string(dirfd);
        if (::readlink(link.c_str(), base, sizeof base - 1) < 0)
            return path;
    }
    return std::string(base) + "/" + path;
}

std::string pathOf(int fd) {
    char target[4096] = {};
    const std::string link = "/proc/self/fd/" + std::to_string(fd);
    return ::readlink(link.c_str(), target, sizeof target - 1) > 0 ? target : "";
}

std::optional<Inode> inodeOf(int fd) {
    struct stat st {};
    return ::fstat(fd, &st) == 0 ? std::optional(Inode{st.st_dev, st.st_ino}) : std::nullopt;
}

std::optional<Inode> inodeAt(const std::string& path) {
    struct stat st {};
    return ::lstat(path.c_str(), &st) == 0 ? std::optional(Inode{st.st_dev, st.st_ino})
                                           : std::nullopt;
}

// Whether the call goes ahead: false with errno set when it is to fail. Ends the process when
// it is the one to end at.
bool allow(const char* name, const std::string& path, const std::string& other = {}) {
    if (!watching.load() || inside)
        return true;
    State& s = state();
    std::lock_guard guard(s.lock);
    if (!below(path) && (other.empty() || !below(other)))
        return true;
    ++s.count;
    if (std::strcmp(name, "fsync") == 0 || std::strcmp(name, "fdatasync") == 0)
        ++s.flushes;
    s.calls.push_back(std::string(name) + " " + path + (other.empty() ? "" : " " + other));
    if (s.count == s.endAt)
        ::kill(::getpid(), SIGKILL);
    if (s.count == s.failAt) {
        errno = s.failError;
        return false;
    }
    for (const FailAll& fail : s.failAll) {
        if (fail.name == name && (fail.folder.empty() || isBelow(path, fail.folder))) {
            errno = fail.error;
            return false;
        }
    }
    return true;
}

// Where the rules below look: a watched file outside the state folder, while watching.
bool ruled(const std::string& path) {
    return watching.load() && !inside && below(path) && !isBelow(path, state().stateFolder);
}

// Before the first byte of a file that was there before changes, a copy of its whole content
// must be in the state folder, flushed, under its final name, in a flushed folder.
void checkKeptCopy(int fd, const std::string& path) {
    State& s = state();
    const std::string records = s.stateFolder + "/recovery";
    struct stat st {};
    if (::fstat(fd, &st) != 0)
        return;
    std::string old(size_t(st.st_size), '\0');
    if (::pread(fd, old.data(), old.size(), 0) != ssize_t(old.size()))
        return;
    bool kept = false;
    if (DIR* dir = ::opendir(records.c_str())) {
        while (const dirent* entry = ::readdir(dir)) {
            const std::string file = records + "/" + entry->d_name;
            const auto inode = inodeAt(file);
            const int record = entry->d_name[0] == '.' ? -1 : ::open(file.c_str(), O_RDONLY);
            if (record < 0)
                continue;
            std::string content;
            char buffer[65536];
            for (ssize_t n; (n = ::read(record, buffer, sizeof buffer)) > 0;)
                content.append(buffer, size_t(n));
            ::close(record);
            kept = kept ||
                   (inode && !s.unflushedFiles.count(*inode) &&
                    !s.unflushedFolders.count(records) && content.find(old) != std::string::npos);
        }
        ::closedir(dir);
    }
    if (!kept)
        s.broken.push_back("changed before its old content was kept durably: " + path);
}

// A file's content changes.
void written(int fd) {
    const std::string path = pathOf(fd);
    if (!watching.load() || inside || !below(path))
        return;
    State& s = state();
    std::lock_guard guard(s.lock);
    const auto inode = inodeOf(fd);
    if (!inode)
        return;
    if (ruled(path) && !s.madeFiles.count(*inode) && s.rewrittenFiles.insert(*inode).second)
        checkKeptCopy(fd, path);
    s.unflushedFiles.insert(*inode);
}

// A folder's names change.
void named(const std::string& path) {
    if (!watching.load() || inside || !below(folderOf(path)))
        return;
    State& s = state();
    std::lock_guard guard(s.lock);
    s.unflushedFolders.insert(folderOf(path));
}

void made(int fd, const std::string& path) {
    if (fd < 0 || !watching.load() || inside || !below(folderOf(path)))
        return;
    State& s = state();
    std::lock_guard guard(s.lock);
    if (const auto inode = inodeOf(fd))
        s.madeFiles.insert(*inode);
    s.unflushedFolders.insert(folderOf(path));
}

void flushed(int fd) {
    const std::string path = pathOf(fd);
    if (!watching.load() || inside || !below(path))
        return;
    State& s = state();
    std::lock_guard guard(s.lock);
    struct stat st {};
    if (::fstat(fd, &st) == 0 && S_ISDIR(st.st_mode))
        s.unflushedFolders.erase(path);
    else if (const auto inode = inodeOf(fd))
        s.unflushedFiles.erase(*inode);
}

// A file that takes another's name must be on disk first: else a power cut after the rename
// can leave the name with an empty file.
void renaming(const std::string& from) {
    if (!ruled(from))
        return;
    State& s = state();
    std::lock_guard guard(s.lock);
    const auto inode = inodeAt(from);
    if (inode && s.unflushedFiles.count(*inode))
        s.broken.push_back("renamed before it was flushed: " + from);
}

// The C library's own function of that name, looked up once.
template <typename F> F lookUp(const char* name) {
    return reinterpret_cast<F>(::dlsym(RTLD_NEXT, name));
}

bool writes(int flags) {
    return (flags & (O_WRONLY | O_RDWR | O_CREAT | O_TRUNC)) != 0;
}

int openFile(int dirfd, const char* path, int flags, mode_t mode) {
    if (!watching || !writes(flags))
        return int(::syscall(SYS_openat, dirfd, path, flags, mode));
    const std::string full = absolute(dirfd, path);
    const bool existed = inodeAt(full).has_value();
    if (!allow("open", full))
        return -1;
    const int fd = int(::syscall(SYS_openat, dirfd, path, flags, mode));
    if (!existed && (flags & O_CREAT))
        made(fd, full);
    return fd;
}

} // namespace

namespace gvt::test::fileCalls {

void watch(const QStringList& folders, const QString& stateFolder) {
    State& s = state();
    std::lock_guard guard(s.lock);
    static_cast<Watch&>(s) = {};
    const auto real = [](const QString& folder) {
        char path[4096];
        const QByteArray bytes = QFile::encodeName(folder);
        return ::realpath(bytes.constData(), path) ? std::string(path) : bytes.toStdString();
    };
    for (const QString& folder : folders)
        s.folders.push_back(real(folder));
    if (!stateFolder.isEmpty()) {
        s.stateFolder = real(stateFolder);
        s.folders.push_back(s.stateFolder);
    }
    watching = true;
}

void stopWatching() {
    watching = false;
}

int count() {
    return state().count;
}

int flushes() {
    return state().flushes;
}

QStringList calls() {
    std::lock_guard guard(state().lock);
    QStringList list;
    for (const std::string& call : state().calls)
        list.append(QString::fromStdString(call));
    return list;
}

QStringList brokenRules() {
    State& s = state();
    std::lock_guard guard(s.lock);
    QStringList list;
    for (const std::string& broken : s.broken)
        list.append(QString::fromStdString(broken));
    for (const std::string& folder : s.unflushedFolders) {
        if (!isBelow(folder, s.stateFolder))
            list.append(QString::fromStdString("names changed, folder not flushed: " + folder));
    }
    return list;
}

void failAt(int n, int error) {
    state().failAt = n;
    state().failError = error;
}

void endAt(int n) {
    state().endAt = n;
}

void failAll(const char* name, int error, const QString& folder) {
    char path[4096];
    const QByteArray bytes = QFile::encodeName(folder);
    state().failAll.push_back({name, error,
                               folder.isEmpty()                      ? std::string()
                               : ::realpath(bytes.constData(), path) ? std::string(path)
                                                                     : bytes.toStdString()});
}

} // namespace gvt::test::fileCalls

// The C library's functions, taken over. Each passes the call on unless it is to fail.
extern "C" {

// The four ways of opening a file, each passed on as the system call they all end in.
#define GVT_OPEN(dirfd, path)                                                                      \
    mode_t mode = 0;                                                                               \
    if (flags & (O_CREAT | O_TMPFILE)) {                                                           \
        va_list list;                                                                              \
        va_start(list, flags);                                                                     \
        mode = va_arg(list, mode_t);                                                               \
        va_end(list);                                                                              \
    }                                                                                              \
    return openFile(dirfd, path, flags, mode)

int open(const char* path, int flags, ...) {
    GVT_OPEN(AT_FDCWD, path);
}

int open64(const char* path, int flags, ...) {
    GVT_OPEN(AT_FDCWD, path);
}

int openat(int dirfd, const char* path, int flags, ...) {
    GVT_OPEN(dirfd, path);
}

int openat64(int dirfd, const char* path, int flags, ...) {
    GVT_OPEN(dirfd, path);
}

int mkostemp(char* pattern, int flags) {
    if (watching && !allow("mkostemp", absolute(AT_FDCWD, pattern)))
        return -1;
    static const auto next = lookUp<int (*)(char*, int)>("mkostemp");
    const int fd = next(pattern, flags);
    made(fd, absolute(AT_FDCWD, pattern));
    return fd;
}

// Calls on an open file: passed on as they are, once they may be.
#define GVT_ON_FILE(name, type, ...)                                                               \
    if (watching && !allow(name, pathOf(fd)))                                                      \
        return -1;                                                                                 \
    static const auto next = lookUp<type>(__func__);                                               \
    return next(__VA_ARGS__)

ssize_t write(int fd, const void* data, size_t size) {
    written(fd);
    GVT_ON_FILE("write", ssize_t(*)(int, const void*, size_t), fd, data, size);
}

ssize_t pwrite(int fd, const void* data, size_t size, off_t offset) {
    written(fd);
    GVT_ON_FILE("pwrite", ssize_t(*)(int, const void*, size_t, off_t), fd, data, size, offset);
}

ssize_t pwrite64(int fd, const void* data, size_t size, off_t offset) {
    written(fd);
    GVT_ON_FILE("pwrite", ssize_t(*)(int, const void*, size_t, off_t), fd, data, size, offset);
}

int ftruncate(int fd, off_t size) {
    written(fd);
    GVT_ON_FILE("ftruncate", int (*)(int, off_t), fd, size);
}

int ftruncate64(int fd, off_t size) {
    written(fd);
    GVT_ON_FILE("ftruncate", int (*)(int, off_t), fd, size);
}

int fallocate(int fd, int mode, off_t offset, off_t length) {
    written(fd);
    GVT_ON_FILE("fallocate", int (*)(int, int, off_t, off_t), fd, mode, offset, length);
}

int fallocate64(int fd, int mode, off_t offset, off_t length) {
    written(fd);
    GVT_ON_FILE("fallocate", int (*)(int, int, off_t, off_t), fd, mode, offset, length);
}

int posix_fallocate(int fd, off_t offset, off_t length) {
    written(fd);
    // It reports its failure as its result, not in errno.
    if (watching && !allow("posix_fallocate", pathOf(fd)))
        return errno;
    static const auto next = lookUp<int (*)(int, off_t, off_t)>("posix_fallocate");
    return next(fd, offset, length);
}

int posix_fallocate64(int fd, off_t offset, off_t length) {
    written(fd);
    if (watching && !allow("posix_fallocate", pathOf(fd)))
        return errno;
    static const auto next = lookUp<int (*)(int, off_t, off_t)>("posix_fallocate64");
    return next(fd, offset, length);
}

int fsync(int fd) {
    if (watching && !allow("fsync", pathOf(fd)))
        return -1;
    static const auto next = lookUp<int (*)(int)>("fsync");
    const int result = next(fd);
    if (result == 0)
        flushed(fd);
    return result;
}

int fdatasync(int fd) {
    if (watching && !allow("fdatasync", pathOf(fd)))
        return -1;
    static const auto next = lookUp<int (*)(int)>("fdatasync");
    const int result = next(fd);
    if (result == 0)
        flushed(fd);
    return result;
}

int fchmod(int fd, mode_t mode) {
    GVT_ON_FILE("fchmod", int (*)(int, mode_t), fd, mode);
}

int fchown(int fd, uid_t owner, gid_t group) {
    GVT_ON_FILE("fchown", int (*)(int, uid_t, gid_t), fd, owner, group);
}

// Calls that change the names in a folder.
int rename(const char* from, const char* to) {
    const std::string source = absolute(AT_FDCWD, from), target = absolute(AT_FDCWD, to);
    renaming(source);
    if (watching && !allow("rename", source, target))
        return -1;
    static const auto next = lookUp<int (*)(const char*, const char*)>("rename");
    const int result = next(from, to);
    if (result == 0) {
        named(source);
        named(target);
    }
    return result;
}

int renameat(int fromDir, const char* from, int toDir, const char* to) {
    const std::string source = absolute(fromDir, from), target = absolute(toDir, to);
    renaming(source);
    if (watching && !allow("rename", source, target))
        return -1;
    static const auto next = lookUp<int (*)(int, const char*, int, const char*)>("renameat");
    const int result = next(fromDir, from, toDir, to);
    if (result == 0) {
        named(source);
        named(target);
    }
    return result;
}

int renameat2(int fromDir, const char* from, int toDir, const char* to, unsigned flags) {
    const std::string source = absolute(fromDir, from), target = absolute(toDir, to);
    renaming(source);
    if (watching && !allow("renameat2", source, target))
        return -1;
    static const auto next =
        lookUp<int (*)(int, const char*, int, const char*, unsigned)>("renameat2");
    const int result = next(fromDir, from, toDir, to, flags);
    if (result == 0) {
        named(source);
        named(target);
    }
    return result;
}

int link(const char* from, const char* to) {
    const std::string target = absolute(AT_FDCWD, to);
    renaming(absolute(AT_FDCWD, from));
    if (watching && !allow("link", absolute(AT_FDCWD, from), target))
        return -1;
    static const auto next = lookUp<int (*)(const char*, const char*)>("link");
    const int result = next(from, to);
    if (result == 0)
        named(target);
    return result;
}

int unlink(const char* path) {
    const std::string full = absolute(AT_FDCWD, path);
    if (watching && !allow("unlink", full))
        return -1;
    static const auto next = lookUp<int (*)(const char*)>("unlink");
    const int result = next(path);
    if (result == 0)
        named(full);
    return result;
}

int unlinkat(int dirfd, const char* path, int flags) {
    const std::string full = absolute(dirfd, path);
    if (watching && !allow("unlink", full))
        return -1;
    static const auto next = lookUp<int (*)(int, const char*, int)>("unlinkat");
    const int result = next(dirfd, path, flags);
    if (result == 0)
        named(full);
    return result;
}

int mkdir(const char* path, mode_t mode) {
    const std::string full = absolute(AT_FDCWD, path);
    if (watching && !allow("mkdir", full))
        return -1;
    static const auto next = lookUp<int (*)(const char*, mode_t)>("mkdir");
    const int result = next(path, mode);
    if (result == 0)
        named(full);
    return result;
}

} // extern "C"
