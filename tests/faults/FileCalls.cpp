#include "FileCalls.h"

#include <QFile>

#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <dlfcn.h>
#include <fcntl.h>
#include <mutex>
#include <string>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>
#include <vector>

namespace {

struct Watch {
    std::vector<std::string> folders;
    std::vector<std::string> calls;
    int count = 0;
    int flushes = 0;
    int failAt = 0;
    int failError = 0;
    int endAt = 0;
    std::string failAllName;
    int failAllError = 0;
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

bool below(const std::string& path) {
    for (const std::string& folder : state().folders) {
        if (path.compare(0, folder.size(), folder) == 0 &&
            (path.size() == folder.size() || path[folder.size()] == '/'))
            return true;
    }
    return false;
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

// Whether the call goes ahead: false with errno set when it is to fail. Ends the process when
// it is the one to end at.
bool allow(const char* name, const std::string& path, const std::string& other = {}) {
    if (!watching.load() || inside)
        return true;
    inside = true;
    State& s = state();
    bool go = true;
    {
        std::lock_guard guard(s.lock);
        if (below(path) || (!other.empty() && below(other))) {
            ++s.count;
            if (std::strcmp(name, "fsync") == 0 || std::strcmp(name, "fdatasync") == 0)
                ++s.flushes;
            s.calls.push_back(std::string(name) + " " + path + (other.empty() ? "" : " " + other));
            if (s.count == s.endAt)
                ::kill(::getpid(), SIGKILL);
            if (s.count == s.failAt) {
                errno = s.failError;
                go = false;
            } else if (s.failAllName == name) {
                errno = s.failAllError;
                go = false;
            }
        }
    }
    inside = false;
    return go;
}

// The C library's own function of that name, looked up once.
template <typename F> F lookUp(const char* name) {
    return reinterpret_cast<F>(::dlsym(RTLD_NEXT, name));
}

bool writes(int flags) {
    return (flags & (O_WRONLY | O_RDWR | O_CREAT | O_TRUNC)) != 0;
}

int openFile(int dirfd, const char* path, int flags, mode_t mode) {
    if (watching && writes(flags) && !allow("open", absolute(dirfd, path)))
        return -1;
    return int(::syscall(SYS_openat, dirfd, path, flags, mode));
}

} // namespace

namespace gvt::test::fileCalls {

void watch(const QStringList& folders) {
    State& s = state();
    std::lock_guard guard(s.lock);
    static_cast<Watch&>(s) = {};
    for (const QString& folder : folders) {
        char real[4096];
        const QByteArray bytes = QFile::encodeName(folder);
        s.folders.push_back(::realpath(bytes.constData(), real) ? real : bytes.toStdString());
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

void failAt(int n, int error) {
    state().failAt = n;
    state().failError = error;
}

void endAt(int n) {
    state().endAt = n;
}

void failAll(const char* name, int error) {
    state().failAllName = name;
    state().failAllError = error;
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
    return next(pattern, flags);
}

int mkstemp(char* pattern) {
    if (watching && !allow("mkstemp", absolute(AT_FDCWD, pattern)))
        return -1;
    static const auto next = lookUp<int (*)(char*)>("mkstemp");
    return next(pattern);
}

ssize_t write(int fd, const void* data, size_t size) {
    if (watching && !allow("write", pathOf(fd)))
        return -1;
    static const auto next = lookUp<ssize_t (*)(int, const void*, size_t)>("write");
    return next(fd, data, size);
}

ssize_t pwrite(int fd, const void* data, size_t size, off_t offset) {
    if (watching && !allow("pwrite", pathOf(fd)))
        return -1;
    static const auto next = lookUp<ssize_t (*)(int, const void*, size_t, off_t)>("pwrite");
    return next(fd, data, size, offset);
}

ssize_t pwrite64(int fd, const void* data, size_t size, off_t offset) {
    if (watching && !allow("pwrite", pathOf(fd)))
        return -1;
    static const auto next = lookUp<ssize_t (*)(int, const void*, size_t, off_t)>("pwrite64");
    return next(fd, data, size, offset);
}

int ftruncate(int fd, off_t size) {
    if (watching && !allow("ftruncate", pathOf(fd)))
        return -1;
    static const auto next = lookUp<int (*)(int, off_t)>("ftruncate");
    return next(fd, size);
}

int ftruncate64(int fd, off_t size) {
    if (watching && !allow("ftruncate", pathOf(fd)))
        return -1;
    static const auto next = lookUp<int (*)(int, off_t)>("ftruncate64");
    return next(fd, size);
}

int fallocate(int fd, int mode, off_t offset, off_t length) {
    if (watching && !allow("fallocate", pathOf(fd)))
        return -1;
    static const auto next = lookUp<int (*)(int, int, off_t, off_t)>("fallocate");
    return next(fd, mode, offset, length);
}

int fallocate64(int fd, int mode, off_t offset, off_t length) {
    if (watching && !allow("fallocate", pathOf(fd)))
        return -1;
    static const auto next = lookUp<int (*)(int, int, off_t, off_t)>("fallocate64");
    return next(fd, mode, offset, length);
}

int posix_fallocate(int fd, off_t offset, off_t length) {
    // It reports its failure as its result, not in errno.
    if (watching && !allow("posix_fallocate", pathOf(fd)))
        return errno;
    static const auto next = lookUp<int (*)(int, off_t, off_t)>("posix_fallocate");
    return next(fd, offset, length);
}

int posix_fallocate64(int fd, off_t offset, off_t length) {
    if (watching && !allow("posix_fallocate", pathOf(fd)))
        return errno;
    static const auto next = lookUp<int (*)(int, off_t, off_t)>("posix_fallocate64");
    return next(fd, offset, length);
}

int fsync(int fd) {
    if (watching && !allow("fsync", pathOf(fd)))
        return -1;
    static const auto next = lookUp<int (*)(int)>("fsync");
    return next(fd);
}

int fdatasync(int fd) {
    if (watching && !allow("fdatasync", pathOf(fd)))
        return -1;
    static const auto next = lookUp<int (*)(int)>("fdatasync");
    return next(fd);
}

int fchmod(int fd, mode_t mode) {
    if (watching && !allow("fchmod", pathOf(fd)))
        return -1;
    static const auto next = lookUp<int (*)(int, mode_t)>("fchmod");
    return next(fd, mode);
}

int fchown(int fd, uid_t owner, gid_t group) {
    if (watching && !allow("fchown", pathOf(fd)))
        return -1;
    static const auto next = lookUp<int (*)(int, uid_t, gid_t)>("fchown");
    return next(fd, owner, group);
}

int rename(const char* from, const char* to) {
    if (watching && !allow("rename", absolute(AT_FDCWD, from), absolute(AT_FDCWD, to)))
        return -1;
    static const auto next = lookUp<int (*)(const char*, const char*)>("rename");
    return next(from, to);
}

int renameat(int fromDir, const char* from, int toDir, const char* to) {
    if (watching && !allow("rename", absolute(fromDir, from), absolute(toDir, to)))
        return -1;
    static const auto next = lookUp<int (*)(int, const char*, int, const char*)>("renameat");
    return next(fromDir, from, toDir, to);
}

int renameat2(int fromDir, const char* from, int toDir, const char* to, unsigned flags) {
    if (watching && !allow("renameat2", absolute(fromDir, from), absolute(toDir, to)))
        return -1;
    static const auto next =
        lookUp<int (*)(int, const char*, int, const char*, unsigned)>("renameat2");
    return next(fromDir, from, toDir, to, flags);
}

int link(const char* from, const char* to) {
    if (watching && !allow("link", absolute(AT_FDCWD, from), absolute(AT_FDCWD, to)))
        return -1;
    static const auto next = lookUp<int (*)(const char*, const char*)>("link");
    return next(from, to);
}

int linkat(int fromDir, const char* from, int toDir, const char* to, int flags) {
    if (watching && !allow("link", absolute(fromDir, from), absolute(toDir, to)))
        return -1;
    static const auto next = lookUp<int (*)(int, const char*, int, const char*, int)>("linkat");
    return next(fromDir, from, toDir, to, flags);
}

int unlink(const char* path) {
    if (watching && !allow("unlink", absolute(AT_FDCWD, path)))
        return -1;
    static const auto next = lookUp<int (*)(const char*)>("unlink");
    return next(path);
}

int unlinkat(int dirfd, const char* path, int flags) {
    if (watching && !allow("unlink", absolute(dirfd, path)))
        return -1;
    static const auto next = lookUp<int (*)(int, const char*, int)>("unlinkat");
    return next(dirfd, path, flags);
}

int mkdir(const char* path, mode_t mode) {
    if (watching && !allow("mkdir", absolute(AT_FDCWD, path)))
        return -1;
    static const auto next = lookUp<int (*)(const char*, mode_t)>("mkdir");
    return next(path, mode);
}

} // extern "C"
