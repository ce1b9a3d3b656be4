#include "platform/FileReplace.h"
#include "Fixtures.h"

#include <sys/mount.h>

using gvt::platform::replaceExistingFile;
using gvt::test::GameTree;

namespace {

// A 64 KiB tmpfs at "disk" of a game tree; mounting needs the privileges CI runs with.
struct SmallDisk : GameTree {
    SmallDisk() : folder(QFile::encodeName(path(u"disk"_s))) {
        QDir().mkpath(path(u"disk"_s));
        mounted = ::mount("tmpfs", folder.constData(), "tmpfs", 0, "size=64k") == 0;
    }
    ~SmallDisk() {
        if (mounted)
            ::umount2(folder.constData(), MNT_DETACH);
    }
    void fill() const {
        QFile filler(path(u"disk/filler"_s));
        filler.open(QIODevice::WriteOnly);
        while (filler.write(QByteArray(4096, 'f')) == 4096 && filler.flush()) {
        }
    }
    QByteArray folder;
    bool mounted = false;
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
        ::stat(QFile::encodeName(tree.path(name)).constData(), &st);
        EXPECT_EQ(st.st_mode & 07777, 0640u);
        EXPECT_EQ(tree.namesIn(QString()), QStringList{name});
    }
}

TEST(FileReplace, AFullOrReadOnlyDiskLeavesTheOldFileIntact) {
    for (const bool readOnly : {false, true}) {
        SmallDisk disk;
        if (!disk.mounted)
            GTEST_SKIP() << "mounting a tmpfs needs administrator rights";
        const QByteArray old(20000, 'o');
        disk.addFile(u"disk/ServerSettings.con"_s, old);
        if (readOnly) {
            ASSERT_EQ(
                ::mount("tmpfs", disk.folder.constData(), "tmpfs", MS_REMOUNT | MS_RDONLY, nullptr),
                0);
        }
        EXPECT_FALSE(replaceExistingFile(disk.path(u"disk/ServerSettings.con"_s),
                                         replaceWith(QByteArray(readOnly ? 10 : 200000, 'n'))));
        EXPECT_EQ(disk.read(u"disk/ServerSettings.con"_s), old);
        EXPECT_EQ(disk.namesIn(u"disk"_s), QStringList{u"ServerSettings.con"_s});
    }
}

TEST(FileReplace, AWritableFileInAProtectedFolderIsRewrittenInPlaceOnlyWhenItFits) {
    if (::geteuid() != 0)
        GTEST_SKIP() << "switching to an unprivileged user needs administrator rights";
    for (const bool fits : {true, false}) {
        SmallDisk disk;
        if (!disk.mounted)
            GTEST_SKIP() << "mounting a tmpfs needs administrator rights";
        const QString file = u"disk/locked/GeneralOptions.con"_s;
        const QByteArray old(4096, 'o'); // one page of the disk
        disk.addFile(file, old);
        if (!fits)
            disk.fill();
        disk.setMode(QString(), 0755);
        disk.setMode(u"disk/locked"_s, 0555);
        disk.setMode(file, 0666);
        // The temporary root is private to us; let the unprivileged user through.
        ::chmod(QFile::encodeName(disk.gameFolder + u"/.."_s).constData(), 0755);

        const QByteArray content(fits ? 100 : 4123, 'n');
        ASSERT_EQ(::seteuid(65534), 0);
        const bool done = replaceExistingFile(disk.path(file), replaceWith(content));
        ASSERT_EQ(::seteuid(0), 0);
        EXPECT_EQ(done, fits);
        EXPECT_EQ(disk.read(file), fits ? content : old);
        EXPECT_EQ(disk.namesIn(u"disk/locked"_s), QStringList{u"GeneralOptions.con"_s});
    }
}
