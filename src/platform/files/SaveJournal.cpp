// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/files/SaveJournal.h"

#include "platform/files/FileIo.h"
#include "platform/files/FileName.h"
#include "platform/files/StateFolder.h"

#include <QCryptographicHash>
#include <QList>
#include <QSet>
#include <QtEndian>

#include <cerrno>
#include <climits>
#include <csignal>
#include <cstdlib>
#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace gvt::platform {

namespace {

std::function<void(const QString&)>& reporter() {
    static std::function<void(const QString&)> instance;
    return instance;
}

void tell(const QString& text) {
    if (reporter())
        reporter()(text);
}

QByteArray recordFolder() {
    return fileNameOfText(stateFolder()) + "/recovery";
}

QString shownNameOf(const QByteArray& path) {
    return shownFileName(textOfFileName(path.mid(path.lastIndexOf('/') + 1)));
}

// Writes a record whole or not at all: a temporary file flushed, renamed into place, and its
// folder flushed. It stays open and locked while its save goes on, so that another instance of
// the program never takes it for one a crash left; -1 when it could not be written.
int writeRecord(const QByteArray& name, const QByteArray& content) {
    const QByteArray folder = recordFolder();
    if (!makeFolders(folder))
        return -1;
    QByteArray temp = folder + "/." + name + ".new-XXXXXX";
    const int fd = ::mkostemp(temp.data(), O_CLOEXEC);
    if (fd < 0)
        return -1;
    if (::flock(fd, LOCK_EX) != 0 || !writeFully(fd, content, 0) || ::fsync(fd) != 0 ||
        ::rename(temp.constData(), (folder + '/' + name).constData()) != 0) {
        ::unlink(temp.constData());
        ::close(fd);
        return -1;
    }
    syncFolder(folder);
    return fd;
}

QByteArray nameFor(const char* kind, const QByteArray& key) {
    return kind + QCryptographicHash::hash(key, QCryptographicHash::Sha1).toHex();
}

// A name of its own for each save's record: two instances saving at once keep two records.
QByteArray uniqueNameFor(const char* kind, const QByteArray& key) {
    static quint64 saves = 0;
    return nameFor(kind, key) + '-' + QByteArray::number(::getpid()) + '-' +
           QByteArray::number(++saves);
}

// Records are fields, each its length (8 bytes, little-endian) and its bytes, after a mark.
void putField(QByteArray& record, QByteArrayView field) {
    char length[8];
    qToLittleEndian<quint64>(quint64(field.size()), length);
    record.append(length, 8).append(field);
}

bool takeField(QByteArrayView& rest, QByteArrayView& field) {
    if (rest.size() < 8)
        return false;
    const quint64 length = qFromLittleEndian<quint64>(rest.data());
    if (length > quint64(rest.size() - 8))
        return false;
    field = rest.sliced(8, qsizetype(length));
    rest = rest.sliced(8 + qsizetype(length));
    return true;
}

constexpr QByteArrayView kRewriteMark = "gvtarsis-modmanager rewrite 1\n";
constexpr QByteArrayView kRenameMark = "gvtarsis-modmanager rename 1\n";

// A whole record of a kind (its mark) at `path` that no save under way holds: its fields, and
// the record itself, open and locked until the object goes.
struct LeftRecord {
    QList<QByteArray> fields;
    int fd = -1;
    LeftRecord() = default;
    LeftRecord(LeftRecord&& other) noexcept
        : fields(std::move(other.fields)), fd(std::exchange(other.fd, -1)) {}
    ~LeftRecord() {
        if (fd >= 0)
            ::close(fd);
    }
};

std::optional<LeftRecord> readRecord(const QByteArray& path, QByteArrayView mark, int count) {
    LeftRecord left;
    left.fd = ::open(path.constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    QByteArray record;
    if (left.fd < 0 || ::flock(left.fd, LOCK_EX | LOCK_NB) != 0 || !readFully(left.fd, record) ||
        !record.startsWith(mark))
        return std::nullopt;
    QByteArrayView rest = QByteArrayView(record).sliced(mark.size());
    for (QByteArrayView field; left.fields.size() < count;
         left.fields.append(field.toByteArray())) {
        if (!takeField(rest, field))
            return std::nullopt;
    }
    return left;
}

// The records whose names begin so ("rewrite-", "rename-", a file's "rewrite-<hash>-"), by path.
QList<QByteArray> recordsOf(const QByteArray& kind) {
    const QByteArray folder = recordFolder();
    QList<QByteArray> paths;
    DIR* dir = ::opendir(folder.constData());
    while (const dirent* entry = dir ? ::readdir(dir) : nullptr) {
        if (QByteArrayView(entry->d_name).startsWith(kind))
            paths.append(folder + '/' + entry->d_name);
    }
    if (dir)
        ::closedir(dir);
    return paths;
}

// What a crash while `content` went over `old` in place can leave: at each place, a byte of
// either (or a zero the reservation of space added), in a size between theirs.
bool isHalfWritten(QByteArrayView now, QByteArrayView old, QByteArrayView content) {
    if (now.size() < std::min(old.size(), content.size()) ||
        now.size() > std::max(old.size(), content.size()))
        return false;
    for (qsizetype i = 0; i < now.size(); ++i) {
        if (!(i < old.size() ? now[i] == old[i] : now[i] == 0) &&
            !(i < content.size() && now[i] == content[i]))
            return false;
    }
    return true;
}

} // namespace

void removeStaleTemporaries(const QByteArray& folder, const QByteArray& start) {
    static QSet<QByteArray> cleaned;
    if (cleaned.contains(folder + '/' + start))
        return;
    cleaned.insert(folder + '/' + start);
    DIR* dir = ::opendir(folder.constData());
    if (!dir)
        return;
    while (const dirent* entry = ::readdir(dir)) {
        const QByteArrayView name(entry->d_name);
        if (name.size() == start.size() + 6 && name.startsWith(start))
            ::unlinkat(::dirfd(dir), entry->d_name, 0);
    }
    ::closedir(dir);
}

std::optional<SaveRecord> SaveRecord::keep(const QByteArray& name, QByteArrayView mark,
                                           const QList<QByteArrayView>& fields) {
    QByteArray record = mark.toByteArray();
    for (const QByteArrayView field : fields)
        putField(record, field);
    const int fd = writeRecord(name, record);
    if (fd < 0)
        return std::nullopt;
    return SaveRecord(recordFolder() + '/' + name, fd);
}

std::optional<SaveRecord> SaveRecord::keepRewrite(const QByteArray& target, const QByteArray& old,
                                                  const QByteArray& content) {
    return keep(uniqueNameFor("rewrite-", target), kRewriteMark, {target, old, content});
}

std::optional<SaveRecord> SaveRecord::keepRename(const QByteArray& from, const QByteArray& to) {
    return keep(uniqueNameFor("rename-", from + '\0' + to), kRenameMark, {from, to});
}

SaveRecord::SaveRecord(SaveRecord&& other) noexcept
    : m_path(std::move(other.m_path)), m_fd(std::exchange(other.m_fd, -1)) {}

SaveRecord::~SaveRecord() {
    if (m_fd >= 0)
        ::close(m_fd);
}

void SaveRecord::discard() {
    ::unlink(m_path.constData());
    if (m_fd >= 0)
        ::close(std::exchange(m_fd, -1));
}

namespace {

// Puts a file right from one record of a rewrite in place that a crash interrupted.
void recoverFrom(const QByteArray& path, const QByteArray& target) {
    const auto left = readRecord(path, kRewriteMark, 3);
    if (!left || left->fields.at(0) != target)
        return;
    const QByteArray& old = left->fields.at(1);
    const QByteArray& content = left->fields.at(2);
    const int fd = ::open(target.constData(), O_RDWR | O_CLOEXEC | O_NONBLOCK);
    QByteArray now;
    if (fd < 0 || !readFully(fd, now)) {
        if (fd >= 0)
            ::close(fd);
        return; // kept until the file can be put right
    }
    const QString stopped = QStringLiteral("The Mod Manager stopped while it was saving \"%1\"")
                                .arg(shownNameOf(target));
    if (!isHalfWritten(now, old, content) || now == old || now == content) {
        ::close(fd);
        ::unlink(path.constData());
        tell(stopped + (now == old ? QStringLiteral(", before the file was changed: it is as it "
                                                    "was, and the copy kept of it was discarded.")
                        : now == content
                            ? QStringLiteral(", after the save was complete: the copy kept of "
                                             "its earlier content was discarded.")
                            : QStringLiteral(". The file has been changed since, and is left as "
                                             "it is now; the copy kept of its earlier content "
                                             "was discarded.")));
        return;
    }
    const bool restored =
        writeFully(fd, old, 0) && ::ftruncate(fd, off_t(old.size())) == 0 && ::fsync(fd) == 0;
    ::close(fd);
    if (!restored) {
        tell(stopped + QStringLiteral(", and the file was left half written. It could not be put "
                                      "back; its earlier content is kept in \"%1\".")
                           .arg(shownFileName(textOfFileName(path))));
        return;
    }
    ::unlink(path.constData());
    tell(stopped + QStringLiteral(", and the file was left half written. It has been put back as "
                                  "it was before that save."));
}

} // namespace

void recoverInterruptedRewrite(const QByteArray& target) {
    for (const QByteArray& path : recordsOf(nameFor("rewrite-", target) + '-'))
        recoverFrom(path, target);
}

void repairInterruptedRenames(const QByteArray& folder) {
    for (const QByteArray& path : recordsOf("rename-")) {
        const auto left = readRecord(path, kRenameMark, 2);
        if (!left)
            continue;
        const QByteArray& fromPath = left->fields.at(0);
        const QByteArray& to = left->fields.at(1);
        if (!folder.isEmpty() && folderOfPath(fromPath) != folder)
            continue;
        // The same file under both names: the new one is the name the user chose.
        struct stat old {};
        struct stat chosen {};
        if (::lstat(fromPath.constData(), &old) == 0 && ::lstat(to.constData(), &chosen) == 0 &&
            old.st_dev == chosen.st_dev && old.st_ino == chosen.st_ino) {
            if (::unlink(fromPath.constData()) != 0)
                continue;
            syncFolder(folderOfPath(fromPath));
        }
        ::unlink(path.constData());
    }
}

void recoverInterruptedSaves() {
    // A record is whole once it has its name: one a crash left half written is nothing. One that
    // a running instance is writing is locked by it, and named after its process.
    const QByteArray records = recordFolder();
    if (DIR* dir = ::opendir(records.constData())) {
        while (const dirent* entry = ::readdir(dir)) {
            const QByteArrayView name(entry->d_name);
            if (!name.startsWith('.') || name.size() <= 13 ||
                name.sliced(name.size() - 11, 5) != ".new-")
                continue;
            const QList<QByteArray> parts = name.toByteArray().split('-');
            const pid_t writer = parts.size() >= 4 ? pid_t(parts[parts.size() - 3].toInt()) : 0;
            const bool running = writer > 0 && (::kill(writer, 0) == 0 || errno == EPERM);
            const Descriptor half(::openat(::dirfd(dir), entry->d_name,
                                           O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOFOLLOW));
            if (half.valid() && !running && ::flock(half.get(), LOCK_EX | LOCK_NB) == 0)
                ::unlinkat(::dirfd(dir), entry->d_name, 0);
        }
        ::closedir(dir);
    }
    for (const QByteArray& path : recordsOf("rewrite-")) {
        // Read, then let go: the recovery takes the record again.
        if (const QByteArray target =
                readRecord(path, kRewriteMark, 1).value_or(LeftRecord()).fields.value(0);
            !target.isEmpty())
            recoverInterruptedRewrite(target);
    }
    repairInterruptedRenames();
}

TargetLock::TargetLock(const QByteArray& target) {
    const QByteArray folder = fileNameOfText(stateFolder()) + "/locks";
    if (!makeFolders(folder))
        return;
    m_fd = ::open((folder + '/' + nameFor("", target)).constData(),
                  O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    while (m_fd >= 0 && ::flock(m_fd, LOCK_EX) != 0 && errno == EINTR) {
    }
}

TargetLock::~TargetLock() {
    if (m_fd >= 0)
        ::close(m_fd);
}

void setRecoveryReporter(std::function<void(const QString& text)> newReporter) {
    reporter() = std::move(newReporter);
}

} // namespace gvt::platform
