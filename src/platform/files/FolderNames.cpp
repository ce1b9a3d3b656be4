// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/files/FolderNames.h"

#include "platform/files/FileName.h"
#include "platform/files/FileRename.h"
#include "platform/files/FolderSearch.h"
#include "platform/files/SaveJournal.h"

#include <cerrno>
#include <cstring>
#include <dirent.h>
#include <sys/inotify.h>
#include <sys/stat.h>
#include <unistd.h>

namespace gvt::platform {

namespace {

// 64-bit FNV-1a hashes of a name's code points, as they are and folded to one letter case.
struct NameHashes {
    quint64 exact = 14695981039346656037ULL, folded = 14695981039346656037ULL;
};

NameHashes hashesOf(const QString& name) {
    NameHashes hashes;
    const QChar* text = name.constData();
    for (qsizetype i = 0; i < name.size(); ++i) {
        char32_t c = text[i].unicode();
        if (text[i].isHighSurrogate() && i + 1 < name.size() && text[i + 1].isLowSurrogate())
            c = QChar::surrogateToUcs4(text[i], text[i + 1]), ++i;
        const char32_t folded =
            c < 0x80 ? (c >= 'A' && c <= 'Z' ? c + 32 : c) : QChar::toCaseFolded(c);
        hashes.exact = (hashes.exact ^ c) * 1099511628211ULL;
        hashes.folded = (hashes.folded ^ folded) * 1099511628211ULL;
    }
    return hashes;
}

} // namespace

FolderNames::FolderNames(const QByteArray& folder, const QStringList& patterns)
    : m_folder(folder), m_patterns(patterns) {
    read();
}

void FolderNames::read() {
    const QStringList& patterns = m_patterns;
    const QByteArray& folder = m_folder;
    repairInterruptedRenames(folder);
    if (m_watch >= 0)
        ::close(m_watch);
    m_matching = QList<QStringList>(patterns.size());
    m_names.clear();
    m_folded.clear();
    m_identity = {};
    // Watched before it is read, so that nothing that happens meanwhile goes untold.
    m_watch = ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    if (m_watch >= 0 && ::inotify_add_watch(m_watch, folder.constData(),
                                            IN_CREATE | IN_DELETE | IN_MOVED_FROM | IN_MOVED_TO |
                                                IN_DELETE_SELF | IN_MOVE_SELF | IN_ONLYDIR) < 0) {
        ::close(m_watch);
        m_watch = -1;
    }
    DIR* dir = ::opendir(folder.constData());
    if (!dir)
        return;
    struct stat st {};
    if (::fstat(::dirfd(dir), &st) == 0)
        m_identity = {st.st_dev, st.st_ino};
    std::vector<NameHashes> hashes;
    while (const dirent* entry = ::readdir(dir)) {
        const QString name = textOfFileName(entry->d_name);
        hashes.push_back(hashesOf(name));
        for (qsizetype i = 0; i < patterns.size(); ++i) {
            if (matchesPattern(patterns[i], name))
                m_matching[i].append(name);
        }
    }
    ::closedir(dir);
    // A folder lists each name once: the index is built in one go.
    m_names.reserve(qsizetype(hashes.size()));
    m_folded.reserve(qsizetype(hashes.size()));
    for (const NameHashes& each : hashes) {
        m_names.insert(each.exact);
        ++m_folded[each.folded];
    }
}

FolderNames::~FolderNames() {
    if (m_watch >= 0)
        ::close(m_watch);
}

void FolderNames::add(const QString& name) {
    const NameHashes hashes = hashesOf(name);
    const qsizetype known = m_names.size();
    m_names.insert(hashes.exact);
    if (m_names.size() > known)
        ++m_folded[hashes.folded];
}

void FolderNames::remove(const QString& name) {
    const NameHashes hashes = hashesOf(name);
    if (m_names.remove(hashes.exact) && --m_folded[hashes.folded] == 0)
        m_folded.remove(hashes.folded);
}

bool FolderNames::catchUp() {
    alignas(inotify_event) char buffer[16384];
    while (m_watch >= 0) {
        const ssize_t size = ::read(m_watch, buffer, sizeof buffer);
        if (size < 0 && errno == EINTR)
            continue;
        if (size < 0 && errno == EAGAIN)
            return true;
        for (ssize_t at = 0; size > 0 && at < size;) {
            const auto* event = reinterpret_cast<const inotify_event*>(buffer + at);
            at += ssize_t(sizeof(inotify_event) + event->len);
            if (event->mask & (IN_Q_OVERFLOW | IN_IGNORED | IN_DELETE_SELF | IN_MOVE_SELF)) {
                ::close(m_watch); // lost track: every rename reads the folder from now on
                m_watch = -1;
            } else if (event->mask & (IN_CREATE | IN_MOVED_TO)) {
                add(textOfFileName(
                    QByteArrayView(event->name, qsizetype(std::strlen(event->name)))));
            } else {
                remove(textOfFileName(
                    QByteArrayView(event->name, qsizetype(std::strlen(event->name)))));
            }
        }
        if (size <= 0 && m_watch >= 0) {
            ::close(m_watch);
            m_watch = -1;
        }
    }
    return false;
}

std::optional<FileError> FolderNames::rename(const QString& name, const QString& newName) {
    // The folder the path names now may be another than the one read: replaced, moved away, or
    // a link pointed elsewhere. Then it is read again, as it is now.
    struct stat st {};
    if (::stat(m_folder.constData(), &st) != 0 ||
        QPair<quint64, quint64>{st.st_dev, st.st_ino} != m_identity)
        read();
    // Only a name that may be taken in another case needs the folder read again.
    const bool free = catchUp() && !m_folded.contains(hashesOf(newName).folded);
    return renameEntry(m_folder, name, newName, free);
}

} // namespace gvt::platform
