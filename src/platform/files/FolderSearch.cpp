// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/files/FolderSearch.h"

#include "platform/files/FileName.h"
#include "platform/files/SaveJournal.h"

#include <QFile>

#include <algorithm>
#include <dirent.h>
#include <sys/stat.h>

namespace gvt::platform {

namespace {

// Glob match on upper-cased texts; `*` runs are handled by backtracking to the last star.
bool globMatch(const QString& pattern, const QString& name) {
    qsizetype p = 0, n = 0, starP = -1, starN = 0;
    while (n < name.size()) {
        if (p < pattern.size() && (pattern[p] == u'?' || pattern[p] == name[n])) {
            ++p;
            ++n;
        } else if (p < pattern.size() && pattern[p] == u'*') {
            starP = p++;
            starN = n;
        } else if (starP >= 0) {
            p = starP + 1;
            n = ++starN;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == u'*')
        ++p;
    return p == pattern.size();
}

bool isFolderEntry(const QByteArray& folder, const dirent* entry) {
    if (entry->d_type == DT_DIR)
        return true;
    if (entry->d_type != DT_LNK && entry->d_type != DT_UNKNOWN)
        return false;
    QByteArray full = folder;
    if (!full.endsWith('/'))
        full.append('/');
    full.append(entry->d_name);
    struct stat st {};
    return ::stat(full.constData(), &st) == 0 && S_ISDIR(st.st_mode);
}

} // namespace

bool matchesPattern(const QString& pattern, const QString& name) {
    if (pattern == u"*.*" || pattern == u"*")
        return true;
    // "*" and a plain ASCII ending, against a name that ends in ASCII: no texts to upper-case.
    const qsizetype tail = pattern.size() - 1;
    bool plain = pattern.startsWith(u'*') && name.size() >= tail;
    for (qsizetype i = 1; plain && i <= tail; ++i) {
        const char16_t p = pattern[i].unicode(), n = name[name.size() - tail + i - 1].unicode();
        plain = p != u'*' && p != u'?' && p < 0x80 && n < 0x80;
        const auto upper = [](char16_t c) { return c >= u'a' && c <= u'z' ? c - 32 : c; };
        if (plain && upper(p) != upper(n))
            return false;
    }
    return plain || globMatch(pattern.toUpper(), name.toUpper());
}

QList<FoundEntry> findEntries(QByteArray folder, const QString& pattern) {
    if (pattern.isEmpty())
        return {};
    if (folder.size() > 1 && folder.endsWith('/'))
        folder.chop(1);
    repairInterruptedRenames(folder);
    DIR* dir = ::opendir(folder.constData());
    if (!dir)
        return {};

    const bool matchAll = pattern == u"*.*" || pattern == u"*";
    const QString upperPattern = pattern.toUpper();
    struct Keyed {
        QString key;
        FoundEntry entry;
    };
    std::vector<Keyed> found;
    while (const dirent* entry = ::readdir(dir)) {
        QString name = textOfFileName(entry->d_name);
        QString key = name.toUpper();
        if (!matchAll && !globMatch(upperPattern, key))
            continue;
        found.push_back({std::move(key), {std::move(name), isFolderEntry(folder, entry)}});
    }
    ::closedir(dir);

    std::sort(found.begin(), found.end(), [](const Keyed& a, const Keyed& b) {
        const int byKey = QString::compare(a.key, b.key, Qt::CaseSensitive);
        return byKey != 0 ? byKey < 0 : a.entry.name < b.entry.name;
    });
    QList<FoundEntry> result;
    result.reserve(qsizetype(found.size()));
    for (Keyed& k : found)
        result.append(std::move(k.entry));
    return result;
}

} // namespace gvt::platform
