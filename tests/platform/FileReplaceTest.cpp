#include "platform/FileReplace.h"
#include "GameTree.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

using gvt::platform::replaceExistingFile;
using gvt::test::GameTree;

namespace {

// A small tmpfs mounted for one test; needs the privileges CI runs with.
class SmallMount {
public:
    SmallMount(const QString& folder, const char* options) : m_folder(QFile::encodeName(folder)) {
        QDir().mkpath(folder);
        m_mounted = ::mount("tmpfs", m_folder.constData(), "tmpfs", 0, options) == 0;
    }
    ~SmallMount() {
        if (m_mounted)
            ::umount2(m_folder.constData(), MNT_DETACH);
    }
    bool mounted() const { return m_mounted; }
    bool remountReadOnly() {
        return ::mount("tmpfs", m_folder.constData(), "tmpfs", MS_REMOUNT | MS_RDONLY, nullptr) ==
               0;
    }

private:
    QByteArray m_folder;
    bool m_mounted = false;
};

auto replaceWith(const QByteArray& content) {
    return [content](const QByteArray&) { return content; };
}

} // namespace

TEST(FileReplace, KeepsPermissionsAndLeavesNoTemporaryFile) {
    // A name at the file-name limit leaves no room to lengthen it for the temporary file.
    for (const QString& name : {u"Init.con"_s, QString(251, u'n') + u".con"_s}) {
        GameTree tree;
        tree.addFile(name, "old");
        tree.setMode(name, 0640);
        QByteArray seen;
        EXPECT_TRUE(replaceExistingFile(tree.path(name), [&](const QByteArray& old) {
            seen = old;
            return QByteArray("new");
        }));
        EXPECT_EQ(seen, QByteArray("old"));
        EXPECT_EQ(tree.read(name), QByteArray("new"));
        struct stat st {};
        ASSERT_EQ(::stat(QFile::encodeName(tree.path(name)).constData(), &st), 0);
        EXPECT_EQ(st.st_mode & 07777, 0640u);
        EXPECT_EQ(tree.namesIn(QString()), QStringList{name});
    }
}

TEST(FileReplace, RefusesWhatCannotBeWrittenAndChangesNothing) {
    GameTree tree;
    tree.addFile(u"ro.con"_s, "read only");
    tree.setMode(u"ro.con"_s, 0444);
    tree.addFolder(u"folder.con"_s);
    for (const char* name : {"missing.con", "ro.con", "folder.con"})
        EXPECT_FALSE(replaceExistingFile(tree.path(QString::fromLatin1(name)), replaceWith("new")))
            << name;
    EXPECT_EQ(tree.read(u"ro.con"_s), QByteArray("read only"));
    EXPECT_FALSE(tree.exists(u"missing.con"_s));
    EXPECT_EQ(tree.namesIn(QString()), (QStringList{u"folder.con"_s, u"ro.con"_s}));
}

TEST(FileReplace, FullDiskLeavesTheOldFileIntact) {
    GameTree tree;
    SmallMount disk(tree.path(u"disk"_s), "size=64k");
    if (!disk.mounted())
        GTEST_SKIP() << "mounting a tmpfs needs administrator rights";
    const QByteArray old(20000, 'o');
    tree.addFile(u"disk/ServerSettings.con"_s, old);
    EXPECT_FALSE(replaceExistingFile(tree.path(u"disk/ServerSettings.con"_s),
                                     replaceWith(QByteArray(200000, 'n'))));
    EXPECT_EQ(tree.read(u"disk/ServerSettings.con"_s), old);
    EXPECT_EQ(tree.namesIn(u"disk"_s), QStringList{u"ServerSettings.con"_s});
}

TEST(FileReplace, ReadOnlyMountIsRefused) {
    GameTree tree;
    SmallMount disk(tree.path(u"disk"_s), "size=64k");
    if (!disk.mounted())
        GTEST_SKIP() << "mounting a tmpfs needs administrator rights";
    tree.addFile(u"disk/maplist.con"_s, "game.addLevel Alpha\r\n");
    ASSERT_TRUE(disk.remountReadOnly());
    EXPECT_FALSE(replaceExistingFile(tree.path(u"disk/maplist.con"_s), replaceWith("changed")));
    EXPECT_EQ(tree.read(u"disk/maplist.con"_s), QByteArray("game.addLevel Alpha\r\n"));
}

TEST(FileReplace, AWritableFileInAProtectedFolderIsRewrittenInPlaceOnlyWhenItFits) {
    if (::geteuid() != 0)
        GTEST_SKIP() << "switching to an unprivileged user needs administrator rights";
    for (const bool fits : {true, false}) {
        GameTree tree;
        SmallMount disk(tree.path(u"disk"_s), "size=64k");
        if (!disk.mounted())
            GTEST_SKIP() << "mounting a tmpfs needs administrator rights";
        const QByteArray old(4096, 'o'); // one page of the disk
        tree.addFile(u"disk/locked/GeneralOptions.con"_s, old);
        if (!fits) {
            QFile filler(tree.path(u"disk/filler"_s));
            ASSERT_TRUE(filler.open(QIODevice::WriteOnly));
            while (filler.write(QByteArray(4096, 'f')) == 4096 && filler.flush()) {
            }
        }
        tree.setMode(QString(), 0755);
        tree.setMode(u"disk/locked"_s, 0555);
        tree.setMode(u"disk/locked/GeneralOptions.con"_s, 0666);
        // The temporary root is private to us; let the unprivileged user through.
        ::chmod(QFile::encodeName(tree.gameFolder() + u"/.."_s).constData(), 0755);

        const QByteArray content(fits ? 100 : 4123, 'n');
        ASSERT_EQ(::seteuid(65534), 0);
        const bool done =
            replaceExistingFile(tree.path(u"disk/locked/GeneralOptions.con"_s), replaceWith(content));
        ASSERT_EQ(::seteuid(0), 0);
        EXPECT_EQ(done, fits);
        EXPECT_EQ(tree.read(u"disk/locked/GeneralOptions.con"_s), fits ? content : old);
        EXPECT_EQ(tree.namesIn(u"disk/locked"_s), QStringList{u"GeneralOptions.con"_s});
    }
}
