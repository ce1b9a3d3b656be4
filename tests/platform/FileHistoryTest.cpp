// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/files/FileHistory.h"
#include "FileFaults.h"
#include "Fixtures.h"
#include "platform/files/FileReplace.h"
#include "platform/files/StateFolder.h"

#include <QDirIterator>

#include <csignal>
#include <sys/wait.h>

using gvt::platform::History;
using gvt::platform::HistoryAction;
using gvt::test::GameTree;
namespace faults = gvt::faults;

namespace {

// A game folder in a private home, its files rewritten as a save does.
struct Saves {
    gvt::test::SettingsHome home;
    GameTree tree;
    QByteArray path(const QString& name) const {
        return gvt::test::fileNameOfText(tree.path(name));
    }
    bool rewrite(const QString& name, const QByteArray& content) const {
        return gvt::platform::replaceExistingFile(path(name), [&content](const QByteArray&) {
                   return content;
               }) == gvt::platform::RewriteResult::Rewritten;
    }
    // One action rewriting these files, "name=content" each.
    void save(const QStringList& writes) const {
        const HistoryAction action(tree.gameFolder, u"Saved"_s);
        for (const QString& write : writes)
            rewrite(write.section(u'=', 0, 0), write.section(u'=', 1).toLatin1());
    }
    QString part() const {
        QDirIterator it(gvt::platform::stateFolder() + u"/history"_s, {u"journal"_s}, QDir::Files,
                        QDirIterator::Subdirectories);
        return it.hasNext() ? QFileInfo(it.next()).path() : QString();
    }
    // The entries' files and the contents they had before, oldest first: "a.con:old".
    QStringList entries() const {
        const History history(tree.gameFolder);
        QStringList shown;
        for (const gvt::platform::HistoryEntry& entry : history.entries()) {
            QStringList changes;
            for (const gvt::platform::HistoryChange& change : entry.changes)
                changes.append(QString::fromUtf8(change.path.mid(change.path.lastIndexOf('/') + 1) +
                                                 ':' +
                                                 history.content(change.before).value_or("?")));
            shown.prepend(changes.join(u' '));
        }
        return shown;
    }
};

} // namespace

TEST(FileHistory, ASaveCostsOneFlushMoreTwoWhenTheJournalIsMadeAnew) {
    Saves saves;
    saves.tree.addFile(u"a.con"_s, "0");
    const auto flushesOf = [&saves](const std::function<void()>& save) {
        faults::watch({saves.tree.gameFolder}, gvt::platform::stateFolder());
        save();
        faults::stopWatching();
        return faults::flushes();
    };
    saves.rewrite(u"a.con"_s, "first"); // what the first save of all makes besides
    const int today = flushesOf([&saves] { saves.rewrite(u"a.con"_s, "untold"); });
    EXPECT_EQ(today, 2); // the file and its folder
    const std::pair<const char*, int> rows[] = {
        // the content written; flushes beyond today's
        {"1", 4}, // the journal made, with its folder and the two folders above it
        {"2", 1}, // appended with the content before
        {"1", 1}, // both contents kept already: the record alone
    };
    for (const auto& [content, more] : rows) {
        SCOPED_TRACE(content);
        const QString line = u"a.con="_s + QString::fromLatin1(content);
        EXPECT_EQ(flushesOf([&] { saves.save({line}); }), today + more);
    }
    // Beyond the kept entries and their spares, the journal is made anew with the record.
    for (int i = 0; i < gvt::platform::kKeptActions + 8; ++i)
        saves.save({u"a.con="_s + QString::number(i % 2)});
    EXPECT_EQ(flushesOf([&] { saves.save({u"a.con=new"_s}); }), today + 2);
    EXPECT_EQ(saves.entries().size(), gvt::platform::kKeptActions);
    EXPECT_EQ(saves.entries().last(), u"a.con:1"_s);
    EXPECT_EQ(saves.tree.read(u"a.con"_s), QByteArray("new"));
}

TEST(FileHistory, TwoInstancesSavingAtOnceLoseNoEntry) {
    Saves saves;
    saves.tree.addFile(u"a.con"_s, "a-1");
    saves.tree.addFile(u"b.con"_s, "b-1");
    for (const QString& name : {u"a.con"_s, u"b.con"_s}) {
        if (::fork() == 0) {
            for (int i = 0; i < 20; ++i)
                saves.save({name + u'=' + name.left(1) + QString::number(i)});
            ::_exit(0);
        }
    }
    while (::wait(nullptr) > 0) {
    }
    const QStringList entries = saves.entries();
    ASSERT_EQ(entries.size(), 40);
    // Each instance's entries in its own order, each with the content its file had before.
    for (const QString& file : {u"a"_s, u"b"_s}) {
        QStringList expected;
        for (int i = -1; i < 19; ++i)
            expected.append(file + u".con:"_s + file + QString::number(i));
        EXPECT_EQ(entries.filter(file + u".con:"_s), expected);
    }
}

TEST(FileHistory, ACrashLeavesOnlyWholeEntriesWithTheChangesMade) {
    struct Row {
        const char* name;
        std::function<void(Saves&)> cut; // in a child process, which it ends
        const char* entries;             // afterwards, and after one more save of "c.con"
    };
    const Row rows[] = {
        {"ended after the first file, the second kept but not written",
         [](Saves& saves) {
             HistoryAction action(saves.tree.gameFolder, u"Saved"_s);
             saves.rewrite(u"a.con"_s, "a new");
             gvt::platform::keepBeforeRewrite(saves.path(u"b.con"_s), "b old", "b new");
             ::kill(::getpid(), SIGKILL);
         },
         "a.con:a old|c.con:c old"},
        {"ended after both files",
         [](Saves& saves) {
             HistoryAction action(saves.tree.gameFolder, u"Saved"_s);
             saves.rewrite(u"a.con"_s, "a new");
             saves.rewrite(u"b.con"_s, "b new");
             ::kill(::getpid(), SIGKILL);
         },
         "a.con:a old b.con:b old|c.con:c old"},
        {"the journal's last record cut short by a power cut",
         [](Saves& saves) {
             saves.save({u"a.con=a new"_s});
             QFile journal(saves.part() + u"/journal"_s);
             journal.open(QIODevice::Append);
             journal.write(QByteArray("\x40\0\0\0\0\0\0\0Fhalf a record", 22));
             ::_exit(0);
         },
         "a.con:a old|c.con:c old"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        Saves saves;
        for (const char* file : {"a", "b", "c"})
            saves.tree.addFile(QString::fromLatin1(file) + u".con"_s, file + QByteArray(" old"));
        if (::fork() == 0)
            row.cut(saves);
        ::wait(nullptr);
        saves.save({u"c.con=c new"_s});
        EXPECT_EQ(saves.entries(), QString::fromLatin1(row.entries).split(u'|'));
        EXPECT_EQ(QDir(saves.part()).entryList({u"open-*"_s}, QDir::Files), QStringList());
    }
}
