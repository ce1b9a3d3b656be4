#include "platform/FileReplace.h"
#include "GameTree.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

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
    GameTree tree;
    tree.addFile(QStringLiteral("Init.con"), "old");
    tree.setMode(QStringLiteral("Init.con"), 0640);
    QByteArray seen;
    EXPECT_TRUE(
        replaceExistingFile(tree.path(QStringLiteral("Init.con")), [&](const QByteArray& old) {
            seen = old;
            return QByteArray("new");
        }));
    EXPECT_EQ(seen, QByteArray("old"));
    EXPECT_EQ(tree.read(QStringLiteral("Init.con")), QByteArray("new"));
    struct stat st {};
    ASSERT_EQ(::stat(QFile::encodeName(tree.path(QStringLiteral("Init.con"))).constData(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0640u);
    EXPECT_EQ(tree.namesIn(QString()), QStringList{QStringLiteral("Init.con")});
}

TEST(FileReplace, RefusesWhatCannotBeWrittenAndChangesNothing) {
    GameTree tree;
    tree.addFile(QStringLiteral("ro.con"), "read only");
    tree.setMode(QStringLiteral("ro.con"), 0444);
    tree.addFolder(QStringLiteral("folder.con"));
    for (const char* name : {"missing.con", "ro.con", "folder.con"})
        EXPECT_FALSE(replaceExistingFile(tree.path(QString::fromLatin1(name)), replaceWith("new")))
            << name;
    EXPECT_EQ(tree.read(QStringLiteral("ro.con")), QByteArray("read only"));
    EXPECT_FALSE(tree.exists(QStringLiteral("missing.con")));
    EXPECT_EQ(tree.namesIn(QString()),
              (QStringList{QStringLiteral("folder.con"), QStringLiteral("ro.con")}));
}

TEST(FileReplace, FullDiskLeavesTheOldFileIntact) {
    GameTree tree;
    SmallMount disk(tree.path(QStringLiteral("disk")), "size=64k");
    if (!disk.mounted())
        GTEST_SKIP() << "mounting a tmpfs needs administrator rights";
    const QByteArray old(20000, 'o');
    tree.addFile(QStringLiteral("disk/ServerSettings.con"), old);
    EXPECT_FALSE(replaceExistingFile(tree.path(QStringLiteral("disk/ServerSettings.con")),
                                     replaceWith(QByteArray(200000, 'n'))));
    EXPECT_EQ(tree.read(QStringLiteral("disk/ServerSettings.con")), old);
    EXPECT_EQ(tree.namesIn(QStringLiteral("disk")),
              QStringList{QStringLiteral("ServerSettings.con")});
}

TEST(FileReplace, ReadOnlyMountIsRefused) {
    GameTree tree;
    SmallMount disk(tree.path(QStringLiteral("disk")), "size=64k");
    if (!disk.mounted())
        GTEST_SKIP() << "mounting a tmpfs needs administrator rights";
    tree.addFile(QStringLiteral("disk/maplist.con"), "game.addLevel Alpha\r\n");
    ASSERT_TRUE(disk.remountReadOnly());
    EXPECT_FALSE(
        replaceExistingFile(tree.path(QStringLiteral("disk/maplist.con")), replaceWith("changed")));
    EXPECT_EQ(tree.read(QStringLiteral("disk/maplist.con")), QByteArray("game.addLevel Alpha\r\n"));
}

TEST(FileReplace, WritableFileInProtectedFolderIsRewrittenInPlace) {
    if (::geteuid() != 0)
        GTEST_SKIP() << "switching to an unprivileged user needs administrator rights";
    GameTree tree;
    tree.addFile(QStringLiteral("locked/Init.con"), "a much longer old content");
    tree.setMode(QString(), 0755);
    tree.setMode(QStringLiteral("locked"), 0555);
    tree.setMode(QStringLiteral("locked/Init.con"), 0666);
    // The temporary root is private to us; let the unprivileged user through.
    ::chmod(QFile::encodeName(tree.gameFolder() + QStringLiteral("/..")).constData(), 0755);

    ASSERT_EQ(::seteuid(65534), 0);
    const bool done =
        replaceExistingFile(tree.path(QStringLiteral("locked/Init.con")), replaceWith("new"));
    ASSERT_EQ(::seteuid(0), 0);
    EXPECT_TRUE(done);
    EXPECT_EQ(tree.read(QStringLiteral("locked/Init.con")), QByteArray("new"));
    EXPECT_EQ(tree.namesIn(QStringLiteral("locked")), QStringList{QStringLiteral("Init.con")});
}
