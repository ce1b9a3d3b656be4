#include "GameTree.h"
#include "StubGame.h"
#include "platform/Platform.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

using gvt::test::GameTree;
using gvt::test::StubGame;

TEST(ProcessStart, StartsTheResolvedFileWithBlankSeparatedWords) {
    GameTree tree(u"Grimvale  Tarsis Gold"_s);
    StubGame stub(tree.path(u"GVTarsis.exe"_s));
    gvt::platform::DetachedProcessStarter starter;
    starter.start(tree.gameFolder() + u"\\gvtarsis.exe"_s, u"+game  My Mod +restart 1 "_s);
    const auto record = stub.waitForStart();
    ASSERT_TRUE(record);
    EXPECT_EQ(record->arguments,
              (QStringList{u"+game"_s, u"My"_s, u"Mod"_s, u"+restart"_s, u"1"_s}));
    EXPECT_EQ(record->currentDirectory, QDir::current().canonicalPath());
}

TEST(ProcessStart, NonExecutableGoesThroughWineWithUtf8Locale) {
    GameTree tree;
    tree.addFile(u"gvtarsis.exe"_s, "MZ not for this machine");
    tree.addFolder(u"bin"_s);
    // A stand-in for wine on PATH that records what it was given.
    StubGame wine(tree.path(u"bin/wine"_s));
    QFile script(tree.path(u"bin/wine"_s));
    ASSERT_TRUE(script.open(QIODevice::ReadOnly));
    QByteArray text = script.readAll();
    script.close();
    text.replace("pwd -P;", "pwd -P; printf '%s\\n' \"$LC_ALL\";");
    tree.addFile(u"bin/wine"_s, text);
    tree.setMode(u"bin/wine"_s, 0755);

    const QByteArray oldPath = qgetenv("PATH");
    qputenv("PATH", QFile::encodeName(tree.path(u"bin"_s)) + ':' + oldPath);
    gvt::platform::DetachedProcessStarter starter;
    starter.start(tree.gameFolder() + u"\\gvtarsis.exe"_s, u"+game vorlok"_s);
    qputenv("PATH", oldPath);

    const auto record = wine.waitForStart();
    ASSERT_TRUE(record);
    EXPECT_EQ(record->arguments,
              (QStringList{u"C.UTF-8"_s, tree.path(u"gvtarsis.exe"_s), u"+game"_s, u"vorlok"_s}));
}

TEST(ProcessStart, ProgramFolderIsTheTextBeforeTheLastSeparator) {
    EXPECT_EQ(gvt::platform::programFolderOf(u"/games/GT/manager"_s), u"/games/GT"_s);
    EXPECT_EQ(gvt::platform::programFolderOf(u"C:\\Games\\GT\\manager.exe"_s), u"C:\\Games\\GT"_s);
    EXPECT_EQ(gvt::platform::programFolderOf(u"manager"_s), QString());
}
