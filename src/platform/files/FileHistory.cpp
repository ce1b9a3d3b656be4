// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/files/FileHistory.h"

#include "platform/files/FileName.h"
#include "platform/files/FileRead.h"
#include "platform/files/PathLookup.h"
#include "platform/files/SaveJournal.h"
#include "platform/files/StateFolder.h"

#include <QCryptographicHash>
#include <QDateTime>
#include <QRandomGenerator>
#include <QSet>
#include <QtEndian>

#include <cerrno>
#include <fcntl.h>
#include <initializer_list>
#include <sys/file.h>
#include <unistd.h>

// A game folder's part of the history is one folder holding one journal: records appended one
// after the other, each change's flushed before the change is made. The contents a file had
// and gets go into the journal in the same append, those not kept yet, so that keeping them
// costs that one flush; the journal's folder is flushed only when the journal is made anew
// (written whole, beside it, and put in its place), in place of that flush. It is made anew,
// without what is no longer kept, once it holds more than the limits allow.
namespace gvt::platform {

namespace {

constexpr QByteArrayView kMark = "gvtarsis-modmanager history 1\n";
// Entries beyond the kept ones stay in the journal until there are this many, so that it is
// not written anew at every save.
constexpr int kSpareActions = 10;
constexpr qsizetype kHashSize = 32;
constexpr qsizetype kCheckSize = 16;

QByteArray sha256(QByteArrayView data) {
    return QCryptographicHash::hash(data, QCryptographicHash::Sha256);
}

// A record's check only tells a whole record from one a crash cut short: a quicker hash does.
QByteArray checkOf(QByteArrayView record) {
    return QCryptographicHash::hash(record, QCryptographicHash::Blake2b_256).left(kCheckSize);
}

QByteArray historyFolder() {
    return fileNameOfText(stateFolder()) + "/history";
}

QByteArray partFolderOf(const QString& gameFolder) {
    return historyFolder() + '/' + sha256(gameFolder.toUtf8()).toHex().left(16);
}

QByteArray ownerPath(const QByteArray& folder, quint64 session) {
    return folder + "/open-" + QByteArray::number(session, 16);
}

quint64 newId() {
    quint64 id = 0;
    while (id == 0)
        id = QRandomGenerator::system()->generate64();
    return id;
}

// Records: the length of what follows up to the check (8 bytes, little-endian), the kind, the
// body, and the first 16 bytes of the BLAKE2b of kind and body, by which a record that a crash
// cut short is known.
enum Kind : char {
    kHeader = 'H',
    kBegin = 'B',   // action, session, time, what for one change, what for several
    kContent = 'C', // hash, content
    kFile = 'F',    // action, sequence, path, hash before, hash after
    kRename = 'R',  // action, sequence, path before, path after
    kEnd = 'E',     // action, time, how many dropped, the sequences of the changes dropped
};

void putNumber(QByteArray& out, quint64 number) {
    char bytes[8];
    qToLittleEndian<quint64>(number, bytes);
    out.append(bytes, 8);
}

void putField(QByteArray& out, QByteArrayView field) {
    putNumber(out, quint64(field.size()));
    out.append(field);
}

void putRecord(QByteArray& out, Kind kind, std::initializer_list<QByteArrayView> parts) {
    qsizetype length = 1;
    for (const QByteArrayView part : parts)
        length += part.size();
    putNumber(out, quint64(length));
    const qsizetype start = out.size();
    out.append(char(kind));
    for (const QByteArrayView part : parts)
        out.append(part);
    out.append(checkOf(QByteArrayView(out).sliced(start)));
}

QByteArray numbers(std::initializer_list<quint64> values) {
    QByteArray out;
    for (const quint64 value : values)
        putNumber(out, value);
    return out;
}

QByteArray fields(std::initializer_list<QByteArrayView> values) {
    QByteArray out;
    for (const QByteArrayView value : values)
        putField(out, value);
    return out;
}

struct Reader {
    QByteArrayView rest;
    bool ok = true;
    QByteArrayView bytes(quint64 count) {
        if (!ok || count > quint64(rest.size())) {
            ok = false;
            return {};
        }
        const QByteArrayView taken = rest.first(qsizetype(count));
        rest = rest.sliced(qsizetype(count));
        return taken;
    }
    quint64 number() {
        const QByteArrayView taken = bytes(8);
        return ok ? qFromLittleEndian<quint64>(taken.data()) : 0;
    }
    QByteArrayView field() { return bytes(number()); }
};

struct Change : HistoryChange {
    quint64 sequence = 0;
    quint64 session = 0; // the session that made it
    bool dropped = false;
};

struct Action {
    quint64 id = 0;
    qint64 time = 0;
    QString one, many;
    QList<Change> changes;
    quint64 openSession = 0; // the session recording into it now, or 0
    qint64 sessionTime = 0;

    bool isOpen() const { return openSession != 0; }
    qsizetype liveChanges() const {
        return std::count_if(changes.begin(), changes.end(),
                             [](const Change& change) { return !change.dropped; });
    }
    QString what() const {
        const qsizetype count = liveChanges();
        return count == 1 || many.isEmpty() ? one : many.arg(count);
    }
    quint64 nextSequence() const { return changes.isEmpty() ? 0 : changes.last().sequence + 1; }
};

// What the journal holds, read up to `length`.
struct Journal {
    dev_t device = 0;
    ino_t inode = 0;
    qint64 length = 0;
    bool headed = false;
    QString gameFolder;
    QList<Action> actions; // in the order they were begun
    QHash<QByteArray, QPair<qint64, qint64>> contents;

    // Nothing read yet of the journal that is this file.
    static Journal of(const struct stat& st) {
        Journal journal;
        journal.device = st.st_dev;
        journal.inode = st.st_ino;
        return journal;
    }

    Action* find(quint64 id) {
        for (Action& action : actions) {
            if (action.id == id)
                return &action;
        }
        return nullptr;
    }

    // Takes in the whole records of `data`, which lies at `base` in the journal; stops at the
    // first that is cut short or damaged.
    void takeIn(QByteArrayView data, qint64 base) {
        qsizetype at = 0;
        while (data.size() - at >= 8 + 1 + kCheckSize) {
            const quint64 size = qFromLittleEndian<quint64>(data.data() + at);
            if (size < 1 || size > quint64(data.size() - at - 8 - kCheckSize))
                break;
            const QByteArrayView record = data.sliced(at + 8, qsizetype(size));
            if (checkOf(record) != data.sliced(at + 8 + record.size(), kCheckSize) ||
                !apply(record.front(), record.sliced(1), base + at + 9))
                break;
            at += 8 + record.size() + kCheckSize;
        }
        length = base + at;
    }

    bool apply(char kind, QByteArrayView body, qint64 bodyOffset) {
        Reader in{body};
        if (!headed) {
            headed = kind == kHeader && body.startsWith(kMark);
            gameFolder = QString::fromUtf8(body.sliced(std::min(body.size(), kMark.size())));
            return headed;
        }
        switch (kind) {
        case kBegin: {
            const quint64 id = in.number(), session = in.number();
            const qint64 time = qint64(in.number());
            const QString one = QString::fromUtf8(in.field()), many = QString::fromUtf8(in.field());
            if (!in.ok || id == 0)
                return false;
            Action* action = find(id);
            if (!action) {
                actions.append(Action{id, time, one, many, {}, 0, 0});
                action = &actions.last();
            }
            action->openSession = session;
            action->sessionTime = time;
            return true;
        }
        case kContent: {
            const QByteArray hash = in.bytes(kHashSize).toByteArray();
            if (!in.ok)
                return false;
            contents.insert(hash, {bodyOffset + kHashSize, in.rest.size()});
            return true;
        }
        case kFile:
        case kRename: {
            Change change;
            const quint64 id = in.number();
            change.sequence = in.number();
            change.path = in.field().toByteArray();
            if (kind == kFile) {
                change.before = in.bytes(kHashSize).toByteArray();
                change.after = in.bytes(kHashSize).toByteArray();
            } else {
                change.newPath = in.field().toByteArray();
            }
            if (!in.ok || (kind == kRename && change.newPath.isEmpty()))
                return false;
            if (Action* action = find(id)) {
                change.session = action->openSession;
                action->changes.append(change);
            }
            return true;
        }
        case kEnd: {
            const quint64 id = in.number();
            const qint64 time = qint64(in.number());
            const quint64 count = in.number();
            QSet<quint64> dropped;
            for (quint64 i = 0; i < count && in.ok; ++i)
                dropped.insert(in.number());
            if (!in.ok)
                return false;
            if (Action* action = find(id)) {
                action->openSession = 0;
                action->time = time;
                for (Change& change : action->changes)
                    change.dropped = change.dropped || dropped.contains(change.sequence);
            }
            return true;
        }
        default:
            return false;
        }
    }

    // The actions kept, by index, oldest first: those under way, and the newest whole ones
    // that fit in the limits, the very newest whatever its size. A content two of them need
    // counts once.
    QList<qsizetype> kept() const {
        QList<qsizetype> kept;
        QSet<QByteArray> counted;
        qint64 size = 0;
        int whole = 0;
        bool full = false;
        for (qsizetype i = actions.size() - 1; i >= 0; --i) {
            const Action& action = actions[i];
            if (!action.isOpen() && (full || action.liveChanges() == 0))
                continue;
            QSet<QByteArray> needed;
            qint64 more = 0;
            for (const Change& change : action.changes) {
                for (const QByteArray& hash : {change.before, change.after}) {
                    if (!change.dropped && !hash.isEmpty() && !counted.contains(hash) &&
                        !needed.contains(hash)) {
                        needed.insert(hash);
                        more += contents.value(hash).second;
                    }
                }
            }
            if (!action.isOpen() && !kept.isEmpty() &&
                (whole + 1 > kKeptActions || size + more > kKeptBytes)) {
                full = true;
                continue;
            }
            kept.prepend(i);
            size += more;
            counted.unite(needed);
            whole += action.isOpen() ? 0 : 1;
        }
        return kept;
    }
};

void putBegin(QByteArray& out, quint64 id, quint64 session, qint64 time, const QString& one,
              const QString& many) {
    putRecord(out, kBegin,
              {numbers({id, session, quint64(time)}), fields({one.toUtf8(), many.toUtf8()})});
}

void putChange(QByteArray& out, quint64 id, const Change& change) {
    if (change.isRename())
        putRecord(out, kRename,
                  {numbers({id, change.sequence}), fields({change.path, change.newPath})});
    else
        putRecord(
            out, kFile,
            {numbers({id, change.sequence}), fields({change.path}), change.before, change.after});
}

void putEnd(QByteArray& out, quint64 id, qint64 time, const QList<quint64>& dropped) {
    QByteArray body = numbers({id, quint64(time), quint64(dropped.size())});
    for (const quint64 sequence : dropped)
        putNumber(body, sequence);
    putRecord(out, kEnd, {body});
}

// The journal of each part as last read by this process: read again from where it ended, or
// whole when another instance made it anew.
QHash<QByteArray, Journal>& journals() {
    static QHash<QByteArray, Journal> read;
    return read;
}

// Whether a change a session recorded was made. `sure`: the session is ours and has just
// ended, so the file holds exactly what it wrote or the change was not made; otherwise a file
// found changed since is taken as changed by it, so that its old content stays kept.
bool wasMade(const Change& change, bool sure) {
    if (change.isRename())
        return entryExists(change.newPath) && (!sure || !entryExists(change.path));
    QByteArray now;
    if (!readWholeFile(change.path, now))
        return !sure;
    const QByteArray hash = sha256(now);
    return hash == change.after || (!sure && hash != change.before);
}

// A game folder's part, locked while the object lives, with its journal read.
class Part {
public:
    // Nothing when the part cannot be made (`make`) or is not there, or cannot be locked.
    static std::optional<Part> open(const QByteArray& folder, bool make) {
        if (make ? !makeFolders(folder) : !isFolder(folder))
            return std::nullopt;
        const QByteArray lockPath = folder + "/lock";
        Descriptor lock(::open(lockPath.constData(), O_RDONLY | O_CLOEXEC));
        if (!lock.valid() && errno == ENOENT)
            lock = Descriptor(::open(lockPath.constData(), O_RDONLY | O_CREAT | O_CLOEXEC, 0600));
        int locked = -1;
        while (lock.valid() && (locked = ::flock(lock.get(), LOCK_EX)) != 0 && errno == EINTR) {
        }
        if (locked != 0)
            return std::nullopt;
        Part part(folder, std::move(lock));
        // What a crash left of a journal being made anew; none of it is in use under the lock.
        removeStaleTemporaries(folder, ".journal.new-");
        if (!part.read())
            return std::nullopt;
        return part;
    }

    Journal& journal() { return journals()[m_folder]; }
    int fd() const { return m_journal.get(); }

    // Appends whole records, flushed when `flush`; where there is no journal yet, or a flushed
    // append finds it holding more than is kept, it is made anew with them instead, flushed
    // with its folder: in place of the append's flush, never beside it.
    bool store(const QByteArray& records, bool flush) {
        Journal& read = journal();
        if (!m_journal.valid() || !read.headed ||
            (flush && (read.length + records.size() > kKeptBytes ||
                       read.actions.size() > kKeptActions + kSpareActions)))
            return writeAnew(records);
        // What a crash cut short at the end goes first.
        struct stat st {};
        if (::fstat(m_journal.get(), &st) != 0 ||
            (st.st_size > read.length && ::ftruncate(m_journal.get(), off_t(read.length)) != 0))
            return false;
        if (!writeFully(m_journal.get(), records, read.length) ||
            (flush && ::fsync(m_journal.get()) != 0)) {
            // Taking the part back is worth a try: the next append cuts it off anyway.
            [[maybe_unused]] const int cut = ::ftruncate(m_journal.get(), off_t(read.length));
            return false;
        }
        read.takeIn(records, read.length);
        return true;
    }

    // Ends the sessions whose instance is gone, keeping the changes they were found to make.
    void recover() {
        QByteArray records;
        for (const Action& action : journal().actions) {
            if (!action.isOpen() || isHeld(ownerPath(m_folder, action.openSession)))
                continue;
            QList<quint64> dropped;
            for (const Change& change : action.changes) {
                if (change.session == action.openSession && !change.dropped &&
                    !wasMade(change, false))
                    dropped.append(change.sequence);
            }
            putEnd(records, action.id, action.sessionTime, dropped);
        }
        if (!records.isEmpty() && !store(records, false))
            return;
        // Owner files of sessions that ended, or that a crash stopped before their beginning
        // was kept.
        QSet<QByteArray> open;
        for (const Action& action : journal().actions)
            open.insert(action.isOpen() ? ownerPath(m_folder, action.openSession) : QByteArray());
        for (const QByteArray& name : namesIn(m_folder)) {
            const QByteArray owner = m_folder + '/' + name;
            if (name.startsWith("open-") && !open.contains(owner) && !isHeld(owner))
                ::unlink(owner.constData());
        }
    }

private:
    Part(QByteArray folder, Descriptor lock)
        : m_folder(std::move(folder)), m_lock(std::move(lock)) {}

    QByteArray journalPath() const { return m_folder + "/journal"; }

    // Reads what the journal gained since this process last read it. False when it is there
    // but cannot be read: then nothing may be written to it, least of all a journal anew.
    bool read() {
        Journal& read = journal();
        m_journal = Descriptor(::open(journalPath().constData(), O_RDWR | O_CLOEXEC));
        struct stat st {};
        if (!m_journal.valid() && errno == ENOENT) {
            read = Journal();
            return true;
        }
        if (!m_journal.valid() || ::fstat(m_journal.get(), &st) != 0)
            return false;
        if (read.device != st.st_dev || read.inode != st.st_ino || st.st_size < read.length)
            read = Journal::of(st);
        QByteArray more;
        if (st.st_size > read.length) {
            if (!readAt(m_journal.get(), read.length, st.st_size - read.length, more))
                return false;
            read.takeIn(more, read.length);
        }
        return true;
    }

    // True while the instance that recorded into a session lives: it holds its owner file.
    static bool isHeld(const QByteArray& owner) {
        const Descriptor fd(::open(owner.constData(), O_RDONLY | O_CLOEXEC));
        return fd.valid() && ::flock(fd.get(), LOCK_EX | LOCK_NB) != 0 && errno == EWOULDBLOCK;
    }

    // Writes the journal anew: what is kept of it and `records`, flushed, put in its place, and
    // its folder flushed.
    bool writeAnew(const QByteArray& records) {
        Journal& read = journal();
        Journal next = read;
        next.headed = true;
        next.takeIn(records, read.length);
        if (next.length != read.length + records.size())
            return false;
        const qint64 oldLength = read.length;
        const auto contentAt = [&](QPair<qint64, qint64> place, QByteArray& out) {
            if (place.first >= oldLength) {
                out = records.mid(qsizetype(place.first - oldLength), qsizetype(place.second));
                return true;
            }
            return readAt(m_journal.get(), place.first, place.second, out);
        };
        QByteArray journal;
        putRecord(journal, kHeader, {kMark, read.gameFolder.toUtf8()});
        QSet<QByteArray> written;
        QByteArray content;
        for (const qsizetype index : next.kept()) {
            const Action& action = next.actions[index];
            const auto putChanges = [&](bool ofOpenSession) {
                for (const Change& change : action.changes) {
                    if (change.dropped ||
                        (change.session == action.openSession && action.isOpen()) != ofOpenSession)
                        continue;
                    for (const QByteArray& hash : {change.before, change.after}) {
                        if (hash.isEmpty() || written.contains(hash))
                            continue;
                        if (!next.contents.contains(hash) ||
                            !contentAt(next.contents.value(hash), content))
                            return false;
                        putRecord(journal, kContent, {hash, content});
                        written.insert(hash);
                    }
                    putChange(journal, action.id, change);
                }
                return true;
            };
            // Each session's changes after its own beginning, so that a session under way
            // still ends its own.
            const bool ended = std::any_of(
                action.changes.begin(), action.changes.end(), [&action](const Change& change) {
                    return !change.dropped &&
                           (!action.isOpen() || change.session != action.openSession);
                });
            if (ended) {
                putBegin(journal, action.id, 0, action.time, action.one, action.many);
                if (!putChanges(false))
                    return false;
                putEnd(journal, action.id, action.time, {});
            }
            if (action.isOpen()) {
                putBegin(journal, action.id, action.openSession, action.sessionTime,
                         ended ? QString() : action.one, ended ? QString() : action.many);
                if (!putChanges(true))
                    return false;
            }
        }

        QByteArray temp = m_folder + "/.journal.new-XXXXXX";
        Descriptor fd(::mkostemp(temp.data(), O_CLOEXEC));
        if (!fd.valid())
            return false;
        struct stat st {};
        if (!writeFully(fd.get(), journal, 0) || ::fsync(fd.get()) != 0 ||
            ::fstat(fd.get(), &st) != 0 ||
            ::rename(temp.constData(), journalPath().constData()) != 0) {
            ::unlink(temp.constData());
            return false;
        }
        syncFolder(m_folder);
        Journal made = Journal::of(st);
        made.takeIn(journal, 0);
        read = std::move(made);
        m_journal = std::move(fd);
        return true;
    }

    QByteArray m_folder;
    Descriptor m_lock;
    Descriptor m_journal;
};

HistoryAction*& currentAction() {
    static HistoryAction* action = nullptr;
    return action;
}

// A path whose folder is followed to its real place, so that an entry is known by one name.
QByteArray realEntryPath(const QByteArray& path) {
    const QByteArray folder = realFolderOf(folderOfPath(path));
    return folder.isEmpty() ? path
                            : (folder.endsWith('/') ? folder : folder + '/') +
                                  path.mid(path.lastIndexOf('/') + 1);
}

} // namespace

History::History(const QString& gameFolder) {
    if (gameFolder.isEmpty())
        return;
    std::optional<Part> part = Part::open(partFolderOf(gameFolder), false);
    if (!part)
        return;
    part->recover();
    const Journal& journal = part->journal();
    for (const qsizetype index : journal.kept()) {
        const Action& action = journal.actions[index];
        if (action.isOpen())
            continue;
        HistoryEntry entry{action.id, action.time, action.what(), {}};
        for (const Change& change : action.changes) {
            if (!change.dropped)
                entry.changes.append(change);
        }
        m_entries.prepend(entry);
    }
    m_contents = journal.contents;
    // Its own hold on the journal read, which stays readable when it is made anew.
    m_journal = Descriptor(part->fd() >= 0 ? ::fcntl(part->fd(), F_DUPFD_CLOEXEC, 0) : -1);
}

std::optional<QByteArray> History::content(const QByteArray& hash) const {
    const auto found = m_contents.constFind(hash);
    QByteArray content;
    if (found == m_contents.constEnd() || !m_journal.valid() ||
        !readAt(m_journal.get(), found->first, found->second, content) || sha256(content) != hash)
        return std::nullopt;
    return content;
}

QList<QByteArray> History::changedSince(const HistoryEntry& entry) const {
    QList<QByteArray> changed;
    const qsizetype index =
        std::find_if(m_entries.begin(), m_entries.end(),
                     [&entry](const HistoryEntry& kept) { return kept.id == entry.id; }) -
        m_entries.begin();
    for (const HistoryChange& change : entry.changes) {
        if (change.isRename() || changed.contains(change.path))
            continue;
        // What it wrote last, and what every later entry wrote there.
        QSet<QByteArray> written;
        for (qsizetype i = 0; i <= index && i < m_entries.size(); ++i) {
            for (const HistoryChange& later : m_entries[i].changes) {
                if (later.path == change.path && !later.isRename())
                    written.insert(later.after);
            }
        }
        QByteArray now;
        if (!readWholeFile(change.path, now) || !written.contains(sha256(now)))
            changed.append(change.path);
    }
    return changed;
}

QByteArray History::hashOf(QByteArrayView content) {
    return sha256(content);
}

HistoryAction::HistoryAction(const QString& gameFolder, const QString& what)
    : HistoryAction(gameFolder, what, QString(), 0) {}

HistoryAction::HistoryAction(const QString& gameFolder, const QString& one, const QString& many,
                             quint64 extending)
    : m_folder(gameFolder.isEmpty() ? QByteArray() : partFolderOf(gameFolder)),
      m_gameFolder(gameFolder), m_one(one), m_many(many), m_extending(extending),
      m_outer(std::exchange(currentAction(), this)) {}

HistoryAction::~HistoryAction() {
    end();
    currentAction() = m_outer;
}

bool HistoryAction::keepRewrite(const QByteArray& target, const QByteArray& old,
                                const QByteArray& content) {
    HistoryChange change;
    change.path = target;
    change.before = sha256(old);
    change.after = sha256(content);
    return keep(change, {{change.before, old}, {change.after, content}});
}

bool HistoryAction::keepRename(const QByteArray& from, const QByteArray& to) {
    return keep(HistoryChange{from, to, {}, {}}, {});
}

bool HistoryAction::keep(const HistoryChange& made,
                         const QList<QPair<QByteArray, QByteArrayView>>& contents) {
    if (m_folder.isEmpty())
        return true;
    std::optional<Part> part = Part::open(m_folder, true);
    if (!part)
        return false;
    Journal& journal = part->journal();
    if (journal.gameFolder.isEmpty())
        journal.gameFolder = m_gameFolder;
    QByteArray records;
    const bool begins = m_session == 0;
    if (begins) {
        // Held until the action ends: while it is, no other instance takes it for one a crash
        // left under way.
        const quint64 session = newId();
        const QByteArray owner = ownerPath(m_folder, session);
        m_owner = Descriptor(::open(owner.constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0600));
        if (!m_owner.valid() || ::flock(m_owner.get(), LOCK_EX | LOCK_NB) != 0) {
            ::unlink(owner.constData());
            m_owner = Descriptor();
            return false;
        }
        m_session = session;
        const Action* last = journal.actions.isEmpty() ? nullptr : &journal.actions.last();
        const bool extends = m_extending != 0 && last && last->id == m_extending && !last->isOpen();
        m_id = extends ? m_extending : newId();
        putBegin(records, m_id, m_session, QDateTime::currentMSecsSinceEpoch(),
                 extends ? QString() : m_one, extends ? QString() : m_many);
    }
    const Action* action = journal.find(m_id);
    Change change;
    static_cast<HistoryChange&>(change) = made;
    change.sequence = action ? action->nextSequence() : 0;
    QSet<QByteArray> kept;
    for (const auto& [hash, content] : contents) {
        if (!journal.contents.contains(hash) && !kept.contains(hash)) {
            putRecord(records, kContent, {hash, content});
            kept.insert(hash);
        }
    }
    putChange(records, m_id, change);
    if (part->store(records, true))
        return true;
    if (begins) {
        ::unlink(ownerPath(m_folder, m_session).constData());
        m_owner = Descriptor();
        m_session = 0;
        m_id = 0;
    }
    return false;
}

void HistoryAction::end() {
    if (m_session == 0)
        return;
    if (std::optional<Part> part = Part::open(m_folder, false)) {
        QList<quint64> dropped;
        if (const Action* action = part->journal().find(m_id)) {
            for (const Change& change : action->changes) {
                if (change.session == m_session && !change.dropped && !wasMade(change, true))
                    dropped.append(change.sequence);
            }
        }
        // Not flushed: should it be lost, the next reading finds the session ended and looks
        // at the files again.
        QByteArray records;
        putEnd(records, m_id, QDateTime::currentMSecsSinceEpoch(), dropped);
        if (part->store(records, false))
            ::unlink(ownerPath(m_folder, m_session).constData());
    }
    m_owner = Descriptor();
    m_session = 0;
}

bool keepBeforeRewrite(const QByteArray& target, const QByteArray& old, const QByteArray& content) {
    HistoryAction* action = currentAction();
    return !action || old == content || action->keepRewrite(target, old, content);
}

bool keepBeforeRename(const QByteArray& from, const QByteArray& to) {
    HistoryAction* action = currentAction();
    return !action || action->keepRename(realEntryPath(from), realEntryPath(to));
}

void recoverInterruptedActions() {
    const QByteArray folder = historyFolder();
    for (const QByteArray& name : namesIn(folder)) {
        const QByteArray part = folder + '/' + name;
        const QList<QByteArray> names = namesIn(part);
        if (std::any_of(names.begin(), names.end(),
                        [](const QByteArray& entry) { return entry.startsWith("open-"); })) {
            if (std::optional<Part> opened = Part::open(part, false))
                opened->recover();
        }
    }
}

} // namespace gvt::platform
