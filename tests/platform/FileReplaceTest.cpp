#include "platform/FileReplace.h"
#include "FileFaults.h"
#include "Fixtures.h"
#include "platform/SaveJournal.h"

#include <QRegularExpression>

#include <grp.h>
#include <sys/wait.h>

using gvt::platform::replaceExistingFile;
using gvt::test::GameTree;
namespace faults = gvt::faults;

namespace {

// New contents shorter than the old one (a tail of it would stay before the truncation) and
// longer (it needs more space).
const auto kNew = [](const QByteArray&) { return QByteArray(284, 'n'); };
const auto kLonger = [](const QByteArray&) { return QByteArray(400, 'n'); };

// A file whose folder takes no new file, so that it is rewritten in place, and a private home.
struct InPlace {
    InPlace() {
        tree.addFile(file, QByteArray(300, 'o') + "after the lines\n");
        old = tree.read(file);
    }
    void watch() const {
        faults::watch({tree.gameFolder}, gvt::platform::stateFolder());
        faults::failAll("mkostemp", EACCES, tree.gameFolder);
    }
    QStringList records() const {
        return QDir(gvt::platform::stateFolder() + u"/recovery"_s).entryList(QDir::Files);
    }
    // The number of a call (from 1) in a save like this one's, watched to its end.
    static int callNumber(const QString& pattern) {
        InPlace dry;
        dry.watch();
        replaceExistingFile(dry.tree.path(dry.file), kNew);
        const QStringList calls = faults::calls();
        faults::stopWatching();
        const qsizetype n = calls.indexOf(QRegularExpression(pattern));
        EXPECT_GE(n, 0) << calls.join(u'\n').toStdString();
        return int(n) + 1;
    }
    gvt::test::SettingsHome home;
    GameTree tree;
    QString file = u"Sound.con"_s;
    QByteArray old;
};

} // namespace

TEST(FileReplace, KeepsModeOwnerAndGroupAndRemovesWhatACrashLeft) {
    // A name at the file-name limit leaves no room to lengthen it for the temporary file.
    for (const QString& name : {u"Init.con"_s, QString(251, u'n') + u".con"_s}) {
        GameTree tree;
        tree.addFile(name, "old");
        tree.setMode(name, 0640);
        const QString stale = u"."_s + name.left(243) + u".new-AbC123"_s;
        tree.addFile(stale, "a crash's");
        tree.addFile(u".Other.con.new-XyZ789"_s, "another file's");
        EXPECT_TRUE(replaceExistingFile(tree.path(name),
                                        [](const QByteArray& old) { return old + "new"; }));
        EXPECT_EQ(tree.read(name), QByteArray("oldnew"));
        struct stat st {};
        ::stat(QFile::encodeName(tree.path(name)), &st);
        EXPECT_EQ(st.st_mode & 07777, 0640u);
        EXPECT_EQ(tree.namesIn(QString()), (QStringList{u".Other.con.new-XyZ789"_s, name}));
    }
    if (::geteuid() != 0)
        GTEST_SKIP() << "the owner and group rows need an administrator to set them up";
    gvt::test::SettingsHome home;
    // A game installed for a group: its owner is kept where it may be, and its group where a
    // player of that group may keep only that.
    for (const uid_t player : {uid_t(0), uid_t(65534)}) {
        GameTree tree;
        tree.addFile(u"shared/Sound.con"_s, "old");
        const QByteArray folder = QFile::encodeName(tree.path(u"shared"_s));
        const QByteArray file = QFile::encodeName(tree.path(u"shared/Sound.con"_s));
        const gid_t games = 4242;
        ASSERT_EQ(::chown(file, 1234, games) | ::chmod(file, 0664) | ::chown(folder, 0, games) |
                      ::chmod(folder, 0775) | ::chmod(QFile::encodeName(tree.root.path()), 0755) |
                      ::chmod(QFile::encodeName(tree.gameFolder), 0755),
                  0);
        const pid_t child = ::fork();
        if (child == 0) {
            if (player != 0 &&
                (::setgroups(1, &games) != 0 || ::setgid(player) != 0 || ::setuid(player) != 0))
                ::_exit(2);
            ::_exit(replaceExistingFile(QString::fromLocal8Bit(file), kNew) ? 0 : 1);
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

TEST(FileReplace, InPlaceNothingChangesBeforeTheSpaceIsReserved) {
    // No space: nothing of the file changes after the reservation fails.
    InPlace full;
    full.watch();
    faults::failAll("fallocate", ENOSPC);
    faults::failAll("posix_fallocate", ENOSPC);
    EXPECT_FALSE(replaceExistingFile(full.tree.path(full.file), kLonger));
    const QStringList calls = faults::calls();
    faults::stopWatching();
    EXPECT_EQ(full.tree.read(full.file), full.old);
    EXPECT_EQ(calls.filter(QRegularExpression(u"^(pwrite|write|ftruncate) .*Sound.con$"_s)),
              QStringList());
    EXPECT_EQ(full.records(), QStringList());
}

TEST(FileReplace, ACrashInTheMiddleIsPutRightTheNextTimeTheFileIsRead) {
    const QList<std::tuple<const char*, const char*, const char*, const char*>> cases = {
        // the call the process ends at, the file then, and after it is read; what is told
        {"ftruncate", "half", "old", "left half written. It has been put back as it was"},
        {"pwrite", "old", "old", "before the file was changed"},
        {"unlink", "new", "new", "after the save was complete"},
        // Changed by another program after the cut: left as it is now.
        {"ftruncate", "other", "other", "changed since, and is left as it is now"},
    };
    for (const auto& [call, cut, read, told] : cases) {
        SCOPED_TRACE(call);
        const int n = InPlace::callNumber(u"^"_s + QString::fromLatin1(call) +
                                          (*call == 'u' ? u" .*recovery.*"_s : u" .*Sound.con$"_s));
        InPlace at;
        const pid_t child = ::fork();
        if (child == 0) {
            at.watch();
            faults::endAt(n);
            replaceExistingFile(at.tree.path(at.file), kNew);
            ::_exit(0);
        }
        int status = 0;
        ::waitpid(child, &status, 0);
        ASSERT_TRUE(WIFSIGNALED(status));
        const auto state = [&at](const QByteArray& content) {
            return content == at.old                  ? "old"
                   : content == QByteArray(284, 'n')  ? "new"
                   : content == "another program's\n" ? "other"
                                                      : "half";
        };
        if (*cut == 'o' && cut[1] == 't')
            at.tree.addFile(at.file, "another program's\n");
        EXPECT_STREQ(state(at.tree.read(at.file)), cut);
        QStringList notes;
        gvt::platform::setRecoveryReporter([&notes](const QString& text) { notes.append(text); });
        QByteArray content;
        ASSERT_TRUE(gvt::platform::readWholeFile(at.tree.path(at.file), content));
        gvt::platform::setRecoveryReporter({});
        EXPECT_STREQ(state(content), read);
        ASSERT_EQ(notes.size(), 1);
        EXPECT_TRUE(
            notes[0].startsWith(u"The Mod Manager stopped while it was saving \"Sound.con\""_s));
        EXPECT_TRUE(notes[0].contains(QString::fromLatin1(told))) << notes[0].toStdString();
        EXPECT_EQ(at.records(), QStringList());
    }
}
