#include "platform/FileReplace.h"
#include "Fixtures.h"

#include <csignal>
#include <sys/resource.h>

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
    // The disk is full at the old file's size: no file may grow past it.
    ::signal(SIGXFSZ, SIG_IGN);
    for (const bool inPlace : {false, true}) {
        for (const bool fits : {true, false}) {
            GameTree tree;
            const QString file = u"locked/GeneralOptions.con"_s;
            const QByteArray old(4096, 'o');
            tree.addFile(file, old);
            tree.setMode(u"locked"_s, inPlace ? 0555 : 0777);
            tree.setMode(file, 0666);
            // Administrators write into any folder: act as nobody, let through the private root.
            const bool administrator = ::geteuid() == 0;
            for (const char* up : {"/..", ""})
                ::chmod(QFile::encodeName(tree.gameFolder + QString::fromLatin1(up)), 0755);
            const QByteArray content(fits ? 100 : 4123, 'n');
            rlimit limit{};
            ::getrlimit(RLIMIT_FSIZE, &limit);
            const rlimit full{4096, limit.rlim_max};
            ASSERT_TRUE(::setrlimit(RLIMIT_FSIZE, &full) == 0 &&
                        (!administrator || ::seteuid(65534) == 0));
            const bool done =
                replaceExistingFile(tree.path(file), [&](const QByteArray&) { return content; });
            ASSERT_TRUE((!administrator || ::seteuid(0) == 0) &&
                        ::setrlimit(RLIMIT_FSIZE, &limit) == 0);
            EXPECT_EQ(done, fits) << inPlace;
            EXPECT_EQ(tree.read(file), fits ? content : old) << inPlace;
            EXPECT_EQ(tree.namesIn(u"locked"_s), QStringList{u"GeneralOptions.con"_s});
        }
    }
}
