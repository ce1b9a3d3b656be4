#include "platform/FolderSearch.h"
#include "GameTree.h"

#include <QFile>

#include <gtest/gtest.h>

using gvt::platform::findEntries;
using gvt::platform::FoundEntry;
using gvt::test::GameTree;

namespace {
QStringList describe(const QList<FoundEntry>& entries) {
    QStringList out;
    for (const FoundEntry& e : entries)
        out.append(e.name + (e.isFolder ? QStringLiteral("/") : QString()));
    return out;
}
} // namespace

TEST(FolderSearch, ReportsEveryEntryInUpperCasedOrdinalOrder) {
    GameTree tree;
    tree.addFolder(QStringLiteral("Mods/zulu"));
    tree.addFolder(QStringLiteral("Mods/.hidden"));
    tree.addFolder(QStringLiteral("Mods/_under"));
    tree.addFolder(QStringLiteral("Mods/Alpha"));
    tree.addFile(QStringLiteral("Mods/alpha"));
    tree.addFile(QStringLiteral("Mods/beta.txt"));
    tree.addFile(QStringLiteral("Mods/README"));
    ASSERT_TRUE(QFile::link(tree.path(QStringLiteral("Mods/zulu")),
                            tree.path(QStringLiteral("Mods/Linked"))));

    // "_" sorts after the letters once they are upper-cased; "." and ".." come first.
    EXPECT_EQ(
        describe(findEntries(tree.gameFolder() + QStringLiteral("\\mods\\*.*"))),
        (QStringList{QStringLiteral("./"), QStringLiteral("../"), QStringLiteral(".hidden/"),
                     QStringLiteral("Alpha/"), QStringLiteral("alpha"), QStringLiteral("beta.txt"),
                     QStringLiteral("Linked/"), QStringLiteral("README"), QStringLiteral("zulu/"),
                     QStringLiteral("_under/")}));
}

TEST(FolderSearch, MatchesPatternsWithoutRegardToCase) {
    GameTree tree;
    for (const char* name : {"Alpha.rfa", "BRAVO.RFA", "charlie.Rfa", "delta.rfa.txt", "echo.rf",
                             "rfa", "Foxtrot.rfa"})
        tree.addFile(QStringLiteral("Levels/") + QString::fromLatin1(name));
    tree.addFolder(QStringLiteral("Levels/Folder.rfa"));
    const QString levels = tree.gameFolder() + QStringLiteral("\\LEVELS\\");

    struct Case {
        const char* pattern;
        QStringList expected;
    };
    const QList<Case> cases = {
        {"*.rfa",
         {QStringLiteral("Alpha.rfa"), QStringLiteral("BRAVO.RFA"), QStringLiteral("charlie.Rfa"),
          QStringLiteral("Folder.rfa/"), QStringLiteral("Foxtrot.rfa")}},
        {"?????.RFA", {QStringLiteral("Alpha.rfa"), QStringLiteral("BRAVO.RFA")}},
        {"*.rf", {QStringLiteral("echo.rf")}},
        {"RFA", {QStringLiteral("rfa")}},
        {"*a*.*",
         {QStringLiteral("Alpha.rfa"), QStringLiteral("BRAVO.RFA"), QStringLiteral("charlie.Rfa"),
          QStringLiteral("delta.rfa.txt")}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(describe(findEntries(levels + QString::fromLatin1(c.pattern))), c.expected)
            << c.pattern;

    // "*.*" also matches names without a dot.
    EXPECT_TRUE(
        describe(findEntries(levels + QStringLiteral("*.*"))).contains(QStringLiteral("rfa")));
    EXPECT_TRUE(findEntries(tree.gameFolder() + QStringLiteral("\\NoSuchFolder\\*.*")).isEmpty());
}
