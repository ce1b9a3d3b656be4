#include "platform/FileReplace.h"
#include "Fixtures.h"

#include <QScopeGuard>

#include <sys/mount.h>

using gvt::platform::replaceExistingFile;
using gvt::test::GameTree;

TEST(FileReplace, KeepsPermissionsAndLeavesNoTemporaryFile) {
    // A name at the file-name limit leaves no room to lengthen it for the temporary file.
    for (const QString& name : {u"Init.con"_s, QString(251, u'n') + u".con"_s}) {
        GameTree tree;
        tree.addFile(name, "old");
        tree.setMode(name, 0640);
        EXPECT_TRUE(replaceExistingFile(tree.path(name),
                                        [](const QByteArray& old) { return old + "new"; }));
        EXPECT_EQ(tree.read(name), QByteArray("oldnew"));
        struct stat st {};
        ::stat(QFile::encodeName(tree.path(name)), &st);
        EXPECT_EQ(st.st_mode & 07777, 0640u);
        EXPECT_EQ(tree.namesIn(QString()), QStringList{name});
    }
}

TEST(FileReplace, AFullDiskLeavesTheOldFileAsItWas) {
    // A new file beside the old one, and a file rewritten in place where its folder takes no new
    // file: only then would a full disk leave it half written without the space reserved first.
    for (const bool inPlace : {false, true}) {
        for (const bool fits : {true, false}) {
            GameTree disk; // with a 64 KiB tmpfs at "disk"
            disk.addFolder(u"disk"_s);
            const QByteArray mountPoint = QFile::encodeName(disk.path(u"disk"_s));
            if (::geteuid() != 0 || ::mount("tmpfs", mountPoint, "tmpfs", 0, "size=64k") != 0)
                GTEST_SKIP() << "mounting a tmpfs and switching users need administrator rights";
            const auto unmount = qScopeGuard([&] { ::umount2(mountPoint, MNT_DETACH); });
            const QString file = u"disk/locked/GeneralOptions.con"_s;
            const QByteArray old(4096, 'o'); // one page of the disk
            disk.addFile(file, old);
            if (!fits) {
                QFile filler(disk.path(u"disk/filler"_s));
                filler.open(QIODevice::WriteOnly);
                while (filler.write(QByteArray(4096, 'f')) == 4096 && filler.flush()) {
                }
            }
            disk.setMode(QString(), 0755);
            disk.setMode(u"disk/locked"_s, inPlace ? 0555 : 0777);
            disk.setMode(file, 0666);
            // The temporary root is private to us; let the unprivileged user through.
            ::chmod(QFile::encodeName(disk.gameFolder + u"/.."_s), 0755);
            const QByteArray content(fits ? 100 : 4123, 'n');
            ASSERT_EQ(::seteuid(65534), 0);
            const bool done =
                replaceExistingFile(disk.path(file), [&](const QByteArray&) { return content; });
            ASSERT_EQ(::seteuid(0), 0);
            EXPECT_EQ(done, fits) << inPlace;
            EXPECT_EQ(disk.read(file), fits ? content : old) << inPlace;
            EXPECT_EQ(disk.namesIn(u"disk/locked"_s), QStringList{u"GeneralOptions.con"_s});
        }
    }
}
