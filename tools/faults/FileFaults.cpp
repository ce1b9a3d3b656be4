// SPDX-License-Identifier: GPL-3.0-or-later
#include "FileFaults.h"

#include <QFile>

#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstdarg>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <dlfcn.h>
#include <fcntl.h>
#include <fstream>
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

struct Watch {
    std::vector<std::string> folders;
    std::string stateFolder;
    std::vector<std::string> calls;
    int count = 0, flushes = 0, failAt = 0, failError = 0, endAt = 0;
    struct FailAll {
        std::string name;
        int error;
        std::string folder;
    };
    std::vector<FailAll> failAll;
    // What a power cut now would lose: files written since their last flush, folders whose
    // names changed since theirs; and the files this process made.
    std::set<Inode> unflushedFiles, madeFiles, rewrittenFiles;
    std::set<std::string> unflushedFolders;
    std::set<std::string> unflushedNames; // entries named since their folder's last flush
    std::vector<std::string> broken;
    bool historyRequired = false;
};

struct State : Watch {
    std::recursive_mutex lock;
};

State& state() {
    static State instance;
    return instance;
}

std::atomic<bool> watching{false};

bool isBelow(const std::string& path, const std::string& folder) {
    return !folder.empty() && path.compare(0, folder.size(), folder) == 0 &&
           (path.size() == folder.size() || path[folder.size()] == '/');
}

bool below(const std::string& path) {
    const auto& folders = state().folders;
    return std::any_of(folders.begin(), folders.end(),
                       [&path](const std::string& folder) { return isBelow(path, folder); });
}

std::string folderOf(const std::string& path) {
    const size_t slash = path.rfind('/');
    return slash == 0 || slash == std::string::npos ? "/" : path.substr(0, slash);
}

std::string realPath(const std::string& path) {
    char real[4096];
    return ::realpath(path.c_str(), real) ? real : path;
}

std::string absolute(int dirfd, const char* path) {
    char base[4096] = {};
    if (!path || path[0] == '/')
        return path ? path : "";
    if (dirfd == AT_FDCWD ? !::getcwd(base, sizeof base)
                          : ::readlink(("/proc/self/fd/" + std::to_string(dirfd)).c_str(), base,
                                       sizeof base - 1) < 0)
        return path;
    return std::string(base) + "/" + path;
}

std::string pathOf(int fd) {
    char target[4096] = {};
    return ::readlink(("/proc/self/fd/" + std::to_string(fd)).c_str(), target, sizeof target - 1) >
                   0
               ? target
               : "";
}

std::optional<Inode> inodeOf(int fd, const std::string& path = {}) {
    struct stat st {};
    const bool found = path.empty() ? ::fstat(fd, &st) == 0 : ::lstat(path.c_str(), &st) == 0;
    return found ? std::optional(Inode{st.st_dev, st.st_ino}) : std::nullopt;
}

// Whether the call goes ahead: false with errno set when it is to fail. Ends the process when
// it is the one to end at.
bool allow(const char* name, const std::string& path, const std::string& other = {}) {
    State& s = state();
    std::lock_guard guard(s.lock);
    if (!watching || (!below(path) && (other.empty() || !below(other))))
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
    for (const Watch::FailAll& fail : s.failAll) {
        if (fail.name == name && (fail.folder.empty() || isBelow(path, fail.folder))) {
            errno = fail.error;
            return false;
        }
    }
    return true;
}

// The rules apply to watched files outside the state folder.
bool ruled(const std::string& path) {
    return below(path) && !isBelow(path, state().stateFolder);
}

// Before the first byte of a file that was there before changes, a copy of its whole content
// must lie in the state folder's "recovery", flushed, under its final name, in a flushed folder.
void checkKeptCopy(int fd, const std::string& path) {
    State& s = state();
    const std::string records = s.stateFolder + "/recovery";
    struct stat st {};
    std::string old(::fstat(fd, &st) == 0 ? size_t(st.st_size) : 0, '\0');
    if (::pread(fd, old.data(), old.size(), 0) != ssize_t(old.size()))
        return;
    bool kept = false;
    DIR* dir = ::opendir(records.c_str());
    while (const dirent* entry = dir ? ::readdir(dir) : nullptr) {
        // Hidden names are the records not yet whole, and "." and "..".
        const std::string file = records + "/" + entry->d_name;
        const auto inode = inodeOf(-1, file);
        if (entry->d_name[0] == '.' || !inode || s.unflushedFiles.count(*inode) ||
            s.unflushedFolders.count(records))
            continue;
        std::ifstream in(file, std::ios::binary);
        kept = kept ||
               std::string{std::istreambuf_iterator<char>(in), {}}.find(old) != std::string::npos;
    }
    if (dir)
        ::closedir(dir);
    if (!kept)
        s.broken.push_back("changed before its old content was kept durably: " + path);
}

std::string contentOf(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

// Whether every one of `needles` lies in a file of the history that a power cut now would
// leave as it is: flushed, under names (its own and its folders') flushed since they were made.
bool keptInHistory(const std::vector<std::string>& needles) {
    State& s = state();
    const std::string history = s.stateFolder + "/history";
    if (s.unflushedNames.count(s.stateFolder) || s.unflushedNames.count(history))
        return false;
    std::vector<std::string> missing = needles;
    DIR* parts = ::opendir(history.c_str());
    while (const dirent* part = parts ? ::readdir(parts) : nullptr) {
        const std::string folder = history + "/" + part->d_name;
        DIR* dir = part->d_name[0] == '.' || s.unflushedNames.count(folder)
                       ? nullptr
                       : ::opendir(folder.c_str());
        while (const dirent* entry = dir ? ::readdir(dir) : nullptr) {
            const std::string file = folder + "/" + entry->d_name;
            const auto inode = inodeOf(-1, file);
            if (entry->d_name[0] == '.' || !inode || s.unflushedFiles.count(*inode) ||
                s.unflushedNames.count(file))
                continue;
            const std::string content = contentOf(file);
            std::erase_if(missing, [&content](const std::string& needle) {
                return content.find(needle) != std::string::npos;
            });
        }
        if (dir)
            ::closedir(dir);
    }
    if (parts)
        ::closedir(parts);
    return missing.empty();
}

// A path with its folder's links followed, as the history records it.
std::string realEntry(const std::string& path) {
    return realPath(folderOf(path)) + "/" + path.substr(path.rfind('/') + 1);
}

// Before a file that was there takes another's content, or an entry another name, the history
// holds what it was.
void checkHistory(const std::string& from, const std::string& to) {
    State& s = state();
    std::lock_guard guard(s.lock);
    struct stat st {};
    if (!watching || !s.historyRequired || !ruled(to))
        return;
    if (::lstat(to.c_str(), &st) != 0) {
        if (!keptInHistory({realEntry(from), realEntry(to)}))
            s.broken.push_back("renamed before its names were kept in the history: " + from);
    } else if (S_ISREG(st.st_mode) && contentOf(from) != contentOf(to) &&
               !keptInHistory({contentOf(to)})) {
        s.broken.push_back("replaced before its content was kept in the history: " + to);
    }
}

// What each kind of call does to what a power cut would lose.
void written(int fd) {
    State& s = state();
    std::lock_guard guard(s.lock);
    const std::string path = watching ? pathOf(fd) : std::string();
    const auto inode = below(path) ? inodeOf(fd) : std::nullopt;
    if (!inode)
        return;
    if (ruled(path) && !s.madeFiles.count(*inode) && s.rewrittenFiles.insert(*inode).second) {
        checkKeptCopy(fd, path);
        if (s.historyRequired && !keptInHistory({contentOf(path)}))
            s.broken.push_back("written before its content was kept in the history: " + path);
    }
    s.unflushedFiles.insert(*inode);
}

void named(const std::string& path, int madeFd = -1) {
    State& s = state();
    std::lock_guard guard(s.lock);
    if (!watching || !below(folderOf(path)))
        return;
    s.unflushedFolders.insert(folderOf(path));
    s.unflushedNames.insert(path);
    if (const auto inode = madeFd >= 0 ? inodeOf(madeFd) : std::nullopt)
        s.madeFiles.insert(*inode);
}

void flushed(int fd) {
    State& s = state();
    std::lock_guard guard(s.lock);
    const std::string path = watching ? pathOf(fd) : std::string();
    struct stat st {};
    if (!below(path) || ::fstat(fd, &st) != 0)
        return;
    if (S_ISDIR(st.st_mode)) {
        s.unflushedFolders.erase(path);
        std::erase_if(s.unflushedNames,
                      [&path](const std::string& name) { return folderOf(name) == path; });
    } else
        s.unflushedFiles.erase({st.st_dev, st.st_ino});
}

// A file that takes another's name must be on disk first: else a power cut after the rename
// can leave the name with an empty file.
void renaming(const std::string& from) {
    State& s = state();
    std::lock_guard guard(s.lock);
    const auto inode = watching && ruled(from) ? inodeOf(-1, from) : std::nullopt;
    if (inode && s.unflushedFiles.count(*inode))
        s.broken.push_back("renamed before it was flushed: " + from);
}

template <typename F> F next(const char* name) {
    return reinterpret_cast<F>(::dlsym(RTLD_NEXT, name));
}

std::vector<std::string> split(const char* text) {
    std::vector<std::string> parts;
    for (std::string rest = text ? text : ""; !rest.empty();) {
        const size_t colon = rest.find(':');
        parts.push_back(rest.substr(0, colon));
        rest = colon == std::string::npos ? "" : rest.substr(colon + 1);
    }
    return parts;
}

// Preloaded into a program: watched from its start, by its variables.
__attribute__((constructor)) void watchByVariables() {
    const char* folders = std::getenv("GVT_FAULTS_WATCH");
    if (!folders)
        return;
    State& s = state();
    for (const std::string& folder : split(folders))
        s.folders.push_back(realPath(folder));
    if (const char* stateFolder = std::getenv("GVT_FAULTS_STATE"))
        s.folders.push_back(s.stateFolder = realPath(stateFolder));
    const auto number = [](const char* name, int otherwise) {
        const char* value = std::getenv(name);
        return value ? std::atoi(value) : otherwise;
    };
    s.failAt = number("GVT_FAULTS_FAIL_AT", 0);
    s.failError = number("GVT_FAULTS_ERROR", EIO);
    s.endAt = number("GVT_FAULTS_END_AT", 0);
    watching = true;
    if (std::getenv("GVT_FAULTS_REPORT"))
        std::atexit([] {
            std::ofstream report(std::getenv("GVT_FAULTS_REPORT"));
            for (const std::string& call : state().calls)
                report << "call " << call << '\n';
            for (const QString& broken : gvt::faults::brokenRules())
                report << "broken " << broken.toStdString() << '\n';
        });
}

} // namespace

namespace gvt::faults {

void watch(const QStringList& folders, const QString& stateFolder) {
    State& s = state();
    std::lock_guard guard(s.lock);
    static_cast<Watch&>(s) = {};
    for (const QString& folder : folders)
        s.folders.push_back(realPath(QFile::encodeName(folder).toStdString()));
    if (!stateFolder.isEmpty())
        s.folders.push_back(s.stateFolder = realPath(QFile::encodeName(stateFolder).toStdString()));
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

void requireHistory() {
    state().historyRequired = true;
}

void failAt(int n, int error) {
    state().failAt = n;
    state().failError = error;
}

void endAt(int n) {
    state().endAt = n;
}

void failAll(const char* name, int error, const QString& folder) {
    state().failAll.push_back(
        {name, error, folder.isEmpty() ? "" : realPath(QFile::encodeName(folder).toStdString())});
}

} // namespace gvt::faults

// The C library's functions, taken over: each passes the call on unless it is to fail.
extern "C" {

namespace {

int openFile(int dirfd, const char* path, int flags, va_list list) {
    // O_TMPFILE holds O_DIRECTORY's bit: a folder opened to be flushed passes no mode.
    const mode_t mode =
        (flags & O_CREAT) || (flags & O_TMPFILE) == O_TMPFILE ? va_arg(list, mode_t) : 0;
    const bool writes = flags & (O_WRONLY | O_RDWR | O_CREAT | O_TRUNC);
    const std::string full = watching && writes ? absolute(dirfd, path) : std::string();
    const bool made = !full.empty() && (flags & O_CREAT) && !inodeOf(-1, full);
    if (!full.empty() && !allow("open", full))
        return -1;
    const int fd = int(::syscall(SYS_openat, dirfd, path, flags, mode));
    if (made && fd >= 0)
        named(full, fd);
    return fd;
}

} // namespace

#define GVT_OPEN(dirfd)                                                                            \
    va_list list;                                                                                  \
    va_start(list, flags);                                                                         \
    const int fd = openFile(dirfd, path, flags, list);                                             \
    va_end(list);                                                                                  \
    return fd

int open(const char* path, int flags, ...) {
    GVT_OPEN(AT_FDCWD);
}

int open64(const char* path, int flags, ...) {
    GVT_OPEN(AT_FDCWD);
}

int mkostemp(char* pattern, int flags) {
    if (watching && !allow("mkostemp", absolute(AT_FDCWD, pattern)))
        return -1;
    static const auto real = next<int (*)(char*, int)>("mkostemp");
    const int fd = real(pattern, flags);
    if (fd >= 0)
        named(absolute(AT_FDCWD, pattern), fd);
    return fd;
}

// Calls on an open file, that change what it holds or what it is.
#define GVT_ON_FILE(name, changes, type, ...)                                                      \
    if (changes)                                                                                   \
        written(fd);                                                                               \
    if (watching && !allow(name, pathOf(fd)))                                                      \
        return -1;                                                                                 \
    static const auto real = next<type>(__func__);                                                 \
    return real(__VA_ARGS__)

ssize_t write(int fd, const void* data, size_t size) {
    GVT_ON_FILE("write", true, ssize_t(*)(int, const void*, size_t), fd, data, size);
}

ssize_t pwrite(int fd, const void* data, size_t size, off_t offset) {
    GVT_ON_FILE("pwrite", true, ssize_t(*)(int, const void*, size_t, off_t), fd, data, size,
                offset);
}

int ftruncate(int fd, off_t size) {
    GVT_ON_FILE("ftruncate", true, int (*)(int, off_t), fd, size);
}

int ftruncate64(int fd, off_t size) {
    GVT_ON_FILE("ftruncate", true, int (*)(int, off_t), fd, size);
}

int fallocate(int fd, int mode, off_t offset, off_t length) {
    GVT_ON_FILE("fallocate", true, int (*)(int, int, off_t, off_t), fd, mode, offset, length);
}

int fchmod(int fd, mode_t mode) {
    GVT_ON_FILE("fchmod", false, int (*)(int, mode_t), fd, mode);
}

int fchown(int fd, uid_t owner, gid_t group) {
    GVT_ON_FILE("fchown", false, int (*)(int, uid_t, gid_t), fd, owner, group);
}

int posix_fallocate(int fd, off_t offset, off_t length) {
    written(fd);
    // It tells its failure by its result, not in errno.
    if (watching && !allow("posix_fallocate", pathOf(fd)))
        return errno;
    static const auto real = next<int (*)(int, off_t, off_t)>("posix_fallocate");
    return real(fd, offset, length);
}

#define GVT_FLUSH                                                                                  \
    if (watching && !allow(__func__, pathOf(fd)))                                                  \
        return -1;                                                                                 \
    static const auto real = next<int (*)(int)>(__func__);                                         \
    const int result = real(fd);                                                                   \
    if (result == 0)                                                                               \
        flushed(fd);                                                                               \
    return result

int fsync(int fd) {
    GVT_FLUSH;
}

int fdatasync(int fd) {
    GVT_FLUSH;
}

// Calls that change the names in a folder: `from` takes `to`, where there is a `to`.
#define GVT_NAMES(name, fromDir, from, to, type, ...)                                              \
    const std::string source = watching ? absolute(fromDir, from) : std::string();                 \
    const std::string target = watching ? to : std::string();                                      \
    if (!target.empty() && std::strcmp(name, "link") != 0)                                         \
        renaming(source);                                                                          \
    if (!target.empty())                                                                           \
        checkHistory(source, target);                                                              \
    if (watching && !allow(name, source, target))                                                  \
        return -1;                                                                                 \
    static const auto real = next<type>(__func__);                                                 \
    const int result = real(__VA_ARGS__);                                                          \
    if (result == 0 && watching) {                                                                 \
        named(target.empty() ? source : target);                                                   \
        named(source);                                                                             \
    }                                                                                              \
    return result

int rename(const char* from, const char* to) {
    GVT_NAMES("rename", AT_FDCWD, from, absolute(AT_FDCWD, to), int (*)(const char*, const char*),
              from, to);
}

int renameat2(int fromDir, const char* from, int toDir, const char* to, unsigned flags) {
    GVT_NAMES("renameat2", fromDir, from, absolute(toDir, to),
              int (*)(int, const char*, int, const char*, unsigned), fromDir, from, toDir, to,
              flags);
}

int link(const char* from, const char* to) {
    GVT_NAMES("link", AT_FDCWD, from, absolute(AT_FDCWD, to), int (*)(const char*, const char*),
              from, to);
}

int linkat(int fromDir, const char* from, int toDir, const char* to, int flags) {
    GVT_NAMES("link", fromDir, from, absolute(toDir, to),
              int (*)(int, const char*, int, const char*, int), fromDir, from, toDir, to, flags);
}

int unlink(const char* path) {
    GVT_NAMES("unlink", AT_FDCWD, path, std::string(), int (*)(const char*), path);
}

int unlinkat(int dirfd, const char* path, int flags) {
    GVT_NAMES("unlink", dirfd, path, std::string(), int (*)(int, const char*, int), dirfd, path,
              flags);
}

int mkdir(const char* path, mode_t mode) {
    GVT_NAMES("mkdir", AT_FDCWD, path, std::string(), int (*)(const char*, mode_t), path, mode);
}

} // extern "C"
