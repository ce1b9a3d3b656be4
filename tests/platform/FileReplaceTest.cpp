// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/files/FileReplace.h"
#include "FileFaults.h"
#include "Fixtures.h"
#include "platform/files/FileRead.h"
#include "platform/files/SaveJournal.h"
#include "platform/files/StateFolder.h"

#include <QRegularExpression>

#include <grp.h>
#include <sys/wait.h>

using gvt::platform::replaceExistingFile;
using gvt::platform::RewriteResult;
using gvt::test::GameTree;
namespace faults = gvt::faults;

namespace {

// New content shorter than the old (a tail of the old would stay before the truncation).
const auto kNew = [](const QByteArray&) { return QByteArray(284, 'n'); };

// A file whose folder takes no new file, so that it is rewritten in place, in a private home.
struct InPlace {
    InPlace() { tree.addFile(u"Sound.con"_s, old); }
    void watch() const {
        faults::watch({tree.gameFolder}, gvt::platform::stateFolder());
        faults::failAll("mkostemp", EACCES, tree.gameFolder);
    }
    // Rewrites it, in a child process that ends at call `end` (none when 0).
    void rewrite(int end = 0) const {
        const pid_t child = ::fork();
        if (child == 0) {
            watch();
            faults::endAt(end);
            ::_exit(replaceExistingFile(gvt::platform::fileNameOfText(tree.path(u"Sound.con"_s)),
                                        kNew) == RewriteResult::Rewritten
                        ? 0
                        : 1);
        }
        ::waitpid(child, nullptr, 0); // not a watcher of a game an earlier test started
    }
    QStringList records() const {
        return QDir(gvt::platform::stateFolder() + u"/recovery"_s).entryList(QDir::Files);
    }
    gvt::test::SettingsHome home;
    GameTree tree;
    QByteArray old = QByteArray(300, 'o') + "after the lines\n";
};

} // namespace

TEST(FileReplace, KeepsModeOwnerAndGroupAndRemovesWhatACrashLeft) {
    // A name at the file-name limit leaves no room to lengthen it for the temporary file.
    GameTree tree;
    const QString name = QString(251, u'n') + u".con"_s;
    tree.addFile(name, "old");
    tree.setMode(name, 0640);
    tree.addFile(u"."_s + name.left(243) + u".new-AbC123"_s, "a crash's");
    tree.addFile(u".Other.con.new-XyZ789"_s, "another file's");
    EXPECT_EQ(replaceExistingFile(gvt::platform::fileNameOfText(tree.path(name)),
                                  [](const QByteArray& old) { return old + "new"; }),
              RewriteResult::Rewritten);
    EXPECT_EQ(tree.read(name), QByteArray("oldnew"));
    EXPECT_EQ(QFileInfo(tree.path(name)).permissions(), QFile::ReadOwner | QFile::WriteOwner |
                                                            QFile::ReadUser | QFile::WriteUser |
                                                            QFile::ReadGroup);
    EXPECT_EQ(tree.namesIn(QString()), (QStringList{u".Other.con.new-XyZ789"_s, name}));
    if (::geteuid() != 0)
        GTEST_SKIP() << "the owner and group rows need an administrator to set them up";
    // A game installed for a group: its owner is kept where it may be, and its group where a
    // player of that group may keep only that.
    gvt::test::SettingsHome home;
    for (const uid_t player : {uid_t(0), uid_t(65534)}) {
        GameTree shared;
        shared.addFile(u"shared/Sound.con"_s, "old");
        const QByteArray file = QFile::encodeName(shared.path(u"shared/Sound.con"_s));
        const gid_t games = 4242;
        ASSERT_EQ(::chown(file, 1234, games) | ::chmod(file, 0664) |
                      ::chown(QFile::encodeName(shared.path(u"shared"_s)), 0, games) |
                      ::chmod(QFile::encodeName(shared.path(u"shared"_s)), 0775) |
                      ::chmod(QFile::encodeName(shared.root.path()), 0755),
                  0);
        const pid_t child = ::fork();
        if (child == 0) {
            if (player != 0 &&
                (::setgroups(1, &games) != 0 || ::setgid(player) != 0 || ::setuid(player) != 0))
                ::_exit(2);
            ::_exit(replaceExistingFile(file, kNew) == RewriteResult::Rewritten ? 0 : 1);
        }
        int status = 0;
        ::waitpid(child, &status, 0);
        ASSERT_EQ(WEXITSTATUS(status), 0) << player;
        struct stat st {};
        ::stat(file, &st);
        EXPECT_EQ(st.st_uid, player == 0 ? 1234u : player);
        EXPECT_EQ(st.st_gid, games) << player;
        EXPECT_EQ(st.st_mode & 07777, 0664u);
    }
}

TEST(FileReplace, InPlaceTheSpaceComesFirstAndACrashIsPutRightAtTheNextRead) {
    // No space: nothing of the file changes once the reservation fails.
    InPlace full;
    full.watch();
    faults::failAll("fallocate", ENOSPC);
    faults::failAll("posix_fallocate", ENOSPC);
    EXPECT_EQ(replaceExistingFile(gvt::platform::fileNameOfText(full.tree.path(u"Sound.con"_s)),
                                  [](const QByteArray&) { return QByteArray(400, 'n'); }),
              RewriteResult::Failed);
    EXPECT_EQ(faults::calls().filter(QRegularExpression(u"^(pwrite|ftruncate) .*Sound.con$"_s)),
              QStringList());
    faults::stopWatching();
    EXPECT_EQ(full.tree.read(u"Sound.con"_s), full.old);
    EXPECT_EQ(full.records(), QStringList());

    // Where a save like it makes each call.
    InPlace dry;
    dry.watch();
    replaceExistingFile(gvt::platform::fileNameOfText(dry.tree.path(u"Sound.con"_s)), kNew);
    const QStringList calls = faults::calls();
    faults::stopWatching();
    const QList<std::tuple<const char*, const char*, const char*, const char*>> cases = {
        // the call the process ends at, the file then, and once read again; what is told
        {"^ftruncate .*Sound.con$", "half", "old", "left half written. It has been put back"},
        {"^pwrite .*Sound.con$", "old", "old", "before the file was changed"},
        {"^unlink .*recovery/.*", "new", "new", "after the save was complete"},
        // Changed by another program after the crash: left as it is now.
        {"^ftruncate .*Sound.con$", "other", "other", "changed since, and is left as it is"},
    };
    for (const auto& [call, cut, read, told] : cases) {
        SCOPED_TRACE(call);
        InPlace at;
        const qsizetype n = calls.indexOf(QRegularExpression(QString::fromLatin1(call)));
        ASSERT_GE(n, 0);
        at.rewrite(int(n) + 1);
        if (QByteArrayView(cut) == "other")
            at.tree.addFile(u"Sound.con"_s, "another program's\n");
        const auto state = [&at](const QByteArray& content) {
            return content == at.old                  ? "old"
                   : content == QByteArray(284, 'n')  ? "new"
                   : content == "another program's\n" ? "other"
                                                      : "half";
        };
        EXPECT_STREQ(state(at.tree.read(u"Sound.con"_s)), cut);
        QStringList notes;
        gvt::platform::setRecoveryReporter([&notes](const QString& text) { notes.append(text); });
        QByteArray content;
        ASSERT_TRUE(gvt::platform::readWholeFile(
            gvt::platform::fileNameOfText(at.tree.path(u"Sound.con"_s)), content));
        gvt::platform::setRecoveryReporter({});
        EXPECT_STREQ(state(content), read);
        ASSERT_EQ(notes.size(), 1);
        EXPECT_TRUE(
            notes[0].startsWith(u"The Mod Manager stopped while it was saving \"Sound.con\""_s));
        EXPECT_TRUE(notes[0].contains(QString::fromLatin1(told))) << notes[0].toStdString();
        EXPECT_EQ(at.records(), QStringList());
    }
}

TEST(FileReplace, TwoInstancesSavingOneFileSaveOneAfterTheOther) {
    // Each of two processes adds its lines to the file, one save at a time: none is lost, as
    // it would be if both read the file before either wrote it.
    GameTree tree;
    tree.addFile(u"Sound.con"_s, "");
    gvt::test::SettingsHome home;
    const QByteArray file = gvt::platform::fileNameOfText(tree.path(u"Sound.con"_s));
    constexpr int kSaves = 40;
    pid_t children[2];
    for (int child = 0; child < 2; ++child) {
        children[child] = ::fork();
        if (children[child] == 0) {
            for (int save = 0; save < kSaves; ++save) {
                if (replaceExistingFile(file, [&](const QByteArray& old) {
                        // Slow enough between its reading and its writing to meet the other.
                        ::usleep(500);
                        return old + QByteArray::number(child) + '\n';
                    }) != RewriteResult::Rewritten)
                    ::_exit(1);
            }
            ::_exit(0);
        }
    }
    for (const pid_t child : children) {
        int status = 0;
        ::waitpid(child, &status, 0);
        EXPECT_EQ(WEXITSTATUS(status), 0);
    }
    const QByteArray saved = tree.read(u"Sound.con"_s);
    EXPECT_EQ(saved.count("0\n"), kSaves);
    EXPECT_EQ(saved.count("1\n"), kSaves);
    EXPECT_EQ(tree.namesIn(QString()), QStringList{u"Sound.con"_s});
}
