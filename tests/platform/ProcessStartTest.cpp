#include "GameTree.h"
#include "StubGame.h"
#include "platform/Platform.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

using gvt::test::GameTree;
using gvt::test::StubGame;

TEST(ProcessStart, StartsTheResolvedFileWithBlankSeparatedWords) {
    GameTree tree(QStringLiteral("Grimvale  Tarsis Gold"));
    StubGame stub(tree.path(QStringLiteral("GVTarsis.exe")));
    gvt::platform::DetachedProcessStarter starter;
    starter.start(tree.gameFolder() + QStringLiteral("\\gvtarsis.exe"),
                  QStringLiteral("+game  My Mod +restart 1 "));
    const auto record = stub.waitForStart();
    ASSERT_TRUE(record);
    EXPECT_EQ(record->arguments,
              (QStringList{QStringLiteral("+game"), QStringLiteral("My"), QStringLiteral("Mod"),
                           QStringLiteral("+restart"), QStringLiteral("1")}));
    EXPECT_EQ(record->currentDirectory, QDir::current().canonicalPath());
}

TEST(ProcessStart, NonExecutableGoesThroughWineWithUtf8Locale) {
    GameTree tree;
    tree.addFile(QStringLiteral("gvtarsis.exe"), "MZ not for this machine");
    tree.addFolder(QStringLiteral("bin"));
    // A stand-in for wine on PATH that records what it was given.
    StubGame wine(tree.path(QStringLiteral("bin/wine")));
    QFile script(tree.path(QStringLiteral("bin/wine")));
    ASSERT_TRUE(script.open(QIODevice::ReadOnly));
    QByteArray text = script.readAll();
    script.close();
    text.replace("pwd -P;", "pwd -P; printf '%s\\n' \"$LC_ALL\";");
    tree.addFile(QStringLiteral("bin/wine"), text);
    tree.setMode(QStringLiteral("bin/wine"), 0755);

    const QByteArray oldPath = qgetenv("PATH");
    qputenv("PATH", QFile::encodeName(tree.path(QStringLiteral("bin"))) + ':' + oldPath);
    gvt::platform::DetachedProcessStarter starter;
    starter.start(tree.gameFolder() + QStringLiteral("\\gvtarsis.exe"),
                  QStringLiteral("+game vorlok"));
    qputenv("PATH", oldPath);

    const auto record = wine.waitForStart();
    ASSERT_TRUE(record);
    EXPECT_EQ(record->arguments,
              (QStringList{QStringLiteral("C.UTF-8"), tree.path(QStringLiteral("gvtarsis.exe")),
                           QStringLiteral("+game"), QStringLiteral("vorlok")}));
}

TEST(ProcessStart, ProgramFolderIsTheTextBeforeTheLastSeparator) {
    EXPECT_EQ(gvt::platform::programFolderOf(QStringLiteral("/games/GT/manager")),
              QStringLiteral("/games/GT"));
    EXPECT_EQ(gvt::platform::programFolderOf(QStringLiteral("C:\\Games\\GT\\manager.exe")),
              QStringLiteral("C:\\Games\\GT"));
    EXPECT_EQ(gvt::platform::programFolderOf(QStringLiteral("manager")), QString());
}
